// A law text shown in the panel and printed with "打  印" through the real
// LibreOffice engine and the CUPS PDF printer: the printed page holds the
// text shown, in readable Chinese.
#include "../record/MapForm.h"
#include "E2eSupport.h"
#include "doubles/ManualClock.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "library/TextCommands.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "record/RecordCommands.h"
#include "word/LibreOfficeEngine.h"

#include <QDateTime>
#include <QDir>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

TEST(TextPrintE2e, PrintingAShownGuidanceTextPutsItsLinesOnPaper)
{
    ASSERT_TRUE(requireProgram(QStringLiteral("soffice"), QStringLiteral("libreoffice-writer-nogui")));
    ASSERT_TRUE(requireProgram(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils")));
    ASSERT_TRUE(
        runProgram(QStringLiteral("lpstat"), {QStringLiteral("-d")}).contains(QStringLiteral("destination:")))
        << "missing component: a default CUPS printer (run scripts/setup-printer.sh as root)";

    TempDir dir;
    MapForm form;
    platform::ScriptedPrompts prompts;
    platform::ManualClock clock(QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)));
    platform::RecordingShell shell;
    word::LibreOfficeOptions options;
    options.scratchDir = dir.file(QStringLiteral("office"));
    word::LibreOfficeEngine engine(options);
    ASSERT_FALSE(engine.installPathText().isEmpty()) << "missing component: LibreOffice (soffice)";
    int counter = 0;
    platform::FileDialogUnit unit;

    library::TextEnvironment texts;
    texts.session = &form.session;
    texts.programDir = dir.path();
    texts.scratchDir = [&] {
        QDir().mkpath(dir.file(QStringLiteral("scratch")));
        return dir.file(QStringLiteral("scratch"));
    };
    QString shown;
    texts.showPanel = [&](const QString& text) { shown = text; };
    library::TextCommands panel(texts);

    record::RecordEnvironment env;
    env.view = &form;
    env.status = &form;
    env.session = &form.session;
    env.prompts = &prompts;
    env.clock = &clock;
    env.shell = &shell;
    env.word = &engine;
    env.programDir = dir.path();
    env.pageLineCounter = &counter;
    env.templateDialog = &unit;
    env.documentDialog = &unit;
    record::RecordCommands commands(env);

    panel.show(*library::findTextEntry(QStringLiteral("法律法规"), QStringLiteral("劳动监察办案时效")));
    ASSERT_TRUE(shown.contains(QStringLiteral("两年查处时效")));
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    commands.printShownText();
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.shown().value(0).text.toStdString();
    EXPECT_EQ(form.part0, QStringLiteral("打印成功..."));

    const QString pdf = waitForPrintedPdf(since);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF appeared in " << printedPdfFolder().toStdString();
    const QString printed = withoutBlanks(pdfText(spooledDocument(pdf)));
    // Every line of the text shown is on paper, in order.
    qsizetype from = 0;
    int lines = 0;
    for (const QString& line : shown.split(QStringLiteral("\r\n"))) {
        const QString want = withoutBlanks(line);
        if (want.isEmpty())
            continue;
        ++lines;
        const qsizetype at = printed.indexOf(want, from);
        EXPECT_GE(at, 0) << "not printed in order: " << line.toStdString();
        if (at >= 0)
            from = at + want.size();
    }
    EXPECT_GT(lines, 25);
    EXPECT_TRUE(runProgram(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("CJK")));
}

} // namespace
} // namespace quillan::test
