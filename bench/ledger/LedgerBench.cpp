// Times the log of saved records: appending a save's line to a log that
// already holds many, checking a whole log, and hashing a large file, with
// the process's peak memory.
//
//   ledger_bench [lines] [file MB] [folder]
#include "ledger/RecordLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

using namespace quillan;

namespace {

long peakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 20000;
    const qint64 fileMb = argc > 2 ? std::atoll(argv[2]) : 512;
    QTemporaryDir tmp(argc > 3 ? QString::fromLocal8Bit(argv[3]) + QStringLiteral("/ledger-bench-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/ledger-bench-XXXXXX"));
    const QString bl = tmp.path() + QStringLiteral("/BL");
    QDir().mkpath(bl);

    // A save's three files, of record size.
    QStringList files;
    for (const char* name : {"2012.12.25-青山建筑工程公司-张三.ini", "2012.12.25-青山建筑工程公司-张三.doc",
                             "2012.12.25-青山建筑工程公司-张三.pdf"}) {
        const QString path = bl + QLatin1Char('/') + QString::fromUtf8(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(QByteArray(64 * 1024, 'r'));
        files << path;
    }
    ledger::RecordLog log(bl + QStringLiteral("/笔录登记.log"), tmp.path() + QStringLiteral("/anchor"));
    QDateTime at(QDate(2012, 12, 25), QTime(9, 0));
    QElapsedTimer timer;
    timer.start();
    qint64 firstHundred = 0;
    QString error;
    for (int i = 0; i < lines; ++i) {
        if (!log.append(at.addSecs(i), files, &error)) {
            std::printf("append failed: %s\n", qPrintable(error));
            return 1;
        }
        if (i == 99)
            firstHundred = timer.elapsed();
    }
    const qint64 all = timer.elapsed();
    timer.restart();
    for (int i = 0; i < 100; ++i)
        log.append(at.addSecs(lines + i), files, &error);
    const qint64 lastHundred = timer.elapsed();
    std::printf("append with fsync: first 100 lines %.2f ms each, 100 more after %d lines %.2f ms each "
                "(%d lines in %.1f s)\n",
                firstHundred / 100.0, lines, lastHundred / 100.0, lines, all / 1000.0);

    timer.restart();
    const ledger::LogCheck check = log.check(QFileInfo(files[1]).fileName());
    std::printf("check of %d lines (%.1f MB): %lld ms, chain %s\n", check.lines,
                QFileInfo(log.file()).size() / 1e6, timer.elapsed(),
                check.chain == ledger::LogCheck::Chain::Intact ? "intact" : "BROKEN");

    // A large file, written in blocks.
    const QString big = tmp.path() + QStringLiteral("/big.wav");
    {
        QFile f(big);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray block(1 << 20, '\x5a');
        for (qint64 i = 0; i < fileMb; ++i) {
            block[0] = char(i);
            f.write(block);
        }
    }
    const long before = peakKb();
    timer.restart();
    const ledger::FileDigest digest = ledger::digestFile(big);
    const qint64 ms = timer.elapsed();
    std::printf(
        "hash of a %lld MB file: %lld ms (%.0f MB/s), ok %d; peak memory %.1f MB before, %.1f MB after\n",
        fileMb, ms, ms > 0 ? fileMb * 1000.0 / ms : 0.0, digest.ok, before / 1024.0, peakKb() / 1024.0);
    return 0;
}
