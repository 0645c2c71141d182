// The menu "网络功能" and "更新软件" in the real window: the panel toggle,
// the routing to the commands, and the FTP fields' life across a new record.
#include "app/AppFixture.h"
#include "platform/Website.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void trigger(app::MainWin& w, const char* menu, const char* item)
{
    QAction* action = w.menuAction(u(menu), u(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

TEST(ExchangeApp, TheMenuTogglesThePanelAtTheTopLeftCorner)
{
    AppFixture f;
    f.app->start();
    QWidget* panel = f.win().control(u("分组框7"));
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->geometry(), QRect(305, -8, 271, 65));
    trigger(f.win(), "网络功能", "FTP笔录服务器配置");
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->geometry(), QRect(1, 0, 271, 65));
    EXPECT_EQ(qobject_cast<QGroupBox*>(panel)->title(), u("FTP服务器配置"));
    trigger(f.win(), "网络功能", "FTP笔录服务器配置");
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->geometry(), QRect(1, 0, 271, 65));
}

TEST(ExchangeApp, TransfersUseTheFieldsWhileThePanelIsHiddenAndTheFieldsSurviveANewRecord)
{
    AppFixture f;
    f.app->start();
    app::MainWin& w = f.win();
    w.setFieldText(u("编辑框20"), QStringLiteral("10.0.0.5"));
    w.setFieldText(u("编辑框21"), QStringLiteral("officer"));
    w.setFieldText(u("编辑框22"), QStringLiteral("secret"));
    w.setFieldText(u("编辑框23"), u("案例1"));
    w.setFieldText(u("编辑框14"), u("某公司"));
    f.prompts->answerNext(platform::Answer::Ok);
    trigger(w, "文件", "新建(笔录)");
    EXPECT_EQ(w.fieldText(u("编辑框14")), QString());
    EXPECT_EQ(w.fieldText(u("编辑框23")), u("案例1"));

    const QString local = f.dir.write(QStringLiteral("up.ini"), "[set]\r\n");
    f.prompts->chooseNext(local);
    trigger(w, "网络功能", "笔录上传");
    EXPECT_EQ(f.ftp->files.value(u("wwwroot/案例1.ini")), QByteArray("[set]\r\n"));
    EXPECT_EQ(w.statusMessage(), u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));
    w.refreshStatusBar();
    EXPECT_TRUE(w.statusPart0().startsWith(
        u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）              当前日期： ")));

    QDir().mkpath(f.programDir() + QStringLiteral("/BL"));
    trigger(w, "网络功能", "笔录下载");
    EXPECT_EQ(readFile(f.programDir() + u("/BL/案例1.ini")), QByteArray("[set]\r\n"));
    EXPECT_EQ(w.statusMessage(),
              u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    // Upload path kept in the hidden field until a new record empties it.
    EXPECT_EQ(f.session().uploadFile, local);
    trigger(w, "文件", "新建(笔录)");
    EXPECT_EQ(f.session().uploadFile, QString());
    EXPECT_EQ(w.fieldText(u("编辑框20")), QStringLiteral("10.0.0.5"));
}

TEST(ExchangeApp, TheUpdateCheckAsksTheProgramsWebsite)
{
    AppFixture f;
    f.app->start();
    EXPECT_EQ(platform::programWebsite(), QStringLiteral("http://www.quillan.example"));
    f.web->body = "[set]\r\ngengxin=1\r\n";
    f.prompts->clear();
    trigger(f.win(), "更新", "更新软件");
    EXPECT_EQ(f.web->addresses, QStringList{QStringLiteral("http://www.quillan.example/soft.ini")});
    ASSERT_EQ(f.prompts->shown().size(), 1);
    EXPECT_EQ(f.prompts->shown().constFirst().text,
              u("软件有新版本！ 请到 http://www.quillan.example 下载新版本使用。。。"));
    EXPECT_EQ(readFile(f.paths.scratchDir + QStringLiteral("/soft.ini")),
              QByteArray("[set]\r\ngengxin=1\r\n"));
}

TEST(ExchangeApp, AccountAndPasswordAreDarkerThanAddressAndName)
{
    AppFixture f;
    f.app->start();
    const auto colour = [&](const char* unit) {
        auto* edit = f.win().control<QLineEdit>(u(unit));
        edit->ensurePolished();
        return edit->palette().color(QPalette::Base).lightness();
    };
    EXPECT_EQ(colour("编辑框20"), colour("编辑框23"));
    EXPECT_EQ(colour("编辑框21"), colour("编辑框22"));
    EXPECT_LT(colour("编辑框21"), colour("编辑框20"));
    EXPECT_LT(colour("编辑框20"), 255);
    // The password shows as dots, never in clear text.
    EXPECT_EQ(f.win().control<QLineEdit>(u("编辑框22"))->echoMode(), QLineEdit::Password);
}

} // namespace
} // namespace quillan::test
