// The form's recovery file as the running program keeps it: written on a
// switch of view while the form holds something unsaved, offered at the next
// start, removed by a save or a new record.
#include "AppFixture.h"
#include "doubles/ScriptedPrompts.h"

#include "platform/ProfileIni.h"
#include "record/FormRecovery.h"
#include "record/RecordCommands.h"
#include "record/RecordFields.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;
using Shown = platform::ScriptedPrompts::Shown;

namespace {

QByteArray setIni()
{
    return gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n"));
}

void click(app::MainWin& w, const char* button)
{
    auto* b = w.control<QPushButton>(QString::fromUtf8(button));
    ASSERT_NE(b, nullptr);
    b->click();
}

// `n` characters of text: Chinese, with a character outside GBK now and then.
QString longText(qsizetype n)
{
    const QString pattern = QStringLiteral("工地三号楼脚手架坠落𠀀伤情");
    QString text;
    while (text.size() < n)
        text += pattern;
    return text.left(n);
}

// Values a template alone would not keep exactly: blanks at the ends, line
// breaks, characters outside GBK, an '=' and a ';', and values longer than
// a template value may be (a line of the form holds 32,767 characters, the
// case note any number).
void type(app::MainWin& w)
{
    w.setFieldText(QStringLiteral("编辑框6"), QStringLiteral("11"));
    w.setFieldText(QStringLiteral("编辑框7"), QStringLiteral("15"));
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("张某"));
    w.setFieldText(QStringLiteral("编辑框14"), QStringLiteral(" 某某建筑公司 "));
    w.setFieldText(QStringLiteral("组合框4"), QStringLiteral("问：你在何处受伤？"));
    w.setFieldText(QStringLiteral("组合框5"), QStringLiteral("答：在工地=三号楼;脚手架上 😀"));
    w.setFieldText(QStringLiteral("组合框7"), QStringLiteral("答：") + longText(30000) + QStringLiteral(" "));
    w.setFieldText(QStringLiteral("组合框38"), QStringLiteral("答：没有了。"));
    w.setFieldText(QStringLiteral("超级编辑框2"), QStringLiteral("  第一行\r\n\r\n") + longText(1200) +
                                                      QStringLiteral("\r\n") + longText(100000) +
                                                      QStringLiteral("第二行  "));
}

QHash<QString, QString> fields(const app::MainWin& w)
{
    QHash<QString, QString> out;
    for (const record::Field& f : record::readOrder())
        out.insert(record::unitName(f), w.fieldText(record::unitName(f)));
    return out;
}

// Where a program that ended before `later` started left its recovery
// file (here under the name an earlier version used).
QString leftFile(const AppFixture& later)
{
    return later.paths.scratchDir + QStringLiteral("/unsaved-record.ini");
}

// Leaves a typed record behind as a crashed run would: the recovery file in
// the scratch folder of `later`, and returns the fields as they were typed.
QHash<QString, QString> crashWithTypedRecord(AppFixture& later)
{
    AppFixture first(setIni());
    first.app->start();
    click(first.win(), "按钮1"); // nothing typed yet: nothing to keep
    const QString file = first.app->formRecovery().path();
    EXPECT_FALSE(QFileInfo::exists(file));
    type(first.win());
    click(first.win(), "按钮2");
    EXPECT_TRUE(QFileInfo::exists(file));
    struct stat st
    {
    };
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    QDir().mkpath(later.paths.scratchDir);
    EXPECT_TRUE(QFile::copy(file, leftFile(later)));
    return fields(first.win());
}

const QString kQuestion = QStringLiteral(" 上次没有保存的笔录（2012-03-05 15:00:00）还在，是否恢复？ \r\n"
                                         "选择“否”，此笔录保存在 <BL/恢复-20120305-150000.ini> 中。");

} // namespace

