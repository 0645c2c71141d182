// The record commands with the real LibreOffice engine and the real CUPS PDF
// printer: saved documents read back with an independent reader, printed
// PDFs read back with pdftotext, and the faults an officer can meet.
#include "../record/MapForm.h"
#include "E2eSupport.h"
#include "doubles/RecordingEngine.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "ledger/LedgerCommands.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/ProfileIni.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "record/Composition.h"
#include "record/RecordCommands.h"
#include "record/RecordFields.h"
#include "support/TestSupport.h"
#include "word/LibreOfficeEngine.h"
#include "word/OfficeInstance.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace quillan::test {
namespace {

using platform::Answer;

// A clock that does not wait.
class FixedClock final : public platform::Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)); }
    void wait(int) override {}
};

// The real engine, with a hook that runs just before a document is saved.
class HookedEngine final : public word::WordEngine
{
public:
    explicit HookedEngine(word::WordEngine*& real) : real_(real) {}
    std::function<void()> beforeSave;
    std::function<void()> beforePrint;

    QString installPathText() override { return real_->installPathText(); }
    bool spreadsheetInstalled() override { return real_->spreadsheetInstalled(); }
    void createApplication() override { real_->createApplication(); }
    void bindDocuments() override { real_->bindDocuments(); }
    bool open(const QString& path) override { return real_->open(path); }
    void setVisible(int visible) override { real_->setVisible(visible); }
    void setAlignment(word::Alignment a) override { real_->setAlignment(a); }
    void setFontSize(double points) override { real_->setFontSize(points); }
    void setBold(bool on) override { real_->setBold(on); }
    void setUnderline(bool on) override { real_->setUnderline(on); }
    void typeText(const QString& text) override { real_->typeText(text); }
    bool setFieldText(const QString& name, const QString& text) override
    {
        return real_->setFieldText(name, text);
    }
    bool saveAs(const QString& path) override
    {
        if (beforeSave)
            beforeSave();
        return real_->saveAs(path);
    }
    bool saveAsPdf(const QString& path) override { return real_->saveAsPdf(path); }
    word::PrintResult print() override
    {
        if (beforePrint)
            beforePrint();
        return real_->print();
    }
    void closeDocument() override { real_->closeDocument(); }
    void quit() override { real_->quit(); }
    void releaseDocuments() override { real_->releaseDocuments(); }
    void releaseApplication() override { real_->releaseApplication(); }
    QString lastError() const override { return real_->lastError(); }

private:
    word::WordEngine*& real_;
};

struct Sample
{
    const char* name;
    int pairs; // pairs 1 .. pairs are filled
};
const Sample kSamples[] = {{"无对", 0}, {"一对", 1}, {"两对", 2}, {"十七对", 17}, {"全部", 24}};

// A record with Chinese text in every field; pairs 1 .. `pairs` filled.
MapForm sampleRecord(const QString& name, int pairs)
{
    MapForm f;
    const std::pair<const char*, const char*> header[] = {
        {"编辑框1", "2012"},
        {"编辑框2", "12"},
        {"编辑框3", "25"},
        {"编辑框4", "9"},
        {"编辑框5", "30"},
        {"编辑框6", "11"},
        {"编辑框7", "5"},
        {"编辑框8", "青山镇"},
        {"组合框2", "劳动保障事务所"},
        {"组合框1", "男"},
        {"编辑框11", "河东县"},
        {"组合框52", "柳树村"},
        {"编辑框12", "身份证"},
        {"编辑框10", "220102197805061234"},
        {"编辑框26", "三十二岁"},
        {"编辑框14", "青山建筑工程公司"},
        {"组合框3", "瓦工"},
        {"编辑框27", "初中"},
        {"编辑框15", "13804310000"},
        {"编辑框16", "河东县柳树村三组"},
        {"组合框53", "李明"},
        {"组合框54", "无"},
        {"组合框55", "王红"},
    };
    for (const auto& [unit, value] : header)
        f.set(unit, QString::fromUtf8(value));
    f.set("编辑框9", name);
    for (int n = 1; n <= pairs; ++n) {
        const record::Pair& p = record::pair(n);
        f.fields[record::unitName(p.question)] =
            QStringLiteral("问：第%1个问题，你在工地做什么工作？").arg(n);
        f.fields[record::unitName(p.answer)] = QStringLiteral("答：第%1个回答，我在工地砌墙。").arg(n);
    }
    f.set("超级编辑框2", QStringLiteral("脚手架坍塌。\r\n右腿骨折。"));
    return f;
}

// The lines the composition types for `form`, as the recording engine keeps them.
QStringList typedLines(const MapForm& form)
{
    word::RecordingEngine engine;
    TempDir dir;
    int counter = 0;
    // The document's text, read while it is still open.
    const auto composed = record::composeRecord(form, engine, dir.path(), counter);
    return engine.text().split(QStringLiteral("\r\n"));
}

