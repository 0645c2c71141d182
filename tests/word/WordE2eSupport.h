#pragma once

#include "support/TestSupport.h"
#include "word/LibreOfficeEngine.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

namespace quillan::word::test {

inline QString runTool(const QString& program, const QStringList& args, int timeoutMs = 60000)
{
    return quillan::test::runProgram(program, args, timeoutMs);
}
inline bool requireTool(const QString& program, const QString& package)
{
    return quillan::test::requireProgram(program, package);
}
// LibreOffice installed, or a failure naming what is missing.
bool requireOffice();

// The blank working document of the repository, copied to `dir` as `name`.
QString copyBlankDoc(const QString& dir, const QString& name = QStringLiteral("Doc.doc"));
// Engine options with a private scratch folder.
LibreOfficeOptions optionsIn(const QString& scratchDir, int timeoutMs = 60000);

// soffice.bin processes running on a profile.
QList<pid_t> officeBinaries(const QString& profileDir);
// Waits until no process uses the profile.
bool noProcessOn(const QString& profileDir, int timeoutMs = 10000);
// Files in `dir` whose names start with ".~quillan" (stray temporary files).
QStringList strayFiles(const QString& dir);

// Where cups-pdf writes: <home of the user from the password database>/PDF.
QString cupsPdfFolder();
// Waits for the PDF cups-pdf writes for a job, until its size is settled;
// its path, or empty.
QString waitForPrintedPdf(int jobId, int timeoutMs = 60000);

inline bool hasWord97Signature(const QString& path)
{
    return quillan::test::isOleFile(path);
}

} // namespace quillan::word::test
