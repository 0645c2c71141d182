// The record commands against plain values: new record, open template,
// save, the print commands and the two tool entries. Every message is
// checked byte for byte.
#include "record/RecordCommands.h"
#include "MapForm.h"
#include "doubles/ManualClock.h"
#include "doubles/RecordingEngine.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/RecordFields.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Answer;
using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;

Shown ok(const char* text, const char* title)
{
    return {QString::fromUtf8(text), QString::fromUtf8(title), Buttons::Ok};
}

class RecordCommands : public ::testing::Test
{
protected:
    RecordCommands() : clock(QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)))
    {
        record::RecordEnvironment env;
        env.view = &form;
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.clock = &clock;
        env.shell = &shell;
        env.word = &engine;
        env.programDir = dir.path();
        env.pageLineCounter = &counter;
        env.templateDialog = &templateDialog;
        env.documentDialog = &documentDialog;
        env.rerunStartup = [this] { ++startups; };
        env.formSafe = [this] { ++safe; };
        env.recordSaved = [this](const QStringList& files) { logged << files; };
        commands = std::make_unique<record::RecordCommands>(env);
    }

    void fillComplete()
    {
        form.set("编辑框1", QStringLiteral("2012"));
        form.set("编辑框2", QStringLiteral("3"));
        form.set("编辑框3", QStringLiteral("5"));
        form.set("编辑框6", QStringLiteral("11"));
        form.set("编辑框7", QStringLiteral("15"));
        form.set("编辑框9", QStringLiteral("某某"));
        form.set("编辑框14", QStringLiteral("某某公司"));
        form.set("组合框4", QStringLiteral("问：你叫什么名字？"));
        form.set("组合框5", QStringLiteral("答：某某。"));
    }
    QString bl(const QString& name = QString()) const { return dir.path() + QStringLiteral("/BL/") + name; }
    QString docPath() const { return bl(QStringLiteral("2012.3.5-某某公司-某某.doc")); }
    QString iniPath() const { return bl(QStringLiteral("2012.3.5-某某公司-某某.ini")); }
    QStringList filesInBl() const { return QDir(bl()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    TempDir dir;
    MapForm form;
    platform::ScriptedPrompts prompts;
    platform::ManualClock clock;
    platform::RecordingShell shell;
    word::RecordingEngine engine;
    int counter = 7;
    platform::FileDialogUnit templateDialog{
        QStringLiteral("通用对话框2"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    platform::FileDialogUnit documentDialog{
        QStringLiteral("通用对话框3"), platform::FileDialogUnit::Mode::Open, {}, {}, {}};
    int startups = 0;
    int safe = 0;       // the form told safe
    QStringList logged; // files handed to the log
    std::unique_ptr<record::RecordCommands> commands;
};

// ------------------------------------------------------------ new record

TEST_F(RecordCommands, NewRecordWithoutWorkUnitClearsAtOnceKeepsAgeEducationPositionAndRerunsStartUp)
{
    for (const record::Field& f : record::writeOrder())
        form.fields[record::unitName(f)] = QStringLiteral("旧");
    form.set("编辑框14", QString());
    for (QString* path : {&form.session.uploadFile, &form.session.playbackFile, &form.session.shownTextFile,
                          &form.session.lastChosenFile})
        *path = QStringLiteral("/旧/路径");
    for (const char* unit : {"组合框2", "组合框52", "组合框4", "组合框38", "组合框3"})
        form.lists[QString::fromUtf8(unit)] = QStringList{QStringLiteral("甲"), QStringLiteral("乙")};

    commands->newRecord();

    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(startups, 1);
    for (const char* unit : {"编辑框1", "编辑框2", "编辑框3", "编辑框4", "编辑框5", "编辑框6", "编辑框7",
                             "编辑框9", "编辑框10", "编辑框14", "编辑框15", "编辑框16", "超级编辑框2",
                             "组合框2", "组合框52", "组合框53", "组合框54", "组合框55"})
        EXPECT_EQ(form.get(unit), QString()) << unit;
    EXPECT_EQ(form.session.uploadFile, QString());
    EXPECT_EQ(form.session.playbackFile, QString());
    EXPECT_EQ(form.get("编辑框12"), QStringLiteral("身份证"));
    for (const char* kept : {"编辑框26", "编辑框27", "组合框3", "编辑框8", "编辑框11", "组合框1"})
        EXPECT_EQ(form.get(kept), QStringLiteral("旧")) << kept;
    EXPECT_EQ(form.session.shownTextFile, QStringLiteral("/旧/路径"));
    EXPECT_EQ(form.session.lastChosenFile, QStringLiteral("/旧/路径"));
    EXPECT_EQ(form.lists.value(QStringLiteral("组合框2")), QStringList());
    EXPECT_EQ(form.lists.value(QStringLiteral("组合框52")), QStringList());
    EXPECT_EQ(form.lists.value(QStringLiteral("组合框3")).size(), 2);
    for (const record::Pair& p : record::pairs()) {
        EXPECT_EQ(form.read()[p.question.id], QString());
        EXPECT_EQ(form.listEntries(p.question.id), QStringList{QStringLiteral("问：")});
        EXPECT_EQ(form.listEntries(p.answer.id), QStringList{QStringLiteral("答：")});
    }
}

TEST_F(RecordCommands, NewRecordWithWorkUnitAsksAndAnythingButOkChangesNothing)
{
    fillComplete();
    const auto before = form.fields;
    commands->newRecord(); // unscripted: Cancel
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{QStringLiteral("你确认要新建一份新的笔录？"),
                                              QStringLiteral("提 示："), Buttons::OkCancel}}));
    EXPECT_EQ(form.fields, before);
    EXPECT_EQ(startups, 0);

    prompts.answerNext(Answer::Ok);
    commands->newRecord();
    EXPECT_EQ(form.get("编辑框14"), QString());
    EXPECT_EQ(startups, 1);
}

