#pragma once

#include "audio/CaptureDevice.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillan::platform {
class Prompts;
struct FileDialogUnit;
struct SessionState;
} // namespace quillan::platform

namespace quillan::audio {

class AudioRecorder;

// The controls of the recorder panel the commands switch.
enum class PanelControl {
    Panel,    // the panel as a whole
    Record,   // "录音"
    Pause,    // "暂停"
    Resume,   // "继续"
    StopSave, // "停止保存"
};

// The recorder panel of the main window and what it drives outside itself.
// The window implements it; tests use plain values.
class RecorderPanel
{
public:
    virtual ~RecorderPanel() = default;
    virtual void setEnabled(PanelControl control, bool enabled) = 0;
    virtual void setVisible(PanelControl control, bool visible) = 0;
    // The recording's elapsed time, "h:m:s".
    virtual void setElapsed(const QString& text) = 0;
    virtual int sliderPosition() const = 0;
    virtual void setSliderPosition(int position) = 0;
    virtual void setTickInterval(int ms) = 0; // the panel's clock; 0 stops it
    virtual void setStatusPart0(const QString& text) = 0;
    // The recording last saved or chosen, which "播放" plays.
    virtual void setPlaybackPath(const QString& path) = 0;
};

struct AudioEnvironment
{
    RecorderPanel* panel = nullptr;
    platform::Prompts* prompts = nullptr;
    AudioRecorder* recorder = nullptr;
    SoundPlayer* player = nullptr;
    platform::FileDialogUnit* saveDialog = nullptr; // the WAV file dialog
    // Optional: told the path of each WAV file saved.
    std::function<void(const QString& path)> wavSaved;
    // Optional: keeps the recording saved and its marks for the template.
    platform::SessionState* session = nullptr;
};

// The recorder panel's commands. Each runs to completion on the
// user-interface thread; messages go through the prompts service.
class AudioCommands
{
public:
    enum class State { Idle, Recording, Paused, Stopped };

    explicit AudioCommands(AudioEnvironment env);

    void showPanel();      // "打开笔录录音"
    void hidePanel();      // "关闭笔录录音": a recording goes on
    void startRecording(); // "录音"
    void pause();          // "暂停"
    void resume();         // "继续"
    void stopAndSave();    // "停止保存"
    void tick();           // the panel's clock
    void play();           // "播放"
    void stopPlayback();   // "停止"

    // Where the session's recording is marked for pair `number`: the mark of
    // its question, or of its answer when the question has none, in ms.
    // Marks the template did not name are taken from the WAV file's own.
    // Nothing without such a mark or when the WAV file is missing.
    std::optional<qint64> pairMark(int number);
    // "从第 N 问播放": plays the session's recording from pair `number`'s
    // mark; nothing without one.
    void playFromPair(int number);
    static QString playFromPairText(int number);

    // Before the program ends: true when nothing unsaved would be lost, or
    // the officer agrees to lose it (the audio is then discarded).
    bool mayQuit();
    // At start: offers the audio that programs no longer running left
    // behind in recovery files, one after the other.
    void offerRecovery(const QStringList& leftFiles);

    State state() const { return state_; }
    // Audio held that was never saved (a running recording counts).
    bool hasUnsavedAudio() const { return state_ != State::Idle; }

    // Texts of the messages.
    static QString startFailureText(CaptureProblem problem);
    static QString saveFailureText(const QString& path, const QString& reason);
    static QString deviceLostText();
    static QString discardQuestion();
    static QString recoveryLostText();
    static QString quitQuestion();
    static QString recoveryQuestion(qint64 seconds);
    static QString recoveryDeleteQuestion();
    // "h:m:s" without leading zeros.
    static QString elapsedText(qint64 seconds);

private:
    bool saveThroughDialog();
    // Asks what becomes of the audio just loaded from a recovery file.
    void offerLoadedRecovery();
    void enterStopped();
    void enterIdleAfterSave();
    void deviceWentAway();

    AudioEnvironment env_;
    State state_ = State::Idle;
    int seconds_ = 0;
    int minutes_ = 0;
    int hours_ = 0;
    qint64 lastCaptured_ = 0;
    int silentTicks_ = 0;
    bool recoveryLossTold_ = false; // once per recording
    QString wavMarksRead_;          // the WAV file last read for its own markers
};

} // namespace quillan::audio
