// The recorder panel's commands against a plain panel, a scripted capture
// device and scripted prompts: every state, enablement, status text and
// message of the panel, and the faults an officer can meet.
#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "doubles/AudioDoubles.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Prompts.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QHash>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace quillan::test {
namespace {

using audio::AudioCommands;
using audio::CaptureProblem;
using platform::Answer;
using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;
using State = AudioCommands::State;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}
Shown shown(const char* text, const char* title, Buttons b = Buttons::Ok)
{
    return {u(text), u(title), b};
}

// The panel as plain values, in the state of program start.
struct MapPanel final : audio::RecorderPanel
{
    QHash<audio::PanelControl, bool> enabled{{audio::PanelControl::Record, true},
                                             {audio::PanelControl::Pause, false},
                                             {audio::PanelControl::Resume, true},
                                             {audio::PanelControl::StopSave, false}};
    QHash<audio::PanelControl, bool> visible{{audio::PanelControl::Panel, false},
                                             {audio::PanelControl::Pause, true},
                                             {audio::PanelControl::Resume, false}};
    QString caption;
    int slider = 1;
    int interval = 0;
    QString status;
    QString playbackPath;

    void setEnabled(audio::PanelControl c, bool e) override { enabled[c] = e; }
    void setVisible(audio::PanelControl c, bool v) override { visible[c] = v; }
    void setElapsed(const QString& text) override { caption = text; }
    int sliderPosition() const override { return slider; }
    void setSliderPosition(int p) override { slider = p; }
    void setTickInterval(int ms) override { interval = ms; }
    void setStatusPart0(const QString& text) override { status = text; }
    void setPlaybackPath(const QString& path) override { playbackPath = path; }

    // "录音", "暂停", "继续", "停止保存" enabled, as one string of 0 and 1.
    QString buttons() const
    {
        QString s;
        using C = audio::PanelControl;
        for (const C c : {C::Record, C::Pause, C::Resume, C::StopSave})
            s += enabled.value(c) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
};

class AudioPanel : public ::testing::Test
{
protected:
    AudioPanel() : recorder(device, dir.file(QStringLiteral("unsaved-recording.wav"))) { make(); }
    void make()
    {
        audio::AudioEnvironment env;
        env.panel = &panel;
        env.prompts = &prompts;
        env.recorder = &recorder;
        env.player = &player;
        env.saveDialog = &dialog;
        commands = std::make_unique<AudioCommands>(env);
    }
    void seconds(int n, qsizetype bytesPerSecond = 16000)
    {
        for (int i = 0; i < n; ++i) {
            device.feed(QByteArray(bytesPerSecond, '\x11'));
            commands->tick();
        }
    }