QString trimEnd(QString s)
{
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s;
}

class RecordE2e : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        scratch_ = new TempDir;
        word::LibreOfficeOptions options;
        options.scratchDir = scratch_->file(QStringLiteral("scratch"));
        engine_ = new word::LibreOfficeEngine(options);
        realEngine_ = engine_;
    }
    static void TearDownTestSuite()
    {
        delete engine_;
        engine_ = nullptr;
        delete scratch_;
        scratch_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(requireProgram(QStringLiteral("soffice"), QStringLiteral("libreoffice-writer-nogui")));
        ASSERT_FALSE(engine_->installPathText().isEmpty()) << "missing component: LibreOffice (soffice)";
        programDir = dir.path();
        makeCommands();
    }

    void makeCommands(word::WordEngine* engine = nullptr)
    {
        record::RecordEnvironment env;
        env.view = &form;
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.clock = &clock;
        env.shell = &shell;
        env.word = engine ? engine : engine_;
        env.programDir = programDir;
        env.pageLineCounter = &counter;
        env.templateDialog = &templateDialog;
        env.documentDialog = &documentDialog;
        env.recordSaved = recordSaved;
        commands = std::make_unique<record::RecordCommands>(env);
    }

    QString docOf(const QString& name) const
    {
        return programDir + QStringLiteral("/BL/2012.12.25-青山建筑工程公司-") + name +
               QStringLiteral(".doc");
    }
    QString iniOf(const QString& name) const
    {
        return programDir + QStringLiteral("/BL/2012.12.25-青山建筑工程公司-") + name +
               QStringLiteral(".ini");
    }

    bool requirePrinter()
    {
        if (!requireProgram(QStringLiteral("lpstat"), QStringLiteral("cups-client")) ||
            !requireProgram(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils")))
            return false;
        const QString d = runProgram(QStringLiteral("lpstat"), {QStringLiteral("-d")});
        if (d.contains(QStringLiteral("destination:")))
            return true;
        ADD_FAILURE() << "missing component: a default CUPS printer (run scripts/setup-printer.sh as root; "
                         "needs cups and printer-driver-cups-pdf)";
        return false;
    }

    // The printed PDF came out with as many pages as the job's document,
    // and every line that holds more than blanks is in that document.
    static void expectPrinted(const QString& printedPdf, const QStringList& lines)
    {
        ASSERT_FALSE(printedPdf.isEmpty()) << "no PDF appeared in " << printedPdfFolder().toStdString();
        const QString spooled = spooledDocument(printedPdf);
        ASSERT_FALSE(spooled.isEmpty());
        EXPECT_GT(pdfPages(printedPdf), 0);
        EXPECT_EQ(pdfPages(printedPdf), pdfPages(spooled));
        expectEveryLineIn(lines, pdfText(spooled));
    }

    // Every line that holds more than blanks is in `text`, in order.
    static void expectEveryLineIn(const QStringList& lines, const QString& text)
    {
        const QString flat = withoutBlanks(text);
        int checked = 0;
        qsizetype from = 0;
        for (const QString& line : lines) {
            const QString want = withoutBlanks(line);
            if (want.isEmpty())
                continue;
            ++checked;
            const qsizetype at = flat.indexOf(want, from);
            EXPECT_GE(at, 0) << "not printed in order: " << line.toStdString();
            if (at >= 0)
                from = at + want.size();
        }
        EXPECT_GT(checked, 0);
    }

    static TempDir* scratch_;
    static word::LibreOfficeEngine* engine_;
    static word::WordEngine* realEngine_;

    TempDir dir;
    QString programDir;
    MapForm form;
    platform::ScriptedPrompts prompts;
    FixedClock clock;
    platform::RecordingShell shell;
    int counter = 0;
    platform::FileDialogUnit templateDialog{
        QStringLiteral("通用对话框2"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    platform::FileDialogUnit documentDialog{
        QStringLiteral("通用对话框3"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    std::function<void(const QStringList&)> recordSaved;
    std::unique_ptr<record::RecordCommands> commands;
};

TempDir* RecordE2e::scratch_ = nullptr;
word::LibreOfficeEngine* RecordE2e::engine_ = nullptr;
word::WordEngine* RecordE2e::realEngine_ = nullptr;

TEST_F(RecordE2e, SavedDocumentsAreWord97FilesHoldingLineForLineWhatWasTypedWithTheirTemplatesBeside)
{
    ASSERT_TRUE(requireProgram(QStringLiteral("antiword"), QStringLiteral("antiword")));
    for (const Sample& s : kSamples) {
        const QString name = QString::fromUtf8(s.name);
        SCOPED_TRACE(s.name);
        form = sampleRecord(name, s.pairs);
        const QStringList typed = typedLines(form);
        const MapForm before = form;
        prompts.clear();
        commands->saveRecord();
        ASSERT_EQ(prompts.shown().size(), 1) << prompts.shown().value(0).text.toStdString();
        EXPECT_EQ(prompts.shown()[0].text, QStringLiteral(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "));
        EXPECT_EQ(form.status,
                  QStringLiteral("笔录WORD文件以经保存在 <") + programDir + QStringLiteral("/BL/目录中> "));

        const QString doc = docOf(name);
        ASSERT_TRUE(isOleFile(doc)) << doc.toStdString();
        const QString read =
            runProgram(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"),
                                                    QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), doc});
        ASSERT_FALSE(read.isNull()) << "antiword could not read " << doc.toStdString();
        QStringList got = read.split(QLatin1Char('\n'));
        QStringList want = typed;
        for (QString& l : got)
            l = trimEnd(l);
        for (QString& l : want)
            l = trimEnd(l);
        // antiword puts one empty line before the document's text.
        if (!got.isEmpty() && got.front().isEmpty())
            got.removeFirst();
        while (!got.isEmpty() && got.back().isEmpty())
            got.removeLast();
        while (!want.isEmpty() && want.back().isEmpty())
            want.removeLast();
        EXPECT_EQ(got.join(QLatin1Char('\n')).toStdString(), want.join(QLatin1Char('\n')).toStdString());

        const auto ini = platform::ProfileIni::load(iniOf(name));
        for (const record::Field& f : record::writeOrder()) {
            QString expected = before.fieldText(record::unitName(f));
            if (record::keyName(f) == QStringLiteral("beizu"))
                expected = QStringLiteral("脚手架坍塌。  右腿骨折。");
            EXPECT_EQ(ini.value(QStringLiteral("set"), record::keyName(f)), expected) << f.key;
        }
        if (s.pairs == 24 && qEnvironmentVariableIsSet("QUILLAN_RECORD_SAMPLE"))
            QFile::copy(doc, qEnvironmentVariable("QUILLAN_RECORD_SAMPLE"));
    }
}

// Every saved record numbers its pages in the footer ("第 X 页 共 Y 页",
// live fields) and has an archivable PDF copy beside it with the same pages
// and a text layer.
TEST_F(RecordE2e, SavedRecordsNumberEveryPageAndHaveAnArchivablePdfCopyBeside)
{
    // Each save is logged, with the hashes of the files as written.
    platform::FileDialogUnit verifyDialog;
    ledger::LedgerCommands ledger(
        {&prompts, &clock, programDir, dir.file(QStringLiteral("config")), &verifyDialog});
    recordSaved = [&ledger](const QStringList& files) { ledger.logSave(files); };
    makeCommands();
    QStringList logged;
    for (const int pairs : {2, 10, 24}) {
        SCOPED_TRACE(pairs);
        const QString name = QStringLiteral("页码%1").arg(pairs);
        form = sampleRecord(name, pairs);
        prompts.clear();
        commands->saveRecord();
        ASSERT_EQ(prompts.shown().size(), 1) << prompts.shown().value(0).text.toStdString();
        const QString doc = docOf(name);
        QString pdf = doc;
        pdf.replace(QStringLiteral(".doc"), QStringLiteral(".pdf"));
        ASSERT_TRUE(readFile(pdf).startsWith("%PDF-")) << pdf.toStdString();
        for (const QString& file : {iniOf(name), doc, pdf}) {
            const QByteArray bytes = readFile(file);
            logged << QFileInfo(file).fileName() + QLatin1Char('\t') + QString::number(bytes.size()) +
                          QLatin1Char('\t') +
                          QString::fromLatin1(
                              QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        }
        // PDF/A-2b: its identification in the metadata, every font embedded.
        EXPECT_TRUE(readFile(pdf).contains("pdfaid:part")) << "not marked as PDF/A";
        const QStringList fonts =
            runProgram(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n')).mid(2);
        for (const QString& line : fonts) {
            if (!line.trimmed().isEmpty()) {
                EXPECT_TRUE(line.contains(QStringLiteral(" yes ")))
                    << "font not embedded: " << line.toStdString();
            }
        }
        EXPECT_TRUE(withoutBlanks(pdfText(pdf)).contains(QStringLiteral("第1个问题，你在工地做什么工作？")))
            << "the PDF has no readable Chinese text";

        // The same pages as the document, laid out by a fresh LibreOffice.
        TempDir out;
        runProgram(QStringLiteral("soffice"),
                   {QStringLiteral("-env:UserInstallation=file://") + out.file(QStringLiteral("p")),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                    QStringLiteral("--outdir"), out.path(), doc});
        const QString fromDoc = out.file(QFileInfo(doc).completeBaseName() + QStringLiteral(".pdf"));
        const int pages = pdfPages(fromDoc);
        ASSERT_GT(pages, 0);
        EXPECT_EQ(pdfPages(pdf), pages);
        if (pairs >= 10) {
            EXPECT_GT(pages, 1);
        }
        for (const QString& file : {pdf, fromDoc}) {
            for (int page = 1; page <= pages; ++page) {
                const QString text = runProgram(
                    QStringLiteral("pdftotext"),
                    {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
                     QStringLiteral("-enc"), QStringLiteral("UTF-8"), file, QStringLiteral("-")});
                EXPECT_TRUE(withoutBlanks(text).contains(QStringLiteral("第%1页共%2页").arg(page).arg(pages)))
                    << file.toStdString() << " page " << page;
            }
        }
    }
    QStringList lines = platform::decodeText(readFile(ledger.logFile())).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    QStringList files;
    for (const QString& line : lines.mid(0, 3))
        files << line.section(QLatin1Char('\t'), 2);
    EXPECT_EQ(files.join(QLatin1Char('\t')), logged.join(QLatin1Char('\t')));
    EXPECT_EQ(ledger::RecordLog(ledger.logFile(), ledger.anchorFile()).check().chain,
              ledger::LogCheck::Chain::Intact);
}

TEST_F(RecordE2e, PrintingTheCurrentRecordPutsEveryLineOnPaperAndKeepsOnlyTheTemplate)
{
    ASSERT_TRUE(requirePrinter());
    for (const Sample& s : {kSamples[2], kSamples[4]}) {
        SCOPED_TRACE(s.name);
        const QString name = QString::fromUtf8(s.name);
        form = sampleRecord(name, s.pairs);
        form.status.clear();
        const QStringList typed = typedLines(form);
        const qint64 since = QDateTime::currentMSecsSinceEpoch();
        prompts.clear();
        commands->printCurrentRecord();
        EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.shown().value(0).text.toStdString();
        EXPECT_EQ(form.status, QStringLiteral("打 印 成 功！"));
        expectPrinted(waitForPrintedPdf(since), typed);
        EXPECT_TRUE(QFileInfo::exists(iniOf(name)));
        EXPECT_FALSE(QFileInfo::exists(docOf(name)));
    }
}

TEST_F(RecordE2e, PrintingAChosenRecordDocumentPrintsIt)
{
    ASSERT_TRUE(requirePrinter());
    form = sampleRecord(QStringLiteral("选择"), 3);
    const QStringList typed = typedLines(form);
    commands->saveRecord();
    ASSERT_TRUE(isOleFile(docOf(QStringLiteral("选择"))));
    form.status.clear();
    prompts.clear();
    prompts.answerNext(Answer::No);
    prompts.chooseNext(docOf(QStringLiteral("选择")));
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    commands->printRecord();
    EXPECT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(form.status, QStringLiteral("打印笔录成功... "));
    expectPrinted(waitForPrintedPdf(since), typed);
}

TEST_F(RecordE2e, PrintingAGbkTextFileAsTheTextPanelDoesPrintsReadableChinese)
{
    ASSERT_TRUE(requirePrinter());
    const QStringList lines{QStringLiteral("工伤保险条例"),
                            QStringLiteral("第一条 为了保障因工作遭受事故伤害的职工获得医疗救治。"),
                            QStringLiteral("第二条 用人单位应当为本单位全部职工缴纳工伤保险费。")};
    const QString path =
        dir.write(QStringLiteral("t.txt"), gbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    form.session.shownTextFile = path;
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    commands->printShownText();
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.shown().value(0).text.toStdString();
    EXPECT_EQ(form.part0, QStringLiteral("打印成功..."));
    const QString pdf = waitForPrintedPdf(since);
    expectPrinted(pdf, lines);
    // Chinese glyphs on paper, not Latin mojibake.
    EXPECT_TRUE(runProgram(QStringLiteral("pdffonts"), {pdf}).contains(QStringLiteral("CJK")));
}

// Kills the office while the document is being saved over an older one.
TEST_F(RecordE2e, OfficeKilledDuringAPrintIsReportedNotAsSuccessAndTheNextPrintWorks)
{
    const QString name = QStringLiteral("打印中断");
    form = sampleRecord(name, 2);
    commands->saveRecord();
    const QByteArray doc = readFile(docOf(name));
    form.status.clear();
    prompts.clear();
    HookedEngine hooked(realEngine_);
    hooked.beforePrint = [] {
        for (pid_t pid : word::OfficeInstance::processesUsingProfile(engine_->profileDir()))
            ::kill(pid, SIGKILL);
    };
    makeCommands(&hooked);
    commands->printCurrentRecord();
    makeCommands();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0].title, QStringLiteral("打印失败："));
    EXPECT_EQ(prompts.shown()[0].text,
              QStringLiteral("打印没有成功：与 LibreOffice 的连接中断了（正在准备打印文件），"
                             "文件已经关闭，请重新操作。"));
    EXPECT_NE(form.status, QStringLiteral("打 印 成 功！"));
    EXPECT_EQ(readFile(docOf(name)), doc) << "the saved document is untouched";

    prompts.clear();
    commands->printCurrentRecord();
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(form.status, QStringLiteral("打 印 成 功！"));
}

TEST_F(RecordE2e, OfficeKilledDuringASaveIsReportedAndLosesNeitherDocumentNorTemplate)
{
    const QString name = QStringLiteral("中断");
    form = sampleRecord(name, 2);
    commands->saveRecord();
    const QByteArray oldDoc = readFile(docOf(name));
    ASSERT_TRUE(isOleFile(docOf(name)));

    form.set("组合框5", QStringLiteral("答：改过的回答。"));
    form.status.clear();
    prompts.clear();
    prompts.answerNext(Answer::Yes); // overwrite
    HookedEngine hooked(realEngine_);
    hooked.beforeSave = [] {
        for (pid_t pid : word::OfficeInstance::processesUsingProfile(engine_->profileDir()))
            ::kill(pid, SIGKILL);
    };
    makeCommands(&hooked);
    commands->saveRecord();
    makeCommands();

    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("保存失败："));
    // The reason names the document, not the temporary file the engine wrote.
    EXPECT_EQ(prompts.shown()[1].text, QStringLiteral("笔录没有保存成功：\r\n") + docOf(name) +
                                           QStringLiteral("：与 LibreOffice 的连接中断了（正在保存 ") +
                                           docOf(name) + QStringLiteral("），文件已经关闭，请重新操作。"));
    EXPECT_TRUE(form.status.isEmpty());
    EXPECT_EQ(readFile(docOf(name)), oldDoc);
    const auto ini = platform::ProfileIni::load(iniOf(name));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num24")), QStringLiteral("答：改过的回答。"));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("beizu")),
              QStringLiteral("脚手架坍塌。  右腿骨折。"));
    EXPECT_EQ(QDir(programDir + QStringLiteral("/BL"))
                  .entryList({QStringLiteral(".~quillan*")}, QDir::Files | QDir::Hidden),
              QStringList());

    // The next save starts a fresh office and works.
    prompts.clear();
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    EXPECT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + programDir + QStringLiteral("/BL/目录中> "));
    EXPECT_NE(readFile(docOf(name)), oldDoc);
    EXPECT_TRUE(isOleFile(docOf(name)));
}

// Makes a folder read-only for as long as it lives: a read-only bind mount
// (file permissions do not stop the superuser), else the permissions.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString& path) : path_(path)
    {
        if (::geteuid() != 0) {
            QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
            ok_ = true;
            return;
        }
        mounted_ = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("--bind"), path_, path_}) == 0;
        ok_ = mounted_ &&
              QProcess::execute(QStringLiteral("mount"),
                                {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), path_}) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {path_});
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ok() const { return ok_; }

