#pragma once

#include "word/WordEngine.h"

#include <QString>

namespace quillan::word {

// The office program folder the presence check found ("…/program/"), or
// the empty text when no word processor is installed.
QString officeFolder(WordEngine& engine);

// A document opened hidden in a fresh session of the word processor, to be
// typed into, saved and printed. Its session ends with it, or earlier with
// end(). A document that could not be opened says why in openError(); the
// operations on it then fail and say so.
class HiddenDocument
{
public:
    HiddenDocument(WordEngine& engine, const QString& path);
    ~HiddenDocument();
    HiddenDocument(const HiddenDocument&) = delete;
    HiddenDocument& operator=(const HiddenDocument&) = delete;

    bool isOpen() const { return open_; }
    const QString& openError() const { return openError_; }

    // Typing into the document.
    WordEngine& typist() { return engine_; }

    // Stores the document as a Word 97-2003 file, or as an archivable PDF
    // when `path` ends in ".pdf"; the new file replaces an old one only when
    // complete. False, with the reason in `error`, when it was not written.
    bool save(const QString& path, QString* error);
    // Prints the whole document on the default printer; a failure carries
    // the reason in its detail.
    PrintResult print();

    // Closes the document and ends the session; `release` lets go of the
    // session's objects as well.
    void end(bool release = false);

private:
    WordEngine& engine_;
    bool open_ = false;
    bool ended_ = false;
    QString openError_;
};

// Prints the file at `path`: opened hidden, printed, closed. A failure
// carries the reason in its detail (why it did not open, or why it did not
// print).
PrintResult printFile(WordEngine& engine, const QString& path);

// The message of a print that did not succeed.
QString printFailureText(const QString& reason);

// `text` as it goes into a place of a form that holds `blank`: a blank of
// ideographic spaces (with the word joiners that keep it whole) keeps its
// width, the text centred in it (a Latin letter or digit is half as wide
// as a Chinese character); a wider text, or any other place, takes the text
// as it is.
QString fitIntoBlank(const QString& blank, const QString& text);

} // namespace quillan::word
