#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillan::app {

enum class ControlType {
    PicBox,
    GroupBox,
    Label,
    EditBox,
    ComboBox,
    Button,
    TextViewer,    // multi-line, read only
    MultiLineEdit, // multi-line, editable, vertical scroll bar
    SliderBar,
    StatusBar,
};

// One control of the main window as designed: the table builds the window,
// and a test compares the built window against it.
struct ControlSpec
{
    QString unit; // objectName
    ControlType type;
    QString parent; // unit of the group box, empty for the window itself
    QRect geometry; // relative to the parent's client area
    QString caption;
    QStringList items; // list entries at creation (combo boxes)
    QString accessibleName;
    bool hidden = false;
    bool disabled = false;
    bool centred = false;    // text centred (edit boxes)
    bool digitsOnly = false; // accepts integer text only
    bool secret = false;     // shows dots, not the text (a password)
    bool heading = false;    // page heading font: SimSun, 16 px
    bool vertical = false;   // narrow button with its caption written top to bottom
};

// A timer of the window.
struct TimerSpec
{
    QString unit;
    int interval; // ms; 0: stopped at creation
    bool running;
};

// Window frame and client sizes.
inline constexpr int kFrameWidth = 1025;
inline constexpr int kFrameHeight = 642;
// The design frame has 4-pixel borders and a 23-pixel caption bar; the
// client area (menu bar, controls, status bar) is what remains.
inline constexpr int kClientWidth = kFrameWidth - 8;
inline constexpr int kClientHeight = kFrameHeight - 31;
inline constexpr int kStatusBarHeight = 20;

const QString& designTitle();
const std::vector<ControlSpec>& mainWinLayout();
const std::vector<TimerSpec>& mainWinTimers();
const ControlSpec* findControlSpec(const QString& unit);

} // namespace quillan::app