private:
    QString path_;
    bool mounted_ = false;
    bool ok_ = false;
};

TEST_F(RecordE2e, ReadOnlyRecordsFolderIsReportedAndKeepsTheOldFiles)
{
    const QString name = QStringLiteral("只读");
    form = sampleRecord(name, 1);
    commands->saveRecord();
    const QByteArray oldDoc = readFile(docOf(name));
    const QByteArray oldIni = readFile(iniOf(name));
    ASSERT_FALSE(oldDoc.isEmpty());

    form.set("组合框5", QStringLiteral("答：改过的回答。"));
    form.status.clear();
    prompts.clear();
    prompts.answerNext(Answer::Yes);
    {
        ReadOnlyFolder readOnly(programDir + QStringLiteral("/BL"));
        ASSERT_TRUE(readOnly.ok()) << "cannot make the records folder read-only (mount --bind needs root)";
        commands->saveRecord();
    }
    ASSERT_EQ(prompts.shown().size(), 2);
    const QString text = prompts.shown()[1].text;
    EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("保存失败："));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("笔录没有保存成功：\r\n") + iniOf(name) + QStringLiteral("：")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n") + docOf(name) + QStringLiteral("：")))
        << text.toStdString();
    EXPECT_TRUE(form.status.isEmpty());
    EXPECT_EQ(readFile(docOf(name)), oldDoc);
    EXPECT_EQ(readFile(iniOf(name)), oldIni);
}