// ------------------------------------------------------------ open template

TEST_F(RecordCommands, OpenTemplateCancelledSaysWhereTemplatesAreAndChangesNothing)
{
    fillComplete();
    const auto before = form.fields;
    commands->openTemplate();
    EXPECT_EQ(prompts.dialogsOpened(), QList<QString>{QStringLiteral("通用对话框2")});
    EXPECT_EQ(templateDialog.filter, QStringLiteral("*.ini 笔录模板文件|*.ini"));
    EXPECT_EQ(templateDialog.defaultExtension, QStringLiteral("ini"));
    EXPECT_EQ(prompts.shown(),
              (QList<Shown>{{QStringLiteral(" 没有选择正确的笔录模板 *.ini文件，模板文件保存在 <") +
                                 dir.path() + QStringLiteral("/BL/> 目录中。"),
                             QStringLiteral("提示："), Buttons::Ok}}));
    EXPECT_EQ(form.fields, before);
}

TEST_F(RecordCommands, OpenTemplateSetsEveryFieldKeepsThePathAndLeavesTheListsAlone)
{
    fillComplete();
    form.lists[QStringLiteral("组合框4")] = {QStringLiteral("问：常用")};
    const QString path = QStringLiteral(QUILLAN_TEST_DATA_DIR "/templates/only-num10.ini");
    prompts.chooseNext(path);
    commands->openTemplate();
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(form.session.lastChosenFile, path);
    EXPECT_EQ(form.get("编辑框9"), QStringLiteral("赵六"));
    EXPECT_EQ(form.get("编辑框14"), QString());
    EXPECT_EQ(form.get("组合框4"), QString());
    EXPECT_EQ(form.lists.value(QStringLiteral("组合框4")), QStringList{QStringLiteral("问：常用")});
}

TEST_F(RecordCommands, OpenTemplateThatVanishedAfterItWasChosenKeepsTheRecordAndSaysWhy)
{
    fillComplete();
    const auto before = form.fields;
    const QString path = dir.file(QStringLiteral("BL/不见了.ini"));
    prompts.chooseNext(path);
    commands->openTemplate();
    EXPECT_EQ(prompts.shown(),
              (QList<Shown>{{QStringLiteral("笔录模板没有打开：\r\n") + path + QStringLiteral("：文件不存在"),
                             QStringLiteral("打开失败："), Buttons::Ok}}));
    EXPECT_EQ(form.session.lastChosenFile, path);
    EXPECT_EQ(form.fields, before);
}

// ------------------------------------------------------------ save

