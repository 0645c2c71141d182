#include "AppFixture.h"

#include "app/Skins.h"
#include "app/Startup.h"
#include "settings/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;

namespace {

QByteArray ini(const QString& text)
{
    return gbk(text);
}

QStringList empties(int n)
{
    return QStringList(n, QString());
}

} // namespace

TEST(Startup, StepsAtFirstStart)
{
    AppFixture f(ini(QStringLiteral("[biaoti]\r\nbiaoti1=abc\r\n[fengge]\r\nfengge=2\r\n[pop]\r\ntanchu=0\r\n"
                                    "[biludidian]\r\ndidian1=Velmora市\r\ndidian2=吉林省Velmora市\r\n"
                                    "[wenti1]\r\nwenti1=问：你的姓名？\r\n")),
                 QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)));
    int popUps = 0;
    f.app->startup().popUpText = [&](const settings::Settings& s) {
        popUps += s.readSetting(QStringLiteral("pop"), QStringLiteral("tanchu")) != QLatin1String("0");
    };
    // Each style sheet restyles every widget of the window: start-up sets
    // one, with the skin in it.
    struct StyleChanges final : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            count += e->type() == QEvent::StyleChange;
            return false;
        }
    } styleChanges;
    f.win().installEventFilter(&styleChanges);
    f.app->start();
    app::MainWin& w = f.win();
    w.removeEventFilter(&styleChanges);
    EXPECT_EQ(styleChanges.count, 1);
    EXPECT_TRUE(w.isVisible()); // the gate shows the window at once
    EXPECT_EQ(popUps, 0);
    EXPECT_EQ(w.statusMessage(), QStringLiteral(" 程 序 版 本 V 2.3"));
    EXPECT_EQ(w.statusPart0(), QStringLiteral(" 程 序 版 本 V 2.3"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" abc"));
    EXPECT_TRUE(w.styleSheet().contains(app::skinFrameColour(2)));
    // Started at 15:00:00.
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框1")), QStringLiteral("2012"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框2")), QStringLiteral("3"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框3")), QStringLiteral("5"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框4")), QStringLiteral("15"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框5")), QStringLiteral("0"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框6")), QString());
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框1")), QStringLiteral("男"));
    EXPECT_EQ(f.app->services().pageLineCounter, 0);
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框8")), QStringLiteral("Velmora市"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框11")), QStringLiteral("吉林省Velmora市"));
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框4")),
              (QStringList{QStringLiteral("问：你的姓名？"), QStringLiteral("问：")}));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框4")), QString()); // loading never changes the text
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框54")),
              (empties(10) + QStringList{QStringLiteral("无"), QString()}));

    // Tooltips.
    const std::pair<const char*, const char*> tips[] = {
        {"按钮3", "关闭文件界面."},
        {"按钮2", "返回笔录第一窗口界面."},
        {"按钮1", "返回笔录第二窗口界面."},
        {"按钮5", "对于案件内情及详细情况的备注记录，用于以后读档查询案件前因后果。备注不参与打印，只保存在对"
                  "应案件的模板中。"},
        {"按钮录音", "开始进行录音..."},
        {"按钮继续", "继续进行录音..."},
        {"按钮暂停", "暂时停止录音..."},
        {"按钮播放", "播放音频文件..."},
        {"暂停", "停止播放音频文件..."},
        {"编辑框23", "输入要上传或下载的笔录文件的名称，不用输入扩展名..."},
        {"编辑框20", "输入FTP服务器的ip地址，比如 xxx.xxx.xxx.xxx"},
        {"编辑框21", "添写登陆FTP服务器的帐号"},
        {"编辑框22", "添写登陆FTP服务器的密码"},
    };
    for (const auto& [unit, tip] : tips)
        EXPECT_EQ(w.control(QString::fromUtf8(unit))->toolTip(), QString::fromUtf8(tip)) << unit;
    const QString conduct = w.control(QStringLiteral("图片框1"))->toolTip();
    EXPECT_TRUE(
        conduct.startsWith(QString(26, QLatin1Char(' ')) + QStringLiteral("劳动仲裁监察员准则\n\n\n（一）")));
    EXPECT_FALSE(conduct.contains(QLatin1Char('\r')));

    // The desktop shortcut.
    const QString link = f.paths.desktopDir + QStringLiteral("/Quillan.desktop");
    EXPECT_TRUE(QFileInfo(link).isExecutable());
    const QByteArray entry = quillan::test::readFile(link);
    EXPECT_TRUE(entry.contains(QByteArray("Exec=") + f.programDir().toUtf8() + "/quillan\n"));
    EXPECT_TRUE(entry.contains(QByteArray("Path=") + f.programDir().toUtf8() + "/\n"));
}

