#include "app/Application.h"

#include "app/Bindings.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/Startup.h"
#include "app/TextBindings.h"
#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "audio/qt/QtCaptureDevice.h"
#include "exchange/CurlFtpClient.h"
#include "exchange/CurlWebFetcher.h"
#include "exchange/ExchangeCommands.h"
#include "ledger/LedgerCommands.h"
#include "library/DocumentCommands.h"
#include "platform/Clock.h"
#include "platform/ProgramInstance.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "platform/Website.h"
#include "platform/qt/QtPrompts.h"
#include "record/FormRecovery.h"
#include "record/RecordCommands.h"
#include "security/PasswordWindows.h"
#include "word/LibreOfficeEngine.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace quillan::app {

namespace {

// The stem of the form's recovery files in the scratch folder.
const QString kFormRecovery = QStringLiteral("unsaved-record");

} // namespace

Application::Parts Application::systemParts(const platform::Paths& paths)
{
    Parts parts;
    parts.clock = std::make_unique<platform::SystemClock>();
    parts.prompts = std::make_unique<platform::QtPrompts>();
    parts.shell = std::make_unique<platform::SystemShell>();
    parts.registry = std::make_unique<platform::RegistryStore>(paths.configDir + QStringLiteral("/registry"));
    word::LibreOfficeOptions office;
    office.scratchDir = paths.scratchDir;
    parts.word = std::make_unique<word::LibreOfficeEngine>(office);
    // While a transfer waits for the network the windows keep painting and
    // the clock keeps running; no input is taken.
    const auto paint = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    auto ftp = std::make_unique<exchange::CurlFtpClient>();
    ftp->setKeepPainting(paint);
    parts.ftp = std::move(ftp);
    auto web = std::make_unique<exchange::CurlWebFetcher>();
    web->setKeepPainting(paint);
    parts.web = std::move(web);
    parts.capture = std::make_unique<audio::QtCaptureDevice>();
    parts.player = std::make_unique<audio::QtSoundPlayer>();
    return parts;
}

Application::Application(platform::Paths paths, QString executablePath, Parts parts)
    : parts_(std::move(parts))
{
    services_.paths = std::move(paths);
    services_.executablePath = std::move(executablePath);
    services_.clock = parts_.clock.get();
    services_.prompts = parts_.prompts.get();
    services_.shell = parts_.shell.get();
    services_.registry = parts_.registry.get();
    services_.word = parts_.word.get();
    services_.ftp = parts_.ftp.get();
    services_.web = parts_.web.get();
    services_.capture = parts_.capture.get();
    services_.player = parts_.player.get();
    services_.website = parts_.website;
    services_.pageLineCounter = 0;

    window_ = std::make_unique<MainWin>(*services_.clock);
    form_ = std::make_unique<FormBinding>(*window_);
    if (auto* qtPrompts = dynamic_cast<platform::QtPrompts*>(services_.prompts))
        qtPrompts->setParentWindow(window_.get());
    startup_ = std::make_unique<Startup>(*window_, services_);
    // The recovery files of this program are its own: another program
    // running beside it neither takes nor offers them.
    instance_ = std::make_unique<platform::ProgramInstance>(services_.paths.scratchDir);

    // The form's recovery file: asked about right after the password,
    // kept up to date while the officer types.
    record::RecoveryEnvironment recovery;
    recovery.view = form_.get();
    recovery.prompts = services_.prompts;
    recovery.clock = services_.clock;
    recovery.scratchDir = services_.paths.scratchDir;
    recovery.programDir = services_.paths.programDir;
    recovery.file = instance_->ownFile(kFormRecovery, QStringLiteral(".ini"));
    recovery.leftFiles = [this] { return instance_->claimLeftFiles(kFormRecovery, QStringLiteral(".ini")); };
    recovery_ = std::make_unique<record::FormRecovery>(std::move(recovery));
    startup_->afterPassword = [this] { recovery_->offer(); };

    exitProgram = [this](int code) {
        exiting_ = true;
        QCoreApplication::exit(code);
        // Before the event loop runs (the password gate of the start-up)
        // there is no loop to end yet: end it as soon as it starts.
        if (QThread::currentThread()->loopLevel() == 0)
            QTimer::singleShot(0, qApp, [code] { QCoreApplication::exit(code); });
    };
    // Closing the window runs the closing-page step; "退出" ends the program
    // at once without it.
    window_->aboutToBeDestroyed = [this] {
        if (!exiting_)
            runClosingPage(services_);
    };
    bindFeatures();
}

