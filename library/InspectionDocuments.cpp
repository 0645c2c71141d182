#include "library/InspectionDocuments.h"

#include <QFile>

#include <array>

namespace quillan::library {

namespace {

const char* const kDiscussion = "劳动保障行政部门负责人对复杂、重大行政处罚集体讨论记录";
const char* const kCaseApproval = "劳动保障监察案件处理报批表";

// Menu order. The two pairs with one heading are told apart by their
// purpose, which the form prints under its heading.
const std::array<InspectionDocument, 27> kCatalogue{{
    {1, "监察文书大全", "ws27.doc", "劳动保障监察执法文书", "卷内目录及全部空白文书，每种一页"},
    {2, "实施劳动保障监察委托书", "ws1.doc", "实施劳动保障监察委托书", ""},
    {3, "调查检查记录", "ws2.doc", "劳动保障监察调查检查记录", ""},
    {4, "询问通知书", "ws3.doc", "劳动保障监察调查询问通知书", ""},
    {5, "举报登记表", "ws4.doc", "举报登记表", ""},
    {6, "投诉登记表", "ws5.doc", "投诉登记表", ""},
    {7, "不予受理投诉决定书", "ws6.doc", "劳动保障监察不予受理投诉决定书", ""},
    {8, "立案审批表", "ws7.doc", "劳动保障监察立案审批表", ""},
    {9, "案件处理报批表", "ws8.doc", kCaseApproval, "责令改正、行政处理适用"},
    {10, "改正决定书", "ws9.doc", "劳动保障监察责令改正决定书", ""},
    {11, "劳动保障行政部门负责人对复杂重大行政处罚集体讨论记录", "ws10.doc", kDiscussion,
     "拟作出行政处罚，事先告知前讨论"},
    {12, "行政处罚事先告知书", "ws11.doc", "劳动保障监察行政处罚事先告知书", ""},
    {13, "陈述申辩笔录", "ws12.doc", "陈述申辩笔录", ""},
    {14, "行政处罚听证告知书", "ws13.doc", "劳动保障监察行政处罚听证告知书", ""},
    {15, "行政处理决定书", "ws14.doc", "劳动保障监察行政处理决定书", ""},
    {16, "行政处罚决定书", "ws15.doc", "劳动保障监察行政处罚决定书", ""},
    {17, "送达回执", "ws16.doc", "劳动保障监察送达回执", ""},
    {18, "涉嫌犯罪案件移送书", "ws17.doc", "涉嫌犯罪案件移送书", ""},
    {19, "涉嫌犯罪案件移送审批表", "ws25.doc", "劳动保障涉嫌犯罪案件移送审批表", ""},
    {20, "劳动监察案件结案报告", "ws20.doc", "劳动保障监察案件结案报告", ""},
    {21, "案件延期延期处理审批表", "ws19.doc", "案件申请延期审批表", ""},
    {22, "结案审批表", "ws18.doc", "劳动保障监察结案审批表", ""},
    {23, "案件处罚报批表", "ws21.doc", kCaseApproval, "行政处罚适用"},
    {24, "强制执行申请书", "ws22.doc", "强制执行申请书", ""},
    {25, "行政处罚集体讨论", "ws23.doc", kDiscussion, "陈述申辩、听证后，作出行政处罚决定前讨论"},
    {26, "行政处理事先告知书", "ws24.doc", "劳动保障监察行政处罚（行政处理）事先告知书", ""},
    {27, "案件移送函", "ws26.doc", "案件移送函", ""},
}};

// The collection's sections after (一) 卷内目录, in the order of the
// enforcement procedure: a catalogue form by its scratch name, or the heading
// of a form that is only in the collection.
const std::array<const char*, 29> kCollectionOrder{"ws1.doc",
                                                   "ws4.doc",
                                                   "ws5.doc",
                                                   "ws6.doc",
                                                   "ws7.doc",
                                                   "ws2.doc",
                                                   "ws3.doc",
                                                   "劳动保障监察询问笔录",
                                                   "ws19.doc",
                                                   "ws8.doc",
                                                   "ws9.doc",
                                                   "ws21.doc",
                                                   "ws10.doc",
                                                   "ws11.doc",
                                                   "ws24.doc",
                                                   "ws13.doc",
                                                   "劳动保障监察行政处罚听证通知书",
                                                   "ws12.doc",
                                                   "ws23.doc",
                                                   "ws14.doc",
                                                   "ws15.doc",
                                                   "ws16.doc",
                                                   "履行行政处罚（行政处理）决定催告书",
                                                   "ws22.doc",
                                                   "ws26.doc",
                                                   "ws25.doc",
                                                   "ws17.doc",
                                                   "ws20.doc",
                                                   "ws18.doc"};

QString chineseNumber(int n)
{
    static const QString digits = QStringLiteral("一二三四五六七八九");
    if (n < 10)
        return digits.mid(n - 1, 1);
    const int tens = n / 10;
    const int ones = n % 10;
    return (tens == 1 ? QString() : digits.mid(tens - 1, 1)) + QStringLiteral("十") +
           (ones ? digits.mid(ones - 1, 1) : QString());
}

} // namespace

QString InspectionDocument::resourcePath() const
{
    return QStringLiteral(":/forms/") + scratchFileName();
}

std::span<const InspectionDocument> inspectionDocuments()
{
    return kCatalogue;
}

const InspectionDocument* findInspectionDocument(const QString& caption)
{
    for (const InspectionDocument& d : kCatalogue)
        if (d.captionText() == caption)
            return &d;
    return nullptr;
}

QByteArray inspectionDocumentBytes(const InspectionDocument& document)
{
    QFile asset(document.resourcePath());
    if (!asset.open(QIODevice::ReadOnly))
        return {};
    return asset.readAll();
}

QStringList collectionHeadings()
{
    QStringList headings{QStringLiteral("卷内目录")};
    for (const char* section : kCollectionOrder) {
        QString heading = QString::fromUtf8(section);
        for (const InspectionDocument& d : kCatalogue)
            if (qstrcmp(d.scratchName, section) == 0)
                heading = d.headingText();
        headings << heading;
    }
    return headings;
}

QStringList collectionSectionLabels()
{
    QStringList labels;
    for (int i = 1; i <= int(kCollectionOrder.size()) + 1; ++i)
        labels << QStringLiteral("（") + chineseNumber(i) + QStringLiteral("）");
    return labels;
}

} // namespace quillan::library
