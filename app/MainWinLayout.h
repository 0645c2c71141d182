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

// The controls the window's code addresses, by unit name (the record's
// fields are in the record's field table, the FTP panel's fields in the
// form binding).
namespace unit {
inline constexpr const char* kFirstViewLeft = "分组框1";
inline constexpr const char* kFirstViewRight = "分组框2";
inline constexpr const char* kSecondViewLeft = "分组框3";
inline constexpr const char* kSecondViewRight = "分组框4";
inline constexpr const char* kRecorderPanel = "分组框5";
inline constexpr const char* kCaseNotePanel = "分组框6";
inline constexpr const char* kFtpPanel = "分组框7";
inline constexpr const char* kBanner = "图片框1";
inline constexpr const char* kToSecondView = "按钮1";
inline constexpr const char* kToFirstView = "按钮2";
inline constexpr const char* kCloseText = "按钮3";
inline constexpr const char* kCaseNoteButton = "按钮5";
inline constexpr const char* kPrintText = "按钮6";
inline constexpr const char* kTextViewer = "超级编辑框1";
inline constexpr const char* kRecord = "按钮录音";
inline constexpr const char* kPause = "按钮暂停";
inline constexpr const char* kResume = "按钮继续";
inline constexpr const char* kStopSave = "按钮4";
inline constexpr const char* kPlay = "按钮播放";
inline constexpr const char* kStopPlayback = "暂停";
inline constexpr const char* kElapsed = "标签14";
inline constexpr const char* kSlider = "滑块条1";
inline constexpr const char* kRecorderClock = "时钟1";
inline constexpr const char* kStatusClock = "时钟2";
inline constexpr const char* kFtpAddress = "编辑框20";
inline constexpr const char* kFtpAccount = "编辑框21";
inline constexpr const char* kFtpPassword = "编辑框22";
inline constexpr const char* kFtpFileName = "编辑框23";
inline constexpr const char* kWavDialog = "通用对话框1";
inline constexpr const char* kTemplateDialog = "通用对话框2";
inline constexpr const char* kDocumentDialog = "通用对话框3";
inline constexpr const char* kVerifyDialog = "核验对话框";
} // namespace unit

const QString& designTitle();
const std::vector<ControlSpec>& mainWinLayout();
const std::vector<TimerSpec>& mainWinTimers();
const ControlSpec* findControlSpec(const QString& unit);

} // namespace quillan::app
