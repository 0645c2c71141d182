// The catalogue of the menu "监察文书" and its compiled-in documents.
#include "library/InspectionDocuments.h"
#include "support/TestSupport.h"

#include <QSet>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

struct Row
{
    const char* caption;
    const char* scratch;
    const char* heading;
};

// Menu order, as the officers know the menu.
const Row kExpected[] = {
    {"监察文书大全", "ws27.doc", "劳动保障监察执法文书"},
    {"实施劳动保障监察委托书", "ws1.doc", "实施劳动保障监察委托书"},
    {"调查检查记录", "ws2.doc", "劳动保障监察调查检查记录"},
    {"询问通知书", "ws3.doc", "劳动保障监察调查询问通知书"},
    {"举报登记表", "ws4.doc", "举报登记表"},
    {"投诉登记表", "ws5.doc", "投诉登记表"},
    {"不予受理投诉决定书", "ws6.doc", "劳动保障监察不予受理投诉决定书"},
    {"立案审批表", "ws7.doc", "劳动保障监察立案审批表"},
    {"案件处理报批表", "ws8.doc", "劳动保障监察案件处理报批表"},
    {"改正决定书", "ws9.doc", "劳动保障监察责令改正决定书"},
    {"劳动保障行政部门负责人对复杂重大行政处罚集体讨论记录", "ws10.doc",
     "劳动保障行政部门负责人对复杂、重大行政处罚集体讨论记录"},
    {"行政处罚事先告知书", "ws11.doc", "劳动保障监察行政处罚事先告知书"},
    {"陈述申辩笔录", "ws12.doc", "陈述申辩笔录"},
    {"行政处罚听证告知书", "ws13.doc", "劳动保障监察行政处罚听证告知书"},
    {"行政处理决定书", "ws14.doc", "劳动保障监察行政处理决定书"},
    {"行政处罚决定书", "ws15.doc", "劳动保障监察行政处罚决定书"},
    {"送达回执", "ws16.doc", "劳动保障监察送达回执"},
    {"涉嫌犯罪案件移送书", "ws17.doc", "涉嫌犯罪案件移送书"},
    {"涉嫌犯罪案件移送审批表", "ws25.doc", "劳动保障涉嫌犯罪案件移送审批表"},
    {"劳动监察案件结案报告", "ws20.doc", "劳动保障监察案件结案报告"},
    {"案件延期延期处理审批表", "ws19.doc", "案件申请延期审批表"},
    {"结案审批表", "ws18.doc", "劳动保障监察结案审批表"},
    {"案件处罚报批表", "ws21.doc", "劳动保障监察案件处理报批表"},
    {"强制执行申请书", "ws22.doc", "强制执行申请书"},
    {"行政处罚集体讨论", "ws23.doc", "劳动保障行政部门负责人对复杂、重大行政处罚集体讨论记录"},
    {"行政处理事先告知书", "ws24.doc", "劳动保障监察行政处罚（行政处理）事先告知书"},
    {"案件移送函", "ws26.doc", "案件移送函"},
};

TEST(InspectionDocuments, CatalogueHoldsEveryEntryInMenuOrderWithItsFileAndAWordDocument)
{
    const auto catalogue = library::inspectionDocuments();
    ASSERT_EQ(catalogue.size(), std::size(kExpected));
    QSet<QByteArray> contents;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const library::InspectionDocument& d = catalogue[i];
        SCOPED_TRACE(kExpected[i].caption);
        EXPECT_EQ(d.menuPosition, int(i) + 1);
        EXPECT_EQ(d.captionText(), QString::fromUtf8(kExpected[i].caption));
        EXPECT_EQ(d.scratchFileName(), QString::fromUtf8(kExpected[i].scratch));
        EXPECT_EQ(d.headingText(), QString::fromUtf8(kExpected[i].heading));
        EXPECT_EQ(library::findInspectionDocument(d.captionText()), &d);

        const QByteArray bytes = library::inspectionDocumentBytes(d);
        ASSERT_GT(bytes.size(), 4096);
        EXPECT_TRUE(bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
        contents.insert(bytes);
    }
    // Every entry, also each of the two pairs with one heading, is a document of its own.
    EXPECT_EQ(contents.size(), qsizetype(catalogue.size()));
    EXPECT_EQ(library::findInspectionDocument(QStringLiteral("监察文书")), nullptr);
}

TEST(InspectionDocuments, PairsWithOneHeadingSayWhatEachIsFor)
{
    for (const auto& [a, b] : {std::pair{9, 23}, std::pair{11, 25}}) {
        const library::InspectionDocument& first = library::inspectionDocuments()[a - 1];
        const library::InspectionDocument& second = library::inspectionDocuments()[b - 1];
        EXPECT_EQ(first.headingText(), second.headingText());
        EXPECT_FALSE(QString::fromUtf8(first.purpose).isEmpty());
        EXPECT_FALSE(QString::fromUtf8(second.purpose).isEmpty());
        EXPECT_NE(QString::fromUtf8(first.purpose), QString::fromUtf8(second.purpose));
    }
}

TEST(InspectionDocuments, CollectionListsTheCaseFileContentsThenEverySingleFormOnce)
{
    const QStringList headings = library::collectionHeadings();
    ASSERT_EQ(headings.size(), 30);
    EXPECT_EQ(headings.first(), QStringLiteral("卷内目录"));
    QStringList expected{QStringLiteral("劳动保障监察询问笔录"),
                         QStringLiteral("劳动保障监察行政处罚听证通知书"),
                         QStringLiteral("履行行政处罚（行政处理）决定催告书")};
    for (const auto& d : library::inspectionDocuments().subspan(1))
        expected << d.headingText();
    QStringList rest = headings.mid(1);
    rest.sort();
    expected.sort();
    EXPECT_EQ(rest, expected);

    const QStringList labels = library::collectionSectionLabels();
    ASSERT_EQ(labels.size(), 30);
    EXPECT_EQ(labels[0], QStringLiteral("（一）"));
    EXPECT_EQ(labels[9], QStringLiteral("（十）"));
    EXPECT_EQ(labels[10], QStringLiteral("（十一）"));
    EXPECT_EQ(labels[19], QStringLiteral("（二十）"));
    EXPECT_EQ(labels[29], QStringLiteral("（三十）"));
}

} // namespace
} // namespace quillan::test