TEST_F(RecordCommands, SaveRefusesIncompleteRecordsInOrderAndWritesNothing)
{
    struct Row
    {
        const char* what;
        std::function<void(MapForm&)> change;
        Shown message;
    };
    const Row rows[] = {
        {"no word processor", [this](MapForm&) { engine.setInstallPathText(QString()); },
         ok("电 脑 没 有 安 装 WORD 办 公 软 件.", "无法保存笔录为Word文档：")},
        {"no work unit",
         [](MapForm& f) {
             f.set("编辑框14", QString());
             f.set("编辑框6", QString());
         },
         ok(" 笔录没有录入完成，工作单位等资料都没有添写. ", "提 示：")},
        {"no end hour", [](MapForm& f) { f.set("编辑框6", QString()); },
         ok(" 笔录结束时间没有添写！ ", "提 示：")},
        {"no end minute", [](MapForm& f) { f.set("编辑框7", QString()); },
         ok(" 笔录结束时间没有添写！ ", "提 示：")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fillComplete();
        form.status = QStringLiteral("旧状态");
        engine.setInstallPathText(QStringLiteral("/usr/lib/libreoffice/program/\r\n"));
        engine.clearCalls();
        prompts.clear();
        row.change(form);
        commands->saveRecord();
        EXPECT_EQ(prompts.shown(), QList<Shown>{row.message});
        EXPECT_EQ(engine.calls(), QStringList{QStringLiteral("installPathText")});
        EXPECT_FALSE(QFileInfo::exists(bl()));
        EXPECT_EQ(form.status, QStringLiteral("旧状态"));
        EXPECT_TRUE(clock.waits().isEmpty());
    }
}

TEST_F(RecordCommands, SaveOfBlankWorkUnitAndEndTimePasses)
{
    fillComplete();
    form.set("编辑框14", QStringLiteral(" "));
    form.set("编辑框6", QStringLiteral(" "));
    commands->saveRecord();
    EXPECT_TRUE(QFileInfo::exists(bl(QStringLiteral("2012.3.5- -某某.doc"))));
}

TEST_F(RecordCommands, SaveWritesTemplateAndDocumentWithoutWaitingAndSetsTheStatus)
{
    fillComplete();
    commands->saveRecord(); // preview: No
    EXPECT_EQ(form.session.officeFolder, QStringLiteral("/usr/lib/libreoffice/program/"));
    EXPECT_TRUE(clock.waits().isEmpty()); // no fixed waits
    EXPECT_EQ(filesInBl(),
              (QStringList{QStringLiteral("2012.3.5-某某公司-某某.doc"),
                           QStringLiteral("2012.3.5-某某公司-某某.ini"),
                           QStringLiteral("2012.3.5-某某公司-某某.pdf"), QStringLiteral("Doc.doc")}));
    EXPECT_TRUE(readFile(dir.file(QStringLiteral("BL/2012.3.5-某某公司-某某.pdf"))).startsWith("%PDF-"));
    EXPECT_TRUE(readFile(docPath()).contains(QStringLiteral("问：你叫什么名字？").toUtf8()));
    const QStringList calls = engine.calls();
    ASSERT_GE(calls.size(), 3);
    EXPECT_EQ(calls.mid(calls.size() - 2),
              (QStringList{QStringLiteral("closeDocument"), QStringLiteral("quit")}));
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{QStringLiteral(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "),
                                              QStringLiteral("提 示："), Buttons::YesNo}}));
    EXPECT_TRUE(shell.started().isEmpty());
    EXPECT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + dir.path() + QStringLiteral("/BL/目录中> "));
    EXPECT_EQ(counter, 2);
}

TEST_F(RecordCommands, SaveShowsTheBusyCursorOnlyWhileTheWordProcessorWorks)
{
    fillComplete();
    commands->saveRecord();
    EXPECT_EQ(form.busyCalls, (QList<bool>{true, false}));

    form.busyCalls.clear();
    prompts.answerNext(Answer::Yes); // overwrite
    commands->saveRecord();
    EXPECT_EQ(form.busyCalls, (QList<bool>{true, false, true, false}));
}

TEST_F(RecordCommands, PreviewOpensTheDocumentInTheWordProcessorWithoutWaiting)
{
    fillComplete();
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    ASSERT_EQ(shell.started().size(), 1);
    EXPECT_EQ(shell.started()[0].program, QStringLiteral("/usr/lib/libreoffice/program/WINWORD.EXE"));
    EXPECT_EQ(shell.started()[0].arguments, QStringList{docPath()});
}