TEST(Startup, CodeOfConductAsset)
{
    QFile file(QStringLiteral(":/texts/code-of-conduct.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size(), 822);
    EXPECT_FALSE(bytes.endsWith("\r\n"));
    const QString text = app::codeOfConduct();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QString(26, QLatin1Char(' ')) + QStringLiteral("劳动仲裁监察员准则"));
    EXPECT_TRUE(lines[1].isEmpty() && lines[2].isEmpty());
    const QStringList numbers{QStringLiteral("（一）"), QStringLiteral("（二）"), QStringLiteral("（三）"),
                              QStringLiteral("（四）"), QStringLiteral("（五）"), QStringLiteral("（六）"),
                              QStringLiteral("（七）"), QStringLiteral("（八）")};
    qsizetype at = 3;
    for (qsizetype n = 0; n < numbers.size(); ++n) {
        ASSERT_LT(at, lines.size());
        EXPECT_TRUE(lines[at].startsWith(numbers[n])) << lines[at].toStdString();
        ++at;
        if (n == 3) {
            EXPECT_TRUE(lines[at].startsWith(QString(6, QLatin1Char(' '))) &&
                        !lines[at].startsWith(QString(7, QLatin1Char(' '))));
            ++at;
        }
        if (n + 1 < numbers.size()) {
            EXPECT_TRUE(lines[at].isEmpty());
            ++at;
        }
    }
    EXPECT_EQ(at, lines.size());
}

TEST(Startup, SettingsEdgeCases)
{
    struct Case
    {
        QString tanchu; // null: key missing
        bool popsUp;
    };
    const Case cases[] = {{QStringLiteral("0"), false},
                          {QStringLiteral(" 0 "), false},
                          {QString(), true},
                          {QStringLiteral("1"), true},
                          {QStringLiteral("00"), true}};
    for (const Case& c : cases) {
        QString text = QStringLiteral("[pop]\r\n");
        if (!c.tanchu.isNull())
            text += QStringLiteral("tanchu=") + c.tanchu + QStringLiteral("\r\n");
        AppFixture f(ini(text));
        bool popped = false;
        f.app->startup().popUpText = [&](const settings::Settings& s) {
            popped = s.readSetting(QStringLiteral("pop"), QStringLiteral("tanchu")) != QLatin1String("0");
        };
        f.app->start();
        EXPECT_EQ(popped, c.popsUp) << c.tanchu.toStdString();
    }

    // An unknown skin or an empty title changes nothing; "4" switches the skin off.
    AppFixture f(ini(QStringLiteral("[fengge]\r\nfengge=1\r\n[biaoti]\r\nbiaoti1=first\r\n")));
    f.app->start();
    app::MainWin& w = f.win();
    EXPECT_TRUE(w.styleSheet().contains(app::skinFrameColour(1)));
    f.dir.write(QStringLiteral("program/Set.ini"), ini(QStringLiteral("[fengge]\r\nfengge=5\r\n")));
    f.app->startup().run();
    EXPECT_TRUE(w.styleSheet().contains(app::skinFrameColour(1)));
    EXPECT_EQ(w.windowTitle(), QStringLiteral(" first"));
    f.dir.write(QStringLiteral("program/Set.ini"), ini(QStringLiteral("[fengge]\r\nfengge=4\r\n")));
    f.app->startup().run();
    EXPECT_FALSE(w.styleSheet().contains(app::skinFrameColour(1)));
    EXPECT_EQ(app::skinStyleSheet(4), QString());
    f.dir.write(QStringLiteral("program/Set.ini"), ini(QStringLiteral("[fengge]\r\nfengge=3\r\n")));
    f.app->startup().run();
    EXPECT_TRUE(w.styleSheet().contains(QStringLiteral("#C6C5D7")));
}

TEST(Startup, RerunSkipsTheGateAndRereadsEverything)
{
    AppFixture f(ini(QStringLiteral("[biludidian]\r\ndidian1=甲\r\n[wenti2]\r\nwenti1=问：一\r\n")),
                 QDateTime(QDate(2012, 3, 5), QTime(9, 5, 0)));
    f.countGates();
    f.app->start();
    app::MainWin& w = f.win();
    const QString link = f.paths.desktopDir + QStringLiteral("/Quillan.desktop");
    QFile::remove(link);
    f.dir.write(QStringLiteral("program/Set.ini"), ini(QStringLiteral("[biludidian]\r\ndidian1=乙\r\n")));
    f.clock->set(QDateTime(QDate(2013, 12, 25), QTime(23, 59, 59)));
    w.setStatusMessage(QStringLiteral("别的"));
    f.app->services().pageLineCounter = 9;
    w.setFieldText(QStringLiteral("组合框1"), QStringLiteral("女"));
    f.app->startup().run();
    EXPECT_EQ(f.gates, 1);
    EXPECT_EQ(w.statusMessage(), QStringLiteral(" 程 序 版 本 V 2.3"));
    EXPECT_TRUE(QFileInfo::exists(link)); // made again
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框1")), QStringLiteral("2013"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框5")), QStringLiteral("59"));
    EXPECT_EQ(w.fieldText(QStringLiteral("组合框1")), QStringLiteral("男"));
    EXPECT_EQ(f.app->services().pageLineCounter, 0);
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框8")), QStringLiteral("乙"));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框11")), QString()); // written as read, also when empty
    // Without the new-record command's clearing, the lists grow in front.
    EXPECT_EQ(w.listEntries(QStringLiteral("组合框6")),
              (QStringList{QStringLiteral("问：一"), QStringLiteral("问：")}));
}

