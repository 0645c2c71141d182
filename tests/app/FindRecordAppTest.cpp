// "查找笔录..." as the officer uses it: the menu opens the finder over the
// records folder, typing narrows the list, Enter or a double click opens the
// record into the window the way "打开(笔录模板)" does.
#include "AppFixture.h"
#include "doubles/ScriptedPrompts.h"

#include "app/FindRecordDialog.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;

namespace {

QByteArray setIni()
{
    return gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n"));
}

app::FindRecordDialog* openFinder(app::MainWin& w)
{
    w.menuAction(QStringLiteral("文件"), QStringLiteral("查找笔录..."))->trigger();
    auto* dialog = w.findChild<app::FindRecordDialog*>();
    if (dialog) {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isModal());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    return dialog;
}

// Types `text` as an input method commits it, one character at a time.
void type(QLineEdit* field, const QString& text)
{
    for (const QChar c : text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(field, &commit);
    }
}

// True once the finder has gone (it deletes itself when closed).
bool finderClosed(app::MainWin& w)
{
    QElapsedTimer t;
    t.start();
    while (w.findChild<app::FindRecordDialog*>() && t.elapsed() < 5000)
        QTest::qWait(10);
    return !w.findChild<app::FindRecordDialog*>();
}

QStringList row(const QTreeView* view, int r)
{
    QStringList out;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        out << view->model()->index(r, c).data().toString();
    return out;
}

void saveRecord(app::MainWin& w, const QString& unit, const QString& name, const QString& question,
                const QString& answer)
{
    w.setFieldText(QStringLiteral("编辑框6"), QStringLiteral("11"));
    w.setFieldText(QStringLiteral("编辑框7"), QStringLiteral("15"));
    w.setFieldText(QStringLiteral("编辑框14"), unit);
    w.setFieldText(QStringLiteral("编辑框9"), name);
    w.setFieldText(QStringLiteral("组合框4"), question);
    w.setFieldText(QStringLiteral("组合框5"), answer);
    w.menuAction(QStringLiteral("文件"), QStringLiteral("保存(笔录及模板)"))->trigger();
}

} // namespace

TEST(FindRecordApp, AnEmptyRecordsFolderShowsAHintAndEscCloses)
{
    AppFixture f(setIni());
    f.app->start();
    app::FindRecordDialog* d = openFinder(f.win());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("查找笔录"));
    EXPECT_EQ(d->filterField()->placeholderText(),
              QStringLiteral("输入字词筛选：日期、单位、姓名、问题或回答（多个词用空格分开）"));
    EXPECT_EQ(d->list()->model()->rowCount(), 0);
    EXPECT_EQ(d->countLabel()->text(), QStringLiteral("共 0 份笔录"));
    EXPECT_FALSE(d->hintLabel()->isHidden());
    EXPECT_EQ(d->hintLabel()->text(),
              QStringLiteral("目录 <") + f.programDir() +
                  QStringLiteral("/BL> 中还没有笔录模板。保存笔录后，它的模板会列在这里。"));
    QTest::keyClick(d->filterField(), Qt::Key_Escape);
    EXPECT_TRUE(finderClosed(f.win()));
}