TEST_F(RecordCommands, SecondSaveAsksBeforeReplacingAndNoLeavesEveryOldFileAsItWas)
{
    fillComplete();
    commands->saveRecord();
    const QString pdf = bl(QStringLiteral("2012.3.5-某某公司-某某.pdf"));
    const QByteArray oldIni = readFile(iniPath()), oldDoc = readFile(docPath()), oldPdf = readFile(pdf);
    ASSERT_FALSE(oldIni.isEmpty());
    safe = 0;
    logged.clear();
    clock.clearWaits();
    prompts.clear();
    engine.clearCalls();
    form.set("组合框5", QStringLiteral("答：另一次询问的回答。"));

    prompts.answerNext(Answer::No);  // overwrite
    prompts.answerNext(Answer::Yes); // preview
    commands->saveRecord();
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{QStringLiteral(" 文件以经存在，是否覆盖老文件？ "),
                                              QStringLiteral("提 示："), Buttons::YesNo},
                                             {QStringLiteral(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "),
                                              QStringLiteral("提 示："), Buttons::YesNo}}));
    EXPECT_TRUE(clock.waits().isEmpty()); // no fixed waits
    EXPECT_EQ(readFile(iniPath()), oldIni);
    EXPECT_EQ(readFile(docPath()), oldDoc);
    EXPECT_EQ(readFile(pdf), oldPdf);
    EXPECT_FALSE(engine.calls().join(QLatin1Char('\n')).contains(QStringLiteral("saveAs")));
    EXPECT_TRUE(logged.isEmpty()) << "nothing was saved, nothing is logged";
    EXPECT_EQ(safe, 0) << "the form still holds the unsaved record";
    EXPECT_EQ(form.get("组合框5"), QStringLiteral("答：另一次询问的回答。"));
    EXPECT_EQ(shell.started().size(), 1); // the preview shows the old document
    EXPECT_EQ(form.status, QStringLiteral("笔录没有保存：老文件没有被覆盖。"));

    // The program's end during the question calls the save off: no preview.
    prompts.clear();
    prompts.answerNext(Answer::Interrupted);
    commands->saveRecord();
    EXPECT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(readFile(iniPath()), oldIni);
    EXPECT_TRUE(logged.isEmpty());
    EXPECT_EQ(safe, 0);
    EXPECT_EQ(shell.started().size(), 1);
}

TEST_F(RecordCommands, OverwriteYesReplacesTheOldDocument)
{
    fillComplete();
    dir.write(QStringLiteral("BL/2012.3.5-某某公司-某某.doc"), "old document");
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    EXPECT_TRUE(clock.waits().isEmpty()); // no fixed waits
    EXPECT_TRUE(readFile(docPath()).contains(QStringLiteral("工伤认定询问调查笔录").toUtf8()));
    EXPECT_EQ(filesInBl().size(), 4);
}

TEST_F(RecordCommands, FailedPdfCopyIsReportedButTheSavedDocumentStillCounts)
{
    fillComplete();
    engine.setPdfResult(false);
    commands->saveRecord(); // preview: No
    const QString pdf = dir.file(QStringLiteral("BL/2012.3.5-某某公司-某某.pdf"));
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[0], (Shown{QStringLiteral("笔录没有保存成功：\r\n") + pdf +
                                             QStringLiteral("：文件无法保存为 ") + pdf + QStringLiteral("。"),
                                         QStringLiteral("保存失败："), Buttons::Ok}));
    EXPECT_EQ(prompts.shown()[1].text, QStringLiteral(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "));
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(QFileInfo::exists(docPath()));
    EXPECT_EQ(form.status,
              QStringLiteral("笔录WORD文件以经保存在 <") + dir.path() + QStringLiteral("/BL/目录中> "));
    EXPECT_TRUE(filesInBl().filter(QStringLiteral(".~quillan")).isEmpty());
}

TEST_F(RecordCommands, FailedSaveKeepsTheOldDocumentNamesTheFileAndSetsNoStatus)
{
    fillComplete();
    dir.write(QStringLiteral("BL/2012.3.5-某某公司-某某.doc"), "old document");
    engine.setSaveResult(false);
    form.status = QStringLiteral("旧状态");
    prompts.answerNext(Answer::Yes);
    commands->saveRecord();
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[1].title, QStringLiteral("保存失败："));
    EXPECT_EQ(prompts.shown()[1].text, QStringLiteral("笔录没有保存成功：\r\n") + docPath() +
                                           QStringLiteral("：文件无法保存为 ") + docPath() +
                                           QStringLiteral("。"));
    EXPECT_EQ(readFile(docPath()), QByteArray("old document"));
    EXPECT_EQ(form.status, QStringLiteral("旧状态"));
    EXPECT_TRUE(shell.started().isEmpty());
    EXPECT_EQ(filesInBl().size(), 3); // no temporary file left
}