Application::~Application()
{
    // Every orderly end passes here ("退出", the window closed, SIGTERM and
    // SIGHUP): the next start offers the form as it was at the end.
    takeSnapshot();
    // The input closes before the window goes; unsaved audio stays in the
    // recovery file, its last chunk included.
    if (window_)
        window_->mayClose = nullptr;
    audio_.commands.reset();
    audio_.recorder.reset();
    window_.reset();
}

void Application::takeSnapshot()
{
    QString error;
    if (recovery_ && recovery_->watching() && !recovery_->snapshot(&error)) {
        if (!recoveryFailed_)
            window_->setStatusMessage(QStringLiteral("笔录恢复文件无法写入：") + error);
        recoveryFailed_ = true;
    } else {
        recoveryFailed_ = false;
    }
}

void Application::endInOrder(int code)
{
    // The form is on disk first: the session may be killed any moment now.
    takeSnapshot();
    // No question is answered for the officer: a command that asks is
    // called off as a whole, one that does not ask finishes.
    services_.prompts->interrupt();
    if (ending_)
        return;
    ending_ = true;
    // The program ends once the event loop is back at its top with nothing
    // to do, that is after the command in progress has returned.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     window_.get(), [this, code] {
                         if (QThread::currentThread()->loopLevel() <= 1)
                             exitProgram(code);
                     });
    QTimer::singleShot(0, window_.get(), [] {});
}

void Application::start()
{
    startup_->run();
    // Once the window is up and painted, the word processor starts in the
    // background, so that the first save does not wait for it. The short
    // delay keeps the start (process, UNO bootstrap) off the window's first
    // moments; an officer does not save within it, and a save that comes
    // first starts the office itself, which this then finds running.
    QTimer::singleShot(500, window_.get(), [this] {
        if (services_.word && window_->isVisible())
            services_.word->startInBackground();
    });
    // Not when the program ends at the password.
    if (!window_->isVisible())
        return;
    watchForm();
    if (audio_.commands && !audio_.recorder->recoveryPath().isEmpty())
        audio_.commands->offerRecovery(
            instance_->claimLeftFiles(audioRecoveryStem(), QStringLiteral(".wav")));
}

void Application::watchForm()
{
    recovery_->begin();
    // A failure is told once, not at every tick; the form is untouched.
    const auto snapshot = [this] { takeSnapshot(); };
    auto* timer = new QTimer(window_.get());
    timer->setObjectName(QStringLiteral("recoveryTimer"));
    QObject::connect(timer, &QTimer::timeout, window_.get(), snapshot);
    timer->start(30'000);
    QObject::connect(window_.get(), &MainWin::viewSwitched, window_.get(), snapshot);
}

void Application::bindFeatures()
{
    const Wiring wiring{
        *window_,
        *form_,
        services_,
        *startup_,
        *instance_,
        [this](const QStringList& files) { ledger_->logSave(files); },
        [this] { recovery_->markSafe(); },
        [this] { return recovery_->keepUnsaved(); },
    };
    // "退出": unsaved interview audio is the one thing it asks about.
    onMenu(*window_, "文件", "退出", [this] {
        if (!audio_.commands || audio_.commands->mayQuit())
            exitProgram(0);
    });
    texts_ = bindTexts(wiring);
    ledger_ = bindLedger(wiring);
    records_ = bindRecords(wiring);
    documents_ = bindDocuments(wiring);
    exchange_ = bindExchange(wiring);
    audio_ = bindAudio(wiring);

    // The start-up password: the gate of the first start-up step. Closing
    // the password window without the password ends the program.
    security::PasswordUi* password = bindPassword(wiring);
    startup_->passwordGate = [this, password] {
        if (!password->runGate())
            exitProgram(1);
    };
}

} // namespace quillan::app
