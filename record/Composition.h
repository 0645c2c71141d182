#pragma once

#include "record/TemplateFile.h"

#include <QString>

#include <optional>

namespace quillan::word {
class WordEngine;
}

namespace quillan::record {

class RecordForm;

// What a composition left behind.
struct ComposeResult
{
    // The record template, composed on the way; the caller writes it with
    // finish() when the record is to be stored.
    std::optional<TemplateWriter> templateFile;
    bool documentOpen = false; // the working document was opened and typed into
    QString documentError;     // why not, when it was not
};

// Composes the record document: writes the blank working document to
// program directory + "/BL/Doc.doc", opens it in a fresh, hidden session of
// the engine and types the whole record into it (title, header, question and
// answer pairs with their closing blocks, final section), collecting the
// template keys group by group as it goes. The page line counter is reset and
// advanced as the lines are typed. The caller saves or prints the document
// and writes the template, then closes the document and quits the session.
ComposeResult composeRecord(RecordForm& form, word::WordEngine& engine, const QString& programDir,
                            int& pageLineCounter);

// The separator between start minute and end hour of the first header line,
// chosen by the byte lengths of month and day.
QString timeSeparator(const QString& month, const QString& day);

// Path of the blank working document, and writing it from the compiled-in
// asset.
QString workingDocumentPath(const QString& programDir);
bool writeWorkingDocument(const QString& programDir, QString* error = nullptr);

} // namespace quillan::record
