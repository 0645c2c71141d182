// The compiled-in texts: the official texts exactly as shipped, the appendix
// entry cut from the female-employee provisions, every text GBK with CR LF.
#include "library/LawTexts.h"
#include "platform/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using library::TextEntry;

QString firstNonBlankLine(const QString& text)
{
    for (const QString& line : text.split(QStringLiteral("\r\n")))
        if (!line.trimmed().isEmpty())
            return line.trimmed();
    return {};
}

TEST(LawTexts, EveryEmbeddedTextIsWholeGbkWithCrLfAndTheRightTitle)
{
    // Caption -> title line (the first line that is not blank).
    const std::pair<const char*, const char*> titles[] = {
        {"劳动监察办案时效", "劳动监察办案时效"},
        {"劳动监察办案程序规则", "劳动保障监察办案程序规则"},
        {"最新劳动法", "中华人民共和国劳动法"},
        {"最新劳动合同法", "中华人民共和国劳动合同法"},
        {"社会保险法", "中华人民共和国社会保险法"},
        {"就业促进法", "中华人民共和国就业促进法"},
        {"劳动争议调解仲裁法", "中华人民共和国劳动争议调解仲裁法"},
        {"禁止使用童工规定", "禁止使用童工规定"},
        {"女职工劳动保护规定", "女职工劳动保护特别规定"},
        {"未成年工特殊保护规定", "未成年工特殊保护规定"},
        {"女职工禁忌劳动范围的规定", "女职工禁忌劳动范围的规定"},
        {"劳动保障监察条例", "劳动保障监察条例"},
        {"劳动合同法实施条例", "中华人民共和国劳动合同法实施条例"},
        {"最低工资标准", "最低工资规定"},
        {"新工伤保险条例全文", "工伤保险条例"},
        {"农民工工资支付管理暂行办法", "保障农民工工资支付条例"},
        {"企业工资支付暂行规定", "工资支付暂行规定"},
        {"企业职工患病或非因工负伤医疗期规定", "企业职工患病或非因工负伤医疗期规定"},
        {"劳动合同法200问", "《劳动合同法》200问"},
        {"笔录制作过程", "监察笔录制作过程"},
    };
    int embedded = 0;
    for (const TextEntry& e : library::textCatalogue()) {
        if (e.source != TextEntry::Source::Embedded) {
            EXPECT_TRUE(library::embeddedText(e).isEmpty());
            continue;
        }
        ++embedded;
        const QByteArray bytes = library::embeddedText(e);
        ASSERT_GT(bytes.size(), 1000) << e.caption.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << e.caption.toStdString();
        EXPECT_TRUE(bytes.endsWith("\r\n")) << e.caption.toStdString();
        const QString text = platform::decodeText(bytes);
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << e.caption.toStdString();
        EXPECT_EQ(platform::encodeText(text), bytes) << e.caption.toStdString();
        bool titled = false;
        for (const auto& [caption, title] : titles)
            if (e.caption == QString::fromUtf8(caption)) {
                EXPECT_EQ(firstNonBlankLine(text), QString::fromUtf8(title));
                titled = true;
            }
        EXPECT_TRUE(titled) << e.caption.toStdString();
        // Official texts are shipped byte for byte as in the project's assets.
        if (!e.resource.contains(QLatin1Char('#')) && !e.resource.startsWith(QStringLiteral("guidance/"))) {
            EXPECT_EQ(bytes, readFile(sourcePath(QStringLiteral("assets/texts/") + e.resource)))
                << e.caption.toStdString();
        }
    }
    EXPECT_EQ(embedded, 20);
}

TEST(LawTexts, TheProhibitedWorkEntryIsTheAppendixUnchangedUnderItsHeading)
{
    const QByteArray provisions =
        readFile(sourcePath(QStringLiteral("assets/texts/female-employee-protection.txt")));
    const QByteArray appendix = library::embeddedText(
        *library::findTextEntry(QStringLiteral("法律法规"), QStringLiteral("女职工禁忌劳动范围的规定")));
    const QByteArray from = platform::encodeText(u"附录：\r\n女职工禁忌从事的劳动范围\r\n");
    const qsizetype at = appendix.indexOf(from);
    ASSERT_GT(at, 0);
    EXPECT_EQ(appendix.mid(at), provisions.mid(provisions.indexOf(from)));
    const QString heading = platform::decodeText(appendix.left(at));
    EXPECT_TRUE(heading.contains(QStringLiteral("《女职工劳动保护特别规定》"))) << heading.toStdString();
    EXPECT_TRUE(heading.contains(QStringLiteral("附录"))) << heading.toStdString();
    EXPECT_FALSE(heading.contains(QStringLiteral("第一条")));
    // The appendix's last part is there to its end.
    EXPECT_TRUE(
        platform::decodeText(appendix).contains(QStringLiteral("四、女职工在哺乳期禁忌从事的劳动范围")));
    // Without the marker there is nothing to cut.
    EXPECT_TRUE(library::prohibitedWorkAppendix(QByteArray("no appendix")).isEmpty());
}

TEST(LawTexts, ThePopUpReaderHoldsTheWholeWorkInjuryRegulation)
{
    const QString text = platform::decodeText(library::workInjuryRegulation());
    EXPECT_TRUE(text.contains(QStringLiteral("第一章 总则")));
    const QStringList lines = text.trimmed().split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("第六十七条 本条例自2004年1月1日起施行。")))
        << lines.last().toStdString();
}

} // namespace
} // namespace quillan::test
