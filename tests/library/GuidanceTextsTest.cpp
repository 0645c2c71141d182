// The guidance texts we wrote: every article they cite ("第…条") exists in
// the shipped text of the law named before it, "劳动合同法200问" holds
// questions 1 to 200 in order, each answered with a citation, and the GBK
// files are exactly their UTF-8 sources converted.
#include "library/LawTexts.h"
#include "platform/Text.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

const QString kNumerals = QStringLiteral("零一二三四五六七八九十百");

// The names a guidance text may use for a shipped text, with or without 《》.
const QHash<QString, QString>& lawNames()
{
    static const QHash<QString, QString> names{
        {QStringLiteral("劳动合同法"), QStringLiteral("labour-contract-law.txt")},
        {QStringLiteral("中华人民共和国劳动合同法"), QStringLiteral("labour-contract-law.txt")},
        {QStringLiteral("劳动合同法实施条例"),
         QStringLiteral("labour-contract-law-implementing-regulation.txt")},
        {QStringLiteral("中华人民共和国劳动合同法实施条例"),
         QStringLiteral("labour-contract-law-implementing-regulation.txt")},
        {QStringLiteral("劳动法"), QStringLiteral("labour-law.txt")},
        {QStringLiteral("中华人民共和国劳动法"), QStringLiteral("labour-law.txt")},
        {QStringLiteral("劳动保障监察条例"), QStringLiteral("labour-inspection-regulation.txt")},
        {QStringLiteral("劳动争议调解仲裁法"),
         QStringLiteral("labour-dispute-mediation-arbitration-law.txt")},
        {QStringLiteral("中华人民共和国劳动争议调解仲裁法"),
         QStringLiteral("labour-dispute-mediation-arbitration-law.txt")},
        {QStringLiteral("禁止使用童工规定"), QStringLiteral("child-labour-prohibition.txt")},
        {QStringLiteral("女职工劳动保护特别规定"), QStringLiteral("female-employee-protection.txt")},
        {QStringLiteral("社会保险法"), QStringLiteral("social-insurance-law.txt")},
        {QStringLiteral("工伤保险条例"), QStringLiteral("work-injury-insurance-regulation.txt")},
        {QStringLiteral("就业促进法"), QStringLiteral("employment-promotion-law.txt")},
        {QStringLiteral("保障农民工工资支付条例"), QStringLiteral("migrant-worker-wage-regulation.txt")},
        {QStringLiteral("工资支付暂行规定"), QStringLiteral("wage-payment-provisional-rules.txt")},
        {QStringLiteral("最低工资规定"), QStringLiteral("minimum-wage-rules.txt")},
        {QStringLiteral("企业职工患病或非因工负伤医疗期规定"),
         QStringLiteral("medical-treatment-period-rules.txt")},
    };
    return names;
}

QString shipped(const QString& file)
{
    QFile f(QStringLiteral(":/texts/") + file);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
    return platform::decodeText(f.readAll());
}

// The article numbers ("第十条") that begin a paragraph of a shipped text.
QSet<QString> articlesOf(const QString& file)
{
    static QHash<QString, QSet<QString>> cache;
    if (!cache.contains(file)) {
        QSet<QString> found;
        const QRegularExpression head(QStringLiteral("^(第[%1]+条)[ \u3000]").arg(kNumerals),
                                      QRegularExpression::MultilineOption);
        QString text = shipped(file);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (auto it = head.globalMatch(text); it.hasNext();)
            found.insert(it.next().captured(1));
        cache.insert(file, found);
    }
    return cache.value(file);
}

struct Citation
{
    int line;
    QString law;     // the file of the law named before it, or "?name"
    QString article; // "第十条"
};