unsigned modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(RecordE2e, SavedRecordsArePrivateToTheOfficerAndNoPlantedLinkIsWrittenThrough)
{
    ledger::LedgerCommands ledger({&prompts, &clock, programDir, QString(), nullptr});
    recordSaved = [&ledger](const QStringList& files) { ledger.logSave(files); };
    makeCommands();
    const QString name = QStringLiteral("私密");
    const QString pdf = programDir + QStringLiteral("/BL/2012.12.25-青山建筑工程公司-私密.pdf");
    form = sampleRecord(name, 1);
    commands->saveRecord();
    ASSERT_EQ(prompts.shown().size(), 1)
        << prompts.shown().first().text.toStdString(); // the preview question
    EXPECT_EQ(modeOf(programDir + QStringLiteral("/BL")), 0700u);
    for (const QString& file : {iniOf(name), docOf(name), pdf, ledger.logFile()})
        EXPECT_EQ(modeOf(file), 0600u) << file.toStdString();

    // A folder and files whose modes the office chose keep them.
    ASSERT_EQ(::chmod(QFile::encodeName(programDir + QStringLiteral("/BL")).constData(), 0750), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(docOf(name)).constData(), 0640), 0);
    prompts.clear();
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    EXPECT_EQ(modeOf(programDir + QStringLiteral("/BL")), 0750u);
    EXPECT_EQ(modeOf(docOf(name)), 0640u);
    EXPECT_EQ(modeOf(iniOf(name)), 0600u);

    // Links planted where the template and the log belong are refused, and
    // what they point to stays as it was.
    const QString other = QStringLiteral("链接");
    const QString victim = dir.write(QStringLiteral("victim"), "not a record");
    ASSERT_TRUE(QFile::link(victim, iniOf(other)));
    QFile::remove(ledger.logFile());
    ASSERT_TRUE(QFile::link(victim, ledger.logFile()));
    form = sampleRecord(other, 1);
    prompts.clear();
    commands->saveRecord();
    EXPECT_EQ(readFile(victim), QByteArray("not a record"));
    EXPECT_TRUE(QFileInfo(iniOf(other)).isSymLink());
    ASSERT_GE(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[0].title, QStringLiteral("登记失败："));
    EXPECT_EQ(prompts.shown()[0].text,
              ledger::LedgerCommands::logFailureText(ledger.logFile() + QStringLiteral("：") +
                                                     platform::linkRefusal()));
    EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("保存失败："));
    EXPECT_TRUE(prompts.shown()[1].text.startsWith(QStringLiteral("笔录没有保存成功：\r\n") + iniOf(other) +
                                                   QStringLiteral("：") + platform::linkRefusal()))
        << prompts.shown()[1].text.toStdString();
    EXPECT_EQ(modeOf(docOf(other)), 0600u);
}

