// The reference-library entries in the running window: every law and help
// entry shows its whole text in the panel, "打  印" prints the file shown,
// the links and tools touch no control, the find field, and TextWin at
// start-up and for each new record.
#include "AppFixture.h"

#include "app/MenuTree.h"
#include "app/TextBindings.h"
#include "app/TextFind.h"
#include "app/TextWin.h"
#include "library/LawTexts.h"
#include "library/Links.h"
#include "platform/Text.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;

namespace {

const QByteArray kNoPopUp = gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n"));

QStringList menuItems(const QString& title)
{
    for (const app::MenuSpec& m : app::menuTree())
        if (m.title == title)
            return m.items;
    return {};
}

void trigger(app::MainWin& w, const QString& menu, const QString& item)
{
    QAction* action = w.menuAction(menu, item);
    ASSERT_NE(action, nullptr) << item.toStdString();
    action->trigger();
}

QPlainTextEdit* viewer(app::MainWin& w)
{
    return w.control<QPlainTextEdit>(QStringLiteral("超级编辑框1"));
}

// Types Chinese text the way an input method commits it.
void type(QLineEdit* field, const QString& text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(field, &commit);
}

bool panelShown(app::MainWin& w)
{
    return !viewer(w)->isHidden() && !w.control(QStringLiteral("按钮3"))->isHidden() &&
           !w.control(QStringLiteral("按钮6"))->isHidden();
}

// Every control's text and visibility, to see that a command changed none.
QStringList snapshot(app::MainWin& w)
{
    QStringList out;
    for (const app::ControlSpec& c : app::mainWinLayout())
        out << c.unit + QLatin1Char('=') + w.fieldText(c.unit) +
                   (w.control(c.unit)->isHidden() ? QStringLiteral("/h") : QStringLiteral("/v")) +
                   QString::number(w.control(c.unit)->x());
    return out;
}

TEST(TextPanel, EveryLawAndHelpEntryShowsItsWholeTextFromTheFileItNames)
{
    AppFixture f(kNoPopUp);
    f.app->start();
    app::MainWin& w = f.win();

    // The catalogue follows the menus: all of "法律法规" in order, and the
    // text entries of "帮助" in their order.
    QStringList laws, help;
    for (const library::TextEntry& e : library::textCatalogue())
        (e.menu == QStringLiteral("法律法规") ? laws : help) << e.caption;
    EXPECT_EQ(laws, menuItems(QStringLiteral("法律法规")));
    QStringList helpTexts = menuItems(QStringLiteral("帮助"));
    helpTexts.removeAll(QStringLiteral("官方网站"));
    helpTexts.removeAll(QStringLiteral("联系作者"));
    EXPECT_EQ(help, helpTexts);

    f.dir.write(QStringLiteral("program/市镇县乡村劳动保障监察员联系方式.txt"),
                gbk(QStringLiteral("南湖街道劳动保障事务所 王明 0000-0000000\r\n最后一行\r\n")));
    for (const library::TextEntry& e : library::textCatalogue()) {
        SCOPED_TRACE(e.caption.toStdString());
        viewer(w)->clear();
        trigger(w, e.menu, e.caption);
        const QString path = f.session().shownTextFile;
        const bool embedded = e.source == library::TextEntry::Source::Embedded;
        EXPECT_EQ(path, (embedded ? f.paths.scratchDir : f.programDir()) + QLatin1Char('/') + e.fileName);
        EXPECT_TRUE(panelShown(w));
        EXPECT_EQ(viewer(w)->geometry(), QRect(1, 64, 1017, 506));
        // The panel holds the file decoded, to its last line.
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const QString expected =
            platform::decodeText(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(viewer(w)->toPlainText(), expected);
        if (e.source == library::TextEntry::Source::Embedded) {
            EXPECT_EQ(bytes, library::embeddedText(e));
        }
    }
    // "软件帮助" without 帮助.txt: an empty panel with its buttons.
    EXPECT_EQ(f.session().shownTextFile, f.programDir() + QStringLiteral("/帮助.txt"));
    EXPECT_EQ(viewer(w)->toPlainText(), QString());
    EXPECT_TRUE(panelShown(w));

    // The longest text loads whole, up to its last question.
    trigger(w, QStringLiteral("法律法规"), QStringLiteral("劳动合同法200问"));
    EXPECT_TRUE(viewer(w)->toPlainText().contains(QStringLiteral("200．问：")));
    viewer(w)->verticalScrollBar()->setValue(viewer(w)->verticalScrollBar()->maximum());
    EXPECT_GT(viewer(w)->document()->blockCount(), 600);

    // Close, then "打  印" is out of reach; after another text it prints that one.
    w.control<QPushButton>(QStringLiteral("按钮3"))->click();
    EXPECT_TRUE(viewer(w)->isHidden());
    EXPECT_TRUE(w.control(QStringLiteral("按钮6"))->isHidden());
    EXPECT_EQ(f.session().shownTextFile, f.paths.scratchDir + QStringLiteral("/az.txt"));
    trigger(w, QStringLiteral("帮助"), QStringLiteral("笔录制作过程"));
    w.control<QPushButton>(QStringLiteral("按钮6"))->click();
    EXPECT_TRUE(
        f.engine->calls().contains(QStringLiteral("open ") + f.paths.scratchDir + QStringLiteral("/js.txt")))
        << f.engine->calls().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(w.statusPart0(), QStringLiteral("打印成功..."));
}

TEST(TextPanel, LinksAndToolsGoToTheShellAndChangeNoControl)
{
    AppFixture f(kNoPopUp);
    f.app->start();
    app::MainWin& w = f.win();
    QStringList provinces;
    for (const library::Link& l : library::linkTable())
        if (l.menu == QStringLiteral("劳动保障网络(全国)"))
            provinces << l.caption;
    EXPECT_EQ(provinces, menuItems(QStringLiteral("劳动保障网络(全国)")));
    EXPECT_EQ(provinces.last(), QStringLiteral("黑龙江省"));

    const QStringList before = snapshot(w);
    QStringList expected;
    for (const library::Link& l : library::linkTable()) {
        trigger(w, l.menu, l.caption);
        expected << l.address;
    }
    EXPECT_EQ(f.shell->addresses(), expected);
    trigger(w, QStringLiteral("工具"), QStringLiteral("计算器"));
    trigger(w, QStringLiteral("工具"), QStringLiteral("文本文档"));
    ASSERT_EQ(f.shell->started().size(), 2);
    EXPECT_EQ(f.shell->started()[0].program, QStringLiteral("calc.exe"));
    EXPECT_EQ(f.shell->started()[1].program, QStringLiteral("notepad.exe"));
    trigger(w, QStringLiteral("帮助"), QStringLiteral("联系作者"));
    ASSERT_EQ(f.prompts->shown().size(), 1);
    EXPECT_EQ(f.prompts->shown()[0].title, QStringLiteral("作者信息："));
    EXPECT_EQ(f.prompts->shown()[0].text, library::contactMessage());
    EXPECT_EQ(snapshot(w), before);
}

TEST(TextPanel, FindFieldFindsNextAndPreviousHighlightsAndClosesOnEscape)
{
    AppFixture f(kNoPopUp);
    f.app->start();
    app::MainWin& w = f.win();
    trigger(w, QStringLiteral("法律法规"), QStringLiteral("最新劳动合同法"));
    app::TextFind* find = app::findFieldOf(viewer(w));
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isHidden());
    EXPECT_EQ(find->field()->placeholderText(), QStringLiteral("查找（如 第十条）"));
    QStringList tips;
    for (const QToolButton* b : find->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly))
        tips << b->text() + QLatin1Char(' ') + b->toolTip();
    EXPECT_EQ(tips, (QStringList{QStringLiteral("▲ 上一个"), QStringLiteral("▼ 下一个"),
                                 QStringLiteral("✕ 关闭查找")}));

    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    if (find->isHidden()) // no active window on this platform plugin
        find->open();
    ASSERT_TRUE(find->isVisible());

