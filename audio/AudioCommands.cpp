#include "audio/AudioCommands.h"

#include "audio/AudioRecorder.h"
#include "platform/AtomicFile.h"
#include "platform/Prompts.h"
#include "platform/SessionState.h"
#include "platform/Text.h"

#include <QFileInfo>

namespace quillan::audio {

using platform::Answer;
using platform::Buttons;

namespace {

using platform::u;

constexpr PanelControl kRecord = PanelControl::Record;
constexpr PanelControl kPause = PanelControl::Pause;
constexpr PanelControl kResume = PanelControl::Resume;
constexpr PanelControl kStopSave = PanelControl::StopSave;
const int kSliderMaximum = 888;
// Ticks without a byte from a running capture before the input counts as
// gone. Well above the time a sound server may hold back a new stream.
const int kSilentTicksForLoss = 5;

} // namespace

AudioCommands::AudioCommands(AudioEnvironment env) : env_(std::move(env)) {}

QString AudioCommands::startFailureText(CaptureProblem problem)
{
    QString why;
    switch (problem) {
    case CaptureProblem::NoDevice:
        why = u("没有找到录音设备（麦克风）");
        break;
    case CaptureProblem::FormatUnsupported:
        why = u("录音设备不支持单声道、8000 Hz、16 位的录音格式");
        break;
    case CaptureProblem::OpenFailed:
    case CaptureProblem::None:
        why = u("录音设备无法打开，可能正被其他程序占用");
        break;
    }
    return u("无法开始录音：") + why + u("。\n请检查麦克风后再点击“录音”。");
}

QString AudioCommands::saveFailureText(const QString& path, const QString& reason)
{
    return u("录音没有保存到 ") + path + u("：") + reason +
           u("。\n录音仍在内存中，请点击“停止保存”另选位置保存。");
}

QString AudioCommands::deviceLostText()
{
    return u("录音设备已断开，录音已停止。\n已录下的声音仍然保留，请点击“停止保存”保存录音。");
}

QString AudioCommands::recoveryLostText()
{
    return u("录音的临时备份无法写入（磁盘可能已满），录音仍在继续；程序意外退出时这段录音会丢失。请尽快“停止"
             "保存”。");
}

QString AudioCommands::discardQuestion()
{
    return u("上一段录音还没有保存，开始新的录音将丢弃它。\n确定要丢弃上一段录音吗？");
}

QString AudioCommands::quitQuestion()
{
    return u("录音还没有保存，退出程序将丢失这段录音。\n确定要退出吗？");
}

QString AudioCommands::recoveryQuestion(qint64 seconds)
{
    return u("发现一段上次没有保存的录音（") + elapsedText(seconds) +
           u("），程序曾意外退出。\n现在保存这段录音吗？");
}

QString AudioCommands::recoveryDeleteQuestion()
{
    return u("这段录音将被永久删除，不能恢复。\n确定删除吗？");
}

QString AudioCommands::elapsedText(qint64 seconds)
{
    return QString::number(seconds / 3600) + QLatin1Char(':') + QString::number(seconds / 60 % 60) +
           QLatin1Char(':') + QString::number(seconds % 60);
}

void AudioCommands::showPanel()
{
    env_.panel->setVisible(PanelControl::Panel, true);
}
void AudioCommands::hidePanel()
{
    env_.panel->setVisible(PanelControl::Panel, false);
}

void AudioCommands::startRecording()
{
    RecorderPanel& p = *env_.panel;
    if (hasUnsavedAudio() &&
        env_.prompts->message(discardQuestion(), u("提 示："), Buttons::YesNo) != Answer::Yes)
        return;
    env_.recorder->setFormat(1, 8000, 16);
    const CaptureProblem problem = env_.recorder->start();
    if (problem != CaptureProblem::None) {
        // Nothing is captured: the panel does not pretend to record.
        env_.prompts->message(startFailureText(problem), u("提示："), Buttons::Ok);
        return;
    }
    state_ = State::Recording;
    lastCaptured_ = 0;
    silentTicks_ = 0;
    recoveryLossTold_ = false;
    p.setEnabled(kRecord, false);
    p.setEnabled(kPause, true);
    p.setEnabled(kResume, true);
    p.setEnabled(kStopSave, true);
    p.setStatusPart0(u("笔录.录音开始..."));
    seconds_ = minutes_ = hours_ = 0;
    p.setElapsed(u("0:0:0"));
    p.setTickInterval(1000);
}

void AudioCommands::pause()
{
    RecorderPanel& p = *env_.panel;
    p.setVisible(kPause, false);
    p.setVisible(kResume, true);
    if (state_ == State::Recording) {
        env_.recorder->pause();
        state_ = State::Paused;
    }
    p.setStatusPart0(u("笔录.暂停录音..."));
    p.setTickInterval(0);
}

void AudioCommands::resume()
{
    RecorderPanel& p = *env_.panel;
    p.setVisible(kPause, true);
    p.setVisible(kResume, false);
    if (state_ == State::Paused) {
        env_.recorder->resume();
        state_ = State::Recording;
        silentTicks_ = 0;
    }
    // A pair swapped back after an earlier pause leaves an idle or stopped
    // panel as it is; only a recording is timed.
    if (state_ == State::Recording)
        p.setTickInterval(1000);
    p.setStatusPart0(u("笔录.继续录音..."));
}

void AudioCommands::enterStopped()
{
    RecorderPanel& p = *env_.panel;
    p.setEnabled(kPause, false);
    p.setEnabled(kResume, false);
    p.setEnabled(kRecord, true);
    p.setEnabled(kStopSave, true);
    env_.recorder->stop();
    p.setTickInterval(0);
    state_ = State::Stopped;
}

void AudioCommands::stopAndSave()
{
    if (state_ == State::Idle)
        return;
    enterStopped();
    env_.panel->setStatusPart0(u("录音停止！请选择保存录音笔录的文件名称..."));
    saveThroughDialog();
}

bool AudioCommands::saveThroughDialog()
{
    const std::optional<QString> chosen = env_.prompts->chooseFile(*env_.saveDialog);
    if (!chosen || chosen->isEmpty()) {
        env_.prompts->message(u("没有输入WAV音频文件名称，请重新保存。"), u("提示："), Buttons::Ok);
        return false;
    }
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) {
        // The dialog adds the extension to a name typed without one; a name
        // that reaches us bare gets it here, and a file of that name is only
        // replaced when the officer says so.
        path += u(".wav");
        if (QFileInfo::exists(path) && env_.prompts->message(path + u(" 已存在。\n要替换它吗？"),
                                                             u("确认另存为"), Buttons::YesNo) != Answer::Yes)
            return false;
        env_.saveDialog->lastFileName = path;
    }
    QString error;
    if (!env_.recorder->saveWav(path, true, &error)) {
        env_.prompts->message(saveFailureText(path, error), u("提示："), Buttons::Ok);
        return false;
    }
    if (env_.session) {
        platform::SavedRecording saved{path, {}};
        const qint64 rate = env_.recorder->heldFormat().sampleRate;
        for (const WavCue& m : env_.recorder->marks())
            saved.marks.append({m.label, qint64(m.frame) * 1000 / rate});
        env_.session->savedRecording = std::move(saved);
    }
    if (env_.wavSaved)
        env_.wavSaved(path);
    enterIdleAfterSave();
    return true;
}