TEST_F(RecordCommands, WorkingDocumentThatCannotBeOpenedIsTheReasonGiven)
{
    fillComplete();
    engine.setOpenResult(false);
    commands->saveRecord();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("笔录没有保存成功：\r\n") + docPath() +
                                           QStringLiteral("：文件 ") + bl(QStringLiteral("Doc.doc")) +
                                           QStringLiteral(" 无法打开。"));
    EXPECT_FALSE(QFileInfo::exists(docPath()));
}

TEST_F(RecordCommands, NameWithForbiddenCharacterStoresNothingAndSaysSoForBothFiles)
{
    fillComplete();
    form.set("编辑框14", QStringLiteral("甲/乙"));
    form.status = QStringLiteral("旧状态");
    commands->saveRecord();
    const QString reason = QStringLiteral(
        "：文件名中有不允许的字符（\\ / : * ? \" < > |），请修改日期、工作单位或被询问人姓名。");
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{QStringLiteral("笔录没有保存成功：\r\n") +
                                                  bl(QStringLiteral("2012.3.5-甲/乙-某某.ini")) + reason +
                                                  QStringLiteral("\r\n") +
                                                  bl(QStringLiteral("2012.3.5-甲/乙-某某.doc")) + reason,
                                              QStringLiteral("保存失败："), Buttons::Ok}}));
    EXPECT_EQ(filesInBl(), QStringList{QStringLiteral("Doc.doc")});
    EXPECT_EQ(form.status, QStringLiteral("旧状态"));
}

TEST_F(RecordCommands, UnwritableRecordsDirectoryIsReportedWithoutSuccess)
{
    fillComplete();
    dir.write(QStringLiteral("BL"), "not a folder");
    commands->saveRecord();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0].title, QStringLiteral("保存失败："));
    EXPECT_TRUE(prompts.shown()[0].text.startsWith(QStringLiteral("笔录没有保存成功：\r\n") + iniPath()));
    EXPECT_TRUE(prompts.shown()[0].text.contains(QStringLiteral("\r\n") + docPath()));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("BL"))), QByteArray("not a folder"));
    EXPECT_TRUE(form.status.isEmpty());
}

// ------------------------------------------------------------ print the current record

TEST_F(RecordCommands, PrintRecordYesPrintsTheCurrentRecordKeepsTheTemplateButNoDocument)
{
    fillComplete();
    prompts.answerNext(Answer::Yes);
    commands->printRecord();
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{QStringLiteral(" 是/否 打 印 当 前 笔 录 内 容 ？ \r\n"),
                                              QStringLiteral("打印提示："), Buttons::YesNo}}));
    EXPECT_TRUE(clock.waits().isEmpty()); // no fixed waits
    const QStringList calls = engine.calls();
    EXPECT_EQ(
        calls.mid(calls.size() - 3),
        (QStringList{QStringLiteral("print"), QStringLiteral("closeDocument"), QStringLiteral("quit")}));
    EXPECT_FALSE(engine.visible());
    EXPECT_EQ(filesInBl(),
              (QStringList{QStringLiteral("2012.3.5-某某公司-某某.ini"), QStringLiteral("Doc.doc")}));
    EXPECT_EQ(form.status, QStringLiteral("打 印 成 功！"));
    EXPECT_EQ(form.busyCalls, (QList<bool>{true, false}));
}

