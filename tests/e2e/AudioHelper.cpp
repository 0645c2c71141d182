// A separate program for the audio end-to-end tests: what needs its own
// process (its own sound-server connection, or a death by SIGKILL).
//   audio_helper start            clicks "录音" once, prints the message
//                                 shown and the panel's state, exits
//   audio_helper record <file>    records with <file> as recovery file and
//                                 prints "held <bytes>" (and " lost" once
//                                 the input went away) four times a second
//                                 until killed; SIGTERM and SIGHUP end it as
//                                 they end the program (exit code 0)
#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "audio/qt/QtCaptureDevice.h"
#include "doubles/AudioDoubles.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Prompts.h"
#include "platform/Signals.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using namespace quillan;

namespace {

struct NullPanel final : audio::RecorderPanel
{
    void setEnabled(audio::PanelControl, bool) override {}
    void setVisible(audio::PanelControl, bool) override {}
    void setElapsed(const QString&) override {}
    int sliderPosition() const override { return 1; }
    void setSliderPosition(int) override {}
    void setTickInterval(int ms) override { interval = ms; }
    void setStatusPart0(const QString&) override {}
    void setPlaybackPath(const QString&) override {}
    int interval = 0;
};

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    const bool record = args[1] == QStringLiteral("record");
    audio::QtCaptureDevice device;
    audio::AudioRecorder recorder(device, record && args.size() > 2 ? args[2] : QString());
    audio::RecordingPlayer player;
    platform::ScriptedPrompts prompts;
    NullPanel panel;
    platform::FileDialogUnit dialog;
    audio::AudioEnvironment env{&panel, &prompts, &recorder, &player, &dialog, {}};
    audio::AudioCommands commands(env);

    commands.startRecording();
    for (const auto& m : prompts.shown())
        say(QStringLiteral("MESSAGE ") + m.title + QLatin1Char('|') +
            QString(m.text).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    say(QStringLiteral("STATE ") +
        (commands.state() == audio::AudioCommands::State::Recording ? QStringLiteral("Recording")
                                                                    : QStringLiteral("Idle")) +
        QStringLiteral(" TICK ") + QString::number(panel.interval));
    if (!record)
        return 0;
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&recorder] {
        say(QStringLiteral("held %1").arg(recorder.heldBytes()) +
            (recorder.deviceWasLost() ? QStringLiteral(" lost") : QString()));
    });
    report.start(250);
    platform::onTerminationSignal([](int) { QCoreApplication::exit(0); });
    return QCoreApplication::exec();
}
