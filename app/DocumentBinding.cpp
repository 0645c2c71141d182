#include "app/Bindings.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/Services.h"
#include "library/DocumentCommands.h"
#include "library/InspectionDocuments.h"

namespace quillan::app {

std::unique_ptr<library::DocumentCommands> bindDocuments(const Wiring& wiring)
{
    Services& s = wiring.services;
    if (!s.word)
        return nullptr;
    library::DocumentEnvironment env;
    env.status = &wiring.window;
    env.session = &s.session;
    env.prompts = s.prompts;
    env.shell = s.shell;
    env.word = s.word;
    env.form = &wiring.form;
    env.scratchDir = s.paths.scratchDir;
    auto commands = std::make_unique<library::DocumentCommands>(std::move(env));
    // One entry of "监察文书" per blank form of the catalogue.
    library::DocumentCommands* d = commands.get();
    for (const library::InspectionDocument& document : library::inspectionDocuments()) {
        const QByteArray caption = document.captionText().toUtf8();
        onMenu(wiring.window, "监察文书", caption.constData(), [d, &document] { d->open(document); });
    }
    return commands;
}

} // namespace quillan::app
