#include "library/Links.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Website.h"

#include <QSet>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

TEST(Links, EveryLinkOpensItsAddressThroughTheUrlOpener)
{
    platform::RecordingShell shell;
    platform::ScriptedPrompts prompts;
    library::LinkCommands commands(shell, prompts);
    QSet<QString> addresses;
    for (const library::Link& link : library::linkTable()) {
        const QUrl url(link.address, QUrl::StrictMode);
        EXPECT_TRUE(url.isValid() &&
                    (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")))
            << link.address.toStdString();
        EXPECT_FALSE(url.host().isEmpty()) << link.address.toStdString();
        addresses.insert(link.address);
        commands.open(link);
        EXPECT_EQ(shell.addresses().last(), link.address);
    }
    EXPECT_EQ(shell.addresses().size(), 26);
    EXPECT_EQ(addresses.size(), 26); // no two entries share an address
    EXPECT_TRUE(shell.started().isEmpty());
    EXPECT_TRUE(prompts.shown().isEmpty());

    EXPECT_EQ(library::findLink(QStringLiteral("帮助"), QStringLiteral("官方网站"))->address,
              QStringLiteral("http://www.quillan.example"));
    EXPECT_EQ(platform::programWebsite(), QStringLiteral("http://www.quillan.example"));
    // 陕西 and 山西 are easy to mix up.
    EXPECT_EQ(library::findLink(QStringLiteral("劳动保障网络(全国)"), QStringLiteral("陕西省"))->address,
              QStringLiteral("https://rst.shaanxi.gov.cn/"));
    EXPECT_EQ(library::findLink(QStringLiteral("劳动保障网络(全国)"), QStringLiteral("山西省"))->address,
              QStringLiteral("https://rst.shanxi.gov.cn/"));
    EXPECT_EQ(library::findLink(QStringLiteral("劳动保障网络(全国)"), QStringLiteral("台湾省"))->address,
              QStringLiteral("https://tw.yahoo.com/"));
}

TEST(Links, ToolsStartTheirProgramsAndTheContactMessageIsShown)
{
    platform::RecordingShell shell;
    platform::ScriptedPrompts prompts;
    library::LinkCommands commands(shell, prompts);
    shell.setStartResult(false); // a tool that is not installed: nothing is reported
    for (const library::Tool& tool : library::toolTable())
        commands.start(tool);
    ASSERT_EQ(shell.started().size(), 2);
    EXPECT_EQ(shell.started()[0].program, QStringLiteral("calc.exe"));
    EXPECT_EQ(shell.started()[1].program, QStringLiteral("notepad.exe"));
    EXPECT_TRUE(shell.started()[0].arguments.isEmpty());
    EXPECT_TRUE(prompts.shown().isEmpty());

    commands.showContact();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0], (platform::ScriptedPrompts::Shown{
                                      QStringLiteral("单位：Quillan 项目组（劳动保障监察询问笔录软件）\r\n"
                                                     "联系人：项目组客服\r\n"
                                                     "电话：000-0000-0000（示例号码）\r\n"
                                                     "电子邮件：support@quillan.example\r\n"
                                                     "即时通讯：quillan-support@chat.quillan.example\r\n"
                                                     "网站：http://www.quillan.example"),
                                      QStringLiteral("作者信息："), platform::Buttons::Ok}));
    EXPECT_TRUE(shell.addresses().isEmpty());
}

} // namespace
} // namespace quillan::test
