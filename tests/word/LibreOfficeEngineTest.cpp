// The engine against the real LibreOffice, CUPS and an independent .doc
// reader. Run scripts/setup-printer.sh first (a default PDF printer).
#include "OfficeInspector.h"
#include "WordE2eSupport.h"

#include "doubles/RecordingEngine.h"
#include "support/TestSupport.h"
#include "word/CupsPrint.h"
#include "word/LibreOfficeEngine.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <cups/cups.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quillan::word {
namespace {

using namespace quillan::word::test;

// Applies every operation to the real engine and to the in-memory one, which
// then tells what the document must contain.
struct Both
{
    WordEngine& office;
    RecordingEngine model;

    void align(Alignment a) { office.setAlignment(a), model.setAlignment(a); }
    void size(double s) { office.setFontSize(s), model.setFontSize(s); }
    void bold(bool on) { office.setBold(on), model.setBold(on); }
    void underline(bool on) { office.setUnderline(on), model.setUnderline(on); }
    void type(const QString& t) { office.typeText(t), model.typeText(t); }
};

void typeRecord(Both& b)
{
    b.align(Alignment::Center);
    b.size(22);
    b.bold(true);
    b.type(QStringLiteral("询问笔录\r\n"));
    b.align(Alignment::Left);
    b.size(14);
    b.bold(false);
    b.type(QStringLiteral("时间："));
    b.underline(true);
    b.type(QStringLiteral("2024年5月6日9时05分"));
    b.underline(false);
    b.type(QStringLiteral("至"));
    b.underline(true);
    b.type(QStringLiteral("10时30分"));
    b.underline(false);
    b.type(QStringLiteral("\r\n地点：Room 3, 劳动保障监察大队\r\n"));
    b.type(QStringLiteral("被询问人签名："));
    b.underline(true);
    b.type(QStringLiteral("            "));
    b.underline(false);
    b.type(QStringLiteral("\r\n\r\n\r\n"));
    b.size(12);
    for (int i = 1; i <= 300; ++i) {
        b.type(QStringLiteral("问：第%1个问题，Question %1？\r\n").arg(i));
        if (i % 50 == 0) {
            b.bold(true);
            b.type(QStringLiteral("答：是的。"));
            b.bold(false);
            b.type(QStringLiteral("（第%1段）\r\n").arg(i));
        }
    }
    b.type(QStringLiteral("以上笔录我看过，与我说的相符。"));
}

bool isCjk(QChar c)
{
    return c.unicode() >= 0x2E80;
}

// The Latin words and numbers of a text, in order (what survives the print
// system's PostScript round trip as extractable text; the Chinese glyphs
// arrive without their Unicode mapping).
QString latinOf(const QString& text)
{
    // Latin words, and numbers that follow a blank; digits next to Chinese
    // are drawn in the Chinese face.
    QString out;
    const auto ascii = [](QChar c) { return c.unicode() < 0x80 && c.isLetterOrNumber(); };
    for (qsizetype i = 0; i < text.size();) {
        if (!ascii(text[i])) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool letter = false;
        for (; end < text.size() && ascii(text[end]); ++end)
            letter = letter || text[end].isLetter();
        if (letter || (i > 0 && text[i - 1] == QLatin1Char(' ')))
            out += text.mid(i, end - i);
        i = end;
    }
    return out;
}

void expectSameDocument(const RecordingEngine& model, const std::vector<OfficeInspector::Paragraph>& read)
{
    const auto& expected = model.paragraphs();
    ASSERT_EQ(read.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("paragraph " + std::to_string(i) + ": " + expected[i].text().toStdString());
        const int adjust =
            expected[i].alignment == Alignment::Center ? 3 : 0; // ParagraphAdjust_CENTER / LEFT
        EXPECT_EQ(read[i].paraAdjust, adjust);
        ASSERT_EQ(read[i].portions.size(), expected[i].runs.size()) << read[i].text().toStdString();
        for (size_t j = 0; j < expected[i].runs.size(); ++j) {
            const auto& want = expected[i].runs[j];
            const auto& got = read[i].portions[j];
            EXPECT_EQ(got.text, want.text);
            EXPECT_NEAR(got.height, want.size, 0.01);
            EXPECT_NEAR(got.heightAsian, want.size, 0.01);
            EXPECT_EQ(got.weight > 100, want.bold) << "weight " << got.weight;
            EXPECT_EQ(got.underline, want.underline ? 1 : 0);
            if (std::any_of(want.text.begin(), want.text.end(), isCjk)) {
                EXPECT_EQ(got.fontNameAsian, QStringLiteral("宋体"));
            }
        }
    }
}

// Twips to the 1/100 mm LibreOffice reports.
double mm100(int twips)
{
    return twips * 2540.0 / 1440.0;
}

void expectWorkingDocumentSetup(const OfficeInspector::Setup& s)
{
    const auto page = [&](const char* name) { return s.page.at(QString::fromLatin1(name)); };
    EXPECT_NEAR(page("Width"), mm100(11906), 2);
    EXPECT_NEAR(page("Height"), mm100(16838), 2);
    EXPECT_EQ(page("IsLandscape"), 0);
    EXPECT_NEAR(page("LeftMargin"), mm100(1361), 2);
    EXPECT_NEAR(page("RightMargin"), mm100(1134), 2);
    // LibreOffice shows Word's header distance as the page margin and the
    // rest of Word's top margin as the header's height.
    EXPECT_EQ(page("HeaderIsOn"), 1);
    EXPECT_NEAR(page("TopMargin"), mm100(851), 2);
    EXPECT_NEAR(page("TopMargin") + page("HeaderHeight"), mm100(1474), 2);
    EXPECT_EQ(page("FooterIsOn"), 1);
    EXPECT_NEAR(page("BottomMargin"), mm100(992), 2);
    // The footer holds the page numbers in 10.5 pt, taller than the 142
    // twips between the footer and Word's bottom margin: as in Word, the
    // body then ends where the footer begins.
    EXPECT_GE(page("BottomMargin") + page("FooterHeight"), mm100(1134) - 2);
    EXPECT_LT(page("BottomMargin") + page("FooterHeight"), mm100(1134 + 400));
    EXPECT_EQ(page("GridMode"), 1); // TextGridMode::LINES
    EXPECT_NEAR(page("GridBaseHeight") + page("GridRubyHeight"), mm100(312), 2);
    EXPECT_EQ(s.normal.at(QStringLiteral("ParaAdjust")), 2); // ParagraphAdjust_BLOCK
    EXPECT_NEAR(s.normal.at(QStringLiteral("CharHeight")), 10.5, 0.01);
    EXPECT_NEAR(s.normal.at(QStringLiteral("CharHeightAsian")), 10.5, 0.01);
    EXPECT_EQ(s.normalText.at(QStringLiteral("CharFontName")), QStringLiteral("Times New Roman"));
    EXPECT_EQ(s.normalText.at(QStringLiteral("CharFontNameAsian")), QStringLiteral("宋体"));
}

// The PDF cups-pdf wrote: A4 pages, every line's Latin words in order, and
// the fonts of the document (Chinese in the serif CJK face that stands for
// 宋体, Latin in the Times face).
void expectPrintedRecord(const QString& pdf, const RecordingEngine& model)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    const QString printed = latinOf(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    qsizetype from = 0;
    for (const auto& p : model.paragraphs()) {
        const QString line = latinOf(p.text());
        if (line.isEmpty())
            continue;
        const qsizetype at = printed.indexOf(line, from);
        EXPECT_GE(at, 0) << "printed PDF lacks: " << p.text().toStdString();
        if (at >= 0)
            from = at + line.size();
    }
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("NotoSerifCJK"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("NimbusRoman"))) << fonts.toStdString();
    EXPECT_FALSE(fonts.contains(QStringLiteral("Sans"))) << fonts.toStdString();
}

