// The log of saved records: each save one chained line, and the check that
// finds changed files and a changed, removed or cut log.
#include "ledger/RecordLog.h"
#include "doubles/ManualClock.h"
#include "doubles/ScriptedPrompts.h"
#include "ledger/LedgerCommands.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::gbk;
using quillan::test::readFile;
using Shown = platform::ScriptedPrompts::Shown;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

QByteArray sha(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QList<QByteArray> logLines(const QString& log)
{
    QList<QByteArray> lines = readFile(log).split('\n');
    lines.removeLast(); // after the last line end
    return lines;
}

void writeLines(const QString& log, const QList<QByteArray>& lines)
{
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + '\n';
    writeBytes(log, bytes);
}

// A program folder with three logged saves:
//   line 1, 09:00:00: 甲.doc, 甲.pdf, 甲.ini
//   line 2, 10:00:00: 乙.doc, 乙.ini
//   line 3, 11:00:00: 甲.doc again, with new content
struct Ledger
{
    explicit Ledger(bool anchored = true) : clock(QDateTime(QDate(2026, 12, 9), QTime(9, 0, 0)))
    {
        QDir().mkpath(dir.file(u("prog/BL")));
        ledger::LedgerEnvironment env;
        env.prompts = &prompts;
        env.clock = &clock;
        env.programDir = dir.file(u("prog"));
        env.configDir = anchored ? dir.file(u("config")) : QString();
        env.verifyDialog = &dialog;
        commands = std::make_unique<ledger::LedgerCommands>(env);
    }
    QString bl(const char* name) const { return dir.file(u("prog/BL/") + u(name)); }
    void save(const QTime& at, const QList<std::pair<const char*, QByteArray>>& files)
    {
        QStringList paths;
        for (const auto& [name, bytes] : files) {
            writeBytes(bl(name), bytes);
            paths << bl(name);
        }
        clock.set(QDateTime(QDate(2026, 12, 9), at));
        commands->logSave(paths);
    }
    void saveThree()
    {
        save(QTime(9, 0), {{"甲.doc", "doc one"}, {"甲.pdf", "%PDF one"}, {"甲.ini", "[set]\r\n"}});
        save(QTime(10, 0), {{"乙.doc", "doc two"}, {"乙.ini", "[set]\r\nb=1\r\n"}});
        save(QTime(11, 0), {{"甲.doc", "doc one, changed and saved again"}});
    }
    QString verify(const QString& path)
    {
        prompts.clear();
        prompts.chooseNext(path);
        commands->verifyFile();
        if (prompts.shown().size() != 1)
            return u("<no single message>");
        EXPECT_EQ(prompts.shown()[0].title, u("核验笔录："));
        return prompts.shown()[0].text;
    }
    QString log() const { return commands->logFile(); }

    test::TempDir dir;
    platform::ScriptedPrompts prompts;
    platform::ManualClock clock;
    platform::FileDialogUnit dialog;
    std::unique_ptr<ledger::LedgerCommands> commands;
};

// A crash in the middle of the next save's entry: the first `keep` bytes
// of its line reach the log, the rest never does.
void cutLastSave(Ledger& l, qsizetype keep)
{
    const QByteArray line = "2026-12-09 11:30:00\t" + sha(logLines(l.log()).last().chopped(1)) +
                            gbk(u("\t丙丙丙.doc\t5\t")) + sha("three");
    QFile log(l.log());
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write(line.first(19 + 1 + keep));
    log.close();
}

} // namespace

TEST(RecordLog, EachSaveAppendsOneReadableLineChainedToTheLineBefore)
{
    Ledger l;
    // Big enough to be hashed in several blocks.
    QByteArray big(3 * 1024 * 1024 + 17, 'x');
    big[2 * 1024 * 1024] = 'y';
    l.save(QTime(9, 0), {{"甲.doc", big}, {"甲.ini", "[set]\r\n"}});
    // A file outside the records folder is not the program's record.
    writeBytes(l.dir.file(u("elsewhere.wav")), "RIFF");
    l.commands->logSave({l.dir.file(u("elsewhere.wav"))});
    // A name with a tab and a backslash keeps its line intact.
    l.save(QTime(10, 30, 5), {{"录音\t1\\.wav", "RIFF"}});

    EXPECT_TRUE(l.prompts.shown().isEmpty());
    const QByteArray first = gbk(u("2026-12-09 09:00:00\t")) + QByteArray(64, '0') + gbk(u("\t甲.doc\t")) +
                             QByteArray::number(big.size()) + '\t' + sha(big) + gbk(u("\t甲.ini\t7\t")) +
                             sha("[set]\r\n");
    const QByteArray second =
        "2026-12-09 10:30:05\t" + sha(first) + gbk(u("\t录音\\t1\\\\.wav\t4\t")) + sha("RIFF");
    EXPECT_EQ(readFile(l.log()), first + "\r\n" + second + "\r\n");

    EXPECT_EQ(l.verify(l.bl("录音\t1\\.wav")),
              u("文件“录音\t1\\.wav”与 2026-12-09 10:30:05 保存时完全一致。\r\n笔录登记完好（共 2 行）。"));
    EXPECT_EQ(l.verify(l.bl("甲.doc")),
              u("文件“甲.doc”与 2026-12-09 09:00:00 保存时完全一致。\r\n笔录登记完好（共 2 行）。"));
}