void AudioCommands::enterIdleAfterSave()
{
    env_.panel->setEnabled(kStopSave, false);
    env_.panel->setStatusPart0(u("笔录.录音保存成功..."));
    state_ = State::Idle;
}

void AudioCommands::tick()
{
    if (state_ != State::Idle && !recoveryLossTold_ && env_.recorder->recoveryCopyLost()) {
        recoveryLossTold_ = true;
        env_.prompts->message(recoveryLostText(), u("提示："), Buttons::Ok);
    }
    if (state_ == State::Recording) {
        const qint64 captured = env_.recorder->capturedBytes();
        silentTicks_ = captured == lastCaptured_ ? silentTicks_ + 1 : 0;
        lastCaptured_ = captured;
        if (env_.recorder->deviceWasLost() || silentTicks_ >= kSilentTicksForLoss) {
            deviceWentAway();
            return;
        }
    }
    if (++seconds_ == 60) {
        seconds_ = 0;
        if (++minutes_ == 60) {
            minutes_ = 0;
            ++hours_;
        }
    }
    RecorderPanel& p = *env_.panel;
    p.setElapsed(QString::number(hours_) + QLatin1Char(':') + QString::number(minutes_) + QLatin1Char(':') +
                 QString::number(seconds_));
    p.setSliderPosition(qMin(p.sliderPosition() + 1, kSliderMaximum));
}