QStringList nonEmptyLines(const QString& text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

// ---------------------------------------------------------------------------

TEST(WordBlankDocument, HasThePageSetupAndNormalStyleOfTheWorkingDocument)
{
    ASSERT_TRUE(requireOffice());
    const QString doc = quillan::test::sourcePath(QStringLiteral("assets/documents/Doc.doc"));
    ASSERT_TRUE(hasWord97Signature(doc)) << doc.toStdString();
    OfficeInspector inspector;
    QString error;
    ASSERT_TRUE(inspector.start(&error)) << error.toStdString();
    OfficeInspector::Setup setup;
    ASSERT_TRUE(inspector.readSetup(doc, &setup, &error)) << error.toStdString();
    expectWorkingDocumentSetup(setup);
    std::vector<OfficeInspector::Paragraph> paragraphs;
    ASSERT_TRUE(inspector.readParagraphs(doc, &paragraphs, &error)) << error.toStdString();
    ASSERT_EQ(paragraphs.size(), 1u);
    EXPECT_TRUE(paragraphs[0].text().isEmpty());
}

TEST(WordEngineE2E, TypesARecordSavesItAsDocAndPrintsIt)
{
    ASSERT_TRUE(requireOffice());
    ASSERT_TRUE(requireTool(QStringLiteral("antiword"), QStringLiteral("antiword")));
    ASSERT_TRUE(requireTool(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils")));
    ASSERT_TRUE(requireTool(QStringLiteral("pdffonts"), QStringLiteral("poppler-utils")));
    quillan::test::TempDir dir;
    const QString blank = copyBlankDoc(dir.path());
    const QString target = dir.file(QStringLiteral("笔录 1.doc"));
    QString profile;
    RecordingEngine model;
    {
        LibreOfficeEngine engine(optionsIn(dir.file(QStringLiteral("scratch"))));
        Both both{engine, {}};
        for (WordEngine* e : {static_cast<WordEngine*>(&engine), static_cast<WordEngine*>(&both.model)}) {
            e->createApplication();
            e->bindDocuments();
            ASSERT_TRUE(e->open(blank)) << engine.lastError().toStdString();
        }
        typeRecord(both);
        ASSERT_TRUE(engine.saveAs(target)) << engine.lastError().toStdString();
        model = both.model;
        EXPECT_TRUE(hasWord97Signature(target));
        EXPECT_TRUE(strayFiles(dir.path()).isEmpty());

        // Printing: the PDF printer's output must hold every line.
        const PrintResult printed = engine.print();
        ASSERT_EQ(printed.status, PrintResult::Status::Completed)
            << "is the PDF printer set up (scripts/setup-printer.sh)? " << printed.detail.toStdString();
        EXPECT_GT(printed.jobId, 0);
        const QString pdf = waitForPrintedPdf(printed.jobId);
        ASSERT_FALSE(pdf.isEmpty()) << "no printed PDF in " << cupsPdfFolder().toStdString();
        expectPrintedRecord(pdf, model);
        EXPECT_TRUE(
            QDir(dir.file(QStringLiteral("scratch/office"))).entryList({QStringLiteral("*.pdf")}).isEmpty())
            << "the temporary PDF is removed";
        profile = engine.profileDir();
        engine.closeDocument();
        engine.quit();
    }
    EXPECT_TRUE(noProcessOn(profile)) << "the office process ends with the engine";

    // An independent reader sees the same paragraphs.
    const QString read =
        runTool(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                                             QStringLiteral("UTF-8.txt"), target});
    ASSERT_FALSE(read.isNull()) << "antiword could not read " << target.toStdString();
    QStringList expected;
    for (const auto& p : model.paragraphs())
        expected << p.text().trimmed();
    QStringList lines;
    for (const QString& line : read.split(QLatin1Char('\n')))
        lines << line.trimmed();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    EXPECT_EQ(lines, expected);

    // LibreOffice reads back the text, formatting and page setup.
    OfficeInspector inspector;
    QString error;
    ASSERT_TRUE(inspector.start(&error)) << error.toStdString();
    std::vector<OfficeInspector::Paragraph> paragraphs;
    ASSERT_TRUE(inspector.readParagraphs(target, &paragraphs, &error)) << error.toStdString();
    expectSameDocument(model, paragraphs);
    OfficeInspector::Setup setup;
    ASSERT_TRUE(inspector.readSetup(target, &setup, &error)) << error.toStdString();
    expectWorkingDocumentSetup(setup);
}

TEST(WordEngineE2E, GbkTextFilePrintsAsReadableChinese)
{
    ASSERT_TRUE(requireOffice());
    ASSERT_TRUE(requireTool(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils")));
    quillan::test::TempDir dir;
    const QString lines =
        QStringLiteral("劳动保障监察询问笔录\r\n被询问人：张三，男，汉族\r\n用人单位拖欠工资情况说明");
    const QString txt = dir.write(QStringLiteral("说明.TXT"), quillan::test::gbk(lines));
    LibreOfficeEngine engine(optionsIn(dir.file(QStringLiteral("scratch"))));
    engine.createApplication();
    engine.bindDocuments();
    ASSERT_TRUE(engine.open(txt)) << engine.lastError().toStdString();
    engine.typeText(QStringLiteral("\r\n附言：已核对"));
    // The document holds the Chinese text, not mojibake.
    const QString saved = dir.file(QStringLiteral("说明.doc"));
    ASSERT_TRUE(engine.saveAs(saved)) << engine.lastError().toStdString();
    const QStringList text =
        nonEmptyLines(runTool(QStringLiteral("catdoc"),
                              {QStringLiteral("-w"), QStringLiteral("-d"), QStringLiteral("utf-8"), saved}));
    EXPECT_EQ(text, nonEmptyLines(lines + QStringLiteral("\n附言：已核对")));
    // Printed with the Chinese face.
    const PrintResult printed = engine.print();
    ASSERT_EQ(printed.status, PrintResult::Status::Completed) << printed.detail.toStdString();
    const QString pdf = waitForPrintedPdf(printed.jobId);
    ASSERT_FALSE(pdf.isEmpty());
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("CJK"))) << fonts.toStdString();
    // The office resolves 宋体 to the Simplified Chinese face of that
    // collection (its faces share one font program, so the PDF's font name
    // cannot tell them apart).
    QProcess match;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FONTCONFIG_FILE"), dir.file(QStringLiteral("scratch/office/fonts.conf")));
    match.setProcessEnvironment(env);
    match.start(QStringLiteral("fc-match"), {QStringLiteral("宋体")});
    ASSERT_TRUE(match.waitForFinished());
    EXPECT_TRUE(
        QString::fromUtf8(match.readAllStandardOutput()).contains(QStringLiteral("Noto Serif CJK SC")));
}

TEST(WordEngineE2E, PresenceCheck)
{
    ASSERT_TRUE(requireOffice());
    quillan::test::TempDir dir;
    LibreOfficeEngine installed(optionsIn(dir.path()));
    EXPECT_EQ(installed.installPathText(), QStringLiteral("/usr/lib/libreoffice/program/\r\n"));
    EXPECT_TRUE(installed.spreadsheetInstalled());

    // Found through a symbolic link on the search path: the real folder.
    ASSERT_TRUE(QFile::link(QStringLiteral("/usr/lib/libreoffice/program/soffice"),
                            dir.file(QStringLiteral("soffice"))));
    LibreOfficeOptions linked = optionsIn(dir.path());
    linked.searchPath = {dir.file(QStringLiteral("nothing")), dir.path()};
    linked.installFolders = {};
    EXPECT_EQ(LibreOfficeEngine(linked).installPathText(),
              QStringLiteral("/usr/lib/libreoffice/program/\r\n"));

    LibreOfficeOptions nowhere = optionsIn(dir.path());
    nowhere.searchPath = {dir.file(QStringLiteral("nothing"))};
    nowhere.installFolders = {dir.file(QStringLiteral("none"))};
    LibreOfficeEngine missing(nowhere);
    EXPECT_EQ(missing.installPathText(), QString());
    EXPECT_FALSE(missing.spreadsheetInstalled());
    missing.createApplication();
    missing.bindDocuments();
    EXPECT_FALSE(missing.open(copyBlankDoc(dir.path())));
    EXPECT_EQ(missing.lastError(), QStringLiteral("LibreOffice 没有安装。"));
    EXPECT_EQ(missing.officePid(), 0);
}

TEST(WordEngineE2E, ShowsTheActiveDocumentWithTheUsersOwnOffice)
{
    ASSERT_TRUE(requireOffice());
    quillan::test::TempDir dir;
    // A stand-in for soffice that records its arguments.
    const QString log = dir.file(QStringLiteral("viewer.log"));
    const QString viewer =
        dir.write(QStringLiteral("viewer.sh"),
                  "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\"\n"
                  "mv \"$0.tmp\" \"" +
                      QFile::encodeName(log) + "\"\n");
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LibreOfficeOptions options = optionsIn(dir.file(QStringLiteral("scratch")));
    options.viewerProgram = viewer;
    LibreOfficeEngine engine(options);
    const QString doc = copyBlankDoc(dir.path(), QStringLiteral("-看 \"x\".doc"));
    engine.createApplication();
    engine.bindDocuments();
    ASSERT_TRUE(engine.open(doc)) << engine.lastError().toStdString();
    engine.setVisible(0);
    engine.setVisible(1);
    for (int i = 0; i < 100 && !QFile::exists(log); ++i)
        QThread::msleep(50);
    const QStringList args =
        QString::fromUtf8(quillan::test::readFile(log)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(args.size(), 2) << args.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(args[0], QStringLiteral("--writer"));
    EXPECT_EQ(QUrl(args[1]).toLocalFile(), doc);
    EXPECT_TRUE(args[1].startsWith(QStringLiteral("file:///")));
}

// --- faults -----------------------------------------------------------------

class WordEngineFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(requireOffice());
        blank = copyBlankDoc(dir.path());
        engine =
            std::make_unique<LibreOfficeEngine>(optionsIn(dir.file(QStringLiteral("scratch")), timeoutMs));
        engine->createApplication();
        engine->bindDocuments();
        ASSERT_GT(engine->officePid(), 0) << engine->lastError().toStdString();
        profile = engine->profileDir();
    }
    void TearDown() override
    {
        engine.reset();
        if (!profile.isEmpty()) {
            EXPECT_TRUE(noProcessOn(profile)) << "an office process outlived the engine";
        }
        EXPECT_TRUE(strayFiles(dir.path()).isEmpty())
            << strayFiles(dir.path()).join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(
            QDir(dir.file(QStringLiteral("scratch/office"))).entryList({QStringLiteral("*.pdf")}).isEmpty());
    }
    // The next operations work: a document can be opened, typed and saved.
    void expectWorkingAgain(const QString& name)
    {
        ASSERT_TRUE(engine->open(blank)) << engine->lastError().toStdString();
        engine->typeText(QStringLiteral("再次工作\r\nagain"));
        const QString out = dir.file(name);
        ASSERT_TRUE(engine->saveAs(out)) << engine->lastError().toStdString();
        EXPECT_TRUE(hasWord97Signature(out));
        const QString text = runTool(QStringLiteral("catdoc"), {QStringLiteral("-w"), QStringLiteral("-d"),
                                                                QStringLiteral("utf-8"), out});
        EXPECT_TRUE(text.contains(QStringLiteral("再次工作"))) << text.toStdString();
    }
    void signalOffice(int sig)
    {
        const QList<pid_t> bins = officeBinaries(profile);
        ASSERT_FALSE(bins.isEmpty()) << "no soffice.bin on " << profile.toStdString();
        for (pid_t pid : bins)
            ::kill(pid, sig);
    }

    int timeoutMs = 60000;
    quillan::test::TempDir dir;
    QString blank;
    QString profile;
    std::unique_ptr<LibreOfficeEngine> engine;
};

TEST_F(WordEngineFaults, TheOfficeWritesItsOutputToItsLogAndTheEnvironmentStaysAsItWas)
{
    EXPECT_TRUE(qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        << "the engine changed the process's environment";
    const QList<pid_t> bins = officeBinaries(profile);
    ASSERT_FALSE(bins.isEmpty());
    for (pid_t pid : bins) {
        const QString out = QFileInfo(QStringLiteral("/proc/%1/fd/1").arg(pid)).symLinkTarget();
        const QString err = QFileInfo(QStringLiteral("/proc/%1/fd/2").arg(pid)).symLinkTarget();
        EXPECT_TRUE(out.endsWith(QStringLiteral("/office/soffice-1.log"))) << out.toStdString();
        EXPECT_EQ(err, out);
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        ASSERT_TRUE(environment.open(QIODevice::ReadOnly));
        EXPECT_FALSE(environment.readAll().contains("URE_BOOTSTRAP="));
    }
}

TEST_F(WordEngineFaults, MissingAndNonDocumentFilesFailClearly)
{
    EXPECT_FALSE(engine->open(dir.file(QStringLiteral("missing.doc"))));
    EXPECT_EQ(engine->lastError(), QStringLiteral("文件 ") + dir.file(QStringLiteral("missing.doc")) +
                                       QStringLiteral(" 不存在或无法读取。"));
    QByteArray noise;
    for (int i = 0; i < 20000; ++i)
        noise.append(static_cast<char>((i * 7919 + 13) % 256));
    const QString junk = dir.write(QStringLiteral("junk.doc"), noise);
    EXPECT_FALSE(engine->open(junk));
    EXPECT_EQ(engine->lastError(), junk + QStringLiteral(" 不是 LibreOffice 能打开的文件。"));
    EXPECT_FALSE(engine->saveAs(dir.file(QStringLiteral("nothing.doc")))) << "no document is active";
    EXPECT_EQ(engine->lastError(), QStringLiteral("没有打开的文件。"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("nothing.doc"))));
    const PrintResult none = engine->print();
    EXPECT_EQ(none.status, PrintResult::Status::NoDocument);
    EXPECT_EQ(none.detail, QStringLiteral("没有打开的文件。"));
    expectWorkingAgain(QStringLiteral("after-junk.doc"));
}

TEST_F(WordEngineFaults, PathsWithBlanksQuotesChineseAndLeadingDash)
{
    const QString folder = dir.file(QStringLiteral("a b '引号' \"q\""));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString source = copyBlankDoc(folder, QStringLiteral("-模板 \"1\" 'a'.doc"));
    ASSERT_TRUE(engine->open(source)) << engine->lastError().toStdString();
    engine->typeText(QStringLiteral("第一版"));
    const QString target = folder + QStringLiteral("/-笔录 #1 %20 \"乙\".doc");
    ASSERT_TRUE(engine->saveAs(target)) << engine->lastError().toStdString();
    EXPECT_TRUE(hasWord97Signature(target));
    // Saving again replaces the file.
    engine->typeText(QStringLiteral("\r\n第二版"));
    ASSERT_TRUE(engine->saveAs(target)) << engine->lastError().toStdString();
    const QString text = runTool(QStringLiteral("catdoc"), {QStringLiteral("-w"), QStringLiteral("-d"),
                                                            QStringLiteral("utf-8"), target});
    EXPECT_TRUE(text.contains(QStringLiteral("第二版"))) << text.toStdString();
    EXPECT_TRUE(strayFiles(folder).isEmpty());
    // A folder that does not exist.
    EXPECT_FALSE(engine->saveAs(dir.file(QStringLiteral("no such folder/x.doc"))));
    EXPECT_EQ(engine->lastError(),
              dir.file(QStringLiteral("no such folder/x.doc")) + QStringLiteral(" 所在的文件夹不存在。"));
    // A folder in the place of the document.
    EXPECT_FALSE(engine->saveAs(folder));
    EXPECT_EQ(engine->lastError(), folder + QStringLiteral(" 是文件夹，不是文件。"));
}

TEST_F(WordEngineFaults, OfficeKilledBetweenOperations)
{
    ASSERT_TRUE(engine->open(blank));
    engine->typeText(QStringLiteral("将丢失"));
    const qint64 firstPid = engine->officePid();
    signalOffice(SIGKILL);
    QThread::msleep(300);
    engine->typeText(QStringLiteral("更多"));
    const QString out = dir.file(QStringLiteral("lost.doc"));
    EXPECT_FALSE(engine->saveAs(out));
    EXPECT_FALSE(QFile::exists(out));
    // The save says why the document is gone.
    EXPECT_EQ(engine->lastError(),
              QStringLiteral("与 LibreOffice 的连接中断了（正在输入文字），文件已经关闭，请重新操作。"));
    expectWorkingAgain(QStringLiteral("after-kill.doc"));
    EXPECT_NE(engine->officePid(), firstPid) << "a fresh instance was started";
}

TEST_F(WordEngineFaults, OfficeKilledDuringASave)
{
    ASSERT_TRUE(engine->open(blank));
    engine->typeText(QStringLiteral("保存中被终止"));
    // Hold the process, start the save, and kill the process while the save
    // waits for it.
    signalOffice(SIGSTOP);
    bool saved = true;
    QElapsedTimer timer;
    timer.start();
    std::thread saver([&] { saved = engine->saveAs(dir.file(QStringLiteral("killed.doc"))); });
    QThread::msleep(500);
    signalOffice(SIGKILL);
    saver.join();
    EXPECT_FALSE(saved);
    EXPECT_LT(timer.elapsed(), 20000) << "noticed the death, not the time-out";
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("killed.doc"))));
    expectWorkingAgain(QStringLiteral("after-kill.doc"));
}