// Every file of a folder, hidden ones included, sorted.
QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

// Puts a small file system of its own (tmpfs) on a folder for as long as it
// lives, holding copies of the folder's files, so that the folder can be
// filled up. Unmounted at the end in every case.
class SmallFolder
{
public:
    SmallFolder(const QString& path, const QString& size) : path_(path)
    {
        QList<std::pair<QString, QByteArray>> kept;
        for (const QString& name : filesIn(path_))
            kept.append({name, readFile(path_ + QLatin1Char('/') + name)});
        mounted_ = QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=") + size + QStringLiteral(",mode=0755"),
                                      QStringLiteral("quillan-test"), path_}) == 0;
        if (!mounted_)
            return;
        ok_ = true;
        for (const auto& [name, bytes] : kept) {
            QFile file(path_ + QLatin1Char('/') + name);
            ok_ = ok_ && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
        }
    }
    ~SmallFolder()
    {
        if (mounted_ && QProcess::execute(QStringLiteral("umount"), {path_}) != 0)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path_});
    }
    bool ok() const { return ok_; }
    // Fills the rest of the folder with one file; true when nothing more fits.
    bool fill()
    {
        const QByteArray name = QFile::encodeName(filler());
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray chunk(65536, 'x');
        int error = 0;
        for (;;) {
            if (::write(fd, chunk.constData(), static_cast<size_t>(chunk.size())) < 0) {
                error = errno;
                break;
            }
        }
        ::close(fd);
        return error == ENOSPC && freeBytes() == 0;
    }
    bool removeFiller() { return QFile::remove(filler()); }
    QString filler() const { return path_ + QStringLiteral("/filler"); }
    qint64 freeBytes() const
    {
        struct statvfs fs
        {
        };
        if (::statvfs(QFile::encodeName(path_).constData(), &fs) != 0)
            return -1;
        return static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize);
    }