TEST(FormRecoveryApp, YesRestoresEveryFieldExactlyAndTheFileStaysUntilTheSave)
{
    AppFixture f(setIni(), QDateTime(QDate(2012, 3, 6), QTime(8, 0, 0)));
    const QHash<QString, QString> typed = crashWithTypedRecord(f);
    f.prompts->answerNext(platform::Answer::Yes);
    f.app->start();

    ASSERT_FALSE(f.prompts->shown().isEmpty());
    EXPECT_EQ(f.prompts->shown().first(),
              (Shown{kQuestion, QStringLiteral("提示："), platform::Buttons::YesNo}));
    EXPECT_EQ(fields(f.win()), typed);
    const QString file = f.app->formRecovery().path();
    EXPECT_TRUE(QFileInfo::exists(file));

    QAction* save = f.win().menuAction(QStringLiteral("文件"), QStringLiteral("保存(笔录及模板)"));
    ASSERT_NE(save, nullptr);
    save->trigger();
    EXPECT_FALSE(QFileInfo::exists(file)) << "a saved record needs no recovery";
    click(f.win(), "按钮2");
    EXPECT_FALSE(QFileInfo::exists(file)) << "the saved form is safe";
}

TEST(FormRecoveryApp, NoKeepsTheRecordInTheRecordsFolderAndANewRecordRemovesTheFile)
{
    AppFixture f(setIni(), QDateTime(QDate(2012, 3, 6), QTime(8, 0, 0)));
    const QHash<QString, QString> typed = crashWithTypedRecord(f);
    const QString file = f.app->formRecovery().path();
    QFile left(leftFile(f));
    ASSERT_TRUE(left.open(QIODevice::ReadOnly));
    const QByteArray bytes = left.readAll();
    left.close();

    f.prompts->answerNext(platform::Answer::No);
    f.app->start();
    EXPECT_EQ(f.prompts->shown().first().text, kQuestion);
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(QDir(f.paths.scratchDir).entryList({QStringLiteral("unsaved-record*")}).isEmpty());
    QFile kept(f.programDir() + QStringLiteral("/BL/恢复-20120305-150000.ini"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), bytes);
    EXPECT_TRUE(f.win().fieldText(QStringLiteral("编辑框14")).isEmpty());

    // The kept file opens like any template.
    f.prompts->chooseNext(kept.fileName());
    f.win().menuAction(QStringLiteral("文件"), QStringLiteral("打开(笔录模板)"))->trigger();
    EXPECT_EQ(f.win().fieldText(QStringLiteral("编辑框9")), typed.value(QStringLiteral("编辑框9")));
    EXPECT_EQ(f.win().fieldText(QStringLiteral("组合框38")), typed.value(QStringLiteral("组合框38")));

    f.win().setFieldText(QStringLiteral("组合框7"), QStringLiteral("答：补充。"));
    click(f.win(), "按钮1");
    click(f.win(), "按钮2");
    EXPECT_TRUE(QFileInfo::exists(file));
    f.prompts->answerNext(platform::Answer::Ok);
    f.win().menuAction(QStringLiteral("文件"), QStringLiteral("新建(笔录)"))->trigger();
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(FormRecoveryApp, AnUnwritableScratchFolderIsToldOnceAndTheFormIsKept)
{
    AppFixture f(setIni());
    f.app->start();
    // A file where the scratch folder should be.
    QDir(f.paths.scratchDir).removeRecursively();
    QFile blocker(f.paths.scratchDir);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    type(f.win());
    click(f.win(), "按钮1");
    click(f.win(), "按钮2");
    EXPECT_TRUE(f.win().statusMessage().startsWith(QStringLiteral("笔录恢复文件无法写入：")))
        << f.win().statusMessage().toStdString();
    f.win().setStatusMessage(QStringLiteral("别的状态"));
    click(f.win(), "按钮1");
    EXPECT_EQ(f.win().statusMessage(), QStringLiteral("别的状态"));
    EXPECT_EQ(f.win().fieldText(QStringLiteral("编辑框9")), QStringLiteral("张某"));
}

TEST(FormRecoveryApp, ReplacingTheFormKeepsTheUnsavedRecordInTheRecordsFolderFirst)
{
    const auto trigger = [](AppFixture& f, const char* item) {
        f.win().menuAction(QStringLiteral("文件"), QString::fromUtf8(item))->trigger();
    };
    struct Case
    {
        const char* what;
        std::function<void(AppFixture&, const QString& other)> replace;
        QString nameAfter; // the interviewee the form shows afterwards
    };
    const QList<Case> cases = {
        {"打开(笔录模板)",
         [&](AppFixture& f, const QString& other) {
             f.prompts->chooseNext(other);
             trigger(f, "打开(笔录模板)");
         },
         QStringLiteral("李某")},
        {"查找笔录... (Enter)",
         [](AppFixture& f, const QString& other) { f.app->records().openTemplateAt(other); },
         QStringLiteral("李某")},
        {"新建(笔录) without a work unit", [&](AppFixture& f, const QString&) { trigger(f, "新建(笔录)"); },
         QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AppFixture f(setIni());
        const QString other =
            f.dir.write(QStringLiteral("其他笔录.ini"), gbk(QStringLiteral("[set]\r\nnum10=李某\r\n")));
        f.app->start();
        type(f.win());
        f.win().setFieldText(QStringLiteral("编辑框14"), QString()); // "新建" asks nothing then
        const QHash<QString, QString> typed = fields(f.win());
        click(f.win(), "按钮1");
        ASSERT_TRUE(QFileInfo::exists(f.app->formRecovery().path()));

        c.replace(f, other);
        EXPECT_TRUE(f.prompts->shown().isEmpty());
        EXPECT_EQ(f.win().fieldText(QStringLiteral("编辑框9")), c.nameAfter);
        EXPECT_EQ(f.win().statusMessage(),
                  QStringLiteral("未保存的笔录已另存为 <BL/恢复-20120305-150000.ini>"));
        EXPECT_FALSE(QFileInfo::exists(f.app->formRecovery().path()));

        // The kept record opens like any template, and the next start that
        // finds it left gives every value back exactly.
        const QString kept = f.programDir() + QStringLiteral("/BL/恢复-20120305-150000.ini");
        struct stat st
        {
        };
        ASSERT_EQ(::stat(QFile::encodeName(kept).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << "a record is the officer's alone";
        const platform::ProfileIni ini = platform::ProfileIni::load(kept);
        EXPECT_EQ(ini.value(QStringLiteral("set"), QStringLiteral("num10")), QStringLiteral("张某"));
        AppFixture later(setIni());
        QDir().mkpath(later.paths.scratchDir);
        ASSERT_TRUE(QFile::copy(kept, leftFile(later)));
        later.prompts->answerNext(platform::Answer::Yes);
        later.app->start();
        EXPECT_EQ(fields(later.win()), typed);
    }

    // Where it cannot be kept, the form is not replaced.
    AppFixture f(setIni());
    const QString other =
        f.dir.write(QStringLiteral("其他笔录.ini"), gbk(QStringLiteral("[set]\r\nnum10=李某\r\n")));
    f.dir.write(QStringLiteral("program/BL"), "a file where the folder belongs");
    f.app->start();
    type(f.win());
    f.prompts->chooseNext(other);
    trigger(f, "打开(笔录模板)");
    EXPECT_EQ(f.prompts->shown(),
              (QList<Shown>{
                  {QStringLiteral(
                       "没有保存的笔录无法另存到 <BL/恢复-20120305-150000.ini>：路径中有一部分不是目录\r\n"
                       "笔录没有被替换。"),
                   QStringLiteral("提示："), platform::Buttons::Ok}}));
    EXPECT_EQ(f.win().fieldText(QStringLiteral("编辑框9")), QStringLiteral("张某"));
}

TEST(FormRecoveryApp, QuitAndClosingTheWindowKeepTheFormAsItWasAtTheEnd)
{
    for (const bool quit : {true, false}) {
        SCOPED_TRACE(quit ? "退出" : "the window closed");
        AppFixture f(setIni());
        f.app->start();
        // Typed after the last switch of view and within 30 s.
        f.win().setFieldText(QStringLiteral("编辑框9"), QStringLiteral("张某"));
        const QString file = f.app->formRecovery().path();
        EXPECT_FALSE(QFileInfo::exists(file));
        if (quit) {
            f.win().menuAction(QStringLiteral("文件"), QStringLiteral("退出"))->trigger();
            EXPECT_EQ(f.exitCode, 0);
        } else {
            EXPECT_TRUE(f.win().close());
        }
        f.app.reset(); // the program ends
        ASSERT_TRUE(QFileInfo::exists(file));
        EXPECT_EQ(platform::ProfileIni::load(file).value(QStringLiteral("set"), QStringLiteral("num10")),
                  QStringLiteral("张某"));
    }
}
