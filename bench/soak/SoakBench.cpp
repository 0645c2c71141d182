// Soak run: many "保存(笔录及模板)" + print cycles of a full record through the
// real office in one program run, then many upload/download cycles of the
// template against the test FTP server on 127.0.0.1. Prints memory figures
// (the program's resident set after a warm-up and at the end, its peak, the
// office's resident set) and looks for what a long session must not leave
// behind: office processes, the FTP server, temporary or lock files.
//
//   soak_bench [record cycles (200)] [exchange cycles (100)]
//
// Exits non-zero when a cycle's document or download is wrong, a print job
// is not reported completed, memory grows by 20 MB or more, or anything is
// left over.
#include "TestServers.h"
#include "doubles/ScriptedPrompts.h"
#include "doubles/ScriptedWebFetcher.h"
#include "exchange/CurlFtpClient.h"
#include "exchange/ExchangeCommands.h"
#include "exchange/WebFetcher.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/BenchRecord.h"
#include "record/RecordCommands.h"
#include "record/RecordFields.h"
#include "word/LibreOfficeEngine.h"
#include "word/OfficeInstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A "VmRSS:"-style line of /proc/<pid>/status in MB; -1 when unreadable.
double statusMb(const QString& pid, const char* key)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

double selfMb(const char* key)
{
    return statusMb(QStringLiteral("self"), key);
}