TEST(RecordLog, TamperingIsFoundAndNamed)
{
    const QString intact = u("笔录登记完好（共 3 行）。");
    const QString interrupted = u("第 4 行是程序意外中断时没有写完的登记，其中没有登记任何文件。");
    const QString untrusted = u("（这条登记在笔录登记被改动的部分中，不能作为凭据。）");
    struct Case
    {
        const char* what;
        std::function<void(Ledger&)> tamper;
        const char* chosen;
        QString expected; // "%LOG%" stands for the log's path
    };
    const QList<Case> cases = {
        {"nothing changed", [](Ledger&) {}, "甲.doc",
         u("文件“甲.doc”与 2026-12-09 11:00:00 保存时完全一致。\r\n") + intact},
        {"an older save still as saved", [](Ledger&) {}, "甲.pdf",
         u("文件“甲.pdf”与 2026-12-09 09:00:00 保存时完全一致。\r\n") + intact},
        {"one byte of a document changed",
         [](Ledger& l) {
             QByteArray doc = readFile(l.bl("乙.doc"));
             doc[3] = 'X';
             writeBytes(l.bl("乙.doc"), doc);
         },
         "乙.doc", u("文件“乙.doc”在 2026-12-09 10:00:00 保存之后被改动过。\r\n") + intact},
        {"a file the log does not know", [](Ledger& l) { writeBytes(l.bl("丙.doc"), "other"); }, "丙.doc",
         u("文件“丙.doc”不在笔录登记中。\r\n") + intact},
        {"a renamed copy", [](Ledger& l) { QFile::copy(l.bl("乙.doc"), l.bl("副本.doc")); }, "副本.doc",
         u("文件“副本.doc”不在笔录登记中，但内容与 2026-12-09 10:00:00 保存的“乙.doc”完全一致。\r\n") +
             intact},
        {"a file that cannot be read", [](Ledger&) {}, "没有.doc",
         u("文件“没有.doc”无法读取：文件不存在。\r\n") + intact},
        {"a size edited in line 1",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines[0].replace("\t7\t", "\t8\t");
             writeLines(l.log(), lines);
         },
         "乙.doc",
         u("文件“乙.doc”与 2026-12-09 10:00:00 保存时完全一致。") + untrusted +
             u("\r\n笔录登记被改动过：第 2 行与上一行连不上（上一行被改动，或其间有行被删除）。")},
        {"line 2 removed",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines.removeAt(1);
             writeLines(l.log(), lines);
         },
         "乙.doc",
         u("文件“乙.doc”不在笔录登记中。\r\n笔录登记被改动过：第 2 "
           "行与上一行连不上（上一行被改动，或其间有行被删除）。")},
        {"line 1 removed",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines.removeFirst();
             writeLines(l.log(), lines);
         },
         "甲.pdf",
         u("文件“甲.pdf”不在笔录登记中。\r\n笔录登记被改动过：开头的行被删除了（第 1 "
           "行不是登记的第一行）。")},
        {"the last line removed",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines.removeLast();
             writeLines(l.log(), lines);
         },
         "甲.doc",
         u("文件“甲.doc”在 2026-12-09 09:00:00 "
           "保存之后被改动过。\r\n笔录登记被改动过：末尾的登记行被删除了。")},
        {"the time of the last line edited",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines[2].replace("11:00:00", "08:00:00");
             writeLines(l.log(), lines);
         },
         "甲.doc",
         u("文件“甲.doc”与 2026-12-09 08:00:00 保存时完全一致。") + untrusted +
             u("\r\n笔录登记被改动过：第 3 行（这台电脑最近登记的一行）被改动过。第 3 行的时间早于前一行。")},
        {"a document changed, then a chained line for it appended by hand with the old time",
         [](Ledger& l) {
             writeBytes(l.bl("乙.doc"), "doc two, changed");
             const QByteArray line = "2026-12-09 10:00:00\t" + sha(logLines(l.log()).last().chopped(1)) +
                                     gbk(u("\t乙.doc\t16\t")) + sha("doc two, changed") + "\r\n";
             QFile log(l.log());
             ASSERT_TRUE(log.open(QIODevice::Append));
             log.write(line);
         },
         "乙.doc",
         u("文件“乙.doc”与 2026-12-09 10:00:00 保存时完全一致。（这条登记不是本机写入的。）\r\n"
           "笔录登记完好（共 4 行）。第 4 行起的登记不是本机写入的。第 4 行的时间早于前一行。")},
        {"invalid GBK in a name",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines[1].replace(gbk(u("乙.ini")), "\xFF\x20.ini");
             writeLines(l.log(), lines);
         },
         "甲.pdf",
         u("文件“甲.pdf”与 2026-12-09 09:00:00 保存时完全一致。\r\n笔录登记被改动过：第 2 "
           "行不是完整的登记行。")},
        {"invalid GBK in a name, then the lines after it",
         [](Ledger& l) {
             QList<QByteArray> lines = logLines(l.log());
             lines[1].replace(gbk(u("乙.ini")), "\xFF\x20.ini");
             writeLines(l.log(), lines);
         },
         "甲.doc",
         u("文件“甲.doc”与 2026-12-09 11:00:00 保存时完全一致。") + untrusted +
             u("\r\n笔录登记被改动过：第 2 行不是完整的登记行。")},
        {"a line cut short by a crash, then a save",
         [](Ledger& l) {
             cutLastSave(l, 20);
             l.save(QTime(12, 0), {{"丁.doc", "four"}});
         },
         "丁.doc",
         u("文件“丁.doc”与 2026-12-09 12:00:00 保存时完全一致。\r\n笔录登记完好（共 5 行）。") + interrupted},
        {"a line cut inside a name by a crash, then a change after it",
         [](Ledger& l) {
             cutLastSave(l, 64 + 1 + 3); // inside the second character
             l.save(QTime(12, 0), {{"丁.doc", "four"}});
             l.save(QTime(12, 30), {{"戊.doc", "five"}});
             QList<QByteArray> lines = logLines(l.log());
             lines[4].replace("\t4\t", "\t5\t");
             writeLines(l.log(), lines);
         },
         "戊.doc",
         u("文件“戊.doc”与 2026-12-09 12:30:00 保存时完全一致。") + untrusted +
             u("\r\n笔录登记被改动过：第 6 行与上一行连不上（上一行被改动，或其间有行被删除）。") +
             interrupted},
        {"a crash between the CR and the LF of a whole line, then a save",
         [](Ledger& l) {
             const QByteArray whole = "2026-12-09 11:30:00\t" + sha(logLines(l.log()).last().chopped(1)) +
                                      gbk(u("\t丙.doc\t5\t")) + sha("three");
             writeBytes(l.bl("丙.doc"), "three");
             QFile log(l.log());
             ASSERT_TRUE(log.open(QIODevice::Append));
             log.write(whole + '\r');
             log.close();
             l.save(QTime(12, 0), {{"丁.doc", "four"}});
         },
         "丙.doc", u("文件“丙.doc”与 2026-12-09 11:30:00 保存时完全一致。\r\n笔录登记完好（共 5 行）。")},
        {"a line no save began, then a save",
         [](Ledger& l) {
             QFile log(l.log());
             ASSERT_TRUE(log.open(QIODevice::Append));
             log.write("2026-12-09 11:30:00\t00"); // not chained to the line before
             log.close();
             l.save(QTime(12, 0), {{"丁.doc", "four"}});
         },
         "丁.doc",
         u("文件“丁.doc”与 2026-12-09 12:00:00 保存时完全一致。") + untrusted +
             u("\r\n笔录登记被改动过：第 4 行不是完整的登记行。")},
        {"the log deleted", [](Ledger& l) { QFile::remove(l.log()); }, "甲.doc",
         u("文件“甲.doc”不在笔录登记中。\r\n笔录登记 %LOG% 不见了，这台电脑曾在其中登记过保存。")},
        {"the log is a folder",
         [](Ledger& l) {
             QFile::remove(l.log());
             QDir().mkpath(l.log());
         },
         "甲.doc", u("文件“甲.doc”不在笔录登记中。\r\n笔录登记 %LOG% 无法读取：不是普通文件。")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Ledger l;
        l.saveThree();
        ASSERT_TRUE(l.prompts.shown().isEmpty());
        c.tamper(l);
        QString expected = c.expected;
        expected.replace(u("%LOG%"), l.log());
        EXPECT_EQ(l.verify(l.bl(c.chosen)), expected);
    }
}

