// Times "保存(笔录及模板)" and printing the current record for a record with
// all 24 pairs against LibreOffice's bare `soffice --headless --convert-to
// doc` of the same document: the first save of a session (after the
// background start the program makes once its window is up), warm saves,
// printing until CUPS reports the job completed, and a save with no office
// running at all.
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/BenchRecord.h"
#include "record/MapForm.h"
#include "record/RecordCommands.h"
#include "record/RecordFields.h"
#include "word/LibreOfficeEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = 7;
    QTemporaryDir dir;
    const QString programDir = dir.filePath(QStringLiteral("program"));
    QDir().mkpath(programDir);

    word::LibreOfficeOptions options;
    options.scratchDir = dir.filePath(QStringLiteral("scratch"));
    word::LibreOfficeEngine engine(options);
    if (engine.installPathText().isEmpty()) {
        std::fprintf(stderr, "record_bench: LibreOffice (soffice) is missing\n");
        return 1;
    }

    test::MapForm form = bench::fullRecord();
    bench::RecordRig rig(form, engine, programDir);
    platform::ScriptedPrompts& prompts = rig.prompts;
    record::RecordEnvironment& env = rig.env;
    record::RecordCommands commands(env);

    auto timedSave = [&] {
        prompts.answerNext(platform::Answer::Yes); // overwrite (asked from the second save on)
        QElapsedTimer t;
        t.start();
        commands.saveRecord();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        prompts.clear();
        return ms;
    };

    // As the program does once its window is shown; the officer then types
    // the record for some minutes.
    QElapsedTimer started;
    started.start();
    engine.startInBackground();
    while (engine.startingInBackground())
        QThread::msleep(10);
    const double backgroundStart = double(started.nsecsElapsed()) / 1e6;
    const double first = timedSave();
    std::vector<double> warm;
    for (int i = 0; i < runs; ++i)
        warm.push_back(timedSave());
    const QString doc = programDir + QStringLiteral("/BL/2012.12.25-青山建筑工程公司-张三.doc");
    if (!QFile::exists(doc) || !form.status.startsWith(QStringLiteral("笔录WORD文件以经保存在"))) {
        std::fprintf(stderr, "record_bench: the save failed\n");
        return 1;
    }
    // "--keep <folder>": a copy of the saved record and its PDF, to look at.
    const QStringList args = app.arguments();
    if (const qsizetype k = args.indexOf(QStringLiteral("--keep")); k > 0 && k + 1 < args.size()) {
        QDir().mkpath(args[k + 1]);
        for (const QString& suffix : {QStringLiteral(".doc"), QStringLiteral(".pdf")}) {
            const QString target = args[k + 1] + QStringLiteral("/record") + suffix;
            QFile::remove(target);
            QFile::copy(doc.chopped(4) + suffix, target);
        }
    }

    std::vector<double> print;
    for (int i = 0; i < 3; ++i) {
        form.status.clear();
        QElapsedTimer t;
        t.start();
        commands.printCurrentRecord();
        print.push_back(double(t.nsecsElapsed()) / 1e6);
        if (form.status != QStringLiteral("打 印 成 功！"))
            std::fprintf(stderr, "record_bench: printing did not succeed: %s\n",
                         prompts.shown().value(0).text.toUtf8().constData());
        prompts.clear();
    }

    // A save with no office running: a second engine of its own.
    double cold = 0;
    {
        word::LibreOfficeOptions coldOptions;
        coldOptions.scratchDir = dir.filePath(QStringLiteral("scratch-cold"));
        word::LibreOfficeEngine coldEngine(coldOptions);
        record::RecordEnvironment coldEnv = env;
        coldEnv.word = &coldEngine;
        record::RecordCommands coldCommands(coldEnv);
        prompts.answerNext(platform::Answer::Yes);
        QElapsedTimer t;
        t.start();
        coldCommands.saveRecord();
        cold = double(t.nsecsElapsed()) / 1e6;
        prompts.clear();
    }

    // Baseline: a fresh soffice converting the saved document, with its own profile.
    std::vector<double> baseline;
    for (int i = 0; i < 3; ++i) {
        QTemporaryDir out;
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setProgram(QStringLiteral("soffice"));
        p.setArguments(
            {QStringLiteral("-env:UserInstallation=file://") + out.filePath(QStringLiteral("profile")),
             QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("doc"),
             QStringLiteral("--outdir"), out.filePath(QStringLiteral("o")), doc});
        p.start();
        p.waitForFinished(120000);
        baseline.push_back(double(t.nsecsElapsed()) / 1e6);
        // The first run of a fresh profile also creates it; time a second one on it.
        QElapsedTimer t2;
        t2.start();
        p.start();
        p.waitForFinished(120000);
        baseline.back() = double(t2.nsecsElapsed()) / 1e6;
    }

    const double warmMedian = median(warm);
    const double printMedian = median(print);
    const double base = median(baseline);
    std::printf("record with 24 pairs, %d warm runs, medians in ms\n", runs);
    std::printf("background start of the office (not waited for): %8.1f\n", backgroundStart);
    std::printf("save, first of the session:                      %8.1f\n", first);
    std::printf("save, warm:                                      %8.1f\n", warmMedian);
    std::printf("print current record until completed:            %8.1f\n", printMedian);
    std::printf("save with no office running (no background start):%7.1f\n", cold);
    std::printf("baseline soffice --headless --convert-to doc:    %8.1f\n", base);
    std::printf("warm save / baseline:      %5.2f (target <= 0.30)\n", warmMedian / base);
    std::printf("first save / warm save:    %5.2f (target <= 1.50)\n", first / warmMedian);
    std::printf("print / baseline:          %5.2f (target <= 0.60)\n", printMedian / base);
    return 0;
}
