// Times an entry of the menu "监察文书" from the click to the question
// "是否直接打印此监察文书？", with the engine's office already running: the
// presence check, writing the form to its scratch file and opening it in
// the headless LibreOffice. Also the time the Cancel branch takes to close
// the headless copy and hand the form on (the shell only records). Then the
// same with a record that fills the form: filling its places (before the
// question) and writing the filled copy (in the Cancel branch).
#include "doubles/RecordingShell.h"
#include "library/DocumentCommands.h"
#include "library/InspectionDocuments.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/MapForm.h"
#include "word/LibreOfficeEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan;

namespace {

// Notes when the question is asked and answers Cancel; takes the offer to
// fill the form from the record.
class TimingPrompts final : public platform::Prompts
{
public:
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override
    {
        if (text == QStringLiteral("是否用当前笔录的内容填写此监察文书？"))
            return platform::Answer::Yes;
        if (text == QStringLiteral("是否直接打印此监察文书？"))
            askedAtNs = clock.nsecsElapsed();
        else
            other = text;
        return platform::Answer::Cancel;
    }
    std::optional<QString> chooseFile(platform::FileDialogUnit&) override { return std::nullopt; }
    std::optional<QString> browseFolder(const QString&) override { return std::nullopt; }

    QElapsedTimer clock;
    qint64 askedAtNs = -1;
    QString other;
};

bool timeEntries(library::DocumentCommands& commands, TimingPrompts& prompts, int runs, bool filled);

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    word::LibreOfficeOptions options;
    options.scratchDir = dir.filePath(QStringLiteral("scratch"));
    word::LibreOfficeEngine engine(options);
    if (engine.installPathText().isEmpty() || !engine.warmUp()) {
        std::fprintf(stderr, "library_bench: LibreOffice (soffice) is missing or does not start\n");
        return 1;
    }
    test::MapForm form;
    TimingPrompts prompts;
    platform::RecordingShell shell;
    library::DocumentCommands commands(
        {&form, &form.session, &prompts, &shell, &engine, &form, options.scratchDir});

    for (const bool filled : {false, true}) {
        if (filled) {
            using record::FieldId;
            form.showField(FieldId::WorkUnit, QStringLiteral("长春某机械加工有限公司"));
            form.showField(FieldId::Name, QStringLiteral("王某某"));
            form.showField(FieldId::IdNumber, QStringLiteral("220102199001011234"));
            form.showField(FieldId::Address, QStringLiteral("朝阳区桂林街道某小区3栋2单元"));
            form.showField(FieldId::StartYear, QStringLiteral("2026"));
            form.showField(FieldId::CommonPlace, QStringLiteral("劳动保障监察支队询问室"));
        }
        if (!timeEntries(commands, prompts, runs, filled))
            return 1;
    }
    return 0;
}

namespace {

bool timeEntries(library::DocumentCommands& commands, TimingPrompts& prompts, int runs, bool filled)
{
    std::printf("%s\n", filled ? "filled from a record" : "blank");
    std::printf(
        "entry                                     to question (median, min-max of %d)   cancel branch\n",
        runs);
    for (int position : {4, 6, 14, 9, 1}) {
        const library::InspectionDocument& d = library::inspectionDocuments()[size_t(position - 1)];
        commands.open(d); // untimed: the first load of a document type
        std::vector<double> toQuestion;
        std::vector<double> cancel;
        for (int i = 0; i < runs; ++i) {
            prompts.askedAtNs = -1;
            prompts.clock.start();
            commands.open(d);
            const double total = double(prompts.clock.nsecsElapsed()) / 1e6;
            if (prompts.askedAtNs < 0) {
                std::fprintf(stderr, "library_bench: no question for %s: %s\n", d.scratchName,
                             prompts.other.toUtf8().constData());
                return false;
            }
            toQuestion.push_back(double(prompts.askedAtNs) / 1e6);
            cancel.push_back(total - toQuestion.back());
        }
        std::printf("%-9s %-34s %7.0f ms (%.0f-%.0f)          %5.0f ms\n", d.scratchName,
                    QString::fromUtf8(d.caption).left(14).toUtf8().constData(), median(toQuestion),
                    *std::min_element(toQuestion.begin(), toQuestion.end()),
                    *std::max_element(toQuestion.begin(), toQuestion.end()), median(cancel));
    }
    return true;
}

} // namespace
