#include "record/Composition.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "record/RecordForm.h"
#include "word/WordEngine.h"

#include <QDir>
#include <QFile>

namespace quillan::record {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString spaces(int n)
{
    return QString(n, QLatin1Char(' '));
}

// How the page check after a pair behaves.
struct PageCheck
{
    int threshold = 0; // 0: no check
    enum class LineFive { Always, UnlessLastLinesFull } lineFive = LineFive::Always;
};

PageCheck pageCheckAfter(int pair)
{
    if (pair == 2 || pair == 3)
        return {4, PageCheck::LineFive::Always};
    if (pair >= 9 && pair <= 18)
        return {16, PageCheck::LineFive::UnlessLastLinesFull};
    if (pair >= 21 && pair <= 23)
        return {16, PageCheck::LineFive::Always};
    return {};
}

class Typist
{
public:
    Typist(RecordForm& form, word::WordEngine& engine) : form_(form), engine_(engine) {}

    QString field(const char* unit) const { return form_.fieldText(QString::fromUtf8(unit)); }
    void label(const QString& text) { engine_.typeText(text); }
    // A piece typed with underline on; underline goes off again afterwards.
    void underlined(const QString& text)
    {
        engine_.setUnderline(true);
        engine_.typeText(text);
        engine_.setUnderline(false);
    }
    // The last piece of a line: underlined, ends the paragraph, and leaves
    // underline on until the next label switches it off.
    void underlinedEnd(const QString& text)
    {
        engine_.setUnderline(true);
        engine_.typeText(text);
    }
    void lineLabel(const QString& text)
    {
        engine_.setUnderline(false);
        engine_.typeText(text);
    }

    void closingBlock(bool lineFiveEnds)
    {
        engine_.setUnderline(false);
        engine_.typeText(QStringLiteral("  "
                                        "以上记录内容我已详细阅读，记录的内容均我口述，并且准确无误。如有不实"
                                        "，我愿承担一切法律责任。") +
                         kLineEnd);
        engine_.typeText(QStringLiteral("  ") + QString(8, QChar(0x3000)) +
                         QStringLiteral(" 被调查人（签名压指模）：") + kLineEnd);
        engine_.typeText(spaces(41) + QStringLiteral("年     月     日") + kLineEnd);
        engine_.typeText(QStringLiteral("说明：1.调查结束后，应将调查笔录交被调查人核对并签名") + kLineEnd);
        engine_.typeText(spaces(6) +
                         QStringLiteral("2.调查结束后，在场人员应在调查笔录上证明调查是否属实并分别签名") +
                         (lineFiveEnds ? kLineEnd : QString()));
    }

    word::WordEngine& engine() { return engine_; }

private:
    RecordForm& form_;
    word::WordEngine& engine_;
};

bool lastLinesFull(const RecordForm& form)
{
    for (int n = 13; n <= kPairCount; ++n) {
        const Pair& p = pair(n);
        if (form.fieldText(unitName(p.question)).isEmpty() || form.fieldText(unitName(p.answer)).isEmpty())
            return false;
    }
    return true;
}

void typeHeader(Typist& t, TemplateWriter& tpl, const RecordForm& form)
{
    const auto header = headerFields();
    const QString two = spaces(2);

    // 1: time span
    t.lineLabel(QStringLiteral("笔录起至时间："));
    t.underlined(two + t.field("编辑框1"));
    t.label(QStringLiteral("年"));
    t.underlined(two + t.field("编辑框2"));
    t.label(QStringLiteral("月"));
    t.underlined(two + t.field("编辑框3"));
    t.label(QStringLiteral("日"));
    t.underlined(two + t.field("编辑框4"));
    t.label(QStringLiteral("时"));
    t.underlined(two + t.field("编辑框5"));
    t.label(timeSeparator(t.field("编辑框2"), t.field("编辑框3")));
    t.underlined(two + t.field("编辑框6"));
    t.label(QStringLiteral("时"));
    t.underlined(two + t.field("编辑框7"));
    t.label(QStringLiteral("分") + kLineEnd);
    tpl.writeFields(header.subspan(0, 7), form);

    // 2: place
    t.lineLabel(QStringLiteral("笔录地点："));
    t.underlinedEnd(t.field("编辑框8") + t.field("组合框2") + spaces(33) + kLineEnd);
    tpl.writeFields(header.subspan(7, 2), form);

    // 3: interviewee, sex, household registration
    t.lineLabel(QStringLiteral("被询问人姓名："));
    t.underlined(QLatin1Char(' ') + t.field("编辑框9") + QLatin1Char(' '));
    t.label(QStringLiteral(" 性别："));
    t.underlined(QLatin1Char(' ') + t.field("组合框1") + QLatin1Char(' '));
    t.label(QStringLiteral(" 户籍所在地："));
    t.underlinedEnd(t.field("编辑框11") + t.field("组合框52") + spaces(12) + kLineEnd);
    tpl.writeFields(header.subspan(9, 4), form);

    // 4: identity document, age
    t.lineLabel(QStringLiteral("身份证件种类："));
    t.underlined(QLatin1Char(' ') + t.field("编辑框12") + QLatin1Char(' '));
    t.label(QStringLiteral(" 号码："));
    t.underlined(t.field("编辑框10"));
    t.label(QStringLiteral("  年龄："));
    t.underlinedEnd(t.field("编辑框26") + spaces(22) + kLineEnd);
    tpl.writeFields(header.subspan(13, 3), form);

    // 5: work unit, position, education
    t.lineLabel(QStringLiteral("工作单位："));
    t.underlined(t.field("编辑框14"));
    t.label(QStringLiteral("   职务："));
    t.underlined(t.field("组合框3"));
    t.label(QStringLiteral("   文化程度："));
    t.underlinedEnd(t.field("编辑框27") + spaces(27) + kLineEnd);
    tpl.writeFields(header.subspan(16, 3), form);

    // 6: telephone, address
    t.lineLabel(QStringLiteral("电话："));
    t.underlined(t.field("编辑框15"));
    t.label(QStringLiteral("   住址："));
    t.underlinedEnd(t.field("编辑框16") + spaces(80) + kLineEnd);
    tpl.writeFields(header.subspan(19, 2), form);

    // 7: interviewer, other participants, recorder; then an empty paragraph
    t.lineLabel(QStringLiteral("询问人姓名："));
    t.underlined(two + t.field("组合框53") + two);
    t.label(QStringLiteral(" 其他参加人："));
    t.underlined(two + t.field("组合框54") + two);
    t.label(QStringLiteral(" 记录人："));
    t.underlinedEnd(two + t.field("组合框55") + spaces(17) + kLineEnd + kLineEnd);
    tpl.writeFields(header.subspan(21, 3), form);
}

} // namespace