TEST(Startup, BadSettingsFilesNeverStopTheStart)
{
    QByteArray garbage;
    for (int i = 0; i < 100000; ++i)
        garbage.append(char((i * 131 + 7) % 256));
    const QList<QByteArray> files = {
        garbage,
        QByteArray("[Set1]\r\ndidian1=\x81\xFF\x80\r\n[wenti1\r\nwenti1=x\r\nno equals here\r\n"),
        QByteArray("[Set1]\r\ndidian1=") + QByteArray(20 * 1024 * 1024, 'y') + "\r\n",
    };
    for (const QByteArray& bytes : files) {
        AppFixture f(bytes);
        f.app->start();
        app::MainWin& w = f.win();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框2")).size(), 25);
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框53")).size(), 11);
        EXPECT_EQ(w.windowTitle(), QStringLiteral(" Velmora市人社局 - Quillan   [网络版]"));
    }
    // Set.ini is a folder; no Set.ini at all.
    for (bool folder : {true, false}) {
        AppFixture f(QByteArray(), QDateTime(QDate(2012, 3, 5), QTime(15, 0, 0)), false);
        if (folder)
            QDir().mkpath(f.paths.settingsFile());
        f.app->start();
        app::MainWin& w = f.win();
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框2")), empties(25));
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框53")), empties(11));
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框55")),
                  (empties(10) + QStringList{QStringLiteral("无"), QString()}));
        EXPECT_EQ(w.listEntries(QStringLiteral("组合框4")), (QStringList{QStringLiteral("问：")}));
        EXPECT_EQ(
            w.listEntries(QStringLiteral("组合框9")),
            (QStringList{QStringLiteral("答：会计"), QStringLiteral("答：农民工"), QStringLiteral("答：")}));
        EXPECT_EQ(w.fieldText(QStringLiteral("编辑框8")), QString());
        EXPECT_EQ(w.fieldText(QStringLiteral("编辑框11")), QString());
    }
}

TEST(Shutdown, ClosingPageAndExit)
{
    struct Case
    {
        QString control;
        QString url;
        bool opens;
    };
    const Case cases[] = {{QStringLiteral("on"), QStringLiteral("http://127.0.0.1/bye"), true},
                          {QStringLiteral("ON"), QStringLiteral("http://127.0.0.1/bye"), false},
                          {QStringLiteral("off"), QStringLiteral("http://127.0.0.1/bye"), false},
                          {QStringLiteral("on"), QString(), true}};
    for (const Case& c : cases) {
        AppFixture f(ini(QStringLiteral("[close]\r\ncontrol=%1\r\nurl=%2\r\n").arg(c.control, c.url)));
        f.app->start();
        QStringList opened;
        auto closingStep = f.win().aboutToBeDestroyed;
        f.win().aboutToBeDestroyed = [&] {
            closingStep();
            opened = f.shell->addresses();
        };
        f.app.reset(); // the window is destroyed
        EXPECT_EQ(opened, c.opens ? QStringList{c.url} : QStringList{}) << c.control.toStdString();
    }

    AppFixture f;
    f.app->start();
    f.win().menuAction(QStringLiteral("文件"), QStringLiteral("退出"))->trigger();
    EXPECT_EQ(f.exitCode, 0);
    EXPECT_TRUE(f.prompts->shown().isEmpty()); // nothing asked
}

TEST(Startup, StepsRunInTheirOrder)
{
    AppFixture f(ini(QStringLiteral("[biaoti]\r\nbiaoti1=T\r\n[biludidian]\r\ndidian1=P\r\n")));
    app::MainWin& w = f.win();
    QStringList seen;
    f.app->startup().passwordGate = [&] {
        seen << QStringLiteral("gate status=") + w.statusMessage();
        w.show();
    };
    f.app->startup().popUpText = [&](const settings::Settings&) {
        // After title and tooltips, before the start time and the places.
        seen << QStringLiteral("pop-up title=") + w.windowTitle() + QStringLiteral(" year=") +
                    w.fieldText(QStringLiteral("编辑框1")) + QStringLiteral(" place=") +
                    w.fieldText(QStringLiteral("编辑框8")) + QStringLiteral(" tip=") +
                    w.control(QStringLiteral("按钮3"))->toolTip();
    };
    EXPECT_EQ(w.statusMessage(), QString()); // empty until the start-up sets it
    f.app->start();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("gate status="),
                                 QStringLiteral("pop-up title= T year= place=Velmora市 tip=关闭文件界面.")}));
    EXPECT_EQ(w.fieldText(QStringLiteral("编辑框8")), QStringLiteral("P"));
}
