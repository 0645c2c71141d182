#include "support/TestSupport.h"

#include "platform/Text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

QByteArray gbk(const QString& text) { return platform::encodeText(text); }

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString sourcePath(const QString& relative) { return QStringLiteral(QUILLAN_SOURCE_DIR "/") + relative; }

} // namespace quillan::test
