#include "record/RecordIndex.h"

#include "platform/AtomicFile.h"
#include "platform/ProfileIni.h"
#include "record/RecordFields.h"
#include "record/TemplateFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

namespace quillan::record {

namespace {

const QString kSection = QStringLiteral("set");

// Threads reading templates besides the calling one.
constexpr size_t kReaders = 3;

struct Candidate
{
    IndexedRecord record;
    QString search;
};

// Year, month and day as the date fields hold them; an invalid date when
// they do not make one.
QDate recordDate(const QString& year, const QString& month, const QString& day)
{
    bool okY = false, okM = false, okD = false;
    const int y = year.toInt(&okY);
    const int m = month.toInt(&okM);
    const int d = day.toInt(&okD);
    if (!okY || !okM || !okD || y < 1000 || y > 9999)
        return {};
    return QDate(y, m, d);
}

bool newerFirst(const Candidate& a, const Candidate& b)
{
    if (a.record.date != b.record.date)
        return a.record.date > b.record.date;
    if (a.record.modifiedMs != b.record.modifiedMs)
        return a.record.modifiedMs > b.record.modifiedMs;
    return a.record.path < b.record.path;
}

// Reads one template; false, with the reason, when the file is no readable
// template.
bool readCandidate(const QString& path, Candidate* out, QString* error)
{
    const auto file = platform::readSmallFile(path, RecordIndex::kMaxTemplateBytes, error);
    if (!file)
        return false;
    const QByteArray& bytes = file->bytes;
    const platform::ProfileIni ini = platform::ProfileIni::parse(bytes);
    if (!ini.hasSection(kSection)) {
        *error = QStringLiteral("不是笔录模板（文件中没有 [set] 节）");
        return false;
    }
    const Record record = recordFromTemplate(ini);

    IndexedRecord& r = out->record;
    r.path = path;
    r.modifiedMs = file->modifiedMs;
    r.modified = QDateTime::fromMSecsSinceEpoch(file->modifiedMs);
    r.size = file->size;
    r.date = recordDate(record[FieldId::StartYear], record[FieldId::StartMonth], record[FieldId::StartDay]);
    r.dateFromFile = !r.date.isValid();
    if (r.dateFromFile)
        r.date = r.modified.date();
    r.workUnit = record[FieldId::WorkUnit];
    r.interviewee = record[FieldId::Name];
    r.firstQuestion = record[question(1)];

    // The date as the list shows it, the file name and every value.
    QString all = r.date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\n') +
                  QFileInfo(path).completeBaseName();
    for (const Field& f : writeOrder()) {
        const QString& v = record[f.id];
        if (!v.isEmpty()) {
            all += QLatin1Char('\n');
            all += v;
        }
    }
    out->search = RecordIndex::normalise(all);
    return true;
}

// True when every record that matches `now` also matches `before`: each
// earlier word lies within one of the new words.
bool narrows(const QStringList& before, const QStringList& now)
{
    return std::all_of(before.begin(), before.end(), [&now](const QString& old) {
        return std::any_of(now.begin(), now.end(), [&old](const QString& w) { return w.contains(old); });
    });
}

} // namespace

RecordIndex::Stamp RecordIndex::stampOf(const QString& path)
{
    return platform::fileStamp(path).value_or(Stamp{-1, -1});
}

RecordIndex::RecordIndex(QString folder) : folder_(std::move(folder)) {}

QString RecordIndex::normalise(const QString& text)
{
    QString s = text;
    s.replace(QChar(0), QLatin1Char(' '));
    s = s.normalized(QString::NormalizationForm_KC);
    return s.toCaseFolded();
}

QStringList RecordIndex::filterWords(const QString& filter)
{
    const QString n = normalise(filter);
    QStringList words;
    QString word;
    for (const QChar c : n) {
        if (c.isSpace() || c.unicode() < 0x20) {
            if (!word.isEmpty())
                words << std::exchange(word, QString());
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        words << word;
    return words;
}

int RecordIndex::refresh()
{
    QHash<QString, int> known;
    for (int i = 0; i < int(records_.size()); ++i)
        known.insert(records_[size_t(i)].path, i);

    std::vector<Candidate> next;
    std::vector<SkippedFile> skipped;
    QHash<QString, Stamp> skippedStamps;

    // Names only: a file already known is looked at (one stat), a new one is
    // read at once.
    const QStringList names = QDir(folder_).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    next.reserve(size_t(names.size()));
    std::vector<QString> toRead;
    const QString prefix = folder_ + QLatin1Char('/');
    for (const QString& name : names) {
        const QString path = prefix + name;
        const auto old = known.constFind(path);
        const auto bad = skippedStamps_.constFind(path);
        if (old == known.constEnd() && bad == skippedStamps_.constEnd()) {
            toRead.push_back(path);
            continue;
        }
        const Stamp stamp = stampOf(path);
        if (old != known.constEnd()) {
            const IndexedRecord& r = records_[size_t(*old)];
            if (Stamp{r.size, r.modifiedMs} == stamp) {
                const qsizetype b = starts_[size_t(*old)];
                const qsizetype e = starts_[size_t(*old) + 1] - 1; // without the '\0'
                next.push_back({r, text_.mid(b, e - b)});
                continue;
            }
        }
        if (bad != skippedStamps_.constEnd() && *bad == stamp) {
            const auto it = std::find_if(skipped_.begin(), skipped_.end(),
                                         [&path](const SkippedFile& s) { return s.path == path; });
            if (it != skipped_.end()) {
                skipped.push_back(*it);
                skippedStamps.insert(path, stamp);
                continue;
            }
        }
        toRead.push_back(path);
    }

    // The files are read by a few threads at once: the reads wait for the
    // disk far more than they compute, and each file stands alone.
    std::vector<Candidate> fresh(toRead.size());
    std::vector<QString> errors(toRead.size());
    std::vector<char> good(toRead.size(), 0);
    std::atomic<size_t> nextFile{0};
    const auto work = [&] {
        for (size_t i = nextFile++; i < toRead.size(); i = nextFile++)
            good[i] = readCandidate(toRead[i], &fresh[i], &errors[i]) ? 1 : 0;
    };
    const size_t threads = std::min<size_t>(toRead.size() / 64, kReaders);
    std::vector<std::thread> pool;
    for (size_t t = 0; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    for (size_t i = 0; i < toRead.size(); ++i) {
        if (good[i]) {
            next.push_back(std::move(fresh[i]));
        } else {
            skipped.push_back({toRead[i], errors[i]});
            skippedStamps.insert(toRead[i], stampOf(toRead[i]));
        }
    }
    const int read = int(toRead.size());

    std::sort(next.begin(), next.end(), newerFirst);
    records_.clear();
    records_.reserve(next.size());
    starts_.clear();
    starts_.reserve(next.size() + 1);
    qsizetype total = 0;
    for (const Candidate& c : next)
        total += c.search.size() + 1;
    QString text;
    text.reserve(total);
    for (Candidate& c : next) {
        starts_.push_back(text.size());
        text += c.search;
        text += QChar(0);
        records_.push_back(std::move(c.record));
    }
    starts_.push_back(text.size());
    text_ = std::move(text);
    skipped_ = std::move(skipped);
    skippedStamps_ = std::move(skippedStamps);
    haveLast_ = false;
    return read;
}

std::vector<int> RecordIndex::match(const QString& filter)
{
    const QStringList words = filterWords(filter);
    std::vector<int> result;
    if (words.isEmpty()) {
        result.resize(records_.size());
        for (size_t i = 0; i < result.size(); ++i)
            result[i] = int(i);
        return result;
    }

    const QStringView all(text_);
    const bool within = haveLast_ && narrows(lastWords_, words);
    bool first = !within;
    if (within)
        result = lastResult_;
    for (const QString& word : words) {
        if (first) {
            // One pass over all the text: after a hit, go on at the next record.
            qsizetype from = 0;
            while (true) {
                const qsizetype at = all.indexOf(word, from);
                if (at < 0)
                    break;
                const auto next = std::upper_bound(starts_.begin(), starts_.end(), at);
                const int i = int(next - starts_.begin()) - 1;
                result.push_back(i);
                from = *next;
            }
            first = false;
        } else {
            std::erase_if(result, [&](int i) {
                const qsizetype b = starts_[size_t(i)];
                return !all.sliced(b, starts_[size_t(i) + 1] - b).contains(word);
            });
        }
        if (result.empty())
            break;
    }
    lastWords_ = words;
    lastResult_ = result;
    haveLast_ = true;
    return result;
}

} // namespace quillan::record
