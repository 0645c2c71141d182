#pragma once

#include <QString>

namespace quillan::platform {
class Prompts;
class Shell;
class StatusPort;
struct SessionState;
} // namespace quillan::platform

namespace quillan::record {
class RecordView;
}

namespace quillan::word {
class WordEngine;
}

namespace quillan::library {

struct InspectionDocument;

// What the inspection-document commands work with. Every pointer must be set.
struct DocumentEnvironment
{
    platform::StatusPort* status = nullptr;    // the status bar and the busy cursor
    platform::SessionState* session = nullptr; // keeps the office folder
    platform::Prompts* prompts = nullptr;
    platform::Shell* shell = nullptr;
    word::WordEngine* word = nullptr;
    const record::RecordView* form = nullptr; // the record being typed, which can fill a form
    QString scratchDir; // the private scratch folder the forms are written to, no trailing "/"
};

// The entries of the menu "监察文书". Each writes its blank form to its
// scratch file, opens it in the word processor and asks whether to print it
// at once: OK prints it, Cancel hands the officer a new, untitled Writer
// document made from it (so that a form filled in and saved is never
// overwritten by the next use of the entry). When the record being typed
// has text for the form's named places, the officer is first asked whether
// to fill them from it: the filled copy is printed, or written beside the
// blank one and handed to Writer the same way; the blank form in the
// program stays blank. Failures are told in a message box; nothing is
// thrown.
class DocumentCommands
{
public:
    explicit DocumentCommands(DocumentEnvironment env);

    void open(const InspectionDocument& document);

    // Where an entry's form is written, and its copy filled from the record.
    QString scratchPath(const InspectionDocument& document) const;
    QString filledScratchPath(const InspectionDocument& document) const;

    // The message when the form could not be written to its scratch file.
    static QString writeFailureText(const QString& path, const QString& reason);
    // The message when the word processor could not open the written form.
    static QString openFailureText(const QString& path, const QString& reason);
    // The message when Writer could not be started with the form.
    static QString handOverFailureText(const QString& path);

private:
    DocumentEnvironment env_;
};

} // namespace quillan::library
