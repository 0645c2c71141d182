#pragma once

#include "app/Application.h"
#include "app/MainWin.h"
#include "doubles/AudioDoubles.h"
#include "doubles/ManualClock.h"
#include "doubles/RecordingEngine.h"
#include "doubles/RecordingFtpClient.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/WebFetcher.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/RegistryStore.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"

#include <memory>

namespace quillan::test {

// A whole program for one test: a fresh program directory (with Set.ini
// when given), scratch, desktop and configuration folders, a pinned clock,
// scripted prompts and a shell that only records.
struct AppFixture
{
    explicit AppFixture(const QByteArray& setIni = QByteArray(),
                        const QDateTime& now = QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)),
                        bool withSetIni = true);

    app::MainWin& win() { return app->window(); }
    platform::SessionState& session() { return app->services().session; }
    QString programDir() const { return paths.programDir; }
    // Replaces the password gate by one that counts its runs in `gates`
    // and shows the window.
    void countGates();

    TempDir dir;
    platform::Paths paths;
    platform::ManualClock* clock = nullptr;
    platform::ScriptedPrompts* prompts = nullptr;
    platform::RecordingShell* shell = nullptr;
    platform::RegistryStore* registry = nullptr;
    word::RecordingEngine* engine = nullptr;
    exchange::RecordingFtpClient* ftp = nullptr;
    exchange::ScriptedWebFetcher* web = nullptr;
    audio::ScriptedCapture* capture = nullptr;
    audio::RecordingPlayer* player = nullptr;
    std::unique_ptr<app::Application> app;
    int exitCode = -1;
    int gates = 0;
    // How often the start-up step of the pop-up text asked for the reader
    // (which this fixture does not open, so that no test waits on a modal
    // window).
    int textWins = 0;
};

} // namespace quillan::test
