#include "library/LawTexts.h"

#include "platform/Text.h"

#include <QFile>

namespace quillan::library {

namespace {

using Source = TextEntry::Source;

struct Row
{
    const char* menu;
    const char* caption;
    Source source;
    const char* fileName;
    const char* resource; // below ":/texts/"
};

// The appendix entry is cut from the female-employee provisions at run time.
constexpr const char* kAppendix = "female-employee-protection.txt#appendix";

const Row kRows[] = {
    {"法律法规", "劳动监察办案时效", Source::Embedded, "t.txt", "guidance/inspection-time-limits.txt"},
    {"法律法规", "劳动监察办案程序规则", Source::Embedded, "y.txt", "guidance/inspection-procedure.txt"},
    {"法律法规", "最新劳动法", Source::Embedded, "a.txt", "labour-law.txt"},
    {"法律法规", "最新劳动合同法", Source::Embedded, "b.txt", "labour-contract-law.txt"},
    {"法律法规", "社会保险法", Source::Embedded, "u.txt", "social-insurance-law.txt"},
    {"法律法规", "就业促进法", Source::Embedded, "x.txt", "employment-promotion-law.txt"},
    {"法律法规", "劳动争议调解仲裁法", Source::Embedded, "w.txt",
     "labour-dispute-mediation-arbitration-law.txt"},
    {"法律法规", "禁止使用童工规定", Source::Embedded, "v.txt", "child-labour-prohibition.txt"},
    {"法律法规", "女职工劳动保护规定", Source::Embedded, "k.txt", "female-employee-protection.txt"},
    {"法律法规", "未成年工特殊保护规定", Source::Embedded, "r.txt", "guidance/young-workers.txt"},
    {"法律法规", "女职工禁忌劳动范围的规定", Source::Embedded, "l.txt", kAppendix},
    {"法律法规", "劳动保障监察条例", Source::Embedded, "c.txt", "labour-inspection-regulation.txt"},
    {"法律法规", "劳动合同法实施条例", Source::Embedded, "z.txt",
     "labour-contract-law-implementing-regulation.txt"},
    {"法律法规", "最低工资标准", Source::Embedded, "j.txt", "minimum-wage-rules.txt"},
    {"法律法规", "新工伤保险条例全文", Source::Embedded, "q.txt", "work-injury-insurance-regulation.txt"},
    {"法律法规", "农民工工资支付管理暂行办法", Source::Embedded, "p.txt",
     "migrant-worker-wage-regulation.txt"},
    {"法律法规", "企业工资支付暂行规定", Source::Embedded, "h.txt", "wage-payment-provisional-rules.txt"},
    {"法律法规", "企业职工患病或非因工负伤医疗期规定", Source::Embedded, "f.txt",
     "medical-treatment-period-rules.txt"},
    {"法律法规", "劳动合同法200问", Source::Embedded, "az.txt",
     "guidance/labour-contract-law-200-questions.txt"},
    {"帮助", "市/镇/县/乡/村 劳动保障监察员联系方式", Source::ProgramFolder,
     "市镇县乡村劳动保障监察员联系方式.txt", ""},
    {"帮助", "笔录制作过程", Source::Embedded, "js.txt", "guidance/taking-a-record.txt"},
    {"帮助", "软件帮助", Source::ProgramFolder, "帮助.txt", ""},
};

QByteArray resourceBytes(const QString& name)
{
    QFile file(QStringLiteral(":/texts/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

const std::vector<TextEntry>& textCatalogue()
{
    static const std::vector<TextEntry> entries = [] {
        std::vector<TextEntry> out;
        for (const Row& r : kRows)
            out.push_back({QString::fromUtf8(r.menu), QString::fromUtf8(r.caption), r.source,
                           QString::fromUtf8(r.fileName), QString::fromUtf8(r.resource)});
        return out;
    }();
    return entries;
}

const TextEntry* findTextEntry(const QString& menu, const QString& caption)
{
    for (const TextEntry& e : textCatalogue())
        if (e.menu == menu && e.caption == caption)
            return &e;
    return nullptr;
}

QByteArray prohibitedWorkAppendix(const QByteArray& provisions)
{
    const QByteArray marker = platform::encodeText(u"\r\n附录：");
    const qsizetype at = provisions.indexOf(marker);
    if (at < 0)
        return {};
    const QByteArray heading =
        platform::encodeText(u"\r\n"
                             u"                  女职工禁忌劳动范围的规定\r\n"
                             u"\r\n"
                             u"本文是《女职工劳动保护特别规定》（2012年4月28日国务院令第619号公布）的附录"
                             u"“女职工禁忌从事的劳动范围”，全文照录。1990年的《女职工禁忌劳动范围的规定》已经"
                             u"废止，由该附录取代。\r\n"
                             u"\r\n");
    return heading + provisions.mid(at + 2);
}

QByteArray embeddedText(const TextEntry& entry)
{
    if (entry.source != TextEntry::Source::Embedded)
        return {};
    if (entry.resource == QLatin1String(kAppendix))
        return prohibitedWorkAppendix(resourceBytes(QStringLiteral("female-employee-protection.txt")));
    return resourceBytes(entry.resource);
}

QByteArray workInjuryRegulation()
{
    return resourceBytes(QStringLiteral("work-injury-insurance-regulation.txt"));
}

} // namespace quillan::library
