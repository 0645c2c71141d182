#pragma once

#include "record/RecordCommands.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace quillan::platform {
class ProgramInstance;
}

namespace quillan::app {

class FormBinding;
class MainWin;
class Startup;
struct Services;

// What every feature's binding is handed: the window and its form, the
// services, and the hooks between the features. Each binding makes its
// feature's commands over these and connects them to the menus and buttons
// of the window; the application only assembles.
struct Wiring
{
    MainWin& window;
    FormBinding& form;
    Services& services;
    Startup& startup;
    platform::ProgramInstance& instance;
    // The log of saved records: told the files a save wrote.
    std::function<void(const QStringList& files)> filesSaved;
    // The form's recovery: the form holds nothing a crash could lose; keep
    // what it holds that was never saved before it is replaced.
    std::function<void()> formSafe;
    std::function<record::KeptForm()> keepUnsaved;
};

// Connects `item` of `menu` to `run`, when the window has the entry.
void onMenu(MainWin& window, const char* menu, const char* item, std::function<void()> run);

} // namespace quillan::app
