#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace quillan::test {

// A fresh folder for one test, removed afterwards.
class TempDir
{
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    // Writes `bytes` to `name` below the folder (folders are created).
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
};

// GB18030 bytes of a text, for building test files.
QByteArray gbk(const QString& text);
QByteArray readFile(const QString& path);
// A file of the repository.
QString sourcePath(const QString& relative);

} // namespace quillan::test
