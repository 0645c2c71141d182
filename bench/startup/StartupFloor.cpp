// The floor of the start-up benchmark: a bare Qt Widgets window with as
// many controls as the main window (10 menus of 9 entries, 60 editable
// combo boxes, 30 line edits, 25 labels) and nothing else, linked against Qt
// Widgets only. Prints the milliseconds from process start to the window
// ready, timed exactly as the real window (ProcessClock.h).
//
// Usage: bench_startup_floor
#include "ProcessClock.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    QMainWindow window;
    for (int m = 1; m <= 10; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("菜单%1").arg(m));
        for (int e = 1; e <= 9; ++e)
            menu->addAction(QStringLiteral("命令%1-%2").arg(m).arg(e));
    }
    auto* client = new QWidget(&window);
    window.setCentralWidget(client);
    // Laid out in columns like the form: label, line edit, combo boxes.
    int slot = 0;
    const auto place = [&slot](QWidget* w) {
        w->setGeometry(8 + (slot / 23) * 200, 4 + (slot % 23) * 24, 190, 22);
        ++slot;
    };
    for (int i = 1; i <= 25; ++i)
        place(new QLabel(QStringLiteral("标签%1：").arg(i), client));
    for (int i = 1; i <= 30; ++i)
        place(new QLineEdit(client));
    for (int i = 1; i <= 60; ++i) {
        auto* box = new QComboBox(client);
        box->setEditable(true);
        box->addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        place(box);
    }
    window.setFixedSize(1017, 611);
    window.show();
    std::printf("%.1f\n", quillan::bench::msToReady());
    return 0;
}