TEST(RecordLog, WithoutThisComputersAnchorTheCheckSaysWhatItCannotTell)
{
    // The program folder moved, or the anchor was deleted: the chain alone.
    Ledger l(false);
    l.saveThree();
    EXPECT_EQ(l.verify(l.bl("乙.doc")),
              u("文件“乙.doc”与 2026-12-09 10:00:00 保存时完全一致。\r\n"
                "笔录登记完好（共 3 行）。本机没有这份登记的校验记录，只能核对登记本身是否前后一致。"));
}

TEST(RecordLog, ALogThatCannotBeWrittenIsToldAndTheSavedFilesStay)
{
    Ledger l;
    QDir().mkpath(l.log()); // a folder in the log's place
    l.save(QTime(9, 0), {{"甲.doc", "one"}});
    EXPECT_EQ(l.prompts.shown(), (QList<Shown>{{u("笔录文件已经保存，但没有记入笔录登记：\r\n") + l.log() +
                                                    u("：同名的目录已经存在"),
                                                u("登记失败："), platform::Buttons::Ok}}));
    EXPECT_EQ(readFile(l.bl("甲.doc")), "one");

    // A file that vanished before it could be logged: nothing is appended.
    QDir(l.log()).removeRecursively();
    l.prompts.clear();
    l.commands->logSave({l.bl("甲.doc"), l.bl("没有.pdf")});
    EXPECT_EQ(l.prompts.shown(), (QList<Shown>{{u("笔录文件已经保存，但没有记入笔录登记：\r\n") +
                                                    l.bl("没有.pdf") + u("：文件不存在"),
                                                u("登记失败："), platform::Buttons::Ok}}));
    EXPECT_FALSE(QFile::exists(l.log()));

    // The line is logged, but its anchor cannot be kept: a file where its folder belongs.
    writeBytes(l.dir.file(u("config")), "");
    l.prompts.clear();
    l.commands->logSave({l.bl("甲.doc")});
    EXPECT_EQ(l.prompts.shown(), (QList<Shown>{{u("笔录文件已经记入笔录登记，但这台电脑上的登记核对文件没有保"
                                                  "存（最后一行被改动时无法发现）：\r\n") +
                                                    l.commands->anchorFile() + u("：路径中有一部分不是目录"),
                                                u("登记失败："), platform::Buttons::Ok}}));
    EXPECT_EQ(logLines(l.log()).size(), 1);
}

