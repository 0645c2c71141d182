#pragma once

#include "ledger/RecordLog.h"

#include <QString>
#include <QStringList>

namespace quillan::platform {
class Clock;
class Prompts;
struct FileDialogUnit;
} // namespace quillan::platform

namespace quillan::ledger {

struct LedgerEnvironment
{
    platform::Prompts* prompts = nullptr;
    platform::Clock* clock = nullptr;
    QString programDir;                               // no trailing "/"
    QString configDir;                                // per-user; empty: no anchor kept
    platform::FileDialogUnit* verifyDialog = nullptr; // the dialog of "核验笔录..."
};

// The log of saved records ("BL/笔录登记.log") as the officer meets it: saves
// are logged after their files are written, and "核验笔录..." tells whether
// a file is still as saved.
class LedgerCommands
{
public:
    explicit LedgerCommands(LedgerEnvironment env);

    // After a save: logs the files that lie in the records folder (others
    // are not the program's records). A log that cannot be written is told;
    // the saved files stay as they are.
    void logSave(const QStringList& paths) const;
    // "核验笔录..."
    void verifyFile() const;

    QString logFile() const;
    QString anchorFile() const;

    static QString logFailureText(const QString& reason);
    static QString anchorFailureText(const QString& reason);
    // The message of a verification: the file's line, then the log's line.
    static QString verdictText(const QString& name, const FileDigest& digest, const LogCheck& check,
                               const QString& logFile);

private:
    LedgerEnvironment env_;
};

} // namespace quillan::ledger
