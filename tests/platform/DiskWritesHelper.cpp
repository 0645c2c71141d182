// A separate program for the test of what reaches the disk: it writes a
// record's files the way the program does, into the folder given, so that
// the test can watch its system calls.
//   disk_writes_helper <program folder> <a file to copy as the document>
#include "audio/WavFile.h"
#include "ledger/RecordLog.h"
#include "platform/AtomicFile.h"
#include "record/MapForm.h"
#include "record/TemplateFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>

#include <cstdio>

using namespace quillan;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString programDir = args[1];
    const QString bl = programDir + QStringLiteral("/BL/");
    QDir().mkpath(bl);

    // The template, from the record's fields.
    test::MapForm form;
    form.set("编辑框1", QStringLiteral("2026"));
    form.set("编辑框2", QStringLiteral("12"));
    form.set("编辑框3", QStringLiteral("10"));
    form.set("编辑框14", QStringLiteral("某某公司"));
    form.set("编辑框9", QStringLiteral("张三"));
    if (!record::writeTemplate(programDir, form).ok)
        return 3;

    // The document, written by another program (the office) by name.
    platform::FileReplacement document(bl + QStringLiteral("2026.12.10-某某公司-张三.doc"));
    if (!document.isOpen() || QProcess::execute(QStringLiteral("cp"), {args[2], document.tempPath()}) != 0 ||
        !document.commit())
        return 4;

    // The interview's recording.
    const QByteArray samples(16000, '\x11');
    bool given = false;
    QString error;
    if (!audio::writeWavFile(
            bl + QStringLiteral("录音.wav"), audio::AudioFormat{}, quint32(samples.size()),
            [&]() { return std::exchange(given, true) ? QByteArrayView() : QByteArrayView(samples); },
            &error))
        return 5;

    // The log of saved records, created by its first line.
    if (!ledger::RecordLog(bl + QStringLiteral("笔录登记.log"))
             .append(QDateTime(QDate(2026, 12, 10), QTime(9, 0)), {bl + QStringLiteral("录音.wav")}, &error))
        return 6;
    std::printf("written\n");
    return 0;
}