TEST(RecordLog, ALogHeldByAnotherProgramOrEndingInAHugeLineIsToldAndTheSaveStands)
{
    Ledger l;
    l.save(QTime(9, 0), {{"甲.doc", "one"}});
    ASSERT_TRUE(l.prompts.shown().isEmpty());

    // Another program (any account that can read the folder) holds the log's lock.
    QProcess holder;
    holder.start(u("flock"), {u("-o"), l.log(), u("sleep"), u("60")});
    ASSERT_TRUE(holder.waitForStarted()) << "flock (util-linux) is missing";
    QProcess probe;
    for (int i = 0; i < 100; ++i) {
        probe.start(u("flock"), {u("-n"), l.log(), u("true")});
        probe.waitForFinished();
        if (probe.exitCode() != 0)
            break;
        QThread::msleep(20);
    }
    ASSERT_NE(probe.exitCode(), 0) << "the lock was never taken";
    QElapsedTimer waited;
    waited.start();
    l.save(QTime(10, 0), {{"乙.doc", "two"}});
    EXPECT_LT(waited.elapsed(), 8000);
    EXPECT_EQ(l.prompts.shown(), (QList<Shown>{{u("笔录文件已经保存，但没有记入笔录登记：\r\n") + l.log() +
                                                    u("：笔录登记正被另一个程序占用，5 秒后仍未释放"),
                                                u("登记失败："), platform::Buttons::Ok}}));
    EXPECT_EQ(readFile(l.bl("乙.doc")), "two");
    holder.kill();
    holder.waitForFinished();
    l.prompts.clear();
    l.save(QTime(10, 1), {{"乙.doc", "two"}});
    EXPECT_TRUE(l.prompts.shown().isEmpty());
    EXPECT_EQ(logLines(l.log()).size(), 2);

    // A last line longer than any entry is not read into memory.
    QFile log(l.log());
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write(QByteArray(3 << 20, 'x'));
    log.close();
    const qint64 size = QFileInfo(l.log()).size();
    l.prompts.clear();
    l.save(QTime(11, 0), {{"丙.doc", "three"}});
    EXPECT_EQ(l.prompts.shown(), (QList<Shown>{{u("笔录文件已经保存，但没有记入笔录登记：\r\n") + l.log() +
                                                    u("：最后一行超过 1 MB，不是登记行"),
                                                u("登记失败："), platform::Buttons::Ok}}));
    EXPECT_EQ(QFileInfo(l.log()).size(), size);
}
