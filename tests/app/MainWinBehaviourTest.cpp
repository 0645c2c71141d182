#include "AppFixture.h"

#include "app/StatusText.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;

TEST(MainWinViews, SecondAndFirstView)
{
    AppFixture f;
    app::MainWin& w = f.win();
    auto* next = w.control<QPushButton>(QStringLiteral("按钮1"));
    auto* back = w.control<QPushButton>(QStringLiteral("按钮2"));
    w.setFieldText(QStringLiteral("组合框37"), QStringLiteral("问：第十一对"));

    next->click();
    EXPECT_TRUE(w.control(QStringLiteral("分组框1"))->isHidden());
    EXPECT_TRUE(w.control(QStringLiteral("分组框2"))->isHidden());
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(back->isEnabled());
    EXPECT_EQ(w.control(QStringLiteral("分组框3"))->geometry(), QRect(1, 59, 517, 510));
    EXPECT_EQ(w.control(QStringLiteral("分组框4"))->geometry(), QRect(519, 59, 500, 510));
    EXPECT_FALSE(w.control(QStringLiteral("分组框3"))->isHidden());
    EXPECT_FALSE(w.control(QStringLiteral("分组框4"))->isHidden());
    next->click(); // disabled: nothing happens
    EXPECT_FALSE(back->isHidden());

    back->click();
    EXPECT_FALSE(w.control(QStringLiteral("分组框1"))->isHidden());
    EXPECT_FALSE(w.control(QStringLiteral("分组框2"))->isHidden());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(back->isEnabled());
    // Pages 3 and 4 stay visible, moved beyond the right edge.
    EXPECT_EQ(w.control(QStringLiteral("分组框3"))->geometry(), QRect(1660, 59, 517, 510));
    EXPECT_EQ(w.control(QStringLiteral("分组框4"))->geometry(), QRect(1660, 59, 500, 510));
    EXPECT_FALSE(w.control(QStringLiteral("分组框3"))->isHidden());
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框37")), QStringLiteral("问：第十一对"));
}

TEST(MainWinViews, CaseNoteToggleCoversTheRightPage)
{
    AppFixture f;
    app::MainWin& w = f.win();
    QWidget* note = w.control(QStringLiteral("分组框6"));
    auto* toggle = w.control<QPushButton>(QStringLiteral("按钮5"));
    toggle->click();
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->geometry(), QRect(519, 59, 500, 510)); // over page 2
    toggle->click();
    EXPECT_TRUE(note->isHidden());
    w.control<QPushButton>(QStringLiteral("按钮1"))->click();
    toggle->click();
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->geometry(), w.control(QStringLiteral("分组框4"))->geometry()); // over page 4
    toggle->click();
    EXPECT_TRUE(note->isHidden());
}

TEST(MainWinViews, TextPanelShowsAndCloses)
{
    AppFixture f;
    app::MainWin& w = f.win();
    w.showTextPanel(QStringLiteral("第一行\r\n第二行"));
    QWidget* viewer = w.control(QStringLiteral("超级编辑框1"));
    EXPECT_EQ(viewer->geometry(), QRect(1, 64, 1017, 506));
    for (const char* unit : {"超级编辑框1", "按钮6", "按钮3"})
        EXPECT_FALSE(w.control(QString::fromUtf8(unit))->isHidden()) << unit;
    w.control<QPushButton>(QStringLiteral("按钮3"))->click();
    for (const char* unit : {"超级编辑框1", "按钮6", "按钮3"})
        EXPECT_TRUE(w.control(QString::fromUtf8(unit))->isHidden()) << unit;
    // The text stays in the panel.
    EXPECT_EQ(w.fieldText(QStringLiteral("超级编辑框1")), QStringLiteral("第一行\r\n第二行"));
}

TEST(MainWinSuggestions, ListChoiceAddsEntriesTypingDoesNot)
{
    AppFixture f;
    app::MainWin& w = f.win();
    auto* q2 = w.control<QComboBox>(QStringLiteral("组合框6"));
    auto* q3 = w.control<QComboBox>(QStringLiteral("组合框8"));

    // Typing raises no list choice.
    w.show();
    QTest::keyClicks(q2->lineEdit(), QStringLiteral("abc"));
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框7")), (QStringList{QStringLiteral("答：")}));

    // A choice with an empty name adds "答：".
    emit q2->activated(0);
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框7")),
              (QStringList{QStringLiteral("答："), QStringLiteral("答：")}));
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("张三"));
    emit q2->activated(0);
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框7")).first(), QStringLiteral("答：张三"));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框7")), QString()); // the text is not changed

    w.setFieldText(QStringLiteral("编辑框14"), QStringLiteral("某某公司"));
    emit q3->activated(0);
    emit q3->activated(0);
    EXPECT_EQ(
        w.listEntries(QStringLiteral("组合框9")),
        (QStringList{QStringLiteral("答：某某公司"), QStringLiteral("答：某某公司"),
                     QStringLiteral("答：会计"), QStringLiteral("答：农民工"), QStringLiteral("答：")}));
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框10")),
              (QStringList{QStringLiteral("问：某某公司负责人是谁？"),
                           QStringLiteral("问：某某公司负责人是谁？"), QStringLiteral("问：")}));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框10")), QString());
}

