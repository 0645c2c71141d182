// The log check on any log and any anchor, as a log copied around, edited by
// hand or cut by a crash may be: it never fails loudly, counts every line,
// and a log it calls intact stays intact, one line longer, after the next
// save's entry, whose file it then finds.
//
// The input: the anchor's bytes up to the first NUL, then the log's bytes.
#include "FuzzSupport.h"
#include "ledger/RecordLog.h"

#include <QDateTime>

using namespace quillan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = input.indexOf('\0');
    const QByteArray anchor = split < 0 ? QByteArray() : input.first(split);
    const QByteArray log = split < 0 ? input : input.sliced(split + 1);
    QDir(fuzz::scratch().path()).removeRecursively();
    QDir().mkpath(fuzz::scratch().path());
    const QString logPath = fuzz::writeScratch(QStringLiteral("笔录登记.log"), log);
    const QString anchorPath =
        anchor.isEmpty() ? QString() : fuzz::writeScratch(QStringLiteral("anchor"), anchor);
    const QString saved = fuzz::writeScratch(QStringLiteral("甲.doc"), QByteArray("a saved record"));

    ledger::RecordLog records(logPath, anchorPath);
    const ledger::LogCheck before = records.check(QStringLiteral("甲.doc"));
    // Every line is counted, unless a line too long stopped the reading.
    const qsizetype lines = log.count('\n') + (log.isEmpty() || log.endsWith('\n') ? 0 : 1);
    FUZZ_CHECK(before.lines <= lines);
    if (before.chain != ledger::LogCheck::Chain::BadLine)
        FUZZ_CHECK(before.lines == lines);
    FUZZ_CHECK(before.line >= 0 && before.line <= before.lines);
    for (const int line : before.interrupted)
        FUZZ_CHECK(line >= 1 && line <= before.lines);
    FUZZ_CHECK(before.foreignFrom == 0 || (before.foreignFrom > 1 && before.foreignFrom <= before.lines));

    QString error;
    const bool appended = records.append(QDateTime(QDate(2099, 1, 1), QTime(0, 0)), {saved}, &error);
    const ledger::LogCheck after = records.check(QStringLiteral("甲.doc"));
    if (appended) {
        FUZZ_CHECK(after.byName && after.byName->line == after.lines && after.byName->size == 14);
        if (before.chain == ledger::LogCheck::Chain::Intact) {
            FUZZ_CHECK(after.chain == ledger::LogCheck::Chain::Intact);
            FUZZ_CHECK(after.lines == before.lines + 1);
            FUZZ_CHECK(after.interrupted == before.interrupted);
        }
    } else {
        // Only a last line longer than any entry is refused.
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(after.lines == before.lines);
    }
    return 0;
}
