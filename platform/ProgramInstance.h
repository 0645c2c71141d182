#pragma once

#include <QString>
#include <QStringList>

namespace quillan::platform {

// This running program among the others of the same user, which share one
// scratch folder. The program holds a lock file of its own,
// "instance-<id>.lock" (flock), for as long as it runs, and its recovery
// files carry the same id: "<stem>.<id><suffix>". Files whose program no
// longer runs (its lock file free or gone), and files named as they were
// before each program had its own ("<stem><suffix>"), are left files. A
// program claims a left file by renaming it to a name of its own, so that
// two programs starting together never take the same file, and a claimed
// file that was not dealt with is left again when its claimant ends.
class ProgramInstance
{
public:
    // Creates the scratch folder (0700) when it is missing and takes a lock
    // of its own there.
    explicit ProgramInstance(QString scratchDir);
    // Gives the lock up and removes its file.
    ~ProgramInstance();
    ProgramInstance(const ProgramInstance&) = delete;
    ProgramInstance& operator=(const ProgramInstance&) = delete;

    // False when no lock could be taken (no private scratch folder): the
    // program's files then look left to the others.
    bool isLocked() const { return lockFd_ >= 0; }
    const QString& id() const { return id_; }

    // scratch folder + "/" + stem + "." + id + suffix
    QString ownFile(const QString& stem, const QString& suffix) const;

    // Claims the left files "<stem>[.<id>[.<n>]]<suffix>": each is renamed
    // to "<stem>.<own id>.<n><suffix>". The claimed files, newest first.
    QStringList claimLeftFiles(const QString& stem, const QString& suffix);

    // Whether the program of `id` runs (its lock is held).
    bool isRunning(const QString& id) const;

private:
    QString lockFile(const QString& id) const;

    QString scratchDir_;
    QString id_;
    int lockFd_ = -1;
    int claimed_ = 0;
};

} // namespace quillan::platform
