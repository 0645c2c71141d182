#include "WordE2eSupport.h"

#include "support/TestSupport.h"
#include "word/OfficeInstance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace quillan::word::test {

bool requireOffice()
{
    if (QFileInfo(QStringLiteral("/usr/lib/libreoffice/program/soffice")).isExecutable() &&
        QFileInfo(QStringLiteral("/usr/lib/libreoffice/program/libswlo.so")).isFile())
        return true;
    ADD_FAILURE() << "missing component: LibreOffice Writer in /usr/lib/libreoffice/program "
                     "(install libreoffice-writer-nogui)";
    return false;
}

QString copyBlankDoc(const QString& dir, const QString& name)
{
    const QString source = quillan::test::sourcePath(QStringLiteral("assets/documents/Doc.doc"));
    const QString target = dir + QLatin1Char('/') + name;
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        ADD_FAILURE() << "cannot copy " << source.toStdString() << " to " << target.toStdString();
        return {};
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

LibreOfficeOptions optionsIn(const QString& scratchDir, int timeoutMs)
{
    LibreOfficeOptions o;
    o.scratchDir = scratchDir;
    o.timeoutMs = timeoutMs;
    return o;
}

QList<pid_t> officeBinaries(const QString& profileDir)
{
    QList<pid_t> result;
    for (pid_t pid : OfficeInstance::processesUsingProfile(profileDir)) {
        const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
        if (exe.endsWith(QStringLiteral("/soffice.bin")))
            result << pid;
    }
    return result;
}

bool noProcessOn(const QString& profileDir, int timeoutMs)
{
    for (int waited = 0;; waited += 50) {
        if (OfficeInstance::processesUsingProfile(profileDir).isEmpty())
            return true;
        if (waited > timeoutMs)
            return false;
        QThread::msleep(50);
    }
}

QStringList strayFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral(".~quillan*")}, QDir::Files | QDir::Hidden | QDir::System);
}

QString cupsPdfFolder()
{
    const passwd* pw = getpwuid(getuid());
    return pw ? QFile::decodeName(pw->pw_dir) + QStringLiteral("/PDF") : QString();
}

QString waitForPrintedPdf(int jobId, int timeoutMs)
{
    // cups-pdf names its files after the title and "-job_<id>".
    return quillan::test::waitForSettledFile(cupsPdfFolder(), QStringLiteral("*-job_%1.pdf").arg(jobId), 0,
                                             timeoutMs);
}

} // namespace quillan::word::test
