#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

namespace quillan::security {

// The controls the windows' code addresses, by unit name.
namespace pwdunit {
inline constexpr const char* kEntry = "编辑框1";     // the password
inline constexpr const char* kRepeat = "编辑框2";    // the password again (setting it)
inline constexpr const char* kConfirm = "按钮1";     // the window's button
inline constexpr const char* kPauseNotice = "标签2"; // the pause after wrong passwords
} // namespace pwdunit

// One control of a password window as designed.
struct PwdControlSpec
{
    enum class Type { Label, EditBox, Button };
    QString unit; // objectName
    Type type;
    QRect geometry; // relative to the client area
    QString caption;
    QString accessibleName;
    bool password = false; // every character shown as "*"
    bool centred = false;  // text centred
    bool hidden = false;   // shown only when needed
};

// A password window as designed: the table builds it, and a test compares
// the built window against it.
struct PwdWinSpec
{
    enum class Frame {
        ToolCaption, // small caption bar with a close box; no minimise or maximise box
        Borderless,  // no border, no caption bar, no close box
    };
    QString name; // objectName
    QString title;
    QSize clientSize;
    Frame frame;
    std::vector<PwdControlSpec> controls;
};

// "请输入2次正确密码：": two entries and "加 密".
const PwdWinSpec& setPwdWinLayout();
// "输 入 密 码：": the entry and "确认密码" (plus the pause text).
const PwdWinSpec& enterPwdWinLayout();

} // namespace quillan::security