private:
    QString path_;
    bool mounted_ = false;
    bool ok_ = false;
};

TEST_F(RecordE2e, FullRecordsFolderIsReportedKeepsTheOldFilesWholeAndTheNextSaveWorks)
{
    const QString name = QStringLiteral("满盘");
    form = sampleRecord(name, 2);
    commands->saveRecord();
    ASSERT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + programDir + QStringLiteral("/BL/目录中> "));
    const QString bl = programDir + QStringLiteral("/BL");
    const QStringList files = filesIn(bl);

    SmallFolder small(bl, QStringLiteral("2m"));
    ASSERT_TRUE(small.ok()) << "cannot mount a small tmpfs on the records folder (mount -t tmpfs needs root)";
    ASSERT_EQ(filesIn(bl), files);
    const QByteArray oldDoc = readFile(docOf(name));
    const QByteArray oldIni = readFile(iniOf(name));
    ASSERT_TRUE(isOleFile(docOf(name)));
    ASSERT_FALSE(oldIni.isEmpty());
    ASSERT_TRUE(small.fill()) << "the records folder could not be filled up";

    form.set("组合框5", QStringLiteral("答：磁盘满时改过的回答。"));
    form.status.clear();
    prompts.clear();
    prompts.answerNext(Answer::Yes); // overwrite
    commands->saveRecord();
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral(" 文件以经存在，是否覆盖老文件？ "));
    EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("保存失败："));
    // One line for each file, each with a reason.
    const QStringList lines = prompts.shown()[1].text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << prompts.shown()[1].text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("笔录没有保存成功："));
    EXPECT_EQ(lines[1], iniOf(name) + QStringLiteral("：磁盘空间不足"));
    EXPECT_TRUE(lines[2].startsWith(docOf(name) + QStringLiteral("："))) << lines[2].toStdString();
    EXPECT_GT(lines[2].size(), docOf(name).size() + 1) << "no reason given";
    EXPECT_TRUE(form.status.isEmpty());
    EXPECT_EQ(readFile(docOf(name)), oldDoc);
    EXPECT_EQ(readFile(iniOf(name)), oldIni);
    EXPECT_EQ(filesIn(bl), sorted(QStringList(files) << QStringLiteral("filler")))
        << "no half-written file is left";

    // With room again the next save works.
    ASSERT_TRUE(small.removeFiller());
    prompts.clear();
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    EXPECT_EQ(prompts.shown().size(), 2) << prompts.shown().value(1).text.toStdString();
    EXPECT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + programDir + QStringLiteral("/BL/目录中> "));
    EXPECT_TRUE(isOleFile(docOf(name)));
    EXPECT_NE(readFile(docOf(name)), oldDoc);
    const QString read = runProgram(QStringLiteral("antiword"),
                                    {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                                     QStringLiteral("UTF-8.txt"), docOf(name)});
    EXPECT_TRUE(withoutBlanks(read).contains(QStringLiteral("答：磁盘满时改过的回答。")))
        << read.toStdString();
    const auto ini = platform::ProfileIni::load(iniOf(name));
    EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num24")),
              QStringLiteral("答：磁盘满时改过的回答。"));
    EXPECT_EQ(filesIn(bl), files);
}