    // Typing finds from the top of the view; Enter goes on, wrapping around.
    type(find->field(), QStringLiteral("第九十八条"));
    EXPECT_EQ(viewer(w)->textCursor().selectedText(), QStringLiteral("第九十八条"));
    const int at = viewer(w)->textCursor().selectionStart();
    ASSERT_EQ(viewer(w)->extraSelections().size(), 1);
    EXPECT_EQ(viewer(w)->extraSelections()[0].cursor.selectionStart(), at);
    QTest::keyClick(find->field(), Qt::Key_Return);
    EXPECT_EQ(viewer(w)->textCursor().selectionStart(), at); // one occurrence: found again

    find->field()->clear();
    type(find->field(), QStringLiteral("试用期"));
    const int first = viewer(w)->textCursor().selectionStart();
    QTest::keyClick(find->field(), Qt::Key_Return);
    const int second = viewer(w)->textCursor().selectionStart();
    EXPECT_GT(second, first);
    QTest::keyClick(find->field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(viewer(w)->textCursor().selectionStart(), first);
    QTest::keyClick(find->field(), Qt::Key_Return, Qt::ShiftModifier); // before the first: wraps to the last
    EXPECT_GT(viewer(w)->textCursor().selectionStart(), second);

    find->field()->clear();
    type(find->field(), QStringLiteral("没有这句话"));
    EXPECT_TRUE(find->field()->property("notFound").toBool());
    EXPECT_FALSE(find->findNext());

    QTest::keyClick(find->field(), Qt::Key_Escape);
    EXPECT_TRUE(find->isHidden());
    EXPECT_TRUE(viewer(w)->extraSelections().isEmpty());
    EXPECT_TRUE(panelShown(w)); // Esc closes only the find field
}

TEST(TextPanel, TheShippedHelpCoversEveryMenuAndTheExampleContactsAreGbk)
{
    const QString help =
        platform::decodeText(test::readFile(test::sourcePath(QStringLiteral("examples/帮助.txt"))));
    ASSERT_FALSE(help.isEmpty());
    EXPECT_FALSE(help.contains(QChar::ReplacementCharacter));
    for (const app::MenuSpec& m : app::menuTree()) {
        EXPECT_TRUE(help.contains(QStringLiteral("“") + m.title + QStringLiteral("”菜单")))
            << m.title.toStdString();
        // Every item of the short menus is explained by name.
        if (m.items.size() > 6)
            continue;
        for (const QString& item : m.items) {
            EXPECT_TRUE(help.contains(item)) << item.toStdString();
        }
    }
    EXPECT_TRUE(help.contains(QStringLiteral("tanchu=0")));
    EXPECT_TRUE(help.contains(QStringLiteral("Ctrl+F")));
    const QByteArray contacts =
        test::readFile(test::sourcePath(QStringLiteral("examples/市镇县乡村劳动保障监察员联系方式.txt")));
    EXPECT_TRUE(platform::decodeText(contacts).contains(QStringLiteral("劳动保障监察员联系方式")));
    EXPECT_EQ(contacts.count('\n'), contacts.count("\r\n"));
}

TEST(TextWin, PopsUpUnlessTanchuIsExactlyZeroAtStartAndForEveryNewRecord)
{
    struct Case
    {
        const char* ini; // nullptr: no Set.ini at all
        int popUps;
    };
    const Case cases[] = {{"[pop]\r\ntanchu=0\r\n", 0},   {"[pop]\r\ntanchu= 0 \r\n", 0},
                          {"[pop]\r\ntanchu=00\r\n", 1},  {"[pop]\r\ntanchu=1\r\n", 1},
                          {"[pop]\r\ntanchu=\r\n", 1},    {"[pop]\r\n", 1},
                          {"[other]\r\ntanchu=0\r\n", 1}, {nullptr, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini ? c.ini : "no Set.ini");
        AppFixture f(c.ini ? gbk(QString::fromUtf8(c.ini)) : QByteArray());
        f.app->start();
        EXPECT_EQ(f.textWins, c.popUps);
        trigger(f.win(), QStringLiteral("文件"), QStringLiteral("新建(笔录)"));
        EXPECT_EQ(f.textWins, 2 * c.popUps);
    }
}

TEST(TextWin, IsTheDesignedModalReaderAndStartUpWaitsForIt)
{
    app::TextWin win;
    EXPECT_EQ(win.objectName(), QStringLiteral("TextWin"));
    EXPECT_EQ(win.windowTitle(), QString(33, QLatin1Char(' ')) + QStringLiteral("新工伤保险条例"));
    const Qt::WindowFlags flags = win.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(win.isModal());
    EXPECT_EQ(win.minimumSize(), win.maximumSize());
    EXPECT_EQ(win.size(), QSize(667, 589));

    auto* text = win.control<QPlainTextEdit>(QStringLiteral("编辑框1"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->geometry(), QRect(0, 0, 664, 552));
    EXPECT_EQ(text->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(text->palette().color(QPalette::Base), QColor(236, 236, 236));
    // Drawn grey also under the main window's style sheet and skin.
    QWidget skinned;
    skinned.setStyleSheet(
        QStringLiteral("QWidget { background: white; } QPlainTextEdit { background: white; }"));
    app::TextWin inSkin(&skinned);
    auto* skinnedText = inSkin.control<QPlainTextEdit>(QStringLiteral("编辑框1"));
    EXPECT_EQ(skinnedText->viewport()->grab().toImage().pixelColor(2, 2), QColor(236, 236, 236));
    EXPECT_EQ(text->toPlainText(), platform::decodeText(library::workInjuryRegulation())
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    auto* button = win.control<QPushButton>(QStringLiteral("超级按钮1"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(243, 556, 174, 28));
    EXPECT_EQ(button->text(), QStringLiteral("知 道"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("以上规则我以熟读."));
    for (const app::ControlSpec& c : app::textWinLayout())
        EXPECT_EQ(win.control(c.unit)->geometry(), c.geometry);
    // Only the button closes it: not Esc.
    win.show();
    QTest::keyClick(&win, Qt::Key_Escape);
    EXPECT_TRUE(win.isVisible());
    button->click();
    EXPECT_FALSE(win.isVisible());
    EXPECT_EQ(win.result(), int(QDialog::Accepted));

    // The real pop-up at start-up: modal, the rest of start-up waits until
    // "知 道" is clicked.
    AppFixture f(gbk(QStringLiteral("[pop]\r\ntanchu=1\r\n[biludidian]\r\ndidian1=甲地\r\n")));
    f.app->texts().openTextWin = [&] { f.app->texts().showTextWin(); };
    QString seenTitle;
    QString placeWhileOpen = QStringLiteral("unset");
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<app::TextWin*>(QApplication::activeModalWidget())) {
            seenTitle = modal->windowTitle();
            placeWhileOpen = f.win().fieldText(QStringLiteral("编辑框8"));
            modal->control<QPushButton>(QStringLiteral("超级按钮1"))->click();
        }
    });
    poll->start();
    f.app->start();
    poll->stop();
    delete poll;
    EXPECT_EQ(seenTitle, app::textWinTitle());
    EXPECT_NE(placeWhileOpen, QStringLiteral("甲地")); // the default places came later
    EXPECT_EQ(f.win().fieldText(QStringLiteral("编辑框8")), QStringLiteral("甲地"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