void AudioCommands::deviceWentAway()
{
    enterStopped();
    env_.panel->setStatusPart0(u("录音设备已断开..."));
    env_.prompts->message(deviceLostText(), u("提示："), Buttons::Ok);
}

void AudioCommands::play()
{
    const QString path = env_.prompts->browseFolder(u(" ")).value_or(QString());
    env_.panel->setPlaybackPath(path);
    if (path.isEmpty() || !path.contains(u("wav"), Qt::CaseSensitive)) {
        env_.prompts->message(u("音频文件不正确，请选择正确音频文件播放..."), u("提 示："), Buttons::Ok);
        return;
    }
    env_.panel->setStatusPart0(u("笔录.录音播放中..."));
    env_.player->play(path, 0);
}

void AudioCommands::stopPlayback()
{
    env_.player->stopAll();
}

std::optional<qint64> AudioCommands::pairMark(int number)
{
    if (!env_.session)
        return std::nullopt;
    platform::SavedRecording& saved = env_.session->savedRecording;
    if (saved.file.isEmpty() || !QFileInfo(saved.file).isFile())
        return std::nullopt;
    // The WAV file is read once for its markers, not at every menu.
    if (saved.marks.isEmpty() && wavMarksRead_ != saved.file) {
        wavMarksRead_ = saved.file;
        const std::optional<QByteArray> file = platform::readWholeFile(saved.file);
        const std::optional<WavLayout> layout = file ? parseWav(*file) : std::nullopt;
        if (layout)
            for (const WavCue& c : layout->cues)
                saved.marks.append({c.label, qint64(c.frame) * 1000 / layout->format.sampleRate});
    }
    for (const QString& label : {u("问") + QString::number(number), u("答") + QString::number(number)})
        for (const platform::SavedRecording::Mark& m : std::as_const(saved.marks))
            if (m.label == label)
                return m.ms;
    return std::nullopt;
}

void AudioCommands::playFromPair(int number)
{
    const std::optional<qint64> ms = pairMark(number);
    if (!ms)
        return;
    const QString path = env_.session->savedRecording.file;
    env_.panel->setPlaybackPath(path);
    env_.panel->setStatusPart0(u("笔录.录音播放中..."));
    env_.player->play(path, *ms);
}

QString AudioCommands::playFromPairText(int number)
{
    return u("从第 ") + QString::number(number) + u(" 问播放");
}

bool AudioCommands::mayQuit()
{
    if (!hasUnsavedAudio())
        return true;
    if (env_.prompts->message(quitQuestion(), u("提 示："), Buttons::YesNo) != Answer::Yes)
        return false;
    env_.recorder->discard();
    env_.panel->setTickInterval(0);
    state_ = State::Idle;
    return true;
}

void AudioCommands::offerRecovery(const QStringList& leftFiles)
{
    // One at a time: an offer ends with the audio saved or deleted, or held
    // unsaved; then the files after it stay for the next start.
    for (const QString& file : leftFiles) {
        if (state_ != State::Idle || env_.prompts->interrupted())
            return;
        if (env_.recorder->loadRecovery(file))
            offerLoadedRecovery();
    }
}

void AudioCommands::offerLoadedRecovery()
{
    // The audio is held as a stopped, unsaved recording: "停止保存" saves it
    // later, a new recording or the end of the program asks first.
    showPanel();
    RecorderPanel& p = *env_.panel;
    p.setEnabled(kRecord, true);
    p.setEnabled(kStopSave, true);
    state_ = State::Stopped;
    const qint64 seconds = env_.recorder->heldBytes() / env_.recorder->heldFormat().bytesPerSecond();
    if (env_.prompts->message(recoveryQuestion(seconds), u("提示："), Buttons::YesNo) == Answer::Yes &&
        saveThroughDialog())
        return;
    if (env_.prompts->message(recoveryDeleteQuestion(), u("提 示："), Buttons::YesNo) != Answer::Yes)
        return;
    env_.recorder->discard();
    p.setEnabled(kStopSave, false);
    state_ = State::Idle;
}

} // namespace quillan::audio
