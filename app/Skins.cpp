#include "app/Skins.h"

namespace quillan::app {

namespace {

struct Scheme
{
    const char* frame;
    const char* face;   // button face
    const char* window; // window background
    const char* hover;
};

const Scheme kSchemes[] = {
    {"#7B9EBD", "#E3ECF5", "#F1F5FA", "#CFDDEB"}, // blue
    {"#A4B97F", "#EDF2E1", "#F5F8EE", "#DCE6C7"}, // olive green
    {"#C6C5D7", "#EEEEF4", "#F7F7FA", "#DFDEEA"}, // silver
};

} // namespace

QString skinFrameColour(int scheme)
{
    if (scheme < 1 || scheme > 3)
        return {};
    return QString::fromLatin1(kSchemes[scheme - 1].frame);
}

QString skinStyleSheet(int scheme)
{
    if (scheme < 1 || scheme > 3)
        return {};
    const Scheme& s = kSchemes[scheme - 1];
    QString sheet = QStringLiteral(
        "QMainWindow, QWidget#client { background: %3; }"
        "QGroupBox { border: 1px solid %1; border-radius: 3px; margin-top: 4px; background: %3; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; }"
        "QPushButton { border: 1px solid %1; border-radius: 3px; background: %2; padding: 1px; }"
        "QPushButton:hover { background: %4; }"
        "QPushButton:disabled { color: #9A9A9A; }"
        "QLineEdit, QPlainTextEdit { border: 1px solid %1; background: white; }"
        "QComboBox { border: 1px solid %1; background: white; padding-left: 2px; }"
        "QComboBox::drop-down { border-left: 1px solid %1; background: %2; width: 16px; }"
        "QComboBox::down-arrow { width: 0; height: 0; border-left: 4px solid transparent;"
        " border-right: 4px solid transparent; border-top: 5px solid %1; }"
        "QStatusBar { border-top: 1px solid %1; background: %2; }"
        "QMenuBar { background: %2; border-bottom: 1px solid %1; }"
        "QMenuBar::item:selected, QMenu::item:selected { background: %4; color: black; }"
        "QMenu { border: 1px solid %1; background: white; }");
    return sheet.arg(QLatin1String(s.frame), QLatin1String(s.face), QLatin1String(s.window),
                     QLatin1String(s.hover));
}

} // namespace quillan::app
