// The record document as typed into the word engine: one table of records
// and the document each must give, written as text with the underlined
// pieces in ⟨ ⟩ and the paragraphs separated by CR LF.
#include "record/Composition.h"
#include "MapForm.h"
#include "doubles/RecordingEngine.h"
#include "platform/ProfileIni.h"
#include "record/RecordFields.h"
#include "support/TestSupport.h"

#include <QFile>

#include <QFileInfo>
#include <gtest/gtest.h>

#include <set>

namespace quillan::test {
namespace {

using word::RecordingEngine;

const QString kEnd = QStringLiteral("\r\n");
QString sp(int n)
{
    return QString(n, QLatin1Char(' '));
}
QString u(const QString& s)
{
    return QStringLiteral("⟨") + s + QStringLiteral("⟩");
}

QString question(int n)
{
    return QStringLiteral("问：第%1问？").arg(n);
}
QString answer(int n)
{
    return QStringLiteral("答：第%1答。").arg(n);
}

// The header of the record every row starts from.
void fillHeader(MapForm& f)
{
    const std::pair<const char*, const char*> values[] = {
        {"编辑框1", "2012"},
        {"编辑框2", "3"},
        {"编辑框3", "5"},
        {"编辑框4", "9"},
        {"编辑框5", "30"},
        {"编辑框6", "11"},
        {"编辑框7", "15"},
        {"编辑框8", "某某镇"},
        {"组合框2", "劳动保障所"},
        {"编辑框9", "张三"},
        {"组合框1", "男"},
        {"编辑框11", "某某县"},
        {"组合框52", "某某村"},
        {"编辑框12", "身份证"},
        {"编辑框10", "110101198001010011"},
        {"编辑框26", "32"},
        {"编辑框14", "某某建筑公司"},
        {"组合框3", "工人"},
        {"编辑框27", "初中"},
        {"编辑框15", "13800000000"},
        {"编辑框16", "某某县某某村"},
        {"组合框53", "李四"},
        {"组合框54", "无"},
        {"组合框55", "王五"},
    };
    for (const auto& [unit, value] : values)
        f.set(unit, QString::fromUtf8(value));
}

QString title()
{
    return QStringLiteral("工伤认定询问调查笔录") + kEnd + kEnd;
}

QString header(const QString& separator = QStringLiteral("分   至   "),
               const QString& name = QStringLiteral("张三"), const QString& month = QStringLiteral("3"),
               const QString& day = QStringLiteral("5"))
{
    return QStringLiteral("笔录起至时间：") + u(QStringLiteral("  2012")) + QStringLiteral("年") +
           u(sp(2) + month) + QStringLiteral("月") + u(sp(2) + day) + QStringLiteral("日") +
           u(QStringLiteral("  9")) + QStringLiteral("时") + u(QStringLiteral("  30")) + separator +
           u(QStringLiteral("  11")) + QStringLiteral("时") + u(QStringLiteral("  15")) +
           QStringLiteral("分") + kEnd                                                            //
           + QStringLiteral("笔录地点：") + u(QStringLiteral("某某镇劳动保障所") + sp(33)) + kEnd //
           + QStringLiteral("被询问人姓名：") + u(QLatin1Char(' ') + name + QLatin1Char(' ')) +
           QStringLiteral(" 性别：") + u(QStringLiteral(" 男 ")) + QStringLiteral(" 户籍所在地：") +
           u(QStringLiteral("某某县某某村") + sp(12)) + kEnd + QStringLiteral("身份证件种类：") +
           u(QStringLiteral(" 身份证 ")) + QStringLiteral(" 号码：") +
           u(QStringLiteral("110101198001010011")) + QStringLiteral("  年龄：") +
           u(QStringLiteral("32") + sp(22)) + kEnd + QStringLiteral("工作单位：") +
           u(QStringLiteral("某某建筑公司")) + QStringLiteral("   职务：") + u(QStringLiteral("工人")) +
           QStringLiteral("   文化程度：") + u(QStringLiteral("初中") + sp(27)) + kEnd //
           + QStringLiteral("电话：") + u(QStringLiteral("13800000000")) + QStringLiteral("   住址：") +
           u(QStringLiteral("某某县某某村") + sp(80)) + kEnd //
           + QStringLiteral("询问人姓名：") + u(QStringLiteral("  李四  ")) +
           QStringLiteral(" 其他参加人：") + u(QStringLiteral("  无  ")) + QStringLiteral(" 记录人：") +
           u(QStringLiteral("  王五") + sp(17)) + kEnd + kEnd + QStringLiteral("笔 录 内 容：") + kEnd;
}

QString pairLines(const QString& q, const QString& a)
{
    return u(q + sp(66)) + kEnd + u(a + sp(66)) + kEnd;
}
QString pairLines(int n)
{
    return pairLines(question(n), answer(n));
}
QString pairs(int from, int to)
{
    QString s;
    for (int n = from; n <= to; ++n)
        s += pairLines(n);
    return s;
}
QString blanks(int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s += u(sp(69)) + kEnd;
    return s;
}
QString closing(bool lineFiveEnds)
{
    return QStringLiteral("  "
                          "以上记录内容我已详细阅读，记录的内容均我口述，并且准确无误。如有不实，我愿承担一切"
                          "法律责任。") +
           kEnd + QStringLiteral("  　　　　　　　　 被调查人（签名压指模）：") + kEnd + sp(41) +
           QStringLiteral("年     月     日") + kEnd +
           QStringLiteral("说明：1.调查结束后，应将调查笔录交被调查人核对并签名") + kEnd + sp(6) +
           QStringLiteral("2.调查结束后，在场人员应在调查笔录上证明调查是否属实并分别签名") +
           (lineFiveEnds ? kEnd : QString());
}
const QString kBlockCrLf = closing(true);
const QString kBlock = closing(false);

// The document as text with the underlined runs marked.
QString markup(const RecordingEngine& engine)
{
    QStringList paragraphs;
    for (const RecordingEngine::Paragraph& p : engine.paragraphs()) {
        QString s;
        for (const RecordingEngine::Run& run : p.runs)
            s += run.underline ? u(run.text) : run.text;
        paragraphs << s;
    }
    return paragraphs.join(kEnd);
}

struct Row
{
    const char* name;
    std::set<int> filled;                 // pairs with question and answer
    std::function<void(MapForm&)> change; // anything else about the record
    QString body;                         // expected after "笔 录 内 容："
    int counter;                          // page line counter at the end
    QString head = header();
};

void noChange(MapForm&) {}

std::vector<Row> rows()
{
    std::set<int> all;
    for (int n = 1; n <= 24; ++n)
        all.insert(n);
    auto range = [](int from, int to) {
        std::set<int> s;
        for (int n = from; n <= to; ++n)
            s.insert(n);
        return s;
    };
    return {
        {"no pair", {}, noChange, QString(), 0},
        {"pair 1", {1}, noChange, pairLines(1) + blanks(14) + kBlock, 2},
        {"pairs 1 and 2", {1, 2}, noChange, pairs(1, 2) + kBlockCrLf, 0},
        {"pairs 2 and 3: caught at the check of pair 3", {2, 3}, noChange, pairs(2, 3) + kBlockCrLf, 0},
        {"pairs 1 to 4", range(1, 4), noChange, pairs(1, 2) + kBlockCrLf + pairs(3, 4) + blanks(12) + kBlock,
         4},
        {"pairs 1 to 8: seven after the block", range(1, 8), noChange,
         pairs(1, 2) + kBlockCrLf + pairs(3, 8) + blanks(4) + kBlock, 12},
        {"pairs 3 to 10", range(3, 10), noChange, pairs(3, 10) + kBlockCrLf, 0},
        {"pairs 1 to 17", range(1, 17), noChange,
         pairs(1, 2) + kBlockCrLf + pairs(3, 10) + kBlockCrLf + pairs(11, 17) + blanks(2) + kBlock, 14},
        {"all 24 pairs", all, noChange,
         pairs(1, 2) + kBlockCrLf + pairs(3, 10) + kBlock + pairs(11, 18) + kBlock + pairs(19, 24) +
             blanks(4) + kBlock,
         12},
        {"all 24 but the last answer empty", all, [](MapForm& f) { f.set("组合框38", QString()); },
         pairs(1, 2) + kBlockCrLf + pairs(3, 10) + kBlockCrLf + pairs(11, 18) + kBlockCrLf + pairs(19, 23) +
             pairLines(question(24), QString()) + blanks(4) + kBlock,
         12},
        {"pairs 11 to 24", range(11, 24), noChange,
         pairs(11, 18) + kBlock + pairs(19, 24) + blanks(4) + kBlock, 12},
        {"scattered pairs 3, 9, 15, 21",
         {3, 9, 15, 21},
         noChange,
         pairLines(3) + pairLines(9) + pairLines(15) + pairLines(21) + blanks(8) + kBlock,
         8},
        {"pairs 12 to 20: sixteen reached where no check is", range(12, 20), noChange, pairs(12, 20) + kBlock,
         18},
        {"pairs 14 to 21: caught at the check of pair 21", range(14, 21), noChange,
         pairs(14, 21) + kBlockCrLf, 0},
        {"pairs 7 to 22: blocks after 14 and 22", range(7, 22), noChange,
         pairs(7, 14) + kBlockCrLf + pairs(15, 22) + kBlockCrLf, 0},
        {"a question of blanks counts",
         {},
         [](MapForm& f) { f.set("组合框4", sp(2)); },
         pairLines(sp(2), QString()) + blanks(14) + kBlock,
         2},
        {"an answer without its question leaves no trace",
         {1, 2},
         [](MapForm& f) { f.set("组合框9", answer(3)); },
         pairs(1, 2) + kBlockCrLf,
         0},
        {"an empty name keeps its label and blanks",
         {},
         [](MapForm& f) { f.set("编辑框9", QString()); },
         QString(),
         0,
         header(QStringLiteral("分   至   "), QString())},
        {"month and day of two bytes",
         {},
         [](MapForm& f) {
             f.set("编辑框2", QStringLiteral("12"));
             f.set("编辑框3", QStringLiteral("25"));
         },
         QString(),
         0,
         header(QStringLiteral("分  至  "), QStringLiteral("张三"), QStringLiteral("12"),
                QStringLiteral("25"))},
        {"month of one byte, day of two",
         {},
         [](MapForm& f) { f.set("编辑框3", QStringLiteral("25")); },
         QString(),
         0,
         header(QStringLiteral("分   至  "), QStringLiteral("张三"), QStringLiteral("3"),
                QStringLiteral("25"))},
        {"a Chinese month is two bytes",
         {},
         [](MapForm& f) { f.set("编辑框2", QStringLiteral("三")); },
         QString(),
         0,
         header(QStringLiteral("分   至  "), QStringLiteral("张三"), QStringLiteral("三"),
                QStringLiteral("5"))},
    };
}

class Composition : public ::testing::Test
{
protected:
    TempDir dir;
    MapForm form;
    RecordingEngine engine;
    int counter = -1;
};

TEST_F(Composition, EveryRecordOfTheTableGivesItsDocument)
{
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        MapForm f;
        fillHeader(f);
        for (int n : row.filled) {
            f.fields[record::unitName(record::pair(n).question)] = question(n);
            f.fields[record::unitName(record::pair(n).answer)] = answer(n);
        }
        row.change(f);
        RecordingEngine e;
        int lines = 99;
        const auto composed = record::composeRecord(f, e, dir.path(), lines);
        EXPECT_EQ(markup(e), title() + row.head + row.body);
        EXPECT_EQ(lines, row.counter);
    }
}

TEST_F(Composition, TitleIsCentredBoldTwentyTwoPointAndTheRestLeftFourteenPointPlain)
{
    fillHeader(form);
    for (int n = 1; n <= 24; ++n)
        form.fields[record::unitName(record::pair(n).question)] = question(n);
    const auto composed = record::composeRecord(form, engine, dir.path(), counter);
    const auto& paragraphs = engine.paragraphs();
    ASSERT_EQ(paragraphs.size(), 83u);
    EXPECT_EQ(paragraphs[0].alignment, word::Alignment::Center);
    EXPECT_EQ(paragraphs[1].alignment, word::Alignment::Center);
    ASSERT_EQ(paragraphs[0].runs.size(), 1u);
    EXPECT_EQ(paragraphs[0].runs[0].size, 22);
    EXPECT_TRUE(paragraphs[0].runs[0].bold);
    EXPECT_FALSE(paragraphs[0].runs[0].underline);
    for (size_t i = 2; i < paragraphs.size(); ++i) {
        EXPECT_EQ(paragraphs[i].alignment, word::Alignment::Left) << i;
        for (const auto& run : paragraphs[i].runs) {
            EXPECT_EQ(run.size, 14) << i;
            EXPECT_FALSE(run.bold) << i;
        }
    }
}

TEST_F(Composition, OpensTheBlankWorkingDocumentHiddenInAFreshSession)
{
    fillHeader(form);
    const auto result = record::composeRecord(form, engine, dir.path(), counter);
    EXPECT_TRUE(result.open);
    const QString doc = dir.path() + QStringLiteral("/BL/Doc.doc");
    QFile asset(QStringLiteral(":/documents/Doc.doc"));
    ASSERT_TRUE(asset.open(QIODevice::ReadOnly));
    EXPECT_EQ(readFile(doc), asset.readAll());
    EXPECT_EQ(engine.calls().mid(0, 4),
              (QStringList{QStringLiteral("createApplication"), QStringLiteral("bindDocuments"),
                           QStringLiteral("open ") + doc, QStringLiteral("setVisible 0")}));
    EXPECT_FALSE(engine.visible());
    EXPECT_EQ(engine.documentPath(), doc);
}

TEST_F(Composition, ReplacesAnOldWorkingDocument)
{
    fillHeader(form);
    dir.write(QStringLiteral("BL/Doc.doc"), "something else");
    const auto composed = record::composeRecord(form, engine, dir.path(), counter);
    EXPECT_NE(readFile(dir.file(QStringLiteral("BL/Doc.doc"))), QByteArray("something else"));
}

TEST_F(Composition, TypesOnlyTheDocumentNeverTheCaseNoteNorATemplate)
{
    fillHeader(form);
    form.fields[record::unitName(record::pair(5).question)] = question(5);
    form.set("超级编辑框2", QStringLiteral("第一行\r\n第二行"));
    const auto result = record::composeRecord(form, engine, dir.path(), counter);
    EXPECT_TRUE(result.open);
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/BL/2012.3.5-某某建筑公司-张三.ini")));
    EXPECT_FALSE(engine.text().contains(QStringLiteral("第一行")));
}

TEST_F(Composition, DocumentThatCannotBeOpenedIsReportedAndItsSessionEndsWithIt)
{
    fillHeader(form);
    engine.setOpenResult(false);
    {
        const auto result = record::composeRecord(form, engine, dir.path(), counter);
        EXPECT_FALSE(result.open);
        EXPECT_EQ(result.openError, engine.lastError());
        EXPECT_FALSE(engine.calls().contains(QStringLiteral("quit")));
    }
    EXPECT_EQ(engine.calls().mid(engine.calls().size() - 2),
              (QStringList{QStringLiteral("closeDocument"), QStringLiteral("quit")}));
}

} // namespace
} // namespace quillan::test