class WordEngineHang : public WordEngineFaults
{
protected:
    WordEngineHang() { timeoutMs = 4000; }
};

TEST_F(WordEngineHang, HungConversionEndsByTheTimeout)
{
    ASSERT_TRUE(engine->open(blank)) << engine->lastError().toStdString();
    engine->typeText(QStringLiteral("挂起"));
    signalOffice(SIGSTOP);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(engine->saveAs(dir.file(QStringLiteral("hung.doc"))));
    EXPECT_GE(timer.elapsed(), timeoutMs - 100);
    EXPECT_LT(timer.elapsed(), timeoutMs + 8000);
    EXPECT_EQ(engine->lastError(), QStringLiteral("LibreOffice 超过 4 秒没有响应（正在保存 ") +
                                       dir.file(QStringLiteral("hung.doc")) +
                                       QStringLiteral("），已经结束，请重新操作。"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("hung.doc"))));
    EXPECT_TRUE(officeBinaries(profile).isEmpty()) << "the hung process was ended";
    expectWorkingAgain(QStringLiteral("after-hang.doc"));
}

TEST_F(WordEngineFaults, NoPrinterGivesAClearResultAndPrintingWorksAfterwards)
{
    ASSERT_TRUE(engine->open(blank));
    engine->typeText(QStringLiteral("无打印机"));
    qputenv("CUPS_SERVER", "127.0.0.1:1");
    cupsSetServer(nullptr);
    const PrintResult none = engine->print();
    qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr); // libcups keeps the server it read
    EXPECT_EQ(none.status, PrintResult::Status::NoPrinter);
    EXPECT_FALSE(none.ok());
    // The reason of libcups stays as it comes, between fixed words.
    EXPECT_TRUE(none.detail.startsWith(QStringLiteral("没有设置默认打印机（无法连接打印系统 127.0.0.1：")))
        << none.detail.toStdString();
    EXPECT_TRUE(none.detail.endsWith(QStringLiteral("）。请先设置打印机，再重新打印。")))
        << none.detail.toStdString();
    EXPECT_EQ(engine->lastError(), none.detail);
    const PrintResult printed = engine->print();
    EXPECT_EQ(printed.status, PrintResult::Status::Completed) << printed.detail.toStdString();
}

