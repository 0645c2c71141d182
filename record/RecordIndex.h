#pragma once

#include "platform/AtomicFile.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace quillan::record {

// One record template of the records folder, as the finder lists it.
struct IndexedRecord
{
    QString path;
    QDateTime modified;    // the file's modification time
    qint64 modifiedMs = 0; // the same, in ms since the epoch
    qint64 size = 0;
    // The record's date: "num1" to "num3" (year, month, day of the start of
    // the interview); the file's date when they do not make a date.
    QDate date;
    bool dateFromFile = false;
    QString workUnit;      // "num16"
    QString interviewee;   // "num10"
    QString firstQuestion; // "num23"
};

// A file of the records folder that is not listed, and why.
struct SkippedFile
{
    QString path;
    QString reason; // in words for the officer
};

// The record templates of one records folder ("BL"), read once and kept in
// memory, with a filter fast enough to run on every keystroke.
//
// Order: newest first, by the record's date, then by the file's modification
// time (the later saved first), then by file name. A template whose date
// fields are empty or no date counts by its file's date.
//
// Filter: the filter text is cut into words at blanks (also the full-width
// blank); a record matches when every word occurs somewhere in its values
// (header, questions and answers, case note), its file name or its date as
// listed ("2012-03-05"). Matching ignores letter case and the difference
// between full-width and half-width forms ("ＡＢＣ" matches "abc").
class RecordIndex
{
public:
    // Files above this size are not templates (a template with every value at
    // the longest length a read keeps is well below it); they are skipped.
    static constexpr qint64 kMaxTemplateBytes = qint64(2) << 20;

    explicit RecordIndex(QString folder);

    const QString& folder() const { return folder_; }

    // Brings the index up to date with the folder: the first call reads
    // every template; later calls read only the files that are new or whose
    // size or modification time changed, and drop the files that are gone.
    // Returns the number of files read.
    int refresh();

    const std::vector<IndexedRecord>& records() const { return records_; }
    // The files of the folder that are not listed, by file name.
    const std::vector<SkippedFile>& skipped() const { return skipped_; }

    // Positions in records() of the records that match `filter`, in order.
    // An empty filter (or one of blanks only) matches every record.
    std::vector<int> match(const QString& filter);

    // The words of a filter text, normalised for matching.
    static QStringList filterWords(const QString& filter);
    // A text normalised for matching: compatibility forms folded (NFKC) and
    // letter case folded.
    static QString normalise(const QString& text);

private:
    using Stamp = platform::FileStamp;
    static Stamp stampOf(const QString& path);
    QString folder_;
    std::vector<IndexedRecord> records_;
    // The search texts of the records in their order: the date, the file
    // name and every value, normalised, joined by '\n'; each record's text ends with a
    // '\0', which no filter word holds. starts_[i] is where record i begins;
    // the last element is the end of the text.
    QString text_;
    std::vector<qsizetype> starts_;
    std::vector<SkippedFile> skipped_;
    QHash<QString, Stamp> skippedStamps_; // an unchanged bad file is not read again

    // The last filter and its result: a filter that only narrows the last one
    // (typing on) is matched within the last result.
    QStringList lastWords_;
    std::vector<int> lastResult_;
    bool haveLast_ = false;
};

} // namespace quillan::record