TEST(MainWinSuggestions, PickingFromTheListIsAListChoice)
{
    AppFixture f;
    app::MainWin& w = f.win();
    w.setFieldText(QStringLiteral("编辑框9"), QStringLiteral("李四"));
    w.show();
    auto* q2 = w.control<QComboBox>(QStringLiteral("组合框6"));
    q2->showPopup();
    QAbstractItemView* view = q2->view();
    ASSERT_NE(view, nullptr);
    const QRect item = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框6")), QStringLiteral("问："));
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框7")).first(), QStringLiteral("答：李四"));
}

TEST(StatusClock, TextsOfTheTimeOfDay)
{
    struct Case
    {
        QTime time;
        QString expected;
    };
    const Case cases[] = {
        {QTime(15, 7, 9), QStringLiteral("15时7分9秒")}, {QTime(9, 0, 5), QStringLiteral("9时0分5秒")},
        {QTime(9, 5, 0), QStringLiteral("9时5分")},      {QTime(9, 0, 0), QStringLiteral("9时")},
        {QTime(15, 0, 0), QStringLiteral("15时")},       {QTime(0, 0, 0), QString()},
        {QTime(0, 0, 1), QStringLiteral("0时0分1秒")},   {QTime(0, 30, 0), QStringLiteral("0时30分")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::clockTimeOfDay(c.time), c.expected) << c.time.toString().toStdString();
    EXPECT_EQ(app::statusBarText(QStringLiteral(" 程 序 版 本 V 2.3"),
                                 QDateTime(QDate(2012, 3, 5), QTime(9, 5, 0))),
              QStringLiteral(" 程 序 版 本 V 2.3              当前日期： 2012年3月5日    9时5分"));
    EXPECT_EQ(app::statusBarText(QString(), QDateTime(QDate(2026, 12, 31), QTime(0, 0, 0))),
              QStringLiteral("              当前日期： 2026年12月31日    "));
}

TEST(StatusClock, TickShowsTheStatusMessageAndReplacesPartZero)
{
    AppFixture f(QByteArray(), QDateTime(QDate(2012, 3, 5), QTime(9, 0, 0)));
    app::MainWin& w = f.win();
    w.setStatusMessage(QStringLiteral("打 印 成 功！"));
    w.setStatusPart0(QStringLiteral("打印成功..."));
    // The real timer: within a second part 0 is the clock text again.
    const QString expected = QStringLiteral("打 印 成 功！              当前日期： 2012年3月5日    9时");
    QElapsedTimer t;
    t.start();
    while (w.statusPart0() != expected && t.elapsed() < 2500)
        QTest::qWait(20);
    EXPECT_EQ(w.statusPart0(), expected);
}

TEST(MainWinViews, PanelsHideWhatLiesUnderThem)
{
    AppFixture f;
    app::MainWin& w = f.win();
    w.control<QPushButton>(QStringLiteral("按钮5"))->click();
    w.show();
    QWidget* note = w.control(QStringLiteral("分组框6"));
    EXPECT_TRUE(note->autoFillBackground());
    // Under the middle of the panel's empty top band lies page 2's heading.
    const QPoint probe = note->mapTo(w.centralWidget(), QPoint(300, 30));
    EXPECT_EQ(w.centralWidget()->childAt(probe), note);
    // The narrow buttons stay reachable over it, in both views.
    for (bool second : {false, true}) {
        if (second)
            w.control<QPushButton>(QStringLiteral("按钮1"))->click();
        for (const char* unit : {"按钮5", "按钮2", "按钮1"}) {
            QWidget* button = w.control(QString::fromUtf8(unit));
            EXPECT_EQ(w.centralWidget()->childAt(button->geometry().center()), button) << unit;
        }
    }
}

TEST(MainWinMenus, TheRecordsCommandsHaveTheirShortcutsAndNothingElseHasOne)
{
    AppFixture f;
    const std::pair<const char*, const char*> withKeys[] = {{"新建(笔录)", "Ctrl+N"},
                                                            {"打开(笔录模板)", "Ctrl+O"},
                                                            {"保存(笔录及模板)", "Ctrl+S"},
                                                            {"打印(笔录)", "Ctrl+P"}};
    for (const auto& [item, key] : withKeys) {
        QAction* action = f.win().menuAction(QStringLiteral("文件"), QString::fromUtf8(item));
        ASSERT_NE(action, nullptr) << item;
        EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText), QString::fromUtf8(key)) << item;
    }
    int withShortcut = 0;
    for (QAction* action : f.win().findChildren<QAction*>())
        if (!action->shortcut().isEmpty() && action->objectName().contains(QLatin1Char('/')))
            ++withShortcut;
    EXPECT_EQ(withShortcut, 4);
}
