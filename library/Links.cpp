#include "library/Links.h"

#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/Website.h"

namespace quillan::library {

namespace {

// The departments' home pages; see assets/links.md for the evidence behind
// each address.
const char* const kProvinces[][2] = {
    {"吉林省", "https://hrss.jl.gov.cn/"},        {"辽宁省", "https://rst.ln.gov.cn/"},
    {"山西省", "https://rst.shanxi.gov.cn/"},     {"河北省", "https://rst.hebei.gov.cn/"},
    {"江苏省", "https://jshrss.jiangsu.gov.cn/"}, {"浙江省", "https://rlsbt.zj.gov.cn/"},
    {"安徽省", "https://hrss.ah.gov.cn/"},        {"福建省", "https://rst.fujian.gov.cn/"},
    {"江西省", "https://rst.jiangxi.gov.cn/"},    {"山东省", "https://hrss.shandong.gov.cn/"},
    {"河南省", "https://hrss.henan.gov.cn/"},     {"湖北省", "https://rst.hubei.gov.cn/"},
    {"湖南省", "https://rst.hunan.gov.cn/"},      {"广东省", "https://hrss.gd.gov.cn/"},
    {"海南省", "https://hrss.hainan.gov.cn/"},    {"四川省", "https://rst.sc.gov.cn/"},
    {"贵州省", "https://rst.guizhou.gov.cn/"},    {"云南省", "https://hrss.yn.gov.cn/"},
    {"陕西省", "https://rst.shaanxi.gov.cn/"},    {"甘肃省", "https://rst.gansu.gov.cn/"},
    {"青海省", "https://rst.qinghai.gov.cn/"},    {"台湾省", "https://tw.yahoo.com/"},
    {"黑龙江省", "https://hrss.hlj.gov.cn/"},
};

using platform::u;

} // namespace

const std::vector<Link>& linkTable()
{
    static const std::vector<Link> links = [] {
        std::vector<Link> out;
        for (const auto& p : kProvinces)
            out.push_back({u("劳动保障网络(全国)"), u(p[0]), u(p[1])});
        out.push_back({u("工具"), u("搜狗拼音下载"), u("https://shurufa.sogou.com/linux")});
        out.push_back({u("工具"), u("极点五笔下载"), u("http://www.downg.com/soft/37450.html")});
        out.push_back({u("帮助"), u("官方网站"), platform::programWebsite()});
        return out;
    }();
    return links;
}

const Link* findLink(const QString& menu, const QString& caption)
{
    for (const Link& l : linkTable())
        if (l.menu == menu && l.caption == caption)
            return &l;
    return nullptr;
}

const std::vector<Tool>& toolTable()
{
    static const std::vector<Tool> tools{{u("计算器"), QStringLiteral("calc.exe")},
                                         {u("文本文档"), QStringLiteral("notepad.exe")}};
    return tools;
}

QString contactMessage()
{
    return u("单位：Quillan 项目组（劳动保障监察询问笔录软件）\r\n"
             "联系人：项目组客服\r\n"
             "电话：000-0000-0000（示例号码）\r\n"
             "电子邮件：support@quillan.example\r\n"
             "即时通讯：quillan-support@chat.quillan.example\r\n"
             "网站：") +
           platform::programWebsite();
}

void LinkCommands::open(const Link& link)
{
    shell_.openWebAddress(link.address);
}

void LinkCommands::start(const Tool& tool)
{
    shell_.startProgram(tool.program, {});
}

void LinkCommands::showContact()
{
    prompts_.message(contactMessage(), u("作者信息："), platform::Buttons::Ok);
}

} // namespace quillan::library
