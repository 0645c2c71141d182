#include "app/MainWinLayout.h"

#include "record/RecordFields.h"

namespace quillan::app {

namespace {

using T = ControlType;

QString u8(const char* s)
{
    return QString::fromUtf8(s);
}

ControlSpec control(const char* unit, ControlType type, const char* parent, int x, int y, int w, int h,
                    const char* caption = "", const char* accessible = "")
{
    ControlSpec c;
    c.unit = u8(unit);
    c.type = type;
    c.parent = u8(parent);
    c.geometry = QRect(x, y, w, h);
    c.caption = u8(caption);
    c.accessibleName = u8(accessible);
    if (c.accessibleName.isEmpty())
        c.accessibleName = c.caption.trimmed();
    return c;
}

ControlSpec hidden(ControlSpec c)
{
    c.hidden = true;
    return c;
}
ControlSpec disabled(ControlSpec c)
{
    c.disabled = true;
    return c;
}
ControlSpec centred(ControlSpec c)
{
    c.centred = true;
    return c;
}
ControlSpec heading(ControlSpec c)
{
    c.heading = true;
    return c;
}
ControlSpec vertical(ControlSpec c)
{
    c.vertical = true;
    return c;
}
ControlSpec items(ControlSpec c, QStringList list)
{
    c.items = std::move(list);
    return c;
}

void addPairs(std::vector<ControlSpec>& out, int page, const char* group, int left, int width)
{
    // Tops of the question and answer lines, page by page.
    static const int tops[4][7][2] = {
        {{300, 331}, {362, 393}, {424, 455}},
        {{57, 89}, {121, 153}, {185, 217}, {249, 281}, {313, 345}, {377, 409}, {441, 472}},
        {{58, 89}, {121, 153}, {185, 217}, {249, 281}, {313, 345}, {377, 409}, {441, 473}},
        {{57, 89}, {121, 153}, {185, 217}, {249, 281}, {313, 345}, {377, 409}, {441, 472}},
    };
    int row = 0;
    for (const record::Pair& p : record::pairs()) {
        if (p.page != page)
            continue;
        ControlSpec q = control(p.question.unit, T::ComboBox, group, left, tops[page - 1][row][0], width, 20,
                                "", p.question.meaning);
        q.items = QStringList{u8("问：")};
        ControlSpec a = control(p.answer.unit, T::ComboBox, group, left, tops[page - 1][row][1], width, 20,
                                "", p.answer.meaning);
        a.items = p.number == 3 ? QStringList{u8("答：会计"), u8("答：农民工"), u8("答：")}
                                : QStringList{u8("答：")};
        out.push_back(q);
        out.push_back(a);
        ++row;
    }
}

std::vector<ControlSpec> build()
{
    std::vector<ControlSpec> c;
    // Directly on the window.
    c.push_back(control("图片框1", T::PicBox, "", -35, 0, 1053, 65, "", "工伤认定询问调查笔录 横幅"));
    c.push_back(control("分组框1", T::GroupBox, "", 1, 59, 517, 510, "", "笔录第一页"));
    c.push_back(control("分组框2", T::GroupBox, "", 519, 59, 500, 510, "", "笔录第二页"));
    c.push_back(hidden(control("分组框3", T::GroupBox, "", 32, 387, 517, 510, "", "笔录第三页")));
    c.push_back(hidden(control("分组框4", T::GroupBox, "", 239, 421, 500, 510, "", "笔录第四页")));
    c.push_back(vertical(control("按钮5", T::Button, "", 993, 202, 25, 97, "案件情由备注")));
    c.push_back(vertical(disabled(control("按钮2", T::Button, "", 993, 299, 25, 82, " 上一步："))));
    c.push_back(vertical(control("按钮1", T::Button, "", 993, 381, 25, 82, " 下一步：")));
    c.push_back(hidden(control("分组框6", T::GroupBox, "", 967, -18, 500, 510, "", "案件情由备注")));
    c.push_back(hidden(control("分组框5", T::GroupBox, "", 1, -1, 271, 66, "", "笔录录音")));
    c.push_back(hidden(control("分组框7", T::GroupBox, "", 305, -8, 271, 65, "FTP服务器配置")));
    c.push_back(hidden(control("超级编辑框1", T::TextViewer, "", 376, 520, 440, 320, "", "文本内容")));
    c.push_back(hidden(control("按钮6", T::Button, "", 713, 545, 138, 20, "打  印")));
    c.push_back(hidden(control("按钮3", T::Button, "", 856, 544, 138, 20, "关  闭")));
    c.push_back(control("状态条1", T::StatusBar, "", 0, kClientHeight - kStatusBarHeight, kClientWidth,
                        kStatusBarHeight, "", "状态栏"));

    // The design's hidden text fields, above the client area where nobody
    // sees them. They carry nothing: the session keeps what they stood for.
    const char* shared[][2] = {{"编辑框25", "状态信息"},         {"编辑框19", "文字处理程序路径"},
                               {"编辑框24", "文本面板文件路径"}, {"编辑框32", "打开的文件路径"},
                               {"编辑框17", "上传文件路径"},     {"编辑框18", "播放文件路径"}};
    int top = -184;
    for (const auto& s : shared) {
        c.push_back(hidden(control(s[0], T::EditBox, "", 10, top, 100, 20, "", s[1])));
        top += 8;
    }

    // Page 1.
    const char* g1 = "分组框1";
    c.push_back(control("标签2", T::Label, g1, 10, 17, 493, 24,
                        "笔录起始时间：         年      月      日      时      分   至        时      分",
                        "笔录起始时间"));
    c.push_back(centred(control("编辑框1", T::EditBox, g1, 97, 18, 46, 20, "", "笔录起始时间 年")));
    c.push_back(centred(control("编辑框2", T::EditBox, g1, 164, 18, 28, 20, "", "笔录起始时间 月")));
    c.push_back(centred(control("编辑框3", T::EditBox, g1, 212, 18, 28, 20, "", "笔录起始时间 日")));
    c.push_back(centred(control("编辑框4", T::EditBox, g1, 261, 18, 28, 20, "", "笔录起始时间 时")));
    c.push_back(centred(control("编辑框5", T::EditBox, g1, 308, 18, 28, 20, "", "笔录起始时间 分")));
    c.push_back(centred(control("编辑框6", T::EditBox, g1, 398, 18, 28, 20, "", "笔录结束时间 时")));
    c.push_back(centred(control("编辑框7", T::EditBox, g1, 446, 18, 28, 20, "", "笔录结束时间 分")));
    c.push_back(control("标签3", T::Label, g1, 34, 51, 60, 24, "笔录地点："));
    c.push_back(control("编辑框8", T::EditBox, g1, 97, 52, 124, 20, "Velmora市", "笔录地点"));
    c.push_back(control("组合框2", T::ComboBox, g1, 221, 52, 201, 20, "", "笔录地点 常用地点"));
    c.push_back(control("标签4", T::Label, g1, 10, 85, 342, 24,
                        "被询问人姓名：               性别：         户籍所在地：",
                        "被询问人姓名 性别 户籍所在地"));
    c.push_back(control("编辑框9", T::EditBox, g1, 98, 87, 78, 20, "", "被询问人姓名"));
    c.push_back(
        items(control("组合框1", T::ComboBox, g1, 221, 87, 49, 20, "", "性别"), {u8("男"), u8("女")}));
    c.push_back(control("编辑框11", T::EditBox, g1, 349, 86, 98, 20, "吉林省Velmora市", "户籍所在地"));
    c.push_back(control("组合框52", T::ComboBox, g1, 447, 86, 59, 20, "", "户籍所在地 常用地点"));
    c.push_back(control("标签5", T::Label, g1, 10, 118, 437, 24,
                        "身份证件种类：               证件号码：                            年龄：",
                        "身份证件种类 证件号码 年龄"));
    c.push_back(control("编辑框12", T::EditBox, g1, 99, 120, 78, 20, "身份证", "身份证件种类"));
    c.push_back(control("编辑框10", T::EditBox, g1, 247, 120, 155, 20, "", "证件号码"));
    c.push_back(control("编辑框26", T::EditBox, g1, 453, 120, 52, 20, "", "年龄"));
    c.push_back(control("标签6", T::Label, g1, 34, 150, 429, 24,
                        "工作单位：                           职务：                  文化程度：",
                        "工作单位 职务 文化程度"));
    c.push_back(control("编辑框14", T::EditBox, g1, 98, 152, 149, 20, "", "工作单位"));
    c.push_back(items(control("组合框3", T::ComboBox, g1, 294, 152, 97, 20, "", "职务"),
                      {u8("经理"), u8("项目经理"), u8("老板"), u8("会计"), u8("工人"), u8("力工"), u8("瓦工"),
                       u8("代理人"), u8("农民工"), u8("开发商"), u8("其它"), QString()}));
    c.push_back(control("编辑框27", T::EditBox, g1, 464, 152, 41, 20, "", "文化程度"));
    c.push_back(control("标签7", T::Label, g1, 58, 183, 237, 24, "电话：                           住址：",
                        "电话 住址"));
    ControlSpec phone = control("编辑框15", T::EditBox, g1, 98, 183, 117, 20, "", "电话");
    phone.digitsOnly = true;
    c.push_back(phone);
    c.push_back(control("编辑框16", T::EditBox, g1, 295, 183, 211, 20, "", "住址"));
    c.push_back(control("标签8", T::Label, g1, 46, 216, 401, 24,
                        "询问人：                 其他参加人：                 记录人：",
                        "询问人 其他参加人 记录人"));
    c.push_back(items(control("组合框53", T::ComboBox, g1, 99, 218, 90, 20, "", "询问人"), {QString()}));
    c.push_back(items(control("组合框54", T::ComboBox, g1, 273, 218, 90, 20, "", "其他参加人"),
                      {u8("无"), QString()}));
    c.push_back(
        items(control("组合框55", T::ComboBox, g1, 421, 218, 87, 20, "", "记录人"), {u8("无"), QString()}));
    c.push_back(heading(control("标签9", T::Label, g1, 16, 259, 88, 24, " 笔录内容1：")));
    addPairs(c, 1, g1, 72, 400);

    // Pages 2 to 4.
    c.push_back(heading(control("标签11", T::Label, "分组框2", 13, 19, 88, 24, " 笔录内容2：")));
    addPairs(c, 2, "分组框2", 69, 388);
    c.push_back(heading(control("标签12", T::Label, "分组框3", 16, 19, 88, 24, " 笔录内容3：")));
    addPairs(c, 3, "分组框3", 86, 388);
    c.push_back(heading(control("标签13", T::Label, "分组框4", 13, 19, 88, 24, " 笔录内容4：")));
    addPairs(c, 4, "分组框4", 69, 388);

    // Case-note panel.
    c.push_back(heading(control("标签15", T::Label, "分组框6", 16, 19, 176, 24, " 案件经过详细备注信息：")));
    c.push_back(
        control("超级编辑框2", T::MultiLineEdit, "分组框6", 40, 64, 417, 424, "", "案件经过详细备注信息"));

    // Recorder panel.
    const char* g5 = "分组框5";
    c.push_back(control("滑块条1", T::SliderBar, g5, 8, 9, 188, 26, "", "录音进度"));
    c.push_back(control("标签14", T::Label, g5, 198, 10, 66, 22, "", "录音时间"));
    c.push_back(control("按钮录音", T::Button, g5, 17, 39, 48, 24, "录音"));
    c.push_back(hidden(control("按钮继续", T::Button, g5, 66, 39, 48, 24, "继续")));
    c.push_back(disabled(control("按钮暂停", T::Button, g5, 66, 39, 48, 24, "暂停")));
    c.push_back(disabled(control("按钮4", T::Button, g5, 115, 39, 57, 24, "停止保存")));
    c.push_back(control("按钮播放", T::Button, g5, 174, 39, 46, 24, "播放"));
    c.push_back(control("暂停", T::Button, g5, 221, 39, 46, 24, "停止"));

    // FTP settings panel.
    const char* g7 = "分组框7";
    c.push_back(control("标签16", T::Label, g7, 9, 14, 70, 24, "FTP_IP地址："));
    c.push_back(control("编辑框20", T::EditBox, g7, 79, 15, 79, 20, "", "FTP服务器地址"));
    c.push_back(control("标签19", T::Label, g7, 162, 13, 42, 24, "文件名："));
    c.push_back(control("编辑框23", T::EditBox, g7, 207, 15, 60, 20, "", "上传或下载的文件名"));
    c.push_back(control("标签17", T::Label, g7, 9, 39, 56, 24, "FTP帐号："));
    c.push_back(control("编辑框21", T::EditBox, g7, 64, 40, 71, 20, "", "FTP帐号"));
    c.push_back(control("标签18", T::Label, g7, 141, 39, 56, 24, "FTP密码："));
    ControlSpec password = control("编辑框22", T::EditBox, g7, 197, 40, 71, 20, "", "FTP密码");
    password.secret = true;
    c.push_back(password);
    return c;
}

} // namespace

const QString& designTitle()
{
    static const QString title = u8(" Velmora市人社局 - Quillan   [网络版]");
    return title;
}

const std::vector<ControlSpec>& mainWinLayout()
{
    static const std::vector<ControlSpec> layout = build();
    return layout;
}

const std::vector<TimerSpec>& mainWinTimers()
{
    static const std::vector<TimerSpec> timers{{u8("时钟2"), 1000, true}, {u8("时钟1"), 0, false}};
    return timers;
}

const ControlSpec* findControlSpec(const QString& unit)
{
    for (const ControlSpec& c : mainWinLayout())
        if (c.unit == unit)
            return &c;
    return nullptr;
}

} // namespace quillan::app
