#include "app/Bindings.h"
#include "app/FormBinding.h"
#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/RecorderPanelView.h"
#include "app/Services.h"
#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "platform/ProgramInstance.h"
#include "platform/Text.h"
#include "record/RecordFields.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace quillan::app {

AudioFeature::AudioFeature() = default;
AudioFeature::AudioFeature(AudioFeature&&) noexcept = default;
AudioFeature& AudioFeature::operator=(AudioFeature&&) noexcept = default;
AudioFeature::~AudioFeature() = default;

QString recordingMarkLabel(record::FieldId id)
{
    for (const record::Pair& p : record::pairs()) {
        if (id == p.question.id)
            return platform::u("问") + QString::number(p.number);
        if (id == p.answer.id)
            return platform::u("答") + QString::number(p.number);
    }
    return {};
}

QString audioRecoveryStem()
{
    return QStringLiteral("unsaved-recording");
}

AudioFeature bindAudio(const Wiring& wiring)
{
    Services& s = wiring.services;
    AudioFeature feature;
    if (!s.capture || !s.player)
        return feature;
    MainWin& w = wiring.window;
    // This program's own recovery file: another program running beside it
    // neither takes nor offers it.
    const QString scratch = s.paths.ensureScratchDir();
    feature.recorder = std::make_unique<audio::AudioRecorder>(
        *s.capture,
        scratch.isEmpty() ? QString() : wiring.instance.ownFile(audioRecoveryStem(), QStringLiteral(".wav")));
    feature.panel = std::make_unique<RecorderPanelView>(w, s.session);
    audio::AudioEnvironment env;
    env.panel = feature.panel.get();
    env.prompts = s.prompts;
    env.recorder = feature.recorder.get();
    env.player = s.player;
    env.saveDialog = &w.fileDialog(unit::kWavDialog);
    env.wavSaved = [saved = wiring.filesSaved](const QString& path) {
        if (saved)
            saved({path});
    };
    env.session = &s.session;
    feature.commands = std::make_unique<audio::AudioCommands>(std::move(env));

    audio::AudioCommands* a = feature.commands.get();
    onMenu(w, "录音笔录", "打开笔录录音", [a] { a->showPanel(); });
    onMenu(w, "录音笔录", "关闭笔录录音", [a] { a->hidePanel(); });
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
    // The moment each question and answer line is begun is marked in the
    // recording that runs.
    wiring.form.watchPairLines(
        [r = feature.recorder.get()](record::FieldId id) { return r->mark(recordingMarkLabel(id)); });
    // A question or answer line's context menu plays the recording from the
    // pair's mark.
    wiring.form.extendPairLineMenus([a](QMenu& menu, int number) {
        QAction* entry = menu.addAction(audio::AudioCommands::playFromPairText(number));
        entry->setEnabled(a->pairMark(number).has_value());
        QObject::connect(entry, &QAction::triggered, &menu, [a, number] { a->playFromPair(number); });
    });
    return feature;
}

} // namespace quillan::app
