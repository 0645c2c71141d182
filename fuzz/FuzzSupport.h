#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Aborts with a message when a property does not hold.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace quillan::fuzz {

// One scratch folder for the whole run, in memory when the system has a
// memory file system: the writers flush every file to disk, which would
// otherwise bound the run to a few inputs a second.
inline const QTemporaryDir& scratch()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/quillan-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/quillan-fuzz-XXXXXX"));
    return dir;
}

inline QString writeScratch(const QString& name, const QByteArray& bytes)
{
    const QString path = scratch().filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

} // namespace quillan::fuzz