QString timeSeparator(const QString& month, const QString& day)
{
    const int twoByte = (platform::byteLength(month) == 2 ? 1 : 0) + (platform::byteLength(day) == 2 ? 1 : 0);
    switch (twoByte) {
    case 2:
        return QStringLiteral("分  至  ");
    case 1:
        return QStringLiteral("分   至  ");
    default:
        return QStringLiteral("分   至   ");
    }
}

QString workingDocumentPath(const QString& programDir)
{
    return programDir + QStringLiteral("/BL/Doc.doc");
}

bool writeWorkingDocument(const QString& programDir, QString* error)
{
    platform::makePrivateFolder(programDir + QStringLiteral("/BL"));
    QFile asset(QStringLiteral(":/documents/Doc.doc"));
    if (!asset.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("程序中缺少空白笔录文档。");
        return false;
    }
    return platform::writeFileAtomically(workingDocumentPath(programDir), asset.readAll(), error);
}

ComposeResult composeRecord(RecordForm& form, word::WordEngine& engine, const QString& programDir,
                            int& pageLineCounter)
{
    ComposeResult result;
    TemplateWriter& tpl = result.templateFile.emplace(programDir, form);
    Typist t(form, engine);

    // 1-2. The working document, opened hidden in a fresh session.
    QString assetError;
    const bool written = writeWorkingDocument(programDir, &assetError);
    engine.createApplication();
    engine.bindDocuments();
    result.documentOpen = engine.open(workingDocumentPath(programDir));
    if (!result.documentOpen)
        result.documentError = written ? engine.lastError() : assetError;
    engine.setVisible(0);

    // 3.
    pageLineCounter = 0;

    // 4. Title.
    engine.setAlignment(word::Alignment::Center);
    engine.setFontSize(22);
    engine.setBold(true);
    engine.typeText(QStringLiteral("工伤认定询问调查笔录") + kLineEnd + kLineEnd);
    engine.setBold(false);
    engine.setFontSize(14);
    engine.setAlignment(word::Alignment::Left);

    // 5-6. Header and the heading of the pairs.
    typeHeader(t, tpl, form);
    engine.setUnderline(false);
    engine.typeText(QStringLiteral("笔 录 内 容：") + kLineEnd);
    engine.setUnderline(true);

    // 7. The pairs, each followed by its page check.
    const bool fullEnd = lastLinesFull(form);
    const QString fill = spaces(66);
    for (const Pair& p : pairs()) {
        tpl.write(p.question, form.fieldText(unitName(p.question)));
        tpl.write(p.answer, form.fieldText(unitName(p.answer)));
        const QString question = form.fieldText(unitName(p.question));
        if (!question.isEmpty()) {
            engine.typeText(question + fill + kLineEnd);
            engine.typeText(form.fieldText(unitName(p.answer)) + fill + kLineEnd);
            pageLineCounter += 2;
        }
        const PageCheck check = pageCheckAfter(p.number);
        if (check.threshold != 0 && pageLineCounter == check.threshold) {
            const bool lineFiveEnds = check.lineFive == PageCheck::LineFive::Always || !fullEnd;
            t.closingBlock(lineFiveEnds);
            engine.setUnderline(true);
            pageLineCounter = 0;
        }
    }

    // 8. Final section.
    if (pageLineCounter != 0) {
        if (pageLineCounter < 15) {
            const QString blank = spaces(69) + kLineEnd;
            for (int i = 0; i < 16 - pageLineCounter; ++i)
                engine.typeText(blank);
        }
        t.closingBlock(false);
    }

    // 9. Case note, last.
    tpl.writeCaseNote(form);
    return result;
}

} // namespace quillan::record
