#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "doubles/ScriptedPrompts.h"
#include "platform/Prompts.h"

#include <ostream>

// A failed comparison shows texts as text, not as the bytes of the object.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace quillan::platform {
inline void PrintTo(const ScriptedPrompts::Shown& shown, std::ostream* os)
{
    *os << "{\"" << shown.text.toStdString() << "\", \"" << shown.title.toStdString() << "\", "
        << static_cast<int>(shown.buttons) << '}';
}
} // namespace quillan::platform

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

// Runs a program with an argument list; its standard output, or a null
// string when it could not run or failed.
QString runProgram(const QString& program, const QStringList& args, int timeoutMs = 120000);
// Fails the current test, naming what is missing, unless `program` is found.
bool requireProgram(const QString& program, const QString& package);
// The newest file in `folder` matching `pattern` and modified at or after
// `notBeforeMs` (ms since the epoch), once its size has settled; empty when
// none came within `timeoutMs`.
QString waitForSettledFile(const QString& folder, const QString& pattern, qint64 notBeforeMs, int timeoutMs);
// The first eight bytes are those of an OLE compound file (Word 97-2003).
bool isOleFile(const QString& path);

} // namespace quillan::test
