#pragma once

#include "app/FormBinding.h"

#include <QString>

#include <functional>

namespace quillan::settings {
class Settings;
}

namespace quillan::app {

class MainWin;
struct Services;

// The start-up initialisation of the main window, in its fixed order:
//  1. password gate (only while the window is not yet shown)
//  2. status text          3. desktop shortcut     4. tooltips
//  5. title                6. skin                 7. pop-up text
//  8. record start time    9. sex box             10. page line counter
// 11. default places      12. phrase lists
// The new-record command runs it again, which skips step 1 because the
// window is visible then. Set.ini is parsed once per run. No step shows a
// message or stops the program.
class Startup
{
public:
    Startup(MainWin& window, Services& services);

    // Step 1. Shows the window, at once or after the password; the
    // application sets it to the start-up password gate.
    std::function<void()> passwordGate;
    // Right after the password (the first run only, before any other step).
    std::function<void()> afterPassword;
    // Step 7, given the parsed settings. Does nothing until the pop-up text
    // is built.
    std::function<void(const settings::Settings&)> popUpText;

    void run();

    // The icon file the desktop shortcut names.
    QString iconFile() const;

private:
    void attachTooltips();
    // Sets the skin `value` names, if any; its style sheet only when
    // `restyle`.
    void applySkin(const QString& value, bool restyle);

    MainWin& window_;
    Services& services_;
    FormBinding form_;
};

// The inspectors' code of conduct shown over the banner.
QString codeOfConduct();
// The shared look of the tooltips (balloon style).
QString tooltipStyleSheet();

// The closing-page step: when Set.ini says "control=on" in section "close",
// opens the address of key "url".
void runClosingPage(const Services& services);

} // namespace quillan::app