TEST(WordEnginePrint, APrintServerThatNeverAnswersIsAFailedPrintWithinItsBound)
{
    // A server that takes the connection (the kernel does, into the backlog)
    // and never says a word, as a print server whose cupsd hangs.
    const int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(silent, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(silent, 8), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QByteArray server = "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));

    quillan::test::TempDir dir;
    const QString pdf = dir.write(QStringLiteral("page.pdf"), "%PDF-1.4\n%%EOF\n");
    qputenv("CUPS_SERVER", server);
    cupsSetServer(nullptr);
    int paints = 0;
    QElapsedTimer timer;
    timer.start();
    const PrintResult result = printPdfWithCups(pdf, QStringLiteral("silent"), 60000, [&paints](int ms) {
        ++paints;
        QThread::msleep(static_cast<unsigned long>(ms));
    });
    const qint64 took = timer.elapsed();
    qunsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
    ::close(silent);

    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.status, PrintResult::Status::NoPrinter);
    EXPECT_EQ(result.detail, QStringLiteral("没有设置默认打印机（无法连接打印系统 127.0.0.1：超过 15 "
                                            "秒没有应答）。请先设置打印机，再重新打印。"));
    EXPECT_GE(took, 15000);
    EXPECT_LT(took, 25000) << "the print system's silence held the window up";
    EXPECT_GT(paints, 100) << "the window was not kept painted while waiting";
}