    TempDir dir;
    MapPanel panel;
    platform::ScriptedPrompts prompts;
    audio::ScriptedCapture device;
    audio::RecordingPlayer player;
    audio::AudioRecorder recorder;
    platform::FileDialogUnit dialog{
        u("通用对话框1"), platform::FileDialogUnit::Mode::Save, u("WAV录音文件|*.wav"), u("wav"), {}};
    std::unique_ptr<AudioCommands> commands;
};

TEST_F(AudioPanel, RecordPauseResumeStopAndSaveWithACancelledDialogFirst)
{
    commands->showPanel();
    EXPECT_TRUE(panel.visible[audio::PanelControl::Panel]);
    commands->startRecording();
    EXPECT_EQ(commands->state(), State::Recording);
    EXPECT_EQ(panel.buttons(), u("0111"));
    EXPECT_EQ(panel.status, u("笔录.录音开始..."));
    EXPECT_EQ(panel.caption, u("0:0:0"));
    EXPECT_EQ(panel.interval, 1000);
    commands->hidePanel(); // the recording goes on
    EXPECT_FALSE(panel.visible[audio::PanelControl::Panel]);
    seconds(5);
    EXPECT_EQ(panel.caption, u("0:0:5"));

    commands->pause();
    EXPECT_FALSE(panel.visible[audio::PanelControl::Pause]);
    EXPECT_TRUE(panel.visible[audio::PanelControl::Resume]);
    EXPECT_EQ(panel.status, u("笔录.暂停录音..."));
    EXPECT_EQ(panel.interval, 0);
    device.feed(QByteArray(32000, '\x22')); // paused time is not recorded
    commands->resume();
    EXPECT_TRUE(panel.visible[audio::PanelControl::Pause]);
    EXPECT_FALSE(panel.visible[audio::PanelControl::Resume]);
    EXPECT_EQ(panel.status, u("笔录.继续录音..."));
    EXPECT_EQ(panel.interval, 1000);
    seconds(3);
    EXPECT_EQ(panel.caption, u("0:0:8"));
    EXPECT_EQ(panel.slider, 9);

    prompts.cancelNext();
    commands->stopAndSave();
    EXPECT_EQ(panel.status, u("录音停止！请选择保存录音笔录的文件名称..."));
    EXPECT_EQ(prompts.shown(), QList<Shown>{shown("没有输入WAV音频文件名称，请重新保存。", "提示：")});
    EXPECT_EQ(panel.buttons(), u("1001"));
    EXPECT_EQ(panel.interval, 0);
    EXPECT_EQ(commands->state(), State::Stopped);

    // A name without extension gets ".wav"; the audio of the first attempt
    // is written.
    prompts.chooseNext(dir.file(u("询问")));
    commands->stopAndSave();
    const QString saved = dir.file(u("询问.wav"));
    EXPECT_EQ(readFile(saved).size(), 44 + 8 * 16000);
    EXPECT_EQ(readFile(saved).sliced(44), QByteArray(8 * 16000, '\x11'));
    EXPECT_EQ(dialog.lastFileName, saved);
    EXPECT_EQ(panel.status, u("笔录.录音保存成功..."));
    EXPECT_EQ(panel.buttons(), u("1000"));
    EXPECT_EQ(commands->state(), State::Idle);
    EXPECT_TRUE(commands->mayQuit()); // nothing unsaved: no question
    EXPECT_EQ(prompts.shown().size(), 1);

    // The pair stays as the last clicks left it; the swapped-back "继续"
    // leaves the new capture running.
    commands->pause();
    commands->startRecording();
    EXPECT_EQ(panel.caption, u("0:0:0"));
    EXPECT_EQ(panel.slider, 9); // not moved back
    commands->resume();
    EXPECT_EQ(commands->state(), State::Recording);
    EXPECT_EQ(panel.status, u("笔录.继续录音..."));
}

TEST_F(AudioPanel, ElapsedTimeAndSlider)
{
    commands->startRecording();
    const std::pair<int, const char*> marks[] = {{59, "0:0:59"},    {60, "0:1:0"},   {125, "0:2:5"},
                                                 {3599, "0:59:59"}, {3600, "1:0:0"}, {3725, "1:2:5"}};
    int done = 0;
    for (const auto& [at, text] : marks) {
        seconds(at - done, 2);
        done = at;
        EXPECT_EQ(panel.caption, u(text)) << at;
    }
    EXPECT_EQ(panel.slider, 888); // stops at the end of its range
    panel.slider = 100;           // dragged by the officer
    seconds(1);
    EXPECT_EQ(panel.slider, 101);
    EXPECT_EQ(AudioCommands::elapsedText(36000 + 61), u("10:1:1"));
}

TEST_F(AudioPanel, AStartThatCannotCaptureSaysWhyAndLeavesThePanelIdle)
{
    const std::pair<CaptureProblem, const char*> cases[] = {
        {CaptureProblem::NoDevice,
         "无法开始录音：没有找到录音设备（麦克风）。\n请检查麦克风后再点击“录音”。"},
        {CaptureProblem::FormatUnsupported,
         "无法开始录音：录音设备不支持单声道、8000 Hz、16 位的录音格式。\n请检查麦克风后再点击“录音”。"},
        {CaptureProblem::OpenFailed,
         "无法开始录音：录音设备无法打开，可能正被其他程序占用。\n请检查麦克风后再点击“录音”。"}};
    for (const auto& [problem, text] : cases) {
        prompts.clear();
        (problem == CaptureProblem::OpenFailed ? device.openResult : device.checkResult) = problem;
        commands->startRecording();
        EXPECT_EQ(prompts.shown(), QList<Shown>{shown(text, "提示：")});
        EXPECT_EQ(commands->state(), State::Idle);
        EXPECT_EQ(panel.buttons(), u("1010"));
        EXPECT_EQ(panel.interval, 0);
        EXPECT_EQ(panel.status, QString());
        device.checkResult = device.openResult = CaptureProblem::None;
    }
}

TEST_F(AudioPanel, AFailedSaveIsToldAndTheAudioCanBeSavedElsewhere)
{
    commands->startRecording();
    seconds(2);
    const QString bad = dir.file(u("没有/这个/目录/a.wav"));
    prompts.chooseNext(bad);
    commands->stopAndSave();
    EXPECT_EQ(prompts.shown().last().text,
              u("录音没有保存到 ") + bad +
                  u("：目录不存在。\n录音仍在内存中，请点击“停止保存”另选位置保存。"));
    EXPECT_EQ(prompts.shown().last().title, u("提示："));
    EXPECT_EQ(panel.status, u("录音停止！请选择保存录音笔录的文件名称..."));
    EXPECT_TRUE(panel.enabled[audio::PanelControl::StopSave]);
    EXPECT_EQ(commands->state(), State::Stopped);

    // A bare name whose ".wav" file exists is replaced only when confirmed.
    dir.write(u("b.wav"), "old");
    prompts.chooseNext(dir.file(u("b")));
    commands->stopAndSave();
    EXPECT_EQ(prompts.shown().last(),
              (Shown{dir.file(u("b.wav")) + u(" 已存在。\n要替换它吗？"), u("确认另存为"), Buttons::YesNo}));
    EXPECT_EQ(readFile(dir.file(u("b.wav"))), QByteArray("old"));
    prompts.chooseNext(dir.file(u("b")));
    prompts.answerNext(Answer::Yes);
    commands->stopAndSave();
    EXPECT_EQ(readFile(dir.file(u("b.wav"))).size(), 44 + 2 * 16000);
    EXPECT_EQ(panel.status, u("笔录.录音保存成功..."));
}

TEST_F(AudioPanel, UnsavedAudioIsNotThrownAwayWithoutAQuestion)
{
    const Shown quit =
        shown("录音还没有保存，退出程序将丢失这段录音。\n确定要退出吗？", "提 示：", Buttons::YesNo);
    const Shown discard = shown("上一段录音还没有保存，开始新的录音将丢弃它。\n确定要丢弃上一段录音吗？",
                                "提 示：", Buttons::YesNo);
    commands->startRecording();
    seconds(1);
    EXPECT_FALSE(commands->mayQuit()); // a running recording counts
    EXPECT_EQ(prompts.shown().last(), quit);
    EXPECT_EQ(commands->state(), State::Recording);

    prompts.cancelNext();
    commands->stopAndSave();
    prompts.clear();
    commands->startRecording(); // answered No
    EXPECT_EQ(prompts.shown(), QList<Shown>{discard});
    EXPECT_EQ(commands->state(), State::Stopped);
    EXPECT_EQ(recorder.heldBytes(), 16000);

    prompts.answerNext(Answer::Yes);
    commands->startRecording();
    EXPECT_EQ(commands->state(), State::Recording);
    EXPECT_EQ(recorder.heldBytes(), 0);

    prompts.answerNext(Answer::Yes);
    EXPECT_TRUE(commands->mayQuit());
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(QFileInfo::exists(recorder.recoveryPath()));
}

TEST_F(AudioPanel, AnInputThatGoesAwayKeepsTheAudioAndTellsTheOfficer)
{
    const Shown lost =
        shown("录音设备已断开，录音已停止。\n已录下的声音仍然保留，请点击“停止保存”保存录音。", "提示：");
    for (const bool stall : {false, true}) {
        prompts.clear();
        prompts.answerNext(Answer::Yes); // discard the last round's audio
        commands->startRecording();
        seconds(3);
        if (stall) {
            for (int i = 0; i < 4; ++i)
                commands->tick(); // no byte arrives any more
            EXPECT_TRUE(prompts.shown().size() <= 1);
            commands->tick();
        } else {
            device.loseDevice();
            commands->tick();
        }
        EXPECT_EQ(prompts.shown().last(), lost);
        EXPECT_EQ(panel.caption, stall ? u("0:0:7") : u("0:0:3"));
        EXPECT_EQ(panel.status, u("录音设备已断开..."));
        EXPECT_EQ(commands->state(), State::Stopped);
        EXPECT_EQ(panel.buttons(), u("1001"));
        EXPECT_EQ(panel.interval, 0);
        EXPECT_EQ(recorder.heldBytes(), 3 * 16000);
    }
    prompts.chooseNext(dir.file(u("lost.wav")));
    commands->stopAndSave();
    EXPECT_EQ(readFile(dir.file(u("lost.wav"))).size(), 44 + 3 * 16000);
}

TEST_F(AudioPanel, ARecoveryCopyThatCannotBeWrittenIsToldOnceAndTheRecordingGoesOn)
{
    // Files may grow to 40 kB only, as on a disk that fills up.
    struct rlimit before
    {
    };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 40000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    commands->startRecording();
    seconds(5);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(recorder.recoveryCopyLost());
    EXPECT_EQ(prompts.shown(), QList<Shown>{shown("录音的临时备份无法写入（磁盘可能已满），录音仍在继续；"
                                                  "程序意外退出时这段录音会丢失。请尽快“停止保存”。",
                                                  "提示：")});
    EXPECT_EQ(commands->state(), State::Recording);
    seconds(2);
    EXPECT_EQ(prompts.shown().size(), 1) << "told once";
    prompts.chooseNext(dir.file(u("whole.wav")));
    commands->stopAndSave();
    EXPECT_EQ(readFile(dir.file(u("whole.wav"))).size(), 44 + 7 * 16000) << "the recording lost nothing";
}

TEST_F(AudioPanel, PlayAcceptsPathsWithLowerCaseWavAnywhere)
{
    const Shown wrong = shown("音频文件不正确，请选择正确音频文件播放...", "提 示：");
    const std::pair<std::optional<QString>, bool> cases[] = {
        {std::nullopt, false},        {u(""), false},
        {u("/录音/询问.WAV"), false}, {u("/录音/a.Wav"), false},
        {u("/录音/询问.wav"), true},  {u("/wavs/a.mp3"), true}};
    for (const auto& [choice, accepted] : cases) {
        prompts.clear();
        player.calls.clear();
        panel.status.clear();
        if (choice)
            prompts.chooseNext(*choice);
        else
            prompts.cancelNext();
        commands->play();
        EXPECT_EQ(prompts.dialogsOpened(), QList<QString>{u(" ")});
        EXPECT_EQ(panel.playbackPath, choice.value_or(QString()));
        if (accepted) {
            EXPECT_EQ(player.calls, QStringList{u("play ") + *choice});
            EXPECT_EQ(panel.status, u("笔录.录音播放中..."));
            EXPECT_TRUE(prompts.shown().isEmpty());
        } else {
            EXPECT_TRUE(player.calls.isEmpty());
            EXPECT_EQ(prompts.shown(), QList<Shown>{wrong});
        }
    }
    commands->stopPlayback();
    EXPECT_EQ(player.calls.last(), u("stopAll"));
}

TEST_F(AudioPanel, TheAudioOfAnEndedRunIsOfferedAtStart)
{
    const QString question = u("发现一段上次没有保存的录音（0:0:3），程序曾意外退出。\n现在保存这段录音吗？");
    const Shown sure = shown("这段录音将被永久删除，不能恢复。\n确定删除吗？", "提 示：", Buttons::YesNo);
    const auto crash = [this] {
        audio::ScriptedCapture d;
        audio::AudioRecorder r(d, recorder.recoveryPath());
        r.start();
        d.feed(QByteArray(3 * 16000 + 4096, '\x33'));
    };

    crash();
    prompts.answerNext(Answer::Yes);
    prompts.chooseNext(dir.file(u("找回的录音.wav")));
    commands->offerRecovery({recorder.recoveryPath()});
    EXPECT_EQ(prompts.shown(), QList<Shown>{(Shown{question, u("提示："), Buttons::YesNo})});
    EXPECT_EQ(readFile(dir.file(u("找回的录音.wav"))).size(),
              44 + 3 * 16000 + 4096); // all of it, the ended run's last chunk too
    EXPECT_FALSE(QFileInfo::exists(recorder.recoveryPath()));
    EXPECT_EQ(commands->state(), State::Idle);
    EXPECT_TRUE(panel.visible[audio::PanelControl::Panel]);

    // Declined, then kept: it stays for "停止保存" and the next start.
    crash();
    prompts.clear();
    commands->offerRecovery({recorder.recoveryPath()});
    EXPECT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[1], sure);
    EXPECT_EQ(commands->state(), State::Stopped);
    EXPECT_TRUE(panel.enabled[audio::PanelControl::StopSave]);
    EXPECT_TRUE(QFileInfo::exists(recorder.recoveryPath()));

    // Declined twice over: deleted.
    make();
    prompts.clear();
    prompts.answerNext(Answer::No);
    prompts.answerNext(Answer::Yes);
    commands->offerRecovery({recorder.recoveryPath()});
    EXPECT_EQ(prompts.shown().size(), 2);
    EXPECT_FALSE(QFileInfo::exists(recorder.recoveryPath()));
    EXPECT_EQ(commands->state(), State::Idle);
    EXPECT_FALSE(panel.enabled[audio::PanelControl::StopSave]);
}

} // namespace
} // namespace quillan::test