TEST(FindRecordApp, SavedRecordsAreListedTypingNarrowsAndEnterOpensTheRecord)
{
    AppFixture f(setIni());
    f.app->start();
    app::MainWin& w = f.win();
    saveRecord(w, QStringLiteral("青山建筑公司"), QStringLiteral("张三"),
               QStringLiteral("问：你在哪里工作？"), QStringLiteral("答：在工地砌墙。"));
    f.clock->set(QDateTime(QDate(2012, 3, 6), QTime(9, 0, 0)));
    w.setFieldText(QStringLiteral("编辑框3"), QStringLiteral("6"));
    saveRecord(w, QStringLiteral("绿水饭店"), QStringLiteral("李四"), QStringLiteral("问：你的职务？"),
               QStringLiteral("答：厨师。"));
    const QString bl = f.programDir() + QStringLiteral("/BL/");
    f.dir.write(QStringLiteral("program/BL/坏文件.ini"), gbk(QStringLiteral("这不是模板\r\n")));
    ASSERT_EQ(f.programDir(), f.dir.file(QStringLiteral("program")));

    app::FindRecordDialog* d = openFinder(w);
    ASSERT_NE(d, nullptr);
    QTreeView* view = d->list();
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << view->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{QStringLiteral("日期"), QStringLiteral("工作单位"),
                                    QStringLiteral("被询问人"), QStringLiteral("第一个问题")}));
    ASSERT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(row(view, 0), (QStringList{QStringLiteral("2012-03-06"), QStringLiteral("绿水饭店"),
                                         QStringLiteral("李四"), QStringLiteral("问：你的职务？")}));
    EXPECT_EQ(row(view, 1), (QStringList{QStringLiteral("2012-03-05"), QStringLiteral("青山建筑公司"),
                                         QStringLiteral("张三"), QStringLiteral("问：你在哪里工作？")}));
    EXPECT_EQ(d->countLabel()->text(), QStringLiteral("共 2 份笔录；1 个文件无法读取，未列出"));
    EXPECT_EQ(d->countLabel()->toolTip(), QStringLiteral("坏文件.ini：不是笔录模板（文件中没有 [set] 节）"));
    EXPECT_TRUE(d->hintLabel()->isHidden());

    type(d->filterField(), QStringLiteral("不存在"));
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_EQ(d->countLabel()->text(), QStringLiteral("找到 0 份，共 2 份笔录；1 个文件无法读取，未列出"));
    EXPECT_EQ(d->hintLabel()->text(), QStringLiteral("没有符合筛选条件的笔录。"));
    EXPECT_FALSE(d->hintLabel()->isHidden());

    d->filterField()->clear();
    type(d->filterField(), QStringLiteral("砌墙"));
    ASSERT_EQ(view->model()->rowCount(), 1);
    EXPECT_EQ(row(view, 0)[2], QStringLiteral("张三"));
    EXPECT_EQ(d->countLabel()->text(), QStringLiteral("找到 1 份，共 2 份笔录；1 个文件无法读取，未列出"));

    // Clear the form, then Enter on the list opens the record.
    f.prompts->clear();
    f.prompts->answerNext(platform::Answer::Ok);
    w.menuAction(QStringLiteral("文件"), QStringLiteral("新建(笔录)"))->trigger();
    ASSERT_EQ(w.fieldText(QStringLiteral("编辑框9")), QString());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(finderClosed(w));
    const QString zhang = bl + QStringLiteral("2012.3.5-青山建筑公司-张三.ini");
    EXPECT_EQ(f.session().lastChosenFile, zhang);
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框9")), QStringLiteral("张三"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框14")), QStringLiteral("青山建筑公司"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框3")), QStringLiteral("5"));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框5")), QStringLiteral("答：在工地砌墙。"));
    EXPECT_EQ(f.prompts->shown().size(), 1); // only the question of "新建(笔录)"

    // The finder again: a record saved meanwhile is listed; a double click
    // opens; a record whose file went away is told like "打开(笔录模板)".
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("王五"));
    saveRecord(w, QStringLiteral("青山建筑公司"), QStringLiteral("王五"), QStringLiteral("问：合同签了吗？"),
               QStringLiteral("答：没有。"));
    d = openFinder(w);
    ASSERT_NE(d, nullptr);
    view = d->list();
    type(d->filterField(), QStringLiteral("青山 王"));
    ASSERT_EQ(view->model()->rowCount(), 1);
    QFile::remove(bl + QStringLiteral("2012.3.5-青山建筑公司-王五.ini"));
    f.prompts->clear();
    const QRect cell = view->visualRect(view->model()->index(0, 1));
    // A double click: the press selects the row, the second press arrives
    // as a double-click event.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QMouseEvent twice(QEvent::MouseButtonDblClick, cell.center(),
                      view->viewport()->mapToGlobal(cell.center()), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &twice);
    EXPECT_TRUE(finderClosed(w));
    EXPECT_EQ(f.prompts->shown(), (QList<platform::ScriptedPrompts::Shown>{
                                      {QStringLiteral("笔录模板没有打开：\r\n") + bl +
                                           QStringLiteral("2012.3.5-青山建筑公司-王五.ini：文件不存在"),
                                       QStringLiteral("打开失败："), platform::Buttons::Ok}}));
}
