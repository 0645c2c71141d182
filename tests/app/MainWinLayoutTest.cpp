#include "AppFixture.h"

#include "app/MainWinLayout.h"
#include "app/MenuTree.h"
#include "record/RecordFields.h"
#include "support/AccessibleNames.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>

using namespace quillan;
using quillan::test::AppFixture;

namespace {

struct Documented
{
    QString unit, type, parent;
    QRect geometry;
    QString caption;
    QStringList items;
    QStringList flags;
};

std::vector<Documented> documentedLayout()
{
    QFile file(QStringLiteral(QUILLAN_SOURCE_DIR "/tests/app/documented-layout.txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "tests/app/documented-layout.txt is missing";
    std::vector<Documented> out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char(';'));
        EXPECT_EQ(f.size(), 10) << line.toStdString();
        if (f.size() != 10)
            continue;
        Documented d{f[0], f[1], f[2], QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt()),
                     f[7], {},   {}};
        if (!f[8].isEmpty())
            for (const QString& item : f[8].split(QLatin1Char('/')))
                d.items << (item == QLatin1String("_") ? QString() : item);
        d.flags = f[9].split(QLatin1Char(','), Qt::SkipEmptyParts);
        out.push_back(d);
    }
    return out;
}

const char* typeOf(QWidget* w)
{
    if (qobject_cast<QComboBox*>(w))
        return "ComboBox";
    if (qobject_cast<QLineEdit*>(w))
        return "EditBox";
    if (qobject_cast<QPushButton*>(w))
        return "Button";
    if (qobject_cast<QGroupBox*>(w))
        return "GroupBox";
    if (qobject_cast<QSlider*>(w))
        return "SliderBar";
    if (auto* t = qobject_cast<QPlainTextEdit*>(w))
        return t->isReadOnly() ? "TextViewer" : "MultiLineEdit";
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->pixmap().isNull() ? "Label" : "PicBox";
    return "?";
}

QString captionOf(QWidget* w)
{
    if (auto* b = qobject_cast<QPushButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

} // namespace

TEST(MainWinLayout, EveryControlAsDocumented)
{
    AppFixture f;
    app::MainWin& w = f.win();
    const auto documented = documentedLayout();
    ASSERT_EQ(documented.size(), 115u);
    for (const Documented& d : documented) {
        SCOPED_TRACE(d.unit.toStdString());
        QWidget* c = w.control(d.unit);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->objectName(), d.unit);
        EXPECT_STREQ(typeOf(c), d.type.toUtf8().constData());
        const QString parent = d.parent.isEmpty() ? QStringLiteral("client") : d.parent;
        EXPECT_EQ(c->parentWidget()->objectName(), parent);
        EXPECT_EQ(c->geometry(), d.geometry);
        EXPECT_EQ(captionOf(c), d.caption); // combo boxes: empty text at creation
        if (auto* box = qobject_cast<QComboBox*>(c)) {
            EXPECT_EQ(w.listEntries(d.unit), d.items);
            EXPECT_TRUE(box->isEditable());
            EXPECT_EQ(box->currentIndex(), -1);
        }
        EXPECT_EQ(c->isHidden(), d.flags.contains(QStringLiteral("hidden")));
        EXPECT_EQ(c->isEnabled(), !d.flags.contains(QStringLiteral("disabled")));
        if (auto* e = qobject_cast<QLineEdit*>(c)) {
            EXPECT_EQ(e->alignment().testFlag(Qt::AlignHCenter), d.flags.contains(QStringLiteral("centred")));
            EXPECT_EQ(e->validator() != nullptr, d.flags.contains(QStringLiteral("digits")));
            EXPECT_EQ(e->echoMode() == QLineEdit::Password, d.flags.contains(QStringLiteral("secret")));
        }
        if (d.flags.contains(QStringLiteral("heading"))) {
            EXPECT_EQ(c->font().family(), QStringLiteral("SimSun"));
            EXPECT_EQ(c->font().pixelSize(), 16);
        }
        // Everything a person can reach has a name for screen readers.
        EXPECT_FALSE(c->accessibleName().isEmpty());
    }
    EXPECT_EQ(w.control(QStringLiteral("编辑框14"))->accessibleName(), QStringLiteral("工作单位"));
    EXPECT_EQ(w.control(QStringLiteral("组合框4"))->accessibleName(), QStringLiteral("笔录内容 第1对 问"));
    EXPECT_EQ(w.control(QStringLiteral("组合框38"))->accessibleName(), QStringLiteral("笔录内容 第24对 答"));
    EXPECT_EQ(w.control(QStringLiteral("按钮2"))->accessibleName(), QStringLiteral("上一步："));
}

