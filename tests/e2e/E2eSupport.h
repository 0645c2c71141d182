#pragma once

#include "support/TestSupport.h"

#include <QString>
#include <QStringList>

namespace quillan::test {

// The folder cups-pdf prints into: the user's home folder + "/PDF".
QString printedPdfFolder();
// The newest PDF in that folder written after `sinceMs` (ms since the
// epoch), once its size has settled; empty when none came within the time.
QString waitForPrintedPdf(qint64 sinceMs, int timeoutMs = 90000);
// The text of a PDF, by pdftotext.
QString pdfText(const QString& pdf);
// The same line by line as printed: a text that runs on to the next line
// reads on (the plain order may put an underlined run elsewhere).
QString pdfLayoutText(const QString& pdf);
// The number of pages of a PDF, by pdfinfo; -1 when unreadable.
int pdfPages(const QString& pdf);
// The document CUPS printed for the job whose output cups-pdf wrote to
// `printedPdf` ("...-job_<id>.pdf"): the spooled job file. cups-pdf's own
// output keeps the glyphs but drops their Unicode mapping, so the text of a
// print is read from the document the job printed.
QString spooledDocument(const QString& printedPdf);
// Fails the test, saying what is missing, unless the PulseAudio server
// answers and pactl, paplay, espeak-ng and sox are there.
bool requirePulse();
// `text` without any blank (spaces, ideographic spaces, tabs, line breaks).
QString withoutBlanks(const QString& text);

} // namespace quillan::test
