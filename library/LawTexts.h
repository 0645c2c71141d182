#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace quillan::library {

// One entry of the text panel's catalogue: a menu item that shows a text.
struct TextEntry
{
    enum class Source {
        Embedded,      // compiled in; written to a scratch file and read back
        ProgramFolder, // a file the office keeps beside the program
    };
    QString menu;    // "法律法规" or "帮助"
    QString caption; // the menu item, exactly
    Source source = Source::Embedded;
    // Embedded: the scratch file name ("t.txt"); program folder: the file
    // name there ("帮助.txt").
    QString fileName;
    // Embedded: the resource holding the text. Empty for the program-folder
    // texts.
    QString resource;
};

// Every text entry of the menus "法律法规" (19, in menu order) and "帮助"
// (3, in menu order).
const std::vector<TextEntry>& textCatalogue();

// The entry with this menu and caption, or nullptr.
const TextEntry* findTextEntry(const QString& menu, const QString& caption);

// The compiled-in bytes of an embedded entry (GBK, CR LF), exactly as they
// are written to its scratch file. Empty for a program-folder entry.
QByteArray embeddedText(const TextEntry& entry);

// The appendix of the female-employee protection provisions (from its line
// "附录：" to the end), under a heading that says what it is. `provisions`
// is the whole shipped text; the appendix bytes are kept unchanged.
QByteArray prohibitedWorkAppendix(const QByteArray& provisions);

// The work-injury insurance regulation, the text of the pop-up reader.
QByteArray workInjuryRegulation();

} // namespace quillan::library
