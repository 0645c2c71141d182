#include "app/Bindings.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/Services.h"
#include "ledger/LedgerCommands.h"

namespace quillan::app {

std::unique_ptr<ledger::LedgerCommands> bindLedger(const Wiring& wiring)
{
    Services& s = wiring.services;
    ledger::LedgerEnvironment env;
    env.prompts = s.prompts;
    env.clock = s.clock;
    env.programDir = s.paths.programDir;
    env.configDir = s.paths.configDir;
    env.verifyDialog = &wiring.window.fileDialog(unit::kVerifyDialog);
    env.verifyDialog->objectName = QString::fromUtf8(unit::kVerifyDialog);
    auto commands = std::make_unique<ledger::LedgerCommands>(std::move(env));
    ledger::LedgerCommands* l = commands.get();
    onMenu(wiring.window, "文件", "核验笔录...", [l] { l->verifyFile(); });
    return commands;
}

} // namespace quillan::app
