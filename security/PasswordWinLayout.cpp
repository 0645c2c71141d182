#include "security/PasswordWinLayout.h"

namespace quillan::security {

namespace {

using T = PwdControlSpec::Type;

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

PwdControlSpec control(const char* unit, T type, int x, int y, int w, int h, const char* caption,
                       const char* accessible)
{
    PwdControlSpec c;
    c.unit = u8(unit);
    c.type = type;
    c.geometry = QRect(x, y, w, h);
    c.caption = u8(caption);
    c.accessibleName = u8(accessible);
    return c;
}

PwdControlSpec passwordEntry(const char* unit, int x, int y, int w, int h, const char* accessible)
{
    PwdControlSpec c = control(unit, T::EditBox, x, y, w, h, "", accessible);
    c.password = true;
    c.centred = true;
    return c;
}

} // namespace

const PwdWinSpec& setPwdWinLayout()
{
    static const PwdWinSpec layout{
        u8("SetPwdWin"),
        u8("请输入2次正确密码："),
        QSize(262, 92),
        PwdWinSpec::Frame::ToolCaption,
        {
            passwordEntry("编辑框1", 16, 13, 129, 20, "密码"),
            passwordEntry("编辑框2", 16, 38, 129, 20, "再次输入密码"),
            control("按钮1", T::Button, 154, 16, 88, 38, "加 密", "加密"),
        },
    };
    return layout;
}

const PwdWinSpec& enterPwdWinLayout()
{
    // The stored password is compared in a plain variable, not in a scratch
    // field of the window. "标签2" shows the pause after repeated wrong
    // passwords, in the free space right of the caption.
    PwdControlSpec pause = control("标签2", T::Label, 110, 4, 160, 20, "", "等待时间");
    pause.hidden = true;
    static const PwdWinSpec layout{
        u8("EnterPwdWin"),
        u8("输 入 密 码："),
        QSize(276, 72),
        PwdWinSpec::Frame::Borderless,
        {
            control("标签1", T::Label, 7, 2, 97, 24, "请输入登陆密码：", "请输入登陆密码"),
            passwordEntry("编辑框1", 21, 37, 144, 20, "登陆密码"),
            control("按钮1", T::Button, 175, 30, 88, 32, "确认密码", "确认密码"),
            pause,
        },
    };
    return layout;
}

} // namespace quillan::security
