#pragma once

#include "platform/ProfileIni.h"
#include "platform/SessionState.h"
#include "record/Record.h"

#include <QString>

namespace quillan::record {

// The characters that file names on the officers' other desktops cannot hold,
// and the control characters (TAB, ESC, NUL ...), which no name should. A
// record whose file name would hold one is not stored, so that every record
// file can be exchanged with colleagues.
bool hasForbiddenFileNameCharacter(const QString& name);

// program directory + "/BL/" + the record's base name + ".ini" and + ".doc".
QString templatePath(const QString& programDir, const Record& record);
QString documentPath(const QString& programDir, const Record& record);
// The PDF copy beside the document: + ".pdf".
QString pdfPath(const QString& programDir, const Record& record);

// The case note with each CR and each LF replaced by one blank.
QString normaliseCaseNote(const QString& text);

// The sentence that says why a record file name was refused.
QString forbiddenNameReason();

// Outcome of writing a record file.
struct FileResult
{
    bool ok = false;
    QString path;
    QString error; // why not, in words for the officer; empty when ok
};

// Writes the record's template file: one section "set", every field in the
// write order, an existing file edited in place (existing keys replaced,
// missing keys appended, everything else kept), replaced atomically; "BL"
// is created when missing. A file name with a forbidden character is
// refused and nothing is written. The case note's line breaks are written
// as blanks. With a recording, the section "luyin" after it is written anew:
// "file", the WAV file's name, then one key per mark, its label, with the
// offset in milliseconds; without one, a section "luyin" the file holds stays.
FileResult writeTemplate(const QString& programDir, const Record& record,
                         const platform::SavedRecording* recording = nullptr);

// Reads the template file at `path`. Values longer than 10239 bytes are cut.
// A file that cannot be read (missing, unreadable, a folder) gives an empty
// profile and a result that says why.
struct LoadedTemplate
{
    FileResult result;
    platform::ProfileIni ini;
};
LoadedTemplate loadTemplate(const QString& path);

// The record a template holds; a key the template lacks gives an empty
// field.
Record recordFromTemplate(const platform::ProfileIni& ini);

// The recording the section "luyin" of the template at `templatePath` names,
// with its marks; a name that is not absolute is looked for beside the
// template. Empty without the section.
platform::SavedRecording recordingFromTemplate(const platform::ProfileIni& ini, const QString& templatePath);

} // namespace quillan::record
