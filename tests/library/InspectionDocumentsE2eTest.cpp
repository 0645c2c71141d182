// The blank inspection forms with the real LibreOffice and the real CUPS PDF
// printer: the committed Word files are what the generator makes of their
// sources, each single form is one A4 page, the collection holds every form
// in order, the menu entry prints a form or hands it on, and a form filled
// from the record prints the record's texts in its places.
#include "../e2e/E2eSupport.h"
#include "../record/MapForm.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "library/DocumentCommands.h"
#include "library/FormFields.h"
#include "library/InspectionDocuments.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "support/TestSupport.h"
#include "word/Documents.h"
#include "word/LibreOfficeEngine.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Answer;

QString u(const char* text)
{
    return QString::fromUtf8(text);
}
QString formsDir()
{
    return sourcePath(QStringLiteral("assets/forms"));
}

// The text of a Word file, by catdoc.
QString docText(const QString& doc)
{
    return runProgram(QStringLiteral("catdoc"),
                      {QStringLiteral("-w"), QStringLiteral("-d"), QStringLiteral("utf-8"), doc});
}

bool requireTools()
{
    return requireProgram(QStringLiteral("soffice"), QStringLiteral("libreoffice-writer-nogui")) &&
           requireProgram(QStringLiteral("python3"), QStringLiteral("python3")) &&
           requireProgram(QStringLiteral("catdoc"), QStringLiteral("catdoc")) &&
           requireProgram(QStringLiteral("antiword"), QStringLiteral("antiword")) &&
           requireProgram(QStringLiteral("pdfinfo"), QStringLiteral("poppler-utils")) &&
           requireProgram(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils"));
}

TEST(InspectionDocumentsE2e, CommittedFormsAreWhatTheGeneratorAndLibreOfficeMakeOfTheSources)
{
    ASSERT_TRUE(requireTools());
    TempDir out;
    const QString made = runProgram(QStringLiteral("bash"),
                                    {formsDir() + QStringLiteral("/make-forms-doc.sh"), out.path()}, 300000);
    ASSERT_FALSE(made.isNull()) << "make-forms-doc.sh failed";
    for (const library::InspectionDocument& d : library::inspectionDocuments()) {
        const QString base = QFileInfo(d.scratchFileName()).completeBaseName();
        SCOPED_TRACE(base.toStdString());
        const QString fodt = base + QStringLiteral(".fodt");
        EXPECT_EQ(readFile(out.file(fodt)), readFile(formsDir() + QLatin1Char('/') + fodt))
            << "the committed source differs from make-forms.py's output: run assets/forms/make-forms-doc.sh";
        const QString committed = formsDir() + QLatin1Char('/') + d.scratchFileName();
        EXPECT_EQ(library::inspectionDocumentBytes(d), readFile(committed));
        const QString text = docText(committed);
        EXPECT_FALSE(text.isEmpty());
        EXPECT_EQ(text, docText(out.file(d.scratchFileName())))
            << "the committed Word file is not what LibreOffice makes of its source: run "
               "assets/forms/make-forms-doc.sh";
    }
}

TEST(InspectionDocumentsE2e, EverySingleFormIsOneA4PageWithItsHeadingAndTheCollectionHoldsThemAllInOrder)
{
    ASSERT_TRUE(requireTools());
    TempDir out;
    QStringList docs;
    for (const library::InspectionDocument& d : library::inspectionDocuments())
        docs << formsDir() + QLatin1Char('/') + d.scratchFileName();
    const QString profile = QUrl::fromLocalFile(out.file(QStringLiteral("profile"))).toString();
    ASSERT_FALSE(runProgram(QStringLiteral("soffice"),
                            QStringList{QStringLiteral("-env:UserInstallation=") + profile,
                                        QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                        QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                        QStringLiteral("--outdir"), out.file(QStringLiteral("pdf"))} +
                                docs,
                            300000)
                     .isNull());
    for (const library::InspectionDocument& d : library::inspectionDocuments()) {
        SCOPED_TRACE(d.scratchName);
        const QString doc = formsDir() + QLatin1Char('/') + d.scratchFileName();
        const QString pdf =
            out.file(QStringLiteral("pdf/") + QFileInfo(doc).completeBaseName() + QStringLiteral(".pdf"));
        // An independent reader finds the heading (long headings are printed on two lines).
        const QString antiword =
            runProgram(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"),
                                                    QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), doc});
        EXPECT_TRUE(withoutBlanks(antiword).contains(d.headingText())) << antiword.toStdString();
        const QString info = runProgram(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(
            info.contains(QRegularExpression(QStringLiteral("Page size:\\s+595\\.\\d* x 841\\.\\d* pts"))))
            << info.toStdString();
        if (d.menuPosition != 1) {
            EXPECT_EQ(pdfPages(pdf), 1);
            // The two forms of a same-heading pair print what each is for.
            EXPECT_TRUE(withoutBlanks(pdfText(pdf)).contains(QString::fromUtf8(d.purpose)));
            continue;
        }
        // The collection: a cover, then one page per section, each opening with its label and heading.
        const QStringList labels = library::collectionSectionLabels();
        const QStringList headings = library::collectionHeadings();
        ASSERT_EQ(pdfPages(pdf), 1 + headings.size());
        for (int i = 0; i < headings.size(); ++i) {
            const QString page =
                withoutBlanks(runProgram(QStringLiteral("pdftotext"),
                                         {QStringLiteral("-f"), QString::number(i + 2), QStringLiteral("-l"),
                                          QString::number(i + 2), pdf, QStringLiteral("-")}));
            EXPECT_TRUE(page.startsWith(labels[i])) << i;
            EXPECT_TRUE(page.contains(headings[i])) << headings[i].toStdString();
        }
    }
}

