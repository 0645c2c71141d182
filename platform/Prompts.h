#pragma once

#include <QString>

#include <optional>

namespace quillan::platform {

enum class Buttons { Ok, OkCancel, YesNo };
// Interrupted: the program is ending (the desktop session ends) and the
// question went unanswered; the command that asked is called off as a whole.
enum class Answer { Ok, Cancel, Yes, No, Interrupted };

// A file dialog of the window: what it offers and the
// file chosen the last time, which it shows again when opened.
struct FileDialogUnit
{
    enum class Mode { Open, Save };
    QString objectName;
    Mode mode = Mode::Open;
    QString filter; // "description|pattern"
    QString defaultExtension;
    QString lastFileName;
};

// Every message box and file dialog of the commands goes through this
// service, so that tests can answer them and read what was shown.
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual Answer message(const QString& text, const QString& title, Buttons buttons) = 0;
    // The chosen path, or nothing when the officer cancels. On a choice the
    // unit remembers the file name.
    virtual std::optional<QString> chooseFile(FileDialogUnit& dialog) = 0;
    // A folder browser that lists the files too.
    virtual std::optional<QString> browseFolder(const QString& title) = 0;

    // The program is ending: the message box or dialog open now closes
    // unanswered, and none is shown any more. Messages then answer
    // Interrupted, dialogs choose nothing.
    void interrupt();
    bool interrupted() const { return interrupted_; }

protected:
    // Closes what is open now, as unanswered.
    virtual void closeOpenPrompt() {}

private:
    bool interrupted_ = false;
};

} // namespace quillan::platform
