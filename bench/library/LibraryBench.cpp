// Times an entry of the menu "监察文书" from the click to the question
// "是否直接打印此监察文书？", with the engine's office already running: the
// presence check, writing the form to its scratch file and opening it in
// the headless LibreOffice. Also the time the Cancel branch takes to close
// the headless copy and hand the form on (the shell only records).
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

// Notes when the question is asked and answers Cancel.
class TimingPrompts final : public platform::Prompts
{
public:
    platform::Answer message(const QString& text, const QString&, platform::Buttons) override
    {
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

    std::printf(
        "entry                                     to question (median, min-max of %d)   cancel branch\n",
        runs);
    for (int position : {4, 14, 9, 1}) {
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
                return 1;
            }
            toQuestion.push_back(double(prompts.askedAtNs) / 1e6);
            cancel.push_back(total - toQuestion.back());
        }
        std::printf("%-9s %-34s %7.0f ms (%.0f-%.0f)          %5.0f ms\n", d.scratchName,
                    QString::fromUtf8(d.caption).left(14).toUtf8().constData(), median(toQuestion),
                    *std::min_element(toQuestion.begin(), toQuestion.end()),
                    *std::max_element(toQuestion.begin(), toQuestion.end()), median(cancel));
    }
    return 0;
}
