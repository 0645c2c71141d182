#pragma once

#include "word/WordEngine.h"

#include <QString>

#include <functional>

namespace quillan::word {

// Prints a PDF file on the default CUPS destination (one copy, A4) and
// follows the job until the print system settles it or `waitMs` runs out
// (then the result is Sent). The file may be deleted once this returns.
// `pause` waits between two looks at the job (a plain sleep when empty).
PrintResult printPdfWithCups(const QString& pdfPath, const QString& title, int waitMs,
                             const std::function<void(int)>& pause = {});

} // namespace quillan::word