TEST(MainWinLayout, WindowSharedFieldsTimersDialogsStatusBar)
{
    AppFixture f;
    app::MainWin& w = f.win();
    EXPECT_EQ(w.objectName(), QStringLiteral("MainWin"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" Velmora市人社局 - Quillan   [网络版]"));
    EXPECT_FALSE(w.isVisible()); // created invisible
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.width(), app::kClientWidth);
    EXPECT_GE(w.height(), app::kClientHeight);
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(w.windowIcon().isNull());

    // The shared fields sit above the client area, hidden.
    for (const char* unit : {"编辑框25", "编辑框19", "编辑框24", "编辑框32", "编辑框17", "编辑框18"}) {
        QWidget* c = w.control(QString::fromUtf8(unit));
        ASSERT_NE(c, nullptr) << unit;
        EXPECT_TRUE(c->isHidden());
        EXPECT_GE(c->y(), -184);
        EXPECT_LE(c->y(), -144);
        EXPECT_LT(c->y() + c->height(), 0);
    }

    QTimer* clock = w.timer(QStringLiteral("时钟2"));
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->interval(), 1000);
    EXPECT_TRUE(clock->isActive());
    QTimer* rec = w.timer(QStringLiteral("时钟1"));
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->interval(), 0);
    EXPECT_FALSE(rec->isActive());

    const platform::FileDialogUnit& wav = w.fileDialog(QStringLiteral("通用对话框1"));
    EXPECT_EQ(wav.mode, platform::FileDialogUnit::Mode::Save);
    EXPECT_EQ(wav.filter, QStringLiteral("WAV录音文件|*.wav"));
    EXPECT_EQ(wav.defaultExtension, QStringLiteral("wav"));
    const platform::FileDialogUnit& ini = w.fileDialog(QStringLiteral("通用对话框2"));
    EXPECT_EQ(ini.mode, platform::FileDialogUnit::Mode::Open);
    EXPECT_EQ(ini.filter, QStringLiteral("*.ini 笔录模板文件|*.ini"));
    EXPECT_EQ(ini.defaultExtension, QStringLiteral("ini"));
    const platform::FileDialogUnit& doc = w.fileDialog(QStringLiteral("通用对话框3"));
    EXPECT_EQ(doc.mode, platform::FileDialogUnit::Mode::Open);
    EXPECT_EQ(doc.filter, QStringLiteral("*.doc 选择要打印的笔录WORD文件|*.doc"));
    EXPECT_EQ(doc.defaultExtension, QStringLiteral("ini"));

    auto* bar = w.control<QStatusBar>(QStringLiteral("状态条1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, w.statusBar());
    EXPECT_EQ(bar->height(), 20);
    w.show();
    EXPECT_EQ(bar->width(), w.width());
    EXPECT_EQ(bar->y() + bar->height(), w.height());
    // The pages end where the status bar begins.
    EXPECT_LE(w.centralWidget()->mapTo(&w, QPoint(0, 569)).y(), bar->y());
}

TEST(MainWinLayout, MenuBarHoldsExactlyTheTree)
{
    AppFixture f;
    const QList<QAction*> menus = f.win().menuBar()->actions();
    const QStringList titles{QStringLiteral("文件"),     QStringLiteral("网络功能"),
                             QStringLiteral("录音笔录"), QStringLiteral("法律法规"),
                             QStringLiteral("监察文书"), QStringLiteral("劳动保障网络(全国)"),
                             QStringLiteral("工具"),     QStringLiteral("安全设置"),
                             QStringLiteral("更新"),     QStringLiteral("帮助")};
    ASSERT_EQ(menus.size(), titles.size());
    QList<int> counts;
    for (qsizetype i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(menus[i]->text(), titles[i]);
        ASSERT_NE(menus[i]->menu(), nullptr);
        QStringList items;
        for (QAction* a : menus[i]->menu()->actions()) {
            EXPECT_EQ(a->menu(), nullptr) << "no deeper levels";
            EXPECT_TRUE(a->isEnabled());
            EXPECT_FALSE(a->isCheckable());
            // Shortcuts only where the keyboard test names them.
            EXPECT_EQ(a->shortcut(), app::menuShortcut(titles[i], a->text()));
            items << a->text();
        }
        counts << int(items.size());
        if (i == 0) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("新建(笔录)"), QStringLiteral("打开(笔录模板)"),
                                          QStringLiteral("保存(笔录及模板)"), QStringLiteral("打印(笔录)"),
                                          QStringLiteral("查找笔录..."), QStringLiteral("核验笔录..."),
                                          QStringLiteral("退出")}));
        }
        if (i == 1) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("FTP笔录服务器配置"), QStringLiteral("笔录上传"),
                                          QStringLiteral("笔录下载")}));
        }
        if (i == 2) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("打开笔录录音"), QStringLiteral("关闭笔录录音")}));
        }
        if (i == 3) {
            EXPECT_EQ(items.first(), QStringLiteral("劳动监察办案时效"));
            EXPECT_EQ(items[13], QStringLiteral("最低工资标准"));
            EXPECT_EQ(items.last(), QStringLiteral("劳动合同法200问"));
        }
        if (i == 4) {
            EXPECT_EQ(items.first(), QStringLiteral("监察文书大全"));
            EXPECT_EQ(items[10], QStringLiteral("劳动保障行政部门负责人对复杂重大行政处罚集体讨论记录"));
            EXPECT_EQ(items.last(), QStringLiteral("案件移送函"));
        }
        if (i == 5) {
            EXPECT_EQ(items.first(), QStringLiteral("吉林省"));
            EXPECT_EQ(items[21], QStringLiteral("台湾省"));
            EXPECT_EQ(items.last(), QStringLiteral("黑龙江省"));
        }
        if (i == 6) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("计算器"), QStringLiteral("文本文档"),
                                          QStringLiteral("Word文档"), QStringLiteral("Excel文档"),
                                          QStringLiteral("搜狗拼音下载"), QStringLiteral("极点五笔下载")}));
        }
        if (i == 7) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("加密"), QStringLiteral("解密")}));
        }
        if (i == 8) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("更新软件")}));
        }
        if (i == 9) {
            EXPECT_EQ(items, (QStringList{QStringLiteral("市/镇/县/乡/村 劳动保障监察员联系方式"),
                                          QStringLiteral("笔录制作过程"), QStringLiteral("软件帮助"),
                                          QStringLiteral("官方网站"), QStringLiteral("联系作者")}));
        }
    }
    EXPECT_EQ(counts, (QList<int>{7, 3, 2, 19, 27, 23, 6, 2, 1, 5}));
}

