#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <optional>

namespace quillan::platform {
class Clock;
class Prompts;
} // namespace quillan::platform

namespace quillan::record {

class RecordForm;

struct RecoveryEnvironment
{
    RecordForm* form = nullptr;
    platform::Prompts* prompts = nullptr;
    platform::Clock* clock = nullptr;
    QString scratchDir; // the private scratch folder (0700)
    QString programDir; // no trailing "/"
};

// Keeps what the officer typed through a crash. While the form differs from
// the last state that is safe (after start-up, a save, a new record or an
// opened template), snapshot() writes its fields to a recovery template in
// the scratch folder: the keys of a record template in section "set" (so the
// file opens like any template), and in section "recovery" the time of the
// snapshot and, percent-encoded, every value a template cannot hold exactly
// (line breaks of the case note, blanks at either end). The file is replaced
// atomically, mode 0600, and removed once the form is safe again.
//
// At the next start, offer() finds a file a crashed run left and asks
// whether to restore it; begin() then fills the form exactly as it
// was. Declined, the file is kept as "BL/恢复-<time>.ini", never deleted.
class FormRecovery
{
public:
    explicit FormRecovery(RecoveryEnvironment env);

    QString path() const;

    // The form as it stands loses nothing in a crash: the recovery file goes.
    void markSafe();

    // Writes the recovery file when the form differs from the safe state and
    // from the last snapshot; removes it when the form is back to the safe
    // state. False when the file could not be written (`error` says why).
    bool snapshot(QString* error = nullptr);

    // Start, right after the password: asks about a recovery file left by an
    // earlier run. Yes keeps it for begin(); No moves it into "BL". A file
    // older than the saved template of the same record is stale and removed
    // unasked; one that cannot be read is moved into "BL" unasked.
    void offer();
    // End of start-up: takes the form as start-up left it as the safe state,
    // then fills the form from the file offer() kept, which stays until the
    // record is saved. True when a record was restored.
    bool begin();

    // The question of offer(), for the time of the snapshot and the name
    // the file gets in "BL" when declined.
    static QString question(const QDateTime& when, const QString& keptName);
    // Name of the kept file: "恢复-" + time + ".ini".
    static QString keptName(const QDateTime& when);

private:
    using Values = QHash<QString, QString>; // unit name -> text
    Values formValues() const;
    QByteArray encode(const Values& values, const QDateTime& when) const;
    bool removeFile();
    bool keepInRecords(const QDateTime& when);

    RecoveryEnvironment env_;
    Values safe_;
    std::optional<Values> written_;
    std::optional<Values> pending_;
};

} // namespace quillan::record
