#include "doubles/RecordingEngine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace quillan::word {
namespace {

using Run = RecordingEngine::Run;

void start(RecordingEngine& engine, const QString& path = QStringLiteral("/tmp/Doc.doc"))
{
    engine.createApplication();
    engine.bindDocuments();
    ASSERT_TRUE(engine.open(path));
}

TEST(RecordingEngine, NothingHappensBeforeADocumentIsOpen)
{
    RecordingEngine engine;
    engine.setBold(true);
    engine.typeText(QStringLiteral("lost"));
    EXPECT_FALSE(engine.hasDocument());
    engine.createApplication();
    EXPECT_FALSE(engine.open(QStringLiteral("/tmp/Doc.doc"))) << "documents are not bound yet";
    engine.bindDocuments();
    ASSERT_TRUE(engine.open(QStringLiteral("/tmp/Doc.doc")));
    ASSERT_EQ(engine.paragraphs().size(), 1u);
    EXPECT_TRUE(engine.paragraphs()[0].runs.empty());
    // Formatting set before the document existed does not carry over.
    engine.typeText(QStringLiteral("x"));
    EXPECT_FALSE(engine.paragraphs()[0].runs[0].bold);
    EXPECT_EQ(engine.paragraphs()[0].runs[0].size, 10.5);
}

TEST(RecordingEngine, TypingBuildsParagraphsOfFormattedRuns)
{
    RecordingEngine engine;
    start(engine);
    engine.setAlignment(Alignment::Center);
    engine.setFontSize(22);
    engine.setBold(true);
    engine.typeText(QStringLiteral("询问笔录\r\n"));
    engine.setAlignment(Alignment::Left);
    engine.setFontSize(14);
    engine.setBold(false);
    engine.typeText(QStringLiteral("时间："));
    engine.setUnderline(true);
    engine.typeText(QStringLiteral("2024年"));
    engine.typeText(QStringLiteral("5月"));
    engine.setUnderline(false);
    engine.typeText(QStringLiteral("止\r\n\r\n"));
    engine.typeText(QStringLiteral("end"));

    const auto& ps = engine.paragraphs();
    ASSERT_EQ(ps.size(), 4u);
    EXPECT_EQ(ps[0].alignment, Alignment::Center);
    ASSERT_EQ(ps[0].runs.size(), 1u);
    EXPECT_EQ(ps[0].runs[0].text, QStringLiteral("询问笔录"));
    EXPECT_EQ(ps[0].runs[0].size, 22);
    EXPECT_TRUE(ps[0].runs[0].bold);

    // The paragraph after the title took over its centring until changed.
    EXPECT_EQ(ps[1].alignment, Alignment::Left);
    ASSERT_EQ(ps[1].runs.size(), 3u) << "adjacent runs with the same formatting merge";
    EXPECT_EQ(ps[1].runs[0].text, QStringLiteral("时间："));
    EXPECT_FALSE(ps[1].runs[0].underline);
    EXPECT_EQ(ps[1].runs[1].text, QStringLiteral("2024年5月"));
    EXPECT_TRUE(ps[1].runs[1].underline);
    EXPECT_EQ(ps[1].runs[1].size, 14);
    EXPECT_EQ(ps[1].runs[2].text, QStringLiteral("止"));
    EXPECT_FALSE(ps[1].runs[2].underline);
    EXPECT_EQ(ps[1].text(), QStringLiteral("时间：2024年5月止"));

    EXPECT_TRUE(ps[2].runs.empty());
    EXPECT_EQ(ps[2].alignment, Alignment::Left);
    EXPECT_EQ(ps[3].text(), QStringLiteral("end"));
    EXPECT_EQ(engine.text(), QStringLiteral("询问笔录\r\n时间：2024年5月止\r\n\r\nend"));
}

TEST(RecordingEngine, AlignmentAppliesToTheWholeCurrentParagraphAndFollowingOnes)
{
    RecordingEngine engine;
    start(engine);
    engine.typeText(QStringLiteral("a"));
    engine.setAlignment(Alignment::Center);
    engine.typeText(QStringLiteral("b\r\nc"));
    const auto& ps = engine.paragraphs();
    ASSERT_EQ(ps.size(), 2u);
    EXPECT_EQ(ps[0].alignment, Alignment::Center);
    ASSERT_EQ(ps[0].runs.size(), 1u) << "the runs of a re-aligned paragraph stay one";
    EXPECT_EQ(ps[0].runs[0].alignment, Alignment::Center);
    EXPECT_EQ(ps[1].alignment, Alignment::Center);
    // A lone LF is no paragraph break.
    engine.typeText(QStringLiteral("\nd"));
    EXPECT_EQ(engine.paragraphs().size(), 2u);
}

TEST(RecordingEngine, LogsCallsAndSimulatesOutcomes)
{
    test::TempDir dir;
    RecordingEngine engine;
    EXPECT_EQ(engine.installPathText(), QStringLiteral("/usr/lib/libreoffice/program/\r\n"));
    engine.setInstallPathText(QString());
    EXPECT_TRUE(engine.installPathText().isEmpty());
    engine.setSpreadsheetInstalled(false);
    EXPECT_FALSE(engine.spreadsheetInstalled());
    engine.clearCalls();

    start(engine, QStringLiteral("/x/Doc.doc"));
    engine.typeText(QStringLiteral("甲\r\n乙"));
    const QString target = dir.file(QStringLiteral("out.doc"));
    ASSERT_TRUE(engine.saveAs(target));
    EXPECT_EQ(test::readFile(target), QStringLiteral("甲\r\n乙").toUtf8());
    EXPECT_TRUE(engine.print().ok());

    engine.setSaveResult(false);
    const QString refused = dir.file(QStringLiteral("refused.doc"));
    EXPECT_FALSE(engine.saveAs(refused));
    EXPECT_FALSE(QFile::exists(refused));
    EXPECT_EQ(engine.lastError(), QStringLiteral("文件无法保存为 ") + refused + QStringLiteral("。"));

    PrintResult noPrinter;
    noPrinter.status = PrintResult::Status::NoPrinter;
    noPrinter.detail = QStringLiteral("没有设置默认打印机。请先设置打印机，再重新打印。");
    engine.setPrintResult(noPrinter);
    EXPECT_EQ(engine.print().status, PrintResult::Status::NoPrinter);
    EXPECT_EQ(engine.lastError(), QStringLiteral("没有设置默认打印机。请先设置打印机，再重新打印。"));

    engine.closeDocument();
    const PrintResult none = engine.print();
    EXPECT_EQ(none.status, PrintResult::Status::NoDocument);
    EXPECT_EQ(none.detail, QStringLiteral("没有打开的文件。"));
    engine.setOpenResult(false);
    EXPECT_FALSE(engine.open(QStringLiteral("/x/Doc.doc")));
    EXPECT_EQ(engine.lastError(), QStringLiteral("文件 /x/Doc.doc 无法打开。"));
    engine.quit();

    const QStringList expected = {
        QStringLiteral("createApplication"), QStringLiteral("bindDocuments"),
        QStringLiteral("open /x/Doc.doc"),   QStringLiteral("typeText 甲\r\n乙"),
        QStringLiteral("saveAs ") + target,  QStringLiteral("print"),
        QStringLiteral("saveAs ") + refused, QStringLiteral("print"),
        QStringLiteral("closeDocument"),     QStringLiteral("print"),
        QStringLiteral("open /x/Doc.doc"),   QStringLiteral("quit"),
    };
    EXPECT_EQ(engine.calls(), expected);
}

TEST(RecordingEngine, QuitEndsTheSessionAndOpeningAgainStartsAFreshDocument)
{
    RecordingEngine engine;
    start(engine);
    engine.setBold(true);
    engine.typeText(QStringLiteral("old"));
    engine.quit();
    EXPECT_FALSE(engine.hasDocument());
    EXPECT_FALSE(engine.open(QStringLiteral("/tmp/Doc.doc")));
    start(engine);
    ASSERT_EQ(engine.paragraphs().size(), 1u);
    EXPECT_TRUE(engine.paragraphs()[0].runs.empty());
    engine.typeText(QStringLiteral("new"));
    EXPECT_FALSE(engine.paragraphs()[0].runs[0].bold);
}

} // namespace
} // namespace quillan::word
