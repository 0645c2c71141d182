#pragma once

#include "record/RecordCommands.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillan::platform {
class Clock;
class Prompts;
} // namespace quillan::platform

namespace quillan::record {

class RecordView;

struct RecoveryEnvironment
{
    RecordView* view = nullptr;
    platform::Prompts* prompts = nullptr;
    platform::Clock* clock = nullptr;
    QString scratchDir; // the private scratch folder (0700)
    QString programDir; // no trailing "/"
    // This program's own recovery file in the scratch folder.
    QString file;
    // Claims the recovery files that programs no longer running left
    // behind; newest first.
    std::function<QStringList()> leftFiles;
};

// Keeps what the officer typed through a crash. While the form differs from
// the last state that is safe (after start-up, a save, a new record or an
// opened template), snapshot() writes its fields to a recovery template in
// the scratch folder: the keys of a record template in section "set" (so the
// file opens like any template), and in section "recovery" the time of the
// snapshot and, percent-encoded, every value a template cannot hold exactly
// (line breaks of the case note, blanks at either end, values longer than a
// template value may be). The file is read back without the length limit of
// templates, so every value comes back exactly. It is replaced atomically,
// mode 0600, and removed once the form is safe again. Each running program
// has a file of its own.
//
// At the next start, offer() asks about each file that a program no longer
// running left behind; begin() then fills the form exactly as it was.
// Declined, a file is kept as "BL/恢复-<time>.ini", never deleted.
class FormRecovery
{
public:
    explicit FormRecovery(RecoveryEnvironment env);

    QString path() const { return env_.file; }

    // The form as it stands loses nothing in a crash: the recovery file goes.
    void markSafe();

    // Writes the recovery file when the form differs from the safe state and
    // from the last snapshot; removes it when the form is back to the safe
    // state. False when the file could not be written (`error` says why).
    bool snapshot(QString* error = nullptr);

    // Before the form is replaced: a form that differs from its safe state
    // is written to "BL/恢复-<time>.ini" (the format of the recovery file,
    // so it opens like any template).
    KeptForm keepUnsaved();

    // Start, right after the password: asks about each recovery file left
    // by a program that ended without saving, newest first. Yes keeps it for
    // begin() (files after it go to "BL" unasked); No moves it into "BL". A
    // file older than the saved template of the same record is stale and
    // removed unasked; one that cannot be read is moved into "BL" unasked.
    // Asking ends with the program's end; files not asked about stay.
    void offer();
    // End of start-up: takes the form as start-up left it as the safe state,
    // then fills the form from the file offer() kept, which stays until the
    // record is saved. True when a record was restored.
    bool begin();
    // Whether the safe state is taken (the form is being watched).
    bool watching() const { return watching_; }

    // The question of offer(), for the time of the snapshot and the name
    // the file gets in "BL" when declined.
    static QString question(const QDateTime& when, const QString& keptName);
    // Name of the kept file: "恢复-" + time + ".ini".
    static QString keptName(const QDateTime& when);

private:
    // A recovery file as read back.
    struct Left
    {
        Record values;
        QDateTime when;
    };
    // Nothing when the file cannot be read.
    static std::optional<Left> readLeft(const QString& file);
    QByteArray encode(const Record& values, const QDateTime& when) const;
    bool removeFile();
    // A free name for a kept file in "BL", relative to the program folder.
    QString freeKeptName(const QDateTime& when) const;
    bool keepInRecords(const QString& file, const QDateTime& when);
    // Asks about one left file; false when the program's end interrupted.
    bool offerFile(const QString& file);

    RecoveryEnvironment env_;
    Record safe_;
    bool watching_ = false;
    std::optional<Record> written_;
    std::optional<Record> pending_;
};

} // namespace quillan::record
