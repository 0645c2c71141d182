#include "app/Bindings.h"
#include "app/MainWin.h"
#include "app/Services.h"
#include "security/PasswordWindows.h"

namespace quillan::app {

security::PasswordUi* bindPassword(const Wiring& wiring)
{
    Services& s = wiring.services;
    // Parented to the main window, which owns it.
    auto* password = new security::PasswordUi(*s.registry, *s.prompts, *s.clock, wiring.window);
    onMenu(wiring.window, "安全设置", "加密", [password] { password->encrypt(); });
    onMenu(wiring.window, "安全设置", "解密", [password] { password->decrypt(); });
    return password;
}

} // namespace quillan::app