// The PDFs the printer wrote since `sinceMs` (ms since the epoch).
QStringList printedSince(qint64 sinceMs)
{
    QStringList out;
    for (const QFileInfo& f : QDir(printedPdfFolder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        if (f.lastModified().toMSecsSinceEpoch() >= sinceMs - 1000)
            out << f.filePath();
    return out;
}

class DocumentCommandsE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(requireProgram(QStringLiteral("soffice"), QStringLiteral("libreoffice-writer-nogui")));
        word::LibreOfficeOptions options;
        options.scratchDir = dir.file(QStringLiteral("scratch"));
        engine = std::make_unique<word::LibreOfficeEngine>(options);
        ASSERT_FALSE(engine->installPathText().isEmpty()) << "missing component: LibreOffice (soffice)";
        library::DocumentEnvironment env;
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.shell = &shell;
        env.word = engine.get();
        env.form = &form;
        env.scratchDir = options.scratchDir;
        commands = std::make_unique<library::DocumentCommands>(env);
    }
    static const library::InspectionDocument& entry(int position)
    {
        return library::inspectionDocuments()[size_t(position - 1)];
    }
    static bool requirePrinter()
    {
        if (!requireProgram(QStringLiteral("lpstat"), QStringLiteral("cups-client")))
            return false;
        if (runProgram(QStringLiteral("lpstat"), {QStringLiteral("-d")})
                .contains(QStringLiteral("destination:")))
            return true;
        ADD_FAILURE() << "missing component: a default CUPS printer (run scripts/setup-printer.sh as root)";
        return false;
    }
    // The printed page of the form with `heading` whose text holds `mark`,
    // printed since `sinceMs`, once settled: the printout and the document
    // the job printed (the printer is shared: others may come out meanwhile).
    static std::pair<QString, QString> printout(qint64 sinceMs, const QString& heading, const QString& mark)
    {
        for (int waited = 0; waited < 90000; waited += 500) {
            for (const QString& pdf : printedSince(sinceMs)) {
                const QString spooled = spooledDocument(pdf);
                const QString text = withoutBlanks(pdfLayoutText(spooled));
                if (text.contains(heading) && text.contains(mark) &&
                    !waitForSettledFile(printedPdfFolder(), QFileInfo(pdf).fileName(), sinceMs - 1000, 30000)
                         .isEmpty())
                    return {pdf, spooled};
            }
            QThread::msleep(500);
        }
        ADD_FAILURE() << "no printout of " << heading.toStdString() << " in "
                      << printedPdfFolder().toStdString();
        return {};
    }

    TempDir dir;
    MapForm form;
    platform::ScriptedPrompts prompts;
    platform::RecordingShell shell;
    std::unique_ptr<word::LibreOfficeEngine> engine;
    std::unique_ptr<library::DocumentCommands> commands;
};

