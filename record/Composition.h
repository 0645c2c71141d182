#pragma once

#include "record/Record.h"
#include "word/Documents.h"

#include <QString>

#include <memory>

namespace quillan::record {

// The record document opened for typing, and why not when it could not be.
struct ComposedDocument
{
    std::unique_ptr<word::HiddenDocument> document;
    bool open = false; // the working document was opened and typed into
    QString openError; // why not, when it was not
};

// Composes the record document: writes the blank working document to
// program directory + "/BL/Doc.doc", opens it hidden in a fresh session of
// the word processor and types the whole record into it (title, header,
// question and answer pairs with their closing blocks, final section). The
// page line counter is reset and advanced as the lines are typed. The
// caller saves or prints the document; its session ends with it.
ComposedDocument composeRecord(const Record& record, word::WordEngine& engine, const QString& programDir,
                               int& pageLineCounter);

// The separator between start minute and end hour of the first header line,
// chosen by the byte lengths of month and day.
QString timeSeparator(const QString& month, const QString& day);

// Path of the blank working document, and writing it from the compiled-in
// asset.
QString workingDocumentPath(const QString& programDir);
bool writeWorkingDocument(const QString& programDir, QString* error = nullptr);

} // namespace quillan::record