TEST_F(RecordCommands, PrintCurrentRecordRefusesIncompleteRecords)
{
    struct Row
    {
        const char* what;
        const char* unit;
        Shown message;
    };
    const Row rows[] = {
        {"no work unit", "编辑框14", ok("笔录没有录入完成，工作单位等资料没有添写.", "提 示：")},
        {"no end hour", "编辑框6", ok(" 笔录结束时间没有添写！ ", "提 示：")},
        {"no end minute", "编辑框7", ok(" 笔录结束时间没有添写！ ", "提 示：")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fillComplete();
        form.set(row.unit, QString());
        prompts.clear();
        commands->printCurrentRecord();
        EXPECT_EQ(prompts.shown(), QList<Shown>{row.message});
        EXPECT_FALSE(engine.calls().contains(QStringLiteral("print")));
        EXPECT_TRUE(form.status.isEmpty());
    }
    engine.setInstallPathText(QString());
    prompts.clear();
    commands->printCurrentRecord();
    EXPECT_EQ(prompts.shown(), QList<Shown>{ok("电 脑 没 有 安 装 WORD 办 公 软 件.", "无法打印：")});
}

TEST_F(RecordCommands, FailedPrintOfTheCurrentRecordSaysWhyAndSetsNoStatus)
{
    fillComplete();
    word::PrintResult failed;
    failed.status = word::PrintResult::Status::NoPrinter;
    failed.detail = QStringLiteral("没有设置默认打印机。请先设置打印机，再重新打印。");
    engine.setPrintResult(failed);
    commands->printCurrentRecord();
    EXPECT_EQ(
        prompts.shown(),
        QList<Shown>{ok("打印没有成功：没有设置默认打印机。请先设置打印机，再重新打印。", "打印失败：")});
    EXPECT_TRUE(form.status.isEmpty());
}

TEST_F(RecordCommands, PrintJobStillPendingCountsAsSent)
{
    fillComplete();
    word::PrintResult sent;
    sent.status = word::PrintResult::Status::Sent;
    engine.setPrintResult(sent);
    commands->printCurrentRecord();
    EXPECT_TRUE(prompts.shown().isEmpty());
    EXPECT_EQ(form.status, QStringLiteral("打 印 成 功！"));
}

TEST_F(RecordCommands, PrintedRecordWhoseTemplateIsRefusedSaysSoAfterPrinting)
{
    fillComplete();
    form.set("编辑框9", QStringLiteral("某?"));
    commands->printCurrentRecord();
    EXPECT_EQ(form.status, QStringLiteral("打 印 成 功！"));
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0].title, QStringLiteral("保存失败："));
    EXPECT_TRUE(prompts.shown()[0].text.startsWith(QStringLiteral("笔录没有保存成功：\r\n") +
                                                   bl(QStringLiteral("2012.3.5-某某公司-某?.ini："))));
}

// ------------------------------------------------------------ print a chosen document

TEST_F(RecordCommands, PrintRecordNoCancelledSaysWhereDocumentsAre)
{
    commands->printRecord();
    EXPECT_EQ(prompts.dialogsOpened(), QList<QString>{QStringLiteral("通用对话框3")});
    EXPECT_EQ(documentDialog.filter, QStringLiteral("*.doc 选择要打印的笔录WORD文件|*.doc"));
    EXPECT_EQ(documentDialog.defaultExtension, QStringLiteral("ini"));
    ASSERT_EQ(prompts.shown().size(), 2);
    EXPECT_EQ(prompts.shown()[1], (Shown{QStringLiteral("没有选择正确的笔录文件！笔录WORD文件保存在 <") +
                                             dir.path() + QStringLiteral("/BL/> 目录中。"),
                                         QStringLiteral("错误："), Buttons::Ok}));
    EXPECT_TRUE(engine.calls().isEmpty());
}

