#pragma once

#include "app/Wiring.h"

#include <memory>

namespace quillan::audio {
class AudioCommands;
class AudioRecorder;
class RecorderPanel;
} // namespace quillan::audio
namespace quillan::exchange {
class ExchangeCommands;
}
namespace quillan::ledger {
class LedgerCommands;
}
namespace quillan::library {
class DocumentCommands;
}
namespace quillan::security {
class PasswordUi;
}

namespace quillan::app {

class TextBindings;

// One binding per feature, each with the same signature. A binding whose
// components the services lack binds nothing and returns null.

// The log of saved records and "核验笔录...".
std::unique_ptr<ledger::LedgerCommands> bindLedger(const Wiring& wiring);
// The record commands of "文件" and "工具", the finder, the text panel's
// "打  印".
std::unique_ptr<record::RecordCommands> bindRecords(const Wiring& wiring);
// The blank forms of "监察文书".
std::unique_ptr<library::DocumentCommands> bindDocuments(const Wiring& wiring);
// "网络功能" and "更新软件".
std::unique_ptr<exchange::ExchangeCommands> bindExchange(const Wiring& wiring);
// The law texts, links and tools, and the pop-up reader of start-up.
std::unique_ptr<TextBindings> bindTexts(const Wiring& wiring);
// The start-up password gate and "安全设置"; the window owns what it makes.
security::PasswordUi* bindPassword(const Wiring& wiring);

// The interview recorder: its panel, the recorder and its commands (which
// use both, and go first).
struct AudioFeature
{
    std::unique_ptr<audio::RecorderPanel> panel;
    std::unique_ptr<audio::AudioRecorder> recorder;
    std::unique_ptr<audio::AudioCommands> commands;
    AudioFeature();
    AudioFeature(AudioFeature&&) noexcept;
    AudioFeature& operator=(AudioFeature&&) noexcept;
    ~AudioFeature();
};
AudioFeature bindAudio(const Wiring& wiring);

// The label of a question or answer line's mark in the recording: "问1",
// "答1", ... "问24", "答24".
QString recordingMarkLabel(record::FieldId id);

// The stem of this program's own recording recovery file.
QString audioRecoveryStem();

} // namespace quillan::app
