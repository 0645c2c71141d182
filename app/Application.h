#pragma once

#include "app/Bindings.h"
#include "app/Services.h"
#include "audio/CaptureDevice.h"
#include "exchange/FtpClient.h"
#include "exchange/WebFetcher.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "platform/Website.h"
#include "word/WordEngine.h"

#include <functional>
#include <memory>

namespace quillan::platform {
class ProgramInstance;
}

namespace quillan::record {
class FormRecovery;
class RecordCommands;
} // namespace quillan::record
namespace quillan::exchange {
class ExchangeCommands;
}

namespace quillan::library {
class DocumentCommands;
}

namespace quillan::audio {
class AudioCommands;
class AudioRecorder;
class RecorderPanel;
} // namespace quillan::audio

namespace quillan::ledger {
class LedgerCommands;
}

namespace quillan::app {

class FormBinding;
class MainWin;
class Startup;
class TextBindings;

// The running program: the service objects, the main window, the start-up
// initialisation and the commands bound to the menu and the buttons.
class Application
{
public:
    struct Parts
    {
        std::unique_ptr<platform::Clock> clock;
        std::unique_ptr<platform::Prompts> prompts;
        std::unique_ptr<platform::Shell> shell;
        std::unique_ptr<platform::RegistryStore> registry;
        std::unique_ptr<word::WordEngine> word;
        std::unique_ptr<exchange::FtpClient> ftp;
        std::unique_ptr<exchange::WebFetcher> web;
        std::unique_ptr<audio::CaptureDevice> capture;
        std::unique_ptr<audio::SoundPlayer> player;
        // The website whose version file the update check reads.
        QString website = platform::programWebsite();
    };

    // The real services of this desktop.
    static Parts systemParts(const platform::Paths& paths);

    Application(platform::Paths paths, QString executablePath, Parts parts);
    ~Application();

    // Creates nothing new: raises the created event, i.e. runs the start-up
    // initialisation (which shows the window through the password gate),
    // then offers the audio of a recording a crashed run left behind.
    void start();

    MainWin& window() { return *window_; }
    FormBinding& form() { return *form_; }
    Services& services() { return services_; }
    Startup& startup() { return *startup_; }
    record::RecordCommands& records() { return *records_; }
    record::FormRecovery& formRecovery() { return *recovery_; }
    exchange::ExchangeCommands& exchange() { return *exchange_; }
    TextBindings& texts() { return *texts_; }
    library::DocumentCommands& documents() { return *documents_; }
    audio::AudioCommands& audio() { return *audio_.commands; }
    audio::AudioRecorder& recorder() { return *audio_.recorder; }
    ledger::LedgerCommands& ledger() { return *ledger_; }

    // How "退出" ends the program; tests replace it.
    std::function<void(int)> exitProgram;

    // The end of the desktop session (SIGTERM, SIGHUP): the form's snapshot
    // is taken at once, the question open is closed unanswered and no other
    // is shown; the program ends with `code` once the command in progress
    // has returned.
    void endInOrder(int code);

private:
    // Each feature bound by its binding over the same wiring.
    void bindFeatures();
    void watchForm();
    // The form's recovery snapshot, when the form is watched; a failure is
    // told once in the status.
    void takeSnapshot();

    Parts parts_;
    Services services_;
    std::unique_ptr<platform::ProgramInstance> instance_;
    std::unique_ptr<MainWin> window_;
    std::unique_ptr<FormBinding> form_;
    std::unique_ptr<Startup> startup_;
    std::unique_ptr<record::FormRecovery> recovery_;
    std::unique_ptr<record::RecordCommands> records_;
    std::unique_ptr<exchange::ExchangeCommands> exchange_;
    std::unique_ptr<TextBindings> texts_;
    std::unique_ptr<library::DocumentCommands> documents_;
    AudioFeature audio_;
    std::unique_ptr<ledger::LedgerCommands> ledger_;
    bool exiting_ = false;
    bool ending_ = false;
    bool recoveryFailed_ = false;
};

} // namespace quillan::app