// The processes of a process group that have not ended.
QList<pid_t> livingProcessesOfGroup(pid_t group)
{
    QList<pid_t> result;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const pid_t pid = static_cast<pid_t>(entry.toLong(&numeric));
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ..."; the name may hold blanks.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toLong() == group)
            result << pid;
    }
    return result;
}

// The paths of LibreOffice's pipes (local sockets in /tmp named OSL_PIPE_...)
// that the processes `pids` listen on.
QStringList officePipesOf(const QList<pid_t>& pids)
{
    QSet<QByteArray> inodes;
    for (pid_t pid : pids) {
        const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
        for (const QString& fd :
             QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            // The link itself ("socket:[inode]"), not the path Qt makes of it.
            char target[64] = {};
            const ssize_t n = ::readlink(QFile::encodeName(fdDir + QLatin1Char('/') + fd).constData(), target,
                                         sizeof target - 1);
            const QByteArray link(target, n > 0 ? n : 0);
            if (link.startsWith("socket:[") && link.endsWith(']'))
                inodes << link.mid(8).chopped(1);
        }
    }
    QStringList paths;
    QFile table(QStringLiteral("/proc/net/unix"));
    if (!table.open(QIODevice::ReadOnly))
        return paths;
    // "Num RefCount Protocol Flags Type St Inode Path"
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 8 && inodes.contains(fields[6]) && fields[7].startsWith("/tmp/OSL_PIPE_"))
            paths << QFile::decodeName(fields[7]);
    }
    return paths;
}

