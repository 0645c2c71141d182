#pragma once

#include <QString>

namespace quillan::word {

// Paragraph alignment at the selection; the numbers are those of the
// automation interface the record commands were written against.
enum class Alignment { Left = 0, Center = 1 };

// Outcome of a print job, followed until the print system settles it.
struct PrintResult
{
    enum class Status {
        Completed, // the print system reports the job completed
        Sent,      // accepted and still pending when the time-out ran out
        NoDocument,
        NoPrinter,
        RenderFailed,
        Refused,
        Failed, // aborted or stopped by the print system
        Cancelled,
    };
    Status status = Status::NoDocument;
    QString detail; // a sentence for the officer saying why it failed
    int jobId = 0;

    bool ok() const { return status == Status::Completed || status == Status::Sent; }
};

// The word processor as the record commands drive it: a session ("the
// application"), its active document and the selection in it. Formatting set
// at the selection governs the text typed after it; a new paragraph takes over
// the formatting of the one before; CR LF in typed text ends a paragraph.
// Operations on an object that is not bound do nothing. No operation throws.
class WordEngine
{
public:
    virtual ~WordEngine() = default;

    // Presence check: the word processor's program folder followed by CR LF,
    // or the empty text when none is installed.
    virtual QString installPathText() = 0;
    // Whether the spreadsheet program is installed.
    virtual bool spreadsheetInstalled() = 0;

    // Gets the word processor ready in the background so that the first
    // real operation does not wait for it to start; returns at once. An
    // operation that comes meanwhile waits for the start instead of starting
    // a second one. A start that fails is silent: the next operation tries
    // again and reports what goes wrong.
    virtual void startInBackground() {}

    // Opens a fresh session; an earlier one is ended first.
    virtual void createApplication() = 0;
    // Binds the session's document collection (no document is added).
    virtual void bindDocuments() = 0;
    // Opens a file as the active document; typed text then goes into it.
    virtual bool open(const QString& path) = 0;
    // 0 hidden, 1 shown to the officer.
    virtual void setVisible(int visible) = 0;

    virtual void setAlignment(Alignment alignment) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setUnderline(bool on) = 0;
    virtual void typeText(const QString& text) = 0;
    // Replaces the text of the named place (a bookmark) of the active
    // document with `text`, fitted into it by fitIntoBlank (Documents.h),
    // keeping the underline the place had. False when
    // the document has no place of that name, or it could not be filled
    // (lastError() then says why).
    virtual bool setFieldText(const QString& name, const QString& text) = 0;

    // Saves the active document as a Word 97-2003 file; true only when the
    // file is completely written.
    virtual bool saveAs(const QString& path) = 0;
    // Saves the active document as an archivable PDF (PDF/A-2b: fonts
    // embedded, a text layer); true only when the file is completely written.
    virtual bool saveAsPdf(const QString& path) = 0;
    // Prints the whole active document, one copy, A4, on the default printer.
    virtual PrintResult print() = 0;

    virtual void closeDocument() = 0;
    virtual void quit() = 0;
    virtual void releaseDocuments() = 0;
    virtual void releaseApplication() = 0;

    // Why the last failing operation failed, in words for the officer.
    virtual QString lastError() const = 0;
};

} // namespace quillan::word
