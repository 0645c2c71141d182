#include "app/MenuTree.h"

namespace quillan::app {

namespace {

QStringList list(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}

std::vector<MenuSpec> build()
{
    std::vector<MenuSpec> m;
    m.push_back({QStringLiteral("文件"), list({"新建(笔录)", "打开(笔录模板)", "保存(笔录及模板)",
                                               "打印(笔录)", "查找笔录...", "核验笔录...", "退出"})});
    m.push_back({QStringLiteral("网络功能"), list({"FTP笔录服务器配置", "笔录上传", "笔录下载"})});
    m.push_back({QStringLiteral("录音笔录"), list({"打开笔录录音", "关闭笔录录音"})});
    m.push_back(
        {QStringLiteral("法律法规"),
         list({"劳动监察办案时效", "劳动监察办案程序规则", "最新劳动法", "最新劳动合同法", "社会保险法",
               "就业促进法", "劳动争议调解仲裁法", "禁止使用童工规定", "女职工劳动保护规定",
               "未成年工特殊保护规定", "女职工禁忌劳动范围的规定", "劳动保障监察条例", "劳动合同法实施条例",
               "最低工资标准", "新工伤保险条例全文", "农民工工资支付管理暂行办法", "企业工资支付暂行规定",
               "企业职工患病或非因工负伤医疗期规定", "劳动合同法200问"})});
    m.push_back({QStringLiteral("监察文书"), list({"监察文书大全",
                                                   "实施劳动保障监察委托书",
                                                   "调查检查记录",
                                                   "询问通知书",
                                                   "举报登记表",
                                                   "投诉登记表",
                                                   "不予受理投诉决定书",
                                                   "立案审批表",
                                                   "案件处理报批表",
                                                   "改正决定书",
                                                   "劳动保障行政部门负责人对复杂重大行政处罚集体讨论记录",
                                                   "行政处罚事先告知书",
                                                   "陈述申辩笔录",
                                                   "行政处罚听证告知书",
                                                   "行政处理决定书",
                                                   "行政处罚决定书",
                                                   "送达回执",
                                                   "涉嫌犯罪案件移送书",
                                                   "涉嫌犯罪案件移送审批表",
                                                   "劳动监察案件结案报告",
                                                   "案件延期延期处理审批表",
                                                   "结案审批表",
                                                   "案件处罚报批表",
                                                   "强制执行申请书",
                                                   "行政处罚集体讨论",
                                                   "行政处理事先告知书",
                                                   "案件移送函"})});
    m.push_back({QStringLiteral("劳动保障网络(全国)"),
                 list({"吉林省", "辽宁省", "山西省", "河北省", "江苏省", "浙江省", "安徽省",  "福建省",
                       "江西省", "山东省", "河南省", "湖北省", "湖南省", "广东省", "海南省",  "四川省",
                       "贵州省", "云南省", "陕西省", "甘肃省", "青海省", "台湾省", "黑龙江省"})});
    m.push_back({QStringLiteral("工具"),
                 list({"计算器", "文本文档", "Word文档", "Excel文档", "搜狗拼音下载", "极点五笔下载"})});
    m.push_back({QStringLiteral("安全设置"), list({"加密", "解密"})});
    m.push_back({QStringLiteral("更新"), list({"更新软件"})});
    m.push_back({QStringLiteral("帮助"), list({"市/镇/县/乡/村 劳动保障监察员联系方式", "笔录制作过程",
                                               "软件帮助", "官方网站", "联系作者"})});
    return m;
}

} // namespace

const std::vector<MenuSpec>& menuTree()
{
    static const std::vector<MenuSpec> tree = build();
    return tree;
}

} // namespace quillan::app