TEST_F(RecordCommands, PrintRecordNoChecksThePathCaseSensitivelyForDoc)
{
    struct Row
    {
        const char* path;
        bool printed;
    };
    const Row rows[] = {
        {"/home/a/BL/2012.3.5-某某公司-某某.doc", true},
        {"/home/a/docs/note.ini", true},
        {"/RECORDS/A.DOC", false},
        {"/home/a/record.Doc", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const QString path = QString::fromUtf8(row.path);
        prompts.clear();
        engine.clearCalls();
        form.status.clear();
        prompts.answerNext(Answer::No);
        prompts.chooseNext(path);
        commands->printRecord();
        EXPECT_EQ(form.session.lastChosenFile, path);
        if (row.printed) {
            EXPECT_EQ(prompts.shown().size(), 1);
            EXPECT_EQ(engine.calls(),
                      (QStringList{QStringLiteral("installPathText"), QStringLiteral("createApplication"),
                                   QStringLiteral("bindDocuments"), QStringLiteral("open ") + path,
                                   QStringLiteral("setVisible 0"), QStringLiteral("print"),
                                   QStringLiteral("closeDocument"), QStringLiteral("quit")}));
            EXPECT_EQ(form.status, QStringLiteral("打印笔录成功... "));
        } else {
            EXPECT_EQ(prompts.shown().value(1),
                      ok("打印笔录文档选择的不匹配 (要选doc文档).   请重新再选。", "提 示："));
            EXPECT_EQ(engine.calls(), QStringList{QStringLiteral("installPathText")});
            EXPECT_TRUE(form.status.isEmpty());
        }
    }
    EXPECT_TRUE(clock.waits().isEmpty());
}

TEST_F(RecordCommands, PrintChosenDocumentChecksForTheWordProcessorFirst)
{
    engine.setInstallPathText(QString());
    prompts.answerNext(Answer::No);
    prompts.chooseNext(QStringLiteral("/RECORDS/A.DOC"));
    commands->printRecord();
    EXPECT_EQ(prompts.shown().value(1), ok("电 脑 没 有 安 装 WORD 办 公 软 件.", "无法打印："));
    EXPECT_EQ(prompts.shown().size(), 2);
}

TEST_F(RecordCommands, PrintChosenDocumentThatCannotBeOpenedSaysWhy)
{
    engine.setOpenResult(false);
    prompts.answerNext(Answer::No);
    prompts.chooseNext(QStringLiteral("/x/a.doc"));
    commands->printRecord();
    EXPECT_EQ(prompts.shown().value(1), ok("打印没有成功：文件 /x/a.doc 无法打开。", "打印失败："));
    EXPECT_TRUE(form.status.isEmpty());
}

// ------------------------------------------------------------ the text panel's button, tools

TEST_F(RecordCommands, PrintShownTextPrintsTheFileOfTheTextPanel)
{
    form.session.shownTextFile = QStringLiteral("/scratch/t.txt");
    commands->printShownText();
    EXPECT_TRUE(engine.calls().contains(QStringLiteral("open /scratch/t.txt")));
    EXPECT_EQ(form.part0, QStringLiteral("打印成功..."));
    EXPECT_TRUE(form.status.isEmpty());

    form.part0.clear();
    word::PrintResult failed;
    failed.status = word::PrintResult::Status::Failed;
    failed.detail = QStringLiteral("打印机 PDF 中止了打印任务 7。");
    engine.setPrintResult(failed);
    commands->printShownText();
    EXPECT_EQ(prompts.shown(), QList<Shown>{ok("打印没有成功：打印机 PDF 中止了打印任务 7。", "打印失败：")});
    EXPECT_TRUE(form.part0.isEmpty());

    engine.setInstallPathText(QString());
    prompts.clear();
    commands->printShownText();
    EXPECT_EQ(prompts.shown(), QList<Shown>{ok("电 脑 没 有 安 装 WORD 办 公 软 件.", "无 法 打 印：")});
}

TEST_F(RecordCommands, WordAndSpreadsheetEntriesStartTheProgramsOrSayTheyAreMissing)
{
    commands->newWordDocument();
    commands->newSpreadsheet();
    ASSERT_EQ(shell.started().size(), 2);
    EXPECT_EQ(shell.started()[0].program, QStringLiteral("WINWORD.EXE"));
    EXPECT_EQ(shell.started()[1].program, QStringLiteral("EXCEL.EXE"));
    EXPECT_TRUE(shell.started()[0].arguments.isEmpty());
    EXPECT_TRUE(shell.started()[1].arguments.isEmpty());
    EXPECT_TRUE(prompts.shown().isEmpty());

    engine.setInstallPathText(QString());
    engine.setSpreadsheetInstalled(false);
    commands->newWordDocument();
    commands->newSpreadsheet();
    EXPECT_EQ(shell.started().size(), 2);
    EXPECT_EQ(prompts.shown(), (QList<Shown>{ok("电 脑 没 有 安 装 WORD 办 公 软 件.", "无 法 打 印："),
                                             ok("电 脑 没 有 安 装 ExceL 办 公 软 件.", "无 法 打 印：")}));
}

} // namespace
} // namespace quillan::test