TEST(WordEngineStale, LeftoverOfficeOfAnEarlierRunIsEndedButNothingElse)
{
    ASSERT_TRUE(requireOffice());
    quillan::test::TempDir dir;
    const QString scratch = dir.file(QStringLiteral("scratch"));
    const QString office = scratch + QStringLiteral("/office");
    const QString profile = office + QStringLiteral("/profile-1");
    ASSERT_TRUE(QDir().mkpath(profile));
    // An office left running on our profile by a crashed run, with the lock
    // file of its profile.
    qint64 stalePid = 0;
    ASSERT_TRUE(QProcess::startDetached(
        QStringLiteral("/usr/lib/libreoffice/program/soffice"),
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
         QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
         QStringLiteral("--nolockcheck"), QStringLiteral("--accept=pipe,name=quillan-stale-test;urp;")},
        QString(), &stalePid));
    for (int i = 0; i < 200 && officeBinaries(profile).isEmpty(); ++i)
        QThread::msleep(50);
    ASSERT_FALSE(officeBinaries(profile).isEmpty());
    // A process that is not ours, named by the pid file.
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(other.waitForStarted());
    QFile pidFile(office + QStringLiteral("/profile-1.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::WriteOnly));
    pidFile.write(QByteArray::number(other.processId()));
    pidFile.close();
    for (int i = 0; i < 100 && !QFile::exists(profile + QStringLiteral("/.lock")); ++i)
        QThread::msleep(50);
    {
        LibreOfficeEngine engine(optionsIn(scratch));
        engine.createApplication();
        engine.bindDocuments();
        const QString blank = copyBlankDoc(dir.path());
        ASSERT_TRUE(engine.open(blank)) << engine.lastError().toStdString();
        EXPECT_EQ(engine.profileDir(), profile);
        EXPECT_FALSE(OfficeInstance::processesUsingProfile(profile).contains(static_cast<pid_t>(stalePid)));
        engine.typeText(QStringLiteral("新实例"));
        EXPECT_TRUE(engine.saveAs(dir.file(QStringLiteral("fresh.doc")))) << engine.lastError().toStdString();
        EXPECT_EQ(other.state(), QProcess::Running) << "a process that is not ours is left alone";
    }
    EXPECT_TRUE(noProcessOn(profile));
    other.kill();
    other.waitForFinished();
}

} // namespace
} // namespace quillan::word
