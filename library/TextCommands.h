#pragma once

#include "library/LawTexts.h"

#include <QString>

#include <functional>

namespace quillan::platform {
struct SessionState;
}

namespace quillan::library {

// What the text commands work with. `session` and `showPanel` must be set.
struct TextEnvironment
{
    platform::SessionState* session = nullptr; // keeps the file of the text on show
    // Puts the text into the main window's text panel at left 1, top 64,
    // width 1017, height 506 and shows it, then "关  闭" and "打  印".
    std::function<void(const QString& text)> showPanel;
    QString programDir; // no trailing "/"
    // The private scratch folder, made on demand; empty when it cannot be
    // made private.
    std::function<QString()> scratchDir;
};

// The largest text file the panel reads; a bigger program-folder file is
// shown up to this size, cut before any half character.
inline constexpr qsizetype kMaxPanelTextBytes = qsizetype(32) * 1024 * 1024;

// The commands of the menu entries that show a text in the main window's
// text panel. None of them shows a message.
class TextCommands
{
public:
    explicit TextCommands(TextEnvironment env);

    // Shows the entry's text: an embedded text is written to its scratch
    // file (replacing it) and read back from there; a program-folder text is
    // read where the office keeps it. The session names the file either way,
    // so that "打  印" prints it. A file that cannot be read shows an empty panel.
    void show(const TextEntry& entry);

    // The path an entry's text is shown from.
    QString pathOf(const TextEntry& entry) const;

private:
    TextEnvironment env_;
};

// The bytes of a file, at most `maxBytes`, cut before any half character;
// empty when it cannot be read.
QByteArray readTextFile(const QString& path, qsizetype maxBytes = kMaxPanelTextBytes);

// The pop-up reader of the start-up opens unless "tanchu" of section "pop"
// is exactly "0".
bool popUpWanted(const QString& tanchu);

} // namespace quillan::library
