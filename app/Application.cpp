#include "app/Application.h"

#include "app/ExchangeMenu.h"
#include "app/FindRecordDialog.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/RecorderPanelView.h"
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
#include "library/InspectionDocuments.h"
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
#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace quillan::app {

namespace {

// The stems of the recovery files in the scratch folder.
const QString kFormRecovery = QStringLiteral("unsaved-record");
const QString kAudioRecovery = QStringLiteral("unsaved-recording");

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
    bindCommands();

    // The start-up password: the gate of start-up step 1 and the menu
    // "安全设置". Closing EnterPwdWin without the password ends the program.
    auto* password =
        new security::PasswordUi(*services_.registry, *services_.prompts, *services_.clock, *window_);
    startup_->passwordGate = [this, password] {
        if (!password->runGate())
            exitProgram(1);
    };
    const QString menu = QStringLiteral("安全设置");
    QObject::connect(window_->menuAction(menu, QStringLiteral("加密")), &QAction::triggered, password,
                     &security::PasswordUi::encrypt);
    QObject::connect(window_->menuAction(menu, QStringLiteral("解密")), &QAction::triggered, password,
                     &security::PasswordUi::decrypt);
    bindAudio();
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
    audio_.reset();
    recorder_.reset();
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
    if (audio_ && !recorder_->recoveryPath().isEmpty())
        audio_->offerRecovery(instance_->claimLeftFiles(kAudioRecovery, QStringLiteral(".wav")));
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

void Application::bindCommands()
{
    MainWin& w = *window_;
    QObject::connect(w.menuAction(QStringLiteral("文件"), QStringLiteral("退出")), &QAction::triggered, &w,
                     [this] {
                         // Unsaved interview audio is the one thing "退出" asks about.
                         if (!audio_ || audio_->mayQuit())
                             exitProgram(0);
                     });
    // The law texts, links and tools, and the pop-up reader of start-up.
    texts_ = std::make_unique<TextBindings>(w, services_, *startup_);

    // The log of saved records and its check.
    ledger::LedgerEnvironment log;
    log.prompts = services_.prompts;
    log.clock = services_.clock;
    log.programDir = services_.paths.programDir;
    log.configDir = services_.paths.configDir;
    log.verifyDialog = &w.fileDialog(unit::kVerifyDialog);
    log.verifyDialog->objectName = QString::fromUtf8(unit::kVerifyDialog);
    ledger_ = std::make_unique<ledger::LedgerCommands>(std::move(log));
    QObject::connect(w.menuAction(QStringLiteral("文件"), QStringLiteral("核验笔录...")), &QAction::triggered,
                     &w, [this] { ledger_->verifyFile(); });

    // The record commands work on the window as the record form.
    if (services_.word) {
        record::RecordEnvironment env;
        env.view = form_.get();
        env.status = &w;
        env.session = &services_.session;
        env.prompts = services_.prompts;
        env.clock = services_.clock;
        env.shell = services_.shell;
        env.word = services_.word;
        env.programDir = services_.paths.programDir;
        env.pageLineCounter = &services_.pageLineCounter;
        env.templateDialog = &w.fileDialog(unit::kTemplateDialog);
        env.documentDialog = &w.fileDialog(unit::kDocumentDialog);
        env.rerunStartup = [this] { startup_->run(); };
        env.formSafe = [this] { recovery_->markSafe(); };
        env.keepUnsaved = [this] { return recovery_->keepUnsaved(); };
        env.recordSaved = [this](const QStringList& files) { ledger_->logSave(files); };
        records_ = std::make_unique<record::RecordCommands>(std::move(env));
        record::RecordCommands* r = records_.get();
        const auto bind = [&w](const char* menu, const char* item, void (record::RecordCommands::*command)(),
                               record::RecordCommands* target) {
            if (QAction* action = w.menuAction(QString::fromUtf8(menu), QString::fromUtf8(item)))
                QObject::connect(action, &QAction::triggered, &w,
                                 [target, command] { (target->*command)(); });
        };
        bind("文件", "新建(笔录)", &record::RecordCommands::newRecord, r);
        bind("文件", "打开(笔录模板)", &record::RecordCommands::openTemplate, r);
        bind("文件", "保存(笔录及模板)", &record::RecordCommands::saveRecord, r);
        bind("文件", "打印(笔录)", &record::RecordCommands::printRecord, r);
        bindFindRecord(w, services_.paths.programDir, [r](const QString& path) { r->openTemplateAt(path); });
        bind("工具", "Word文档", &record::RecordCommands::newWordDocument, r);
        bind("工具", "Excel文档", &record::RecordCommands::newSpreadsheet, r);
        if (auto* print = w.control<QPushButton>(unit::kPrintText))
            QObject::connect(print, &QPushButton::clicked, &w, [r] { r->printShownText(); });

        // The menu "监察文书": one entry per blank form of the catalogue.
        library::DocumentEnvironment forms;
        forms.status = &w;
        forms.session = &services_.session;
        forms.prompts = services_.prompts;
        forms.shell = services_.shell;
        forms.word = services_.word;
        forms.scratchDir = services_.paths.scratchDir;
        documents_ = std::make_unique<library::DocumentCommands>(std::move(forms));
        for (const library::InspectionDocument& document : library::inspectionDocuments()) {
            if (QAction* action = w.menuAction(QStringLiteral("监察文书"), document.captionText()))
                QObject::connect(action, &QAction::triggered, &w,
                                 [this, &document] { documents_->open(document); });
        }
    }

    // Record exchange over FTP and the update check.
    if (services_.ftp && services_.web) {
        exchange::ExchangeEnvironment env;
        env.fields = [this] { return form_->serverFields(); };
        env.status = &w;
        env.session = &services_.session;
        env.prompts = services_.prompts;
        env.ftp = services_.ftp;
        env.web = services_.web;
        env.programDir = services_.paths.programDir;
        env.scratchDir = services_.paths.scratchDir;
        env.website = parts_.website;
        env.settings = services_.registry;
        exchange_ = std::make_unique<exchange::ExchangeCommands>(std::move(env));
        bindExchangeMenu(w, *exchange_);
    }
}

void Application::bindAudio()
{
    if (!parts_.capture || !parts_.player)
        return;
    MainWin& w = *window_;
    const QString scratch = services_.paths.ensureScratchDir();
    recorder_ = std::make_unique<audio::AudioRecorder>(
        *parts_.capture,
        scratch.isEmpty() ? QString() : instance_->ownFile(kAudioRecovery, QStringLiteral(".wav")));
    recorderPanel_ = std::make_unique<RecorderPanelView>(w, services_.session);
    audio::AudioEnvironment env;
    env.panel = recorderPanel_.get();
    env.prompts = services_.prompts;
    env.recorder = recorder_.get();
    env.player = parts_.player.get();
    env.saveDialog = &w.fileDialog(unit::kWavDialog);
    env.wavSaved = [this](const QString& path) { ledger_->logSave({path}); };
    audio_ = std::make_unique<audio::AudioCommands>(std::move(env));
    audio::AudioCommands* a = audio_.get();

    const auto menu = [&w, a](const char* item, void (audio::AudioCommands::*command)()) {
        if (QAction* action = w.menuAction(QStringLiteral("录音笔录"), QString::fromUtf8(item)))
            QObject::connect(action, &QAction::triggered, &w, [a, command] { (a->*command)(); });
    };
    menu("打开笔录录音", &audio::AudioCommands::showPanel);
    menu("关闭笔录录音", &audio::AudioCommands::hidePanel);
    const auto button = [&w, a](const char* name, void (audio::AudioCommands::*command)()) {
        if (auto* b = w.control<QPushButton>(name))
            QObject::connect(b, &QPushButton::clicked, &w, [a, command] { (a->*command)(); });
    };
    button(unit::kRecord, &audio::AudioCommands::startRecording);
    button(unit::kPause, &audio::AudioCommands::pause);
    button(unit::kResume, &audio::AudioCommands::resume);
    button(unit::kStopSave, &audio::AudioCommands::stopAndSave);
    button(unit::kPlay, &audio::AudioCommands::play);
    button(unit::kStopPlayback, &audio::AudioCommands::stopPlayback);
    if (QTimer* tick = w.timer(unit::kRecorderClock))
        QObject::connect(tick, &QTimer::timeout, &w, [a] { a->tick(); });
    w.mayClose = [a] { return a->mayQuit(); };
}

} // namespace quillan::app