TEST_F(DocumentCommandsE2e, OkPrintsTheOnePageFormOnceAndCancelHandsWriterTheUnlockedFile)
{
    ASSERT_TRUE(requirePrinter());
    const library::InspectionDocument& notice = entry(14); // 行政处罚听证告知书
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    prompts.answerNext(Answer::Ok);
    commands->open(notice);
    ASSERT_EQ(prompts.shown().size(), 1) << prompts.shown().last().text.toStdString();
    EXPECT_EQ(form.part0, u("打印监察文书成功..."));

    const auto [printed, spooled] = printout(since, notice.headingText(), QString());
    ASSERT_FALSE(printed.isEmpty());
    EXPECT_EQ(pdfPages(printed), 1);
    const QString text = withoutBlanks(pdfText(spooled));
    EXPECT_TRUE(text.contains(u("听证意见回执"))) << text.toStdString();
    // Drawn with the Chinese serif face the office gives 宋体 (the faces of
    // that collection share one font program, so the name ends in "jp").
    const QString fonts = runProgram(QStringLiteral("pdffonts"), {spooled});
    EXPECT_TRUE(fonts.contains(QStringLiteral("NotoSerifCJK"))) << fonts.toStdString();
    // Exactly one job with this form (the printer is shared: other jobs may come out meanwhile).
    QThread::msleep(3000);
    int jobs = 0;
    for (const QString& pdf : printedSince(since))
        if (withoutBlanks(pdfText(spooledDocument(pdf))).contains(notice.headingText()))
            ++jobs;
    EXPECT_EQ(jobs, 1);

    // Cancel: the form goes to Writer as a new document made from it; the
    // headless copy has let go of the file (no lock file beside it).
    prompts.clear();
    prompts.answerNext(Answer::Cancel);
    commands->open(notice);
    const QString path = commands->scratchPath(notice);
    ASSERT_EQ(shell.started().size(), 1);
    EXPECT_TRUE(shell.started()[0].program.endsWith(QStringLiteral("WINWORD.EXE")));
    EXPECT_EQ(shell.started()[0].arguments, (QStringList{QStringLiteral("-n"), path}));
    EXPECT_EQ(
        platform::mapProgram(shell.started()[0].program, [](const QString& n) { return n; }).leadingArguments,
        QStringList{QStringLiteral("--writer")});
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath())
                  .entryList({QStringLiteral(".~lock*")}, QDir::Files | QDir::Hidden),
              QStringList());
    EXPECT_EQ(readFile(path), library::inspectionDocumentBytes(notice));
}

