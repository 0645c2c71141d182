#include "app/FormBinding.h"
#include "record/TemplateFile.h"
// The record commands as the window binds them: menu items and the text
// panel's print button reach the commands, which work on the window itself.
#include "AppFixture.h"
#include "doubles/ScriptedPrompts.h"

#include "app/Startup.h"
#include "record/RecordFields.h"
#include "record/TemplateFile.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;
using Shown = platform::ScriptedPrompts::Shown;

namespace {

QByteArray setIni()
{
    return gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n[biludidian]\r\ndidian1=某某镇\r\ndidian2=某某县\r\n"
                              "[wenti1]\r\nwenti1=问：你的姓名？\r\n"));
}

void trigger(app::MainWin& w, const char* menu, const char* item)
{
    QAction* action = w.menuAction(QString::fromUtf8(menu), QString::fromUtf8(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

void fill(app::MainWin& w)
{
    w.setFieldText(QStringLiteral("编辑框6"), QStringLiteral("11"));
    w.setFieldText(QStringLiteral("编辑框7"), QStringLiteral("15"));
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("某某"));
    w.setFieldText(QStringLiteral("编辑框14"), QStringLiteral("某某公司"));
    w.setFieldText(QStringLiteral("编辑框26"), QStringLiteral("40"));
    w.setFieldText(QStringLiteral("组合框4"), QStringLiteral("问：你的姓名？"));
    w.setFieldText(QStringLiteral("组合框5"), QStringLiteral("答：某某。"));
    w.setFieldText(QStringLiteral("超级编辑框2"), QStringLiteral("第一行\r\n第二行"));
}

} // namespace

TEST(RecordCommandsApp, NewRecordEmptiesTheWindowAndRerunsTheStartUpWithoutThePasswordGate)
{
    AppFixture f(setIni());
    f.countGates();
    f.app->start();
    app::MainWin& w = f.win();
    fill(w);
    w.setStatusMessage(QStringLiteral("别的状态"));
    f.clock->set(QDateTime(QDate(2013, 12, 25), QTime(9, 5, 0)));
    f.app->services().pageLineCounter = 6;
    f.prompts->answerNext(platform::Answer::Ok);

    trigger(w, "文件", "新建(笔录)");

    EXPECT_EQ(f.prompts->shown(), (QList<Shown>{{QStringLiteral("你确认要新建一份新的笔录？"),
                                                 QStringLiteral("提 示："), platform::Buttons::OkCancel}}));
    EXPECT_EQ(f.gates, 1);
    // The start-up's status text, then where the unsaved record was kept.
    EXPECT_EQ(w.statusMessage(), QStringLiteral("未保存的笔录已另存为 <BL/恢复-20131225-090500.ini>"));
    EXPECT_EQ(w.statusPart0(), QStringLiteral(" 程 序 版 本 V 2.3"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框1")), QStringLiteral("2013"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框5")), QStringLiteral("5"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框6")), QString());
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框8")), QStringLiteral("某某镇"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框14")), QString());
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框26")), QStringLiteral("40"));
    EXPECT_EQ(w.fieldText(QStringLiteral("超级编辑框2")), QString());
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框4")), QString());
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框4")),
              (QStringList{QStringLiteral("问：你的姓名？"), QStringLiteral("问：")}));
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框5")), QStringList{QStringLiteral("答：")});
    EXPECT_EQ(f.app->services().pageLineCounter, 0);
}

TEST(RecordCommandsApp, SaveThroughTheMenuWritesBothFilesAndTheWindowShowsTheCaseNoteOnOneLine)
{
    AppFixture f(setIni());
    f.app->start();
    app::MainWin& w = f.win();
    fill(w);
    trigger(w, "文件", "保存(笔录及模板)");
    const QString bl = f.programDir() + QStringLiteral("/BL/");
    EXPECT_TRUE(QFileInfo::exists(bl + QStringLiteral("2012.3.5-某某公司-某某.ini")));
    EXPECT_TRUE(QFileInfo::exists(bl + QStringLiteral("2012.3.5-某某公司-某某.doc")));
    EXPECT_EQ(w.fieldText(QStringLiteral("超级编辑框2")), QStringLiteral("第一行  第二行"));
    EXPECT_EQ(f.session().officeFolder, QStringLiteral("/usr/lib/libreoffice/program/"));
    EXPECT_EQ(w.statusMessage(),
              QStringLiteral("笔录WORD文件以经保存在 <") + f.programDir() + QStringLiteral("/BL/目录中> "));
    EXPECT_TRUE(f.clock->waits().isEmpty()); // no fixed waits
    EXPECT_EQ(f.app->services().pageLineCounter, 2);
}