// Each "第…条" of a paragraph, with the law last named before it in the
// same paragraph (a 《title》 or a bare known name, the longest that fits).
QList<Citation> citations(const QString& text)
{
    QStringList aliases = lawNames().keys();
    std::sort(aliases.begin(), aliases.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    const QRegularExpression token(
        QStringLiteral("《([^》]*)》|(%1)|(第[%2]+条)").arg(aliases.join(QLatin1Char('|')), kNumerals));
    QList<Citation> out;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    for (int i = 0; i < lines.size(); ++i) {
        QString law;
        for (auto it = token.globalMatch(lines[i]); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            if (m.capturedStart(1) >= 0)
                law = lawNames().value(m.captured(1), QLatin1Char('?') + m.captured(1));
            else if (m.capturedStart(2) >= 0)
                law = lawNames().value(m.captured(2));
            else
                out.append({i + 1, law, m.captured(3)});
        }
    }
    return out;
}

const char* const kGuidance[] = {"inspection-time-limits.txt", "inspection-procedure.txt",
                                 "young-workers.txt", "labour-contract-law-200-questions.txt",
                                 "taking-a-record.txt"};

TEST(GuidanceTexts, EveryCitedArticleExistsInTheShippedTextItNames)
{
    int total = 0;
    for (const char* name : kGuidance) {
        const QString text = shipped(QStringLiteral("guidance/") + QString::fromUtf8(name));
        ASSERT_FALSE(text.isEmpty()) << name;
        for (const Citation& c : citations(text)) {
            ++total;
            ASSERT_FALSE(c.law.isEmpty())
                << name << ":" << c.line << " " << c.article.toStdString() << " names no law before it";
            ASSERT_FALSE(c.law.startsWith(QLatin1Char('?')))
                << name << ":" << c.line << " cites " << c.law.mid(1).toStdString()
                << ", which is not shipped";
            EXPECT_TRUE(articlesOf(c.law).contains(c.article))
                << name << ":" << c.line << " " << c.article.toStdString() << " is not an article of "
                << c.law.toStdString();
        }
    }
    EXPECT_GT(total, 350);
}

TEST(GuidanceTexts, TheCheckerCatchesWrongCitations)
{
    struct Case
    {
        QString line;
        QString law;
        bool exists;
    };
    const Case cases[] = {
        {QStringLiteral("（《劳动合同法》第九十八条）"), QStringLiteral("labour-contract-law.txt"), true},
        {QStringLiteral("（《劳动合同法》第九十九条）"), QStringLiteral("labour-contract-law.txt"), false},
        {QStringLiteral("依照劳动合同法第四十七条（《劳动合同法实施条例》第三十八条）"),
         QStringLiteral("labour-contract-law.txt"), true},
        {QStringLiteral("（《劳动合同法实施条例》第三十九条）"),
         QStringLiteral("labour-contract-law-implementing-regulation.txt"), false},
        {QStringLiteral("（《行政处罚法》第三条）"), QStringLiteral("?行政处罚法"), false},
        {QStringLiteral("见第三条"), QString(), false},
    };
    for (const Case& c : cases) {
        const QList<Citation> found = citations(c.line);
        ASSERT_FALSE(found.isEmpty()) << c.line.toStdString();
        EXPECT_EQ(found[0].law, c.law) << c.line.toStdString();
        EXPECT_EQ(!c.law.isEmpty() && !c.law.startsWith(QLatin1Char('?')) &&
                      articlesOf(c.law).contains(found[0].article),
                  c.exists)
            << c.line.toStdString();
    }
    // Every shipped text has its articles numbered from the first without a gap.
    for (const QString& file : QSet<QString>(lawNames().begin(), lawNames().end()))
        EXPECT_TRUE(articlesOf(file).contains(QStringLiteral("第一条"))) << file.toStdString();
    EXPECT_EQ(articlesOf(QStringLiteral("labour-contract-law.txt")).size(), 98);
    EXPECT_EQ(articlesOf(QStringLiteral("labour-contract-law-implementing-regulation.txt")).size(), 38);
}

TEST(GuidanceTexts, TwoHundredQuestionsEachAnsweredWithACitation)
{
    const QString text = shipped(QStringLiteral("guidance/labour-contract-law-200-questions.txt"));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const QRegularExpression question(QStringLiteral("^(\\d+)．问：.+？$"));
    int expected = 1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = question.match(lines[i]);
        if (!m.hasMatch()) {
            EXPECT_FALSE(lines[i].contains(QStringLiteral("．问：")))
                << "malformed question: " << lines[i].toStdString();
            continue;
        }
        EXPECT_EQ(m.captured(1).toInt(), expected) << lines[i].toStdString();
        expected = m.captured(1).toInt() + 1;
        ASSERT_LT(i + 1, lines.size());
        const QString answer = lines[i + 1];
        EXPECT_TRUE(answer.startsWith(QStringLiteral("答："))) << lines[i].toStdString();
        EXPECT_FALSE(citations(answer).isEmpty()) << "answer without a citation: " << lines[i].toStdString();
        const QSet<QString> laws{lawNames().value(QStringLiteral("劳动合同法")),
                                 lawNames().value(QStringLiteral("劳动合同法实施条例"))};
        bool fromContractLaw = false;
        for (const Citation& c : citations(answer))
            fromContractLaw = fromContractLaw || laws.contains(c.law);
        EXPECT_TRUE(fromContractLaw) << "answer cites neither the contract law nor its regulation: "
                                     << lines[i].toStdString();
    }
    EXPECT_EQ(expected, 201);
}

TEST(GuidanceTexts, GbkFilesAreTheirSourcesAndSayWhatTheyAre)
{
    const QString dir = sourcePath(QStringLiteral("assets/texts/guidance"));
    for (const char* name : kGuidance) {
        const QByteArray gbkBytes = readFile(dir + QLatin1Char('/') + QString::fromUtf8(name));
        QByteArray source = readFile(dir + QStringLiteral("/source/") + QString::fromUtf8(name));
        ASSERT_FALSE(source.isEmpty()) << name;
        source.replace("\r\n", "\n");
        source.replace("\n", "\r\n");
        EXPECT_EQ(platform::decodeText(gbkBytes), QString::fromUtf8(source))
            << name << ": run make-guidance.sh";
        // GBK proper (no four-byte GB18030 sequence), CR LF only.
        const QString text = platform::decodeText(gbkBytes);
        for (qsizetype i = 0; i + 1 < gbkBytes.size(); ++i) {
            if (quint8(gbkBytes[i]) < 0x81)
                continue;
            EXPECT_FALSE(gbkBytes[i + 1] >= '0' && gbkBytes[i + 1] <= '9')
                << name << ": not GBK at byte " << i;
            ++i;
        }
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << name;
        EXPECT_EQ(gbkBytes.count('\n'), gbkBytes.count("\r\n")) << name;
        EXPECT_TRUE(gbkBytes.endsWith("\r\n")) << name;
        // Each says at the top that it is guidance compiled from the texts it cites.
        EXPECT_TRUE(text.left(400).contains(QStringLiteral("编者说明："))) << name;
        EXPECT_TRUE(text.left(400).contains(QStringLiteral("不是"))) << name;
    }
}

} // namespace
} // namespace quillan::test
