#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>
#include <utility>

namespace quillan::platform {

// Answers prompts from a script and records everything shown. An unscripted
// message gets the cautious answer (OK for a lone OK button, Cancel, No); an
// unscripted file dialog is cancelled.
class ScriptedPrompts final : public Prompts
{
public:
    struct Shown
    {
        QString text;
        QString title;
        Buttons buttons;
        bool operator==(const Shown&) const = default;
    };

    Answer message(const QString& text, const QString& title, Buttons buttons) override;
    std::optional<QString> chooseFile(FileDialogUnit& dialog) override;
    std::optional<QString> browseFolder(const QString& title) override;

    // Interrupted as an answer: the program's end came while the message
    // was open. After interrupt() nothing more is shown or recorded.
    void answerNext(Answer answer) { answers_.push_back(answer); }
    void chooseNext(const QString& path) { files_.push_back({true, path}); }
    void cancelNext() { files_.push_back({false, QString()}); }

    const QList<Shown>& shown() const { return shown_; }
    // Names of the file dialogs opened, in order.
    const QList<QString>& dialogsOpened() const { return dialogs_; }
    void clear()
    {
        shown_.clear();
        dialogs_.clear();
    }

private:
    std::optional<QString> nextPath(const QString& dialog);

    std::deque<Answer> answers_;
    std::deque<std::pair<bool, QString>> files_; // chosen?, path
    QList<Shown> shown_;
    QList<QString> dialogs_;
};

} // namespace quillan::platform