// The resident set of all office processes on the profile, in MB.
double officeMb(const QString& profileDir)
{
    double sum = 0;
    for (const pid_t pid : word::OfficeInstance::processesUsingProfile(profileDir))
        sum += std::max(0.0, statusMb(QString::number(pid), "VmRSS:"));
    return sum;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool isOle(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray::fromHex("d0cf11e0a1b11ae1");
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Files below `dir` (hidden ones too) whose names match one of `patterns`.
QStringList filesMatching(const QString& dir, const QStringList& patterns)
{
    QStringList found;
    QDirIterator it(dir, patterns, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// cups-pdf's output folder.
QString printedPdfFolder()
{
    const passwd* pw = getpwuid(getuid());
    return pw ? QFile::decodeName(pw->pw_dir) + QStringLiteral("/PDF") : QString();
}

struct Memory
{
    double warm = 0;
    double end = 0;
    double growth() const { return end - warm; }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int recordCycles = args.size() > 1 ? args[1].toInt() : 200;
    const int exchangeCycles = args.size() > 2 ? args[2].toInt() : 100;
    const int warmUp = 5;
    const double growthLimitMb = 20;
    if (recordCycles <= warmUp || exchangeCycles <= warmUp) {
        std::fprintf(stderr, "soak_bench: give more than %d cycles of each kind\n", warmUp);
        return 2;
    }
    int failures = 0;
    const auto fail = [&](const QString& what) {
        ++failures;
        std::fprintf(stderr, "soak_bench: %s\n", qPrintable(what));
    };

    const QDateTime benchStart = QDateTime::currentDateTime().addSecs(-1);
    const QString pdfFolder = printedPdfFolder();
    const QSet<QString> pdfsBefore = [&] {
        const QStringList l = QDir(pdfFolder).entryList(QDir::Files);
        return QSet<QString>(l.begin(), l.end());
    }();

    // Marks this run's documents and printed PDFs (cups-pdf's folder is shared).
    const QString runMark =
        QString::number(900000000 + (QDateTime::currentSecsSinceEpoch() * 131 + getpid()) % 99999999);
    QTemporaryDir dir;
    const QString programDir = dir.filePath(QStringLiteral("program"));
    const QString bl = programDir + QStringLiteral("/BL");
    const QString scratch = dir.filePath(QStringLiteral("scratch"));
    QDir().mkpath(bl);

    if (QStandardPaths::findExecutable(QStringLiteral("antiword")).isEmpty()) {
        std::fprintf(stderr, "soak_bench: antiword is missing (apt-get install antiword)\n");
        return 1;
    }

    // Save-and-print cycles.
    std::vector<double> recordMs;
    Memory recordMemory;
    double officeStart = 0;
    double officeEnd = 0;
    int officeStarts = 0;
    QString profileDir;
    {
        word::LibreOfficeOptions options;
        options.scratchDir = scratch;
        word::LibreOfficeEngine engine(options);
        if (engine.installPathText().isEmpty()) {
            std::fprintf(stderr, "soak_bench: LibreOffice (soffice) is missing\n");
            return 1;
        }

        test::MapForm form = bench::fullRecord();
        bench::RecordRig rig(form, engine, programDir);
        platform::ScriptedPrompts& prompts = rig.prompts;
        record::RecordEnvironment& env = rig.env;
        record::RecordCommands commands(env);

        const QString doc = bl + u("/2012.12.25-青山建筑工程公司-张三.doc");
        const QString lastAnswer = record::unitName(record::pairs().back().answer);
        if (!engine.warmUp()) {
            std::fprintf(stderr, "soak_bench: the office did not start: %s\n",
                         qPrintable(engine.lastError()));
            return 1;
        }
        profileDir = engine.profileDir();
        for (int cycle = 1; cycle <= recordCycles; ++cycle) {
            // A different last answer every cycle, so a stale document is caught.
            // The digits of the run's mark survive in the printed PDF's text.
            const QString answer = QStringLiteral("答：第%1次保存，我在工地砌墙。%2%3")
                                       .arg(cycle)
                                       .arg(runMark)
                                       .arg(cycle, 4, 10, QLatin1Char('0'));
            form.fields[lastAnswer] = answer;
            QElapsedTimer t;
            t.start();
            form.status.clear();
            prompts.answerNext(platform::Answer::Yes); // overwrite the previous cycle's document
            commands.saveRecord();
            if (!form.status.startsWith(u("笔录WORD文件以经保存在")))
                fail(QStringLiteral("cycle %1: the save failed: %2 %3")
                         .arg(cycle)
                         .arg(form.status, prompts.shown().value(0).text));
            prompts.clear();
            form.status.clear();
            commands.printCurrentRecord();
            if (form.status != u("打 印 成 功！"))
                fail(QStringLiteral("cycle %1: printing did not succeed: %2 %3")
                         .arg(cycle)
                         .arg(form.status, prompts.shown().value(0).text));
            prompts.clear();
            recordMs.push_back(double(t.nsecsElapsed()) / 1e6);

            if (!isOle(doc))
                fail(QStringLiteral("cycle %1: %2 is not a Word 97 document").arg(cycle).arg(doc));
            else if (!run(QStringLiteral("antiword"),
                          {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                           QStringLiteral("UTF-8.txt"), doc})
                          .contains(answer))
                fail(QStringLiteral("cycle %1: the document does not hold %2").arg(cycle).arg(answer));

            if (cycle == warmUp) {
                recordMemory.warm = selfMb("VmRSS:");
                officeStart = officeMb(profileDir);
            }
            if (cycle % 20 == 0)
                std::fprintf(stderr,
                             "soak_bench: %d save-and-print cycles, RSS %.1f MB, office RSS %.1f MB\n", cycle,
                             selfMb("VmRSS:"), officeMb(profileDir));
        }
        recordMemory.end = selfMb("VmRSS:");
        officeEnd = officeMb(profileDir);
        officeStarts = engine.officeStarts();
    }
    // The engine has quit its office.
    for (int i = 0; i < 100 && !word::OfficeInstance::processesUsingProfile(profileDir).isEmpty(); ++i)
        QThread::msleep(100);
    const int officeLeft = int(word::OfficeInstance::processesUsingProfile(profileDir).size());

    // Upload/download cycles.
    std::vector<double> exchangeMs;
    Memory exchangeMemory;
    qint64 serverPid = 0;
    {
        test::TestServer server;
        QString error;
        // Without the server the run still ends by removing what it printed.
        const bool serverUp =
            server.start(QStringLiteral("ftp"), dir.filePath(QStringLiteral("server")), &error);
        if (!serverUp)
            fail(error);
        serverPid = server.pid();
        exchange::CurlFtpClient ftp;
        test::MapForm form;
        platform::ScriptedPrompts prompts;
        exchange::ScriptedWebFetcher web;
        exchange::ServerFields ftpFields;
        exchange::ExchangeEnvironment env{[&ftpFields] { return ftpFields; },
                                          &form,
                                          &form.session,
                                          &prompts,
                                          &ftp,
                                          &web,
                                          programDir,
                                          scratch,
                                          {}};
        exchange::ExchangeCommands commands(env);
        ftpFields.address = QStringLiteral("127.0.0.1:%1").arg(server.port());
        ftpFields.account = QStringLiteral("officer");
        ftpFields.password = QStringLiteral("secret");
        ftpFields.fileName = u("案例1");

        // The template the record cycles saved, marked with the cycle.
        const QByteArray saved = readAll(bl + u("/2012.12.25-青山建筑工程公司-张三.ini"));
        if (saved.isEmpty())
            fail(QStringLiteral("the record's template was not saved"));
        const QString local = dir.filePath(u("本地/笔录模板.ini"));
        QDir().mkpath(QFileInfo(local).absolutePath());
        const QString downloaded = bl + u("/案例1.ini");
        for (int cycle = 1; serverUp && cycle <= exchangeCycles; ++cycle) {
            const QByteArray bytes = saved + QStringLiteral("cycle=%1\r\n").arg(cycle).toUtf8();
            if (!writeAll(local, bytes))
                fail(QStringLiteral("cannot write %1").arg(local));
            QElapsedTimer t;
            t.start();
            form.status.clear();
            prompts.chooseNext(local);
            commands.upload();
            if (!form.status.startsWith(u("笔录模板文件.ini上传FTP服务器成功.")))
                fail(QStringLiteral("cycle %1: the upload failed: %2").arg(cycle).arg(form.status));
            form.status.clear();
            commands.download();
            if (!form.status.startsWith(u("笔录模板.ini文件下载到 笔录软件的BL目录成功.")))
                fail(QStringLiteral("cycle %1: the download failed: %2").arg(cycle).arg(form.status));
            exchangeMs.push_back(double(t.nsecsElapsed()) / 1e6);
            if (readAll(downloaded) != bytes)
                fail(QStringLiteral("cycle %1: the downloaded template differs from the uploaded one")
                         .arg(cycle));
            if (!prompts.shown().isEmpty())
                fail(QStringLiteral("cycle %1: a message was shown: %2")
                         .arg(cycle)
                         .arg(prompts.shown().value(0).text));
            prompts.clear();
            if (cycle == warmUp)
                exchangeMemory.warm = selfMb("VmRSS:");
        }
        exchangeMemory.end = selfMb("VmRSS:");
    }
    const bool serverLeft =
        QFileInfo::exists(QStringLiteral("/proc/%1").arg(serverPid)) &&
        !readAll(QStringLiteral("/proc/%1/cmdline").arg(serverPid)).isEmpty() &&
        readAll(QStringLiteral("/proc/%1/cmdline").arg(serverPid)).contains("test_servers");
    const double peak = selfMb("VmHWM:");

    const QStringList temporaries = filesMatching(bl, {QStringLiteral(".~quillan-save-*")});
    QStringList locks = filesMatching(bl, {QStringLiteral(".~lock.*#")});
    locks += filesMatching(scratch, {QStringLiteral(".~lock.*#")});

    // The PDFs this run printed (cups-pdf's output), not anyone else's older ones.
    int pdfsRemoved = 0;
    for (const QFileInfo& f : QDir(pdfFolder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        if (!pdfsBefore.contains(f.fileName()) && f.lastModified() >= benchStart &&
            run(QStringLiteral("pdftotext"), {f.absoluteFilePath(), QStringLiteral("-")}).contains(runMark) &&
            QFile::remove(f.absoluteFilePath()))
            ++pdfsRemoved;

    const double growth =
        std::max(recordMemory.growth(), recordMemory.warm > 0 ? exchangeMemory.end - recordMemory.warm : 0.0);
    std::printf("soak: %d save-and-print cycles (full record, 24 pairs), %d upload/download cycles\n",
                recordCycles, exchangeCycles);
    std::printf("save + print until completed, median per cycle:   %8.1f ms\n", median(recordMs));
    std::printf("upload + download of the template, median:         %8.1f ms\n", median(exchangeMs));
    std::printf("program RSS after %d save-and-print cycles:         %8.1f MB\n", warmUp, recordMemory.warm);
    std::printf("program RSS after all save-and-print cycles:       %8.1f MB (growth %+.1f MB)\n",
                recordMemory.end, recordMemory.growth());
    std::printf("program RSS after %d upload/download cycles:        %8.1f MB\n", warmUp,
                exchangeMemory.warm);
    std::printf("program RSS after all upload/download cycles:      %8.1f MB (growth %+.1f MB)\n",
                exchangeMemory.end, exchangeMemory.growth());
    std::printf("program RSS growth over the run (end - warm-up):   %8.1f MB (target < %.0f)\n", growth,
                growthLimitMb);
    std::printf("program peak RSS (VmHWM):                          %8.1f MB\n", peak);
    std::printf("office RSS after warm-up / at the end:             %8.1f / %.1f MB (office starts: %d)\n",
                officeStart, officeEnd, officeStarts);
    std::printf("leftovers: office processes %d, FTP server %d, temporary files %lld, lock files %lld\n",
                officeLeft, serverLeft ? 1 : 0, (long long)temporaries.size(), (long long)locks.size());
    std::printf("cycle failures: %d; printed PDFs removed from %s: %d\n", failures, qPrintable(pdfFolder),
                pdfsRemoved);
    for (const QString& f : temporaries + locks)
        std::printf("  left over: %s\n", qPrintable(f));

    const bool ok = failures == 0 && growth < growthLimitMb && officeLeft == 0 && !serverLeft &&
                    temporaries.isEmpty() && locks.isEmpty();
    std::printf("%s\n", ok ? "all targets met" : "TARGET MISSED");
    return ok ? 0 : 1;
}