// Tab follows the record as it reads on the documented layout: the header's
// rows top to bottom (fields of one row within a few pixels), each row left
// to right, then the pairs page by page, top to bottom.
// The keyboard reaches the pages of the second view by bringing it forward.
TEST(MainWinLayout, TabGoesThroughTheRecordInReadingOrder)
{
    std::map<QString, Documented> byUnit;
    for (const Documented& d : documentedLayout())
        byUnit.emplace(d.unit, d);
    const auto documented = [&byUnit](const record::Field& f) {
        const auto it = byUnit.find(record::unitName(f));
        EXPECT_NE(it, byUnit.end()) << f.unit;
        return it == byUnit.end() ? Documented{} : it->second;
    };
    std::vector<Documented> header, lines;
    for (const record::Field& f : record::headerFields())
        header.push_back(documented(f));
    for (const record::Pair& p : record::pairs())
        for (const record::Field& f : {p.question, p.answer})
            lines.push_back(documented(f));
    std::stable_sort(header.begin(), header.end(), [](const Documented& a, const Documented& b) {
        if (std::abs(a.geometry.y() - b.geometry.y()) > 3)
            return a.geometry.y() < b.geometry.y();
        return a.geometry.x() < b.geometry.x();
    });
    std::stable_sort(lines.begin(), lines.end(), [](const Documented& a, const Documented& b) {
        return std::pair(a.parent, a.geometry.y()) < std::pair(b.parent, b.geometry.y());
    });
    QStringList expected;
    for (const auto* part : {&header, &lines})
        for (const Documented& d : *part)
            expected << d.unit;

    AppFixture f(test::gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n")));
    f.app->start();
    app::MainWin& w = f.win();
    QApplication::setActiveWindow(&w);
    w.control(expected.first())->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "the window takes the keyboard";
    QStringList reached;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        // An editable combo box's line edit has the focus for its box.
        while (focus && !focus->objectName().contains(QStringLiteral("框")))
            focus = focus->parentWidget();
        reached << (focus ? focus->objectName() : QStringLiteral("(none)"));
        if (reached.last() == QStringLiteral("组合框37")) { // pair 11, on the second view
            EXPECT_TRUE(w.control(QStringLiteral("按钮2"))->isEnabled());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(reached.join(QLatin1Char(' ')).toStdString(), expected.join(QLatin1Char(' ')).toStdString());
    EXPECT_TRUE(w.control(QStringLiteral("按钮2"))->isEnabled()) << "the second view is shown";
}

// Every control a person can reach has a name for assistive technology:
// its caption or what it is for, as the accessibility bus shows it.
TEST(MainWinLayout, EveryReachableControlHasAnAccessibleName)
{
    AppFixture f(test::gbk(QStringLiteral("[pop]\r\ntanchu=0\r\n")));
    f.app->start();
    const test::AccessibleNames names = test::accessibleNames(&f.win());
    EXPECT_TRUE(names.nameless.isEmpty()) << names.nameless.join(QLatin1Char(' ')).toStdString();
    EXPECT_GT(names.reachable, 80) << "the fields, lists and buttons of the window";
}
