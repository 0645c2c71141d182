// The compiled-in texts: the official texts exactly as shipped, the appendix
// entry cut from the female-employee provisions, every text GBK with CR LF.
#include "library/LawTexts.h"
#include "platform/Text.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>

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

// The text of a shipped text (":/texts/...") or of a form's flat ODF source
// ("forms/wsN.fodt", the source of the Word file), each underlined blank as "＿".
QString shippedText(const QString& path)
{
    if (path.endsWith(QStringLiteral(".fodt"))) {
        QString xml = QString::fromUtf8(readFile(sourcePath(QStringLiteral("assets/") + path)));
        xml.replace(QRegularExpression(QStringLiteral("<text:span text:style-name=\"U\">[^<]*</text:span>")),
                    QStringLiteral("＿"));
        return xml.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    }
    QFile f(QStringLiteral(":/") + path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return platform::decodeText(f.readAll());
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

// The forms and texts say what the law says today: review by the people's
// government at the bureau's level (2024), service by publication after 30
// days (2021), hearings under the 行政处罚法, the version each regulation
// holds, the 2008 conversion beside the minimum-wage formula (which itself
// stays as made), and the article on the work-injury investigation.
TEST(LawTexts, FormsAndTextsStateTheLawInForceToday)
{
    const QString review = QStringLiteral("可以自收到本决定书之日起60日内向＿人民政府申请行政复议，"
                                          "也可以自收到本决定书之日起6个月内依法向＿人民法院提起行政诉讼。");
    const QString service = QStringLiteral("公告送达的，自公告发出之日起经过30日，即视为送达。");
    const QString hearing =
        QStringLiteral("依照《中华人民共和国行政处罚法》的有关规定，你单位有要求举行听证的权利。");
    struct Case
    {
        const char* file;
        QString present;
        int times;
        QString absent;
    };
    const Case cases[] = {
        {"forms/ws6.fodt", review, 1, QStringLiteral("人民政府或者")},
        {"forms/ws9.fodt", review, 1, QStringLiteral("人民政府或者")},
        {"forms/ws14.fodt", review, 1, QStringLiteral("人民政府或者")},
        {"forms/ws15.fodt", review, 1, QStringLiteral("人民政府或者")},
        {"forms/ws27.fodt", review, 4, QStringLiteral("人民政府或者")},
        {"forms/ws16.fodt", service, 1, QStringLiteral("经过60日")},
        {"forms/ws27.fodt", service, 1, QStringLiteral("经过60日")},
        {"forms/ws13.fodt", hearing, 1, QStringLiteral("听证程序规定")},
        {"forms/ws27.fodt", hearing, 1, QStringLiteral("听证程序规定")},
        {"texts/work-injury-insurance-regulation.txt",
         QStringLiteral("\r\n（2003年4月27日中华人民共和国国务院令第375号公布 "
                        "根据2010年12月20日《国务院关于修改〈工伤保险条例〉的决定》修订）\r\n"),
         1, QStringLiteral("2003年4月27日 中华")},
        {"texts/migrant-worker-wage-regulation.txt",
         QStringLiteral("\r\n（2019年12月30日中华人民共和国国务院令第724号公布 自2020年5月1日起施行）\r\n"),
         1, QString()},
        {"texts/minimum-wage-rules.txt",
         QStringLiteral("×（1+浮动系数）\r\n【编者注：本注为本软件编者所加，不是规定原文。"), 1, QString()},
        {"texts/minimum-wage-rules.txt", QStringLiteral("小时工资＝月工资收入÷（月计薪天数×8小时）"), 1,
         QString()},
        {"texts/minimum-wage-rules.txt", QStringLiteral("小时最低工资标准=〔（月最低工资标准÷20.92÷8）"), 1,
         QString()},
        {"texts/guidance/taking-a-record.txt", QStringLiteral("《工伤保险条例》第十九条"), 1,
         QStringLiteral("《工伤保险条例》第十八条")},
    };
    for (const Case& c : cases) {
        const QString text = shippedText(QString::fromUtf8(c.file));
        ASSERT_FALSE(text.isEmpty()) << c.file;
        EXPECT_EQ(text.count(c.present), c.times) << c.file << ": " << c.present.toStdString();
        if (!c.absent.isEmpty()) {
            EXPECT_FALSE(text.contains(c.absent)) << c.file << ": " << c.absent.toStdString();
        }
    }
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