TEST(RecordCommandsApp, OpenTemplateThroughTheMenuFillsTheWindow)
{
    AppFixture f(setIni());
    f.app->start();
    app::MainWin& w = f.win();
    fill(w);
    trigger(w, "文件", "保存(笔录及模板)");
    const QString saved = f.programDir() + QStringLiteral("/BL/2012.3.5-某某公司-某某.ini");
    w.setFieldText(QStringLiteral("编辑框14"), QString());
    f.prompts->answerNext(platform::Answer::Ok);
    trigger(w, "文件", "新建(笔录)");
    ASSERT_EQ(w.fieldText(QStringLiteral("编辑框9")), QString());

    f.prompts->chooseNext(saved);
    trigger(w, "文件", "打开(笔录模板)");
    EXPECT_EQ(f.prompts->dialogsOpened().last(), QStringLiteral("通用对话框2"));
    EXPECT_EQ(f.session().lastChosenFile, saved);
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框9")), QStringLiteral("某某"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框14")), QStringLiteral("某某公司"));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框5")), QStringLiteral("答：某某。"));
    EXPECT_EQ(w.fieldText(QStringLiteral("超级编辑框2")), QStringLiteral("第一行  第二行"));
    EXPECT_EQ(w.fileDialog(QStringLiteral("通用对话框2")).lastFileName, saved);
    // The design's hidden fields stay in the layout but carry nothing: the
    // session keeps the office folder and the chosen file.
    for (const char* unit : {"编辑框19", "编辑框24", "编辑框32", "编辑框17", "编辑框18", "编辑框25"})
        EXPECT_EQ(w.fieldText(QString::fromUtf8(unit)), QString()) << unit;
    // What the binding reads is what the template holds.
    const auto loaded = record::loadTemplate(saved);
    EXPECT_EQ(f.app->form().read(), record::recordFromTemplate(loaded.ini));
}

TEST(RecordCommandsApp, PrintMenuTheTextPanelButtonAndTheToolEntriesReachTheirCommands)
{
    AppFixture f(setIni());
    f.app->start();
    app::MainWin& w = f.win();
    fill(w);

    f.prompts->answerNext(platform::Answer::Yes);
    trigger(w, "文件", "打印(笔录)");
    EXPECT_EQ(w.statusMessage(), QStringLiteral("打 印 成 功！"));
    EXPECT_TRUE(f.clock->waits().isEmpty()); // no fixed waits

    f.prompts->answerNext(platform::Answer::No);
    f.prompts->chooseNext(f.programDir() + QStringLiteral("/BL/a.doc"));
    trigger(w, "文件", "打印(笔录)");
    EXPECT_EQ(f.prompts->dialogsOpened().last(), QStringLiteral("通用对话框3"));
    EXPECT_EQ(w.statusMessage(), QStringLiteral("打印笔录成功... "));

    f.session().shownTextFile = f.programDir() + QStringLiteral("/t.txt");
    w.control<QPushButton>(QStringLiteral("按钮6"))->click();
    EXPECT_EQ(w.statusPart0(), QStringLiteral("打印成功..."));
    EXPECT_TRUE(
        f.engine->calls().contains(QStringLiteral("open ") + f.programDir() + QStringLiteral("/t.txt")));

    trigger(w, "工具", "Word文档");
    trigger(w, "工具", "Excel文档");
    ASSERT_EQ(f.shell->started().size(), 2);
    EXPECT_EQ(f.shell->started()[0].program, QStringLiteral("WINWORD.EXE"));
    EXPECT_EQ(f.shell->started()[1].program, QStringLiteral("EXCEL.EXE"));
}
