// What a power cut can leave of a save: every file the program writes is
// flushed to disk before it is renamed into place, and its folder after, so
// the target is the old file or the new one, never an empty one. A real
// process is watched with strace.
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

TEST(DiskWrites, EveryFileOfASaveIsOnDiskBeforeItsNameAndItsNameAfter)
{
    ASSERT_TRUE(requireProgram(u("strace"), u("strace")));
    TempDir dir;
    const QString program = dir.file(u("program"));
    const QString trace = dir.file(u("trace"));
    const QString source = dir.write(u("document.doc"), QByteArray(50000, 'd'));
    // The leak check does not work under a tracer; in the sanitizer build
    // the helper runs without it.
    const QByteArray asan = qgetenv("ASAN_OPTIONS");
    qputenv("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
    const QString out =
        runProgram(u("strace"),
                   {u("-f"), u("-y"), u("-qq"), u("-e"), u("trace=fsync,fdatasync,rename,renameat,renameat2"),
                    u("-o"), trace, u(QUILLAN_DISK_WRITES_HELPER), program, source});
    qputenv("ASAN_OPTIONS", asan);
    ASSERT_EQ(out, u("written\n")) << "the helper failed:\n" << readFile(trace).toStdString();
    const QString bl = QDir(program + u("/BL")).canonicalPath();

    // "pid fsync(3</path>) = 0" and "pid rename("from", "to") = 0", as strace writes them.
    const QRegularExpression fsyncLine(u(R"re(^\d+\s+f(?:data)?sync\(\d+<(.*)>\)\s+= 0$)re"));
    const QRegularExpression renameLine(
        u(R"re(^\d+\s+rename(?:at2?)?\(.*"([^"]*)", .*"([^"]*)"(?:, \w+)?\)\s+= 0$)re"));
    QStringList events; // "sync <path>" and "rename <from> <to>", in order
    for (const QByteArray& raw : readFile(trace).split('\n')) {
        // strace shows names as octal escapes: decode them.
        QByteArray line;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] >= '0' && raw[i + 1] <= '3') {
                line += char(raw.mid(i + 1, 3).toInt(nullptr, 8));
                i += 3;
            } else {
                line += raw[i];
            }
        }
        const QString text = QString::fromUtf8(line);
        if (const auto m = fsyncLine.match(text); m.hasMatch())
            events << u("sync ") + m.captured(1);
        else if (const auto r = renameLine.match(text); r.hasMatch())
            events << u("rename ") + QFileInfo(r.captured(1)).fileName() + u(" ") +
                          QFileInfo(r.captured(2)).fileName();
    }

    for (const char* name : {"2026.12.10-某某公司-张三.ini", "2026.12.10-某某公司-张三.doc", "录音.wav"}) {
        SCOPED_TRACE(name);
        const qsizetype renamed = events.indexOf(QRegularExpression(
            u("^rename \\.~quillan-\\w+\\.\\w+ ") + QRegularExpression::escape(u(name)) + u("$")));
        ASSERT_GE(renamed, 0) << events.join(u("\n")).toStdString();
        const QString temp = events[renamed].section(QLatin1Char(' '), 1, 1);
        const qsizetype synced = events.indexOf(u("sync ") + bl + u("/") + temp);
        EXPECT_GE(synced, 0) << "the new content was not flushed before the rename";
        EXPECT_LT(synced, renamed);
        EXPECT_EQ(events.value(renamed + 1), u("sync ") + bl)
            << "the folder was not flushed after the rename";
    }
    // The log is appended to in place; its first line brings its name to disk.
    const qsizetype log = events.indexOf(u("sync ") + bl + u("/笔录登记.log"));
    ASSERT_GE(log, 0);
    EXPECT_EQ(events.value(log + 1), u("sync ") + bl);
}

} // namespace
} // namespace quillan::test