// A second LibreOffice of its own, not the program's, with a document open
// in it as an officer reading the record would have it. Ended with its whole
// process group; its profile and temporary files live in a folder of their
// own, and the sockets it leaves behind are removed.
class WriterOnDocument
{
public:
    explicit WriterOnDocument(const QString& doc)
    {
        QDir().mkpath(home_.file(QStringLiteral("tmp")));
        process_.setProgram(QStandardPaths::findExecutable(QStringLiteral("soffice")));
        process_.setArguments(
            {QStringLiteral("-env:UserInstallation=") +
                 QUrl::fromLocalFile(home_.file(QStringLiteral("profile"))).toString(QUrl::FullyEncoded),
             QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
             QStringLiteral("--nologo"), QUrl::fromLocalFile(doc).toString(QUrl::FullyEncoded)});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), home_.file(QStringLiteral("tmp")));
        process_.setProcessEnvironment(env);
        process_.setStandardInputFile(QProcess::nullDevice());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.setChildProcessModifier([] { ::setpgid(0, 0); });
        process_.start();
        if (process_.waitForStarted(10000))
            group_ = static_cast<pid_t>(process_.processId());
    }
    ~WriterOnDocument() { end(); }
    bool started() const { return group_ > 0; }
    // Waits until LibreOffice has locked `doc` (its lock file beside it).
    bool waitForLock(const QString& doc, int timeoutMs)
    {
        const QFileInfo info(doc);
        const QString lock =
            info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
        for (int waited = 0; waited < timeoutMs; waited += 100) {
            if (QFileInfo::exists(lock)) {
                sockets_ = officePipesOf(livingProcessesOfGroup(group_));
                return true;
            }
            if (livingProcessesOfGroup(group_).isEmpty())
                return false;
            QThread::msleep(100);
        }
        return false;
    }
    // Ends every process of it; true when none is left.
    bool end()
    {
        if (group_ <= 0)
            return true;
        if (sockets_.isEmpty())
            sockets_ = officePipesOf(livingProcessesOfGroup(group_));
        ::kill(-group_, SIGKILL);
        process_.waitForFinished(10000);
        bool gone = false;
        for (int i = 0; i < 200 && !gone; ++i) {
            gone = livingProcessesOfGroup(group_).isEmpty();
            if (!gone)
                QThread::msleep(50);
        }
        for (const QString& socket : sockets_)
            QFile::remove(socket);
        sockets_.clear();
        group_ = 0;
        return gone;
    }

private:
    TempDir home_;
    QProcess process_;
    pid_t group_ = 0;
    QStringList sockets_;
};

TEST_F(RecordE2e, DocumentOpenInAnotherLibreOfficeIsSavedOverCleanly)
{
    ASSERT_TRUE(requireProgram(QStringLiteral("antiword"), QStringLiteral("antiword")));
    const QString name = QStringLiteral("打开中");
    form = sampleRecord(name, 2);
    commands->saveRecord();
    ASSERT_TRUE(isOleFile(docOf(name)));
    const QByteArray oldDoc = readFile(docOf(name));
    const QString bl = programDir + QStringLiteral("/BL");
    const QStringList files = filesIn(bl);
    const QString lock = QStringLiteral(".~lock.") + QFileInfo(docOf(name)).fileName() + QLatin1Char('#');

    WriterOnDocument writer(docOf(name));
    ASSERT_TRUE(writer.started()) << "soffice could not be started";
    ASSERT_TRUE(writer.waitForLock(docOf(name), 120000))
        << "the second LibreOffice did not open " << docOf(name).toStdString();

    form.set("组合框5", QStringLiteral("答：文件打开时改过的回答。"));
    form.status.clear();
    prompts.clear();
    prompts.answerNext(Answer::Yes); // overwrite
    commands->saveRecord();
    EXPECT_EQ(prompts.shown().size(), 2) << prompts.shown().value(1).text.toStdString();
    EXPECT_EQ(prompts.shown().value(0).text, QStringLiteral(" 文件以经存在，是否覆盖老文件？ "));
    EXPECT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + programDir + QStringLiteral("/BL/目录中> "));
    EXPECT_TRUE(isOleFile(docOf(name)));
    EXPECT_NE(readFile(docOf(name)), oldDoc);
    const QString read = runProgram(QStringLiteral("antiword"),
                                    {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                                     QStringLiteral("UTF-8.txt"), docOf(name)});
    EXPECT_TRUE(withoutBlanks(read).contains(QStringLiteral("答：文件打开时改过的回答。")))
        << read.toStdString();
    EXPECT_EQ(filesIn(bl), sorted(QStringList(files) << lock)) << "only LibreOffice's own lock file is added";

    EXPECT_TRUE(writer.end()) << "a process of the second LibreOffice is left";
}

TEST_F(RecordE2e, PrintingWithoutAPrinterSaysSoAndSetsNoSuccess)
{
    const QByteArray saved = qgetenv("LPDEST");
    qputenv("LPDEST", "quillan-no-such-printer");
    form = sampleRecord(QStringLiteral("无打印机"), 1);
    commands->printCurrentRecord();
    form.session.shownTextFile = dir.write(QStringLiteral("t.txt"), gbk(QStringLiteral("文字\r\n")));
    commands->printShownText();
    if (saved.isNull())
        qunsetenv("LPDEST");
    else
        qputenv("LPDEST", saved);

    ASSERT_EQ(prompts.shown().size(), 2);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.title, QStringLiteral("打印失败："));
        EXPECT_EQ(shown.text,
                  QStringLiteral("打印没有成功：没有设置默认打印机。请先设置打印机，再重新打印。"));
    }
    EXPECT_TRUE(form.status.isEmpty());
    EXPECT_TRUE(form.part0.isEmpty());
}

} // namespace
} // namespace quillan::test
