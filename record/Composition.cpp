#include "record/Composition.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "word/Documents.h"
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
    Typist(const Record& record, word::WordEngine& engine) : record_(record), engine_(engine) {}

    const QString& field(FieldId id) const { return record_[id]; }
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
    const Record& record_;
    word::WordEngine& engine_;
};

void typeHeader(Typist& t)
{
    const QString two = spaces(2);

    // The time span.
    t.lineLabel(QStringLiteral("笔录起至时间："));
    t.underlined(two + t.field(FieldId::StartYear));
    t.label(QStringLiteral("年"));
    t.underlined(two + t.field(FieldId::StartMonth));
    t.label(QStringLiteral("月"));
    t.underlined(two + t.field(FieldId::StartDay));
    t.label(QStringLiteral("日"));
    t.underlined(two + t.field(FieldId::StartHour));
    t.label(QStringLiteral("时"));
    t.underlined(two + t.field(FieldId::StartMinute));
    t.label(timeSeparator(t.field(FieldId::StartMonth), t.field(FieldId::StartDay)));
    t.underlined(two + t.field(FieldId::EndHour));
    t.label(QStringLiteral("时"));
    t.underlined(two + t.field(FieldId::EndMinute));
    t.label(QStringLiteral("分") + kLineEnd);

    // The place.
    t.lineLabel(QStringLiteral("笔录地点："));
    t.underlinedEnd(t.field(FieldId::Place) + t.field(FieldId::CommonPlace) + spaces(33) + kLineEnd);

    // The interviewee, sex and household registration.
    t.lineLabel(QStringLiteral("被询问人姓名："));
    t.underlined(QLatin1Char(' ') + t.field(FieldId::Name) + QLatin1Char(' '));
    t.label(QStringLiteral(" 性别："));
    t.underlined(QLatin1Char(' ') + t.field(FieldId::Sex) + QLatin1Char(' '));
    t.label(QStringLiteral(" 户籍所在地："));
    t.underlinedEnd(t.field(FieldId::Household) + t.field(FieldId::CommonHousehold) + spaces(12) + kLineEnd);

    // The identity document and age.
    t.lineLabel(QStringLiteral("身份证件种类："));
    t.underlined(QLatin1Char(' ') + t.field(FieldId::IdKind) + QLatin1Char(' '));
    t.label(QStringLiteral(" 号码："));
    t.underlined(t.field(FieldId::IdNumber));
    t.label(QStringLiteral("  年龄："));
    t.underlinedEnd(t.field(FieldId::Age) + spaces(22) + kLineEnd);

    // Work unit, position and education.
    t.lineLabel(QStringLiteral("工作单位："));
    t.underlined(t.field(FieldId::WorkUnit));
    t.label(QStringLiteral("   职务："));
    t.underlined(t.field(FieldId::Position));
    t.label(QStringLiteral("   文化程度："));
    t.underlinedEnd(t.field(FieldId::Education) + spaces(27) + kLineEnd);

    // Telephone and address.
    t.lineLabel(QStringLiteral("电话："));
    t.underlined(t.field(FieldId::Telephone));
    t.label(QStringLiteral("   住址："));
    t.underlinedEnd(t.field(FieldId::Address) + spaces(80) + kLineEnd);

    // Interviewer, other participants and recorder; then an empty paragraph.
    t.lineLabel(QStringLiteral("询问人姓名："));
    t.underlined(two + t.field(FieldId::Interviewer) + two);
    t.label(QStringLiteral(" 其他参加人："));
    t.underlined(two + t.field(FieldId::OtherParticipants) + two);
    t.label(QStringLiteral(" 记录人："));
    t.underlinedEnd(two + t.field(FieldId::Recorder) + spaces(17) + kLineEnd + kLineEnd);
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

ComposedDocument composeRecord(const Record& record, word::WordEngine& engine, const QString& programDir,
                               int& pageLineCounter)
{
    ComposedDocument result;
    QString assetError;
    const bool written = writeWorkingDocument(programDir, &assetError);
    result.document = std::make_unique<word::HiddenDocument>(engine, workingDocumentPath(programDir));
    result.open = result.document->isOpen();
    if (!result.open)
        result.openError = written ? result.document->openError() : assetError;
    Typist t(record, engine);

    pageLineCounter = 0;

    // The title.
    engine.setAlignment(word::Alignment::Center);
    engine.setFontSize(22);
    engine.setBold(true);
    engine.typeText(QStringLiteral("工伤认定询问调查笔录") + kLineEnd + kLineEnd);
    engine.setBold(false);
    engine.setFontSize(14);
    engine.setAlignment(word::Alignment::Left);

    // The header and the heading of the pairs.
    typeHeader(t);
    engine.setUnderline(false);
    engine.typeText(QStringLiteral("笔 录 内 容：") + kLineEnd);
    engine.setUnderline(true);

    // The pairs that hold a question, each pair followed by its page check:
    // a full page ends with the closing block.
    const bool fullEnd = record.lastPairsFull();
    const QString fill = spaces(66);
    for (const Pair& p : pairs()) {
        const QString& question = record[p.question.id];
        if (!question.isEmpty()) {
            engine.typeText(question + fill + kLineEnd);
            engine.typeText(record[p.answer.id] + fill + kLineEnd);
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

    // The last page: filled up with blank lines and ended with the closing
    // block.
    if (pageLineCounter != 0) {
        if (pageLineCounter < 15) {
            const QString blank = spaces(69) + kLineEnd;
            for (int i = 0; i < 16 - pageLineCounter; ++i)
                engine.typeText(blank);
        }
        t.closingBlock(false);
    }
    return result;
}

} // namespace quillan::record