TEST_F(DocumentCommandsE2e, FormsFilledFromTheRecordPrintItsTextsInTheirPlacesAndNothingElse)
{
    ASSERT_TRUE(requirePrinter());
    using record::FieldId;
    // Every place of the table is in the Word file the program carries.
    for (const library::InspectionDocument& d : library::inspectionDocuments()) {
        SCOPED_TRACE(d.scratchName);
        std::vector<std::pair<QString, QString>> all;
        for (const library::FormField& f : library::formFields())
            if (qstrcmp(f.form, d.scratchName) == 0)
                all.emplace_back(QString::fromUtf8(f.field), QStringLiteral("x"));
        const QString copy = dir.file(d.scratchFileName());
        dir.write(d.scratchFileName(), library::inspectionDocumentBytes(d));
        word::HiddenDocument document(*engine, copy);
        ASSERT_TRUE(document.isOpen()) << document.openError().toStdString();
        EXPECT_GE(library::fillForm(*engine, all), int(all.size()));
    }

    form.showField(FieldId::WorkUnit, u("长春某机械加工有限公司"));
    form.showField(FieldId::Name, u("王某某"));
    form.showField(FieldId::Sex, u("男"));
    form.showField(FieldId::IdNumber, u("220102199001011234"));
    form.showField(FieldId::Telephone, u("13900000000"));
    form.showField(FieldId::Address, u("朝阳区桂林街道某小区3栋2单元"));
    form.showField(FieldId::StartYear, u("2026"));
    form.showField(FieldId::StartMonth, u("12"));
    form.showField(FieldId::StartDay, u("10"));
    form.showField(FieldId::StartHour, u("9"));
    form.showField(FieldId::CommonPlace, u("劳动保障监察支队询问室"));
    const QString unit = u("长春某机械加工有限公司");

    struct Case
    {
        int position;
        Answer fill;
        QStringList printed; // in the printed text, blanks left out
    };
    const Case cases[] = {
        {4,
         Answer::Yes,
         {unit + u("：根据"), u("2026年12月10日9时前"), u("到劳动保障监察支队询问室接受调查询问")}},
        {6,
         Answer::Yes,
         {u("姓名王某某性别男年龄"), u("220102199001011234"), u("13900000000"),
          u("住址朝阳区桂林街道某小区3栋2单元"),
          // the unit's address and representative are not in the record
          u("名称") + unit + u("被投诉地址单位法定代表人")}},
        {17, Answer::Yes, {u("受送达人") + unit + u("送达地点")}},
        {17, Answer::No, {u("受送达人送达地点")}},
    };
    QStringList receipt; // 送达回执 filled, then blank
    for (const Case& c : cases) {
        const library::InspectionDocument& d = entry(c.position);
        SCOPED_TRACE(d.caption);
        const qint64 since = QDateTime::currentMSecsSinceEpoch();
        prompts.clear();
        prompts.answerNext(c.fill);
        prompts.answerNext(Answer::Ok);
        commands->open(d);
        ASSERT_EQ(prompts.shown().size(), 2) << prompts.shown().last().text.toStdString();
        const auto [printed, spooled] = printout(since, d.headingText(), c.printed.last());
        ASSERT_FALSE(printed.isEmpty());
        EXPECT_EQ(pdfPages(printed), 1);
        const QString text = withoutBlanks(pdfLayoutText(spooled));
        for (const QString& expected : c.printed)
            EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in " << text.toStdString();
        if (c.position == 17)
            receipt << text;
    }
    // The filled receipt is the blank one with the unit in its place: the
    // places the record lacks print as blank as before.
    ASSERT_EQ(receipt.size(), 2);
    EXPECT_EQ(QString(receipt[0]).remove(unit), receipt[1]);
    EXPECT_TRUE(receipt[1].contains(u("受送达人送达地点")));

    // Writer gets the filled copy, an ordinary Word file; the blank stays blank.
    prompts.clear();
    shell.clear();
    prompts.answerNext(Answer::Yes);
    prompts.answerNext(Answer::Cancel);
    commands->open(entry(4));
    const QString filled = commands->filledScratchPath(entry(4));
    ASSERT_EQ(shell.started().size(), 1);
    EXPECT_EQ(shell.started()[0].arguments, (QStringList{QStringLiteral("-n"), filled}));
    EXPECT_TRUE(withoutBlanks(docText(filled)).contains(u("到劳动保障监察支队询问室接受调查询问")));
    EXPECT_EQ(QFileInfo(filled).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    EXPECT_EQ(readFile(commands->scratchPath(entry(4))), library::inspectionDocumentBytes(entry(4)));
}

TEST_F(DocumentCommandsE2e, AFailedPrintShowsWhyAndNoSuccess)
{
    const QByteArray saved = qgetenv("LPDEST");
    qputenv("LPDEST", "quillan-no-such-printer");
    prompts.answerNext(Answer::Ok);
    commands->open(entry(2));
    if (saved.isNull())
        qunsetenv("LPDEST");
    else
        qputenv("LPDEST", saved);
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[1].title, u("打印失败："));
    EXPECT_EQ(prompts.shown()[1].text, u("打印没有成功：没有设置默认打印机。请先设置打印机，再重新打印。"));
    EXPECT_TRUE(form.part0.isEmpty());
}

} // namespace
} // namespace quillan::test
