#include "support/TestSupport.h"

#include "platform/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

namespace quillan::test {

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/quillan-test-XXXXXX")) {}

QString TempDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

QByteArray gbk(const QString& text)
{
    return platform::encodeText(text);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString sourcePath(const QString& relative)
{
    return QStringLiteral(QUILLAN_SOURCE_DIR "/") + relative;
}

QString runProgram(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted(10000) || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(2000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool requireProgram(const QString& program, const QString& package)
{
    if (!QStandardPaths::findExecutable(program).isEmpty() ||
        !QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")})
             .isEmpty())
        return true;
    ADD_FAILURE() << "missing component: " << program.toStdString() << " (install " << package.toStdString()
                  << ")";
    return false;
}

bool isOleFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1");
}

QString waitForSettledFile(const QString& folder, const QString& pattern, qint64 notBeforeMs, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 200) {
        const QFileInfoList files = QDir(folder).entryInfoList({pattern}, QDir::Files, QDir::Time);
        if (!files.isEmpty() && files.first().lastModified().toMSecsSinceEpoch() >= notBeforeMs) {
            const QString path = files.first().filePath();
            const qint64 size = files.first().size();
            QThread::msleep(300);
            if (size > 0 && QFileInfo(path).size() == size)
                return path;
        }
        QThread::msleep(200);
    }
    return {};
}

} // namespace quillan::test
