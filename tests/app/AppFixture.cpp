#include "AppFixture.h"
#include "doubles/ManualClock.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"

#include "app/Startup.h"
#include "app/TextBindings.h"

#include <QDir>

namespace quillan::test {

AppFixture::AppFixture(const QByteArray& setIni, const QDateTime& now, bool withSetIni)
{
    paths.programDir = dir.file(QStringLiteral("program"));
    paths.scratchDir = dir.file(QStringLiteral("scratch"));
    paths.desktopDir = dir.file(QStringLiteral("desktop"));
    paths.configDir = dir.file(QStringLiteral("config"));
    QDir().mkpath(paths.programDir);
    QDir().mkpath(paths.desktopDir);
    if (withSetIni && !setIni.isNull())
        dir.write(QStringLiteral("program/Set.ini"), setIni);

    app::Application::Parts parts;
    auto c = std::make_unique<platform::ManualClock>(now);
    auto p = std::make_unique<platform::ScriptedPrompts>();
    auto s = std::make_unique<platform::RecordingShell>();
    auto r = std::make_unique<platform::RegistryStore>(paths.configDir + QStringLiteral("/registry"));
    clock = c.get();
    prompts = p.get();
    shell = s.get();
    registry = r.get();
    auto e = std::make_unique<word::RecordingEngine>();
    engine = e.get();
    parts.word = std::move(e);
    auto f = std::make_unique<exchange::RecordingFtpClient>();
    ftp = f.get();
    parts.ftp = std::move(f);
    auto w = std::make_unique<exchange::ScriptedWebFetcher>();
    web = w.get();
    parts.web = std::move(w);
    auto cap = std::make_unique<audio::ScriptedCapture>();
    auto pl = std::make_unique<audio::RecordingPlayer>();
    capture = cap.get();
    player = pl.get();
    parts.capture = std::move(cap);
    parts.player = std::move(pl);
    parts.clock = std::move(c);
    parts.prompts = std::move(p);
    parts.shell = std::move(s);
    parts.registry = std::move(r);
    app = std::make_unique<app::Application>(paths, paths.programDir + QStringLiteral("/quillan"),
                                             std::move(parts));
    app->exitProgram = [this](int code) { exitCode = code; };
    app->texts().openTextWin = [this] { ++textWins; };
}

void AppFixture::countGates()
{
    app->startup().passwordGate = [this] {
        ++gates;
        win().show();
    };
}

} // namespace quillan::test
