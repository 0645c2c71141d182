#pragma once

#include "platform/ProfileIni.h"
#include "record/RecordFields.h"

#include <QString>

#include <optional>

namespace quillan::record {

class RecordForm;

// The characters that file names on the officers' other desktops cannot hold,
// and the control characters (TAB, ESC, NUL ...), which no name should. A
// record whose file name would hold one is not stored, so that every record
// file can be exchanged with colleagues.
bool hasForbiddenFileNameCharacter(const QString& name);

// year + "." + month + "." + day + "-" + work unit + "-" + name, from the
// fields exactly as they stand.
QString recordBaseName(const RecordForm& form);
// program directory + "/BL/" + base name + ".ini" and + ".doc".
QString templatePath(const QString& programDir, const RecordForm& form);
QString documentPath(const QString& programDir, const RecordForm& form);
// The PDF copy beside the document: + ".pdf".
QString pdfPath(const QString& programDir, const RecordForm& form);

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

// Writes the record template file: one section "set", the keys in the order
// they are handed in, an existing file edited in place (existing keys
// replaced, missing keys appended, everything else kept). The keys are
// collected while the record is composed and the file is replaced
// atomically, once, by finish().
class TemplateWriter
{
public:
    TemplateWriter(const QString& programDir, const RecordForm& form);

    const QString& path() const { return path_; }
    // True when the file name holds a forbidden character: nothing is written.
    bool refused() const { return !writer_.has_value(); }

    void write(const Field& field, const QString& value);
    // Writes `fields` with the values the form holds.
    void writeFields(std::span<const Field> fields, const RecordForm& form);
    // Normalises the case note's line breaks, puts the result back into the
    // form and writes "beizu".
    void writeCaseNote(RecordForm& form);

    // Creates "BL" when missing and stores the file.
    FileResult finish();

private:
    QString programDir_;
    QString path_;
    std::optional<platform::ProfileWriter> writer_;
};

// Writes every field of the form in the write order (case note normalised).
FileResult writeTemplate(const QString& programDir, RecordForm& form);

// Reads the template file at `path`. Values longer than 10239 bytes are cut.
// A file that cannot be read (missing, unreadable, a folder) gives an empty
// profile and a result that says why.
struct LoadedTemplate
{
    FileResult result;
    platform::ProfileIni ini;
};
LoadedTemplate loadTemplate(const QString& path);

// Sets every field of the form from a template, in the read order; a key
// the template lacks empties its field.
void fillForm(const platform::ProfileIni& ini, RecordForm& form);

// loadTemplate, then fillForm when the file could be read: a file that
// cannot be read changes no field.
FileResult readTemplate(const QString& path, RecordForm& form);

} // namespace quillan::record
