#!/usr/bin/env python3
"""Writes the flat ODF sources of the blank labour-inspection forms.

    make-forms.py [output folder]     (default: the folder of this script)

One file per form, ws1.fodt ... ws26.fodt, named after the scratch file the
program writes it to, and the collection ws27.fodt (卷内目录 as section (一),
then every form on a page of its own, with three more forms of the procedure
that have no menu entry: 询问笔录, 听证通知书, 催告书). make-forms-doc.sh turns them into the
Word 97-2003 files the program carries.

The places a record can fill (the work unit, the interviewee, the interview's
date, place and officers) are named fields: {12:Unit}, [2:Year] or an empty
cell C(field="Unit"). Each becomes a bookmark in the form; the program's table
of form fields (library/FormFields.cpp) says which record field fills it.

Only articles of the law texts the program ships are cited by number
(劳动保障监察条例, arts. 4, 9, 13-21, 30); other laws are named without one.
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from formkit import C, Document, L, sign_cell  # noqa: E402

REGULATION = "《劳动保障监察条例》"
HEADING_LINES = {}  # headings printed on two lines

# Review of a local labour bureau's decision lies with the people's government
# at the same level (行政复议法 as revised in 2023, in force 2024-01-01); the
# lawsuit period is six months (行政诉讼法).
REMEDIES = ("你单位如不服本决定，可以自收到本决定书之日起60日内向{8}人民政府申请行政复议，"
            "也可以自收到本决定书之日起6个月内依法向{8}人民法院提起行政诉讼。")
SERVED_NOTE = "注：本文书一式两联，第一联存档，第二联送达当事人。"
CONTACT = ["本机关地址：{16}[1]邮编：{5}", "联系人：{6}[1]联系电话：{8}"]


def letter_head(d, heading, sub=None, number=True):
    d.authority()
    d.heading(heading, sub, HEADING_LINES.get(heading))
    if number:
        d.number()


def party_block(d, label="当事人"):
    d.table([2.2, 5.8, 2.6, 5.4], [
        [L(label), C("", span=3)],
        [L("地址"), C("", span=3)],
        [L("法定代表人\n（负责人）"), C(""), L("联系电话"), C("")],
    ], [0.85])


# ---------------------------------------------------------------- the forms
# Each function writes one form into a document; the heading is the second
# element of its FORMS row.

def commission(d):  # ws1
    letter_head(d, "实施劳动保障监察委托书")
    d.table([2.9, 5.1, 2.4, 5.6], [
        [L("委托机关"), C("", span=3)],
        [L("法定代表人"), C(""), L("职务"), C("")],
        [L("地址"), C("", span=3)],
        [L("受委托组织"), C("", span=3)],
        [L("负责人"), C(""), L("职务"), C("")],
        [L("地址"), C("", span=3)],
    ], [0.85])
    d.p(f"根据{REGULATION}第四条的规定，本机关委托{{12}}在下列范围内，以本机关的名义实施劳动保障监察：")
    d.p("委托事项：", "Flush")
    d.lines(3)
    d.p("委托权限：", "Flush")
    d.lines(2)
    d.p("委托期限：自[1]{2}年{2}月{2}日起至{2}年{2}月{2}日止。", "Flush")
    d.p("受委托组织在委托范围内，以委托机关的名义实施劳动保障监察，不得再委托其他组织或者个人；"
        "其劳动保障监察员应当经过相应的考核或者考试录用，持劳动保障监察证件执法。"
        "委托机关对受委托组织实施劳动保障监察的行为负责监督，并对该行为的后果承担法律责任。")
    d.gap()
    d.signatures(["委托机关（印章）", "法定代表人（签名）：", "[3]年[2]月[2]日"],
                 ["受委托组织（印章）", "负责人（签名）：", "[3]年[2]月[2]日"])
    d.note("注：本委托书一式三份，委托机关、受委托组织各执一份，一份存档。")


def inspection_record(d):  # ws2
    letter_head(d, "劳动保障监察调查检查记录", number=False)
    d.p(">第[1]{2}页[1]共[1]{2}页", "Flush")
    d.table([2.9, 5.1, 2.6, 5.4], [
        [L("检查时间"), C("[2]年[2]月[2]日[2]时[2]分至[2]时[2]分", span=3)],
        [L("检查地点"), C("", span=3)],
        [L("被检查单位"), C(span=3, field="Unit")],
        [L("法定代表人\n（负责人）"), C(""), L("联系电话"), C("")],
        [L("监察员"), C(field="Interviewer"), L("证件号码"), C("")],
        [L("监察员"), C(""), L("证件号码"), C("")],
        [L("记录人"), C(field="Recorder"), L("在场人及职务"), C("")],
        [C(f"监察员已出示劳动保障监察证件，依照{REGULATION}第十五条、第十六条的规定进行调查、检查，"
           "并告知被检查单位应当如实提供情况和资料；监察员与本案有直接利害关系的，被检查单位有权申请其回避。"
           "\n是否申请回避：[1]□是[2]□否[4]被检查单位签名：", span=4, style="GridTop")],
        [C("检查情况及结果：", span=4, style="GridTop")],
        [C("被检查单位意见：", span=4, style="GridTop")],
        [C("被检查单位（负责人）签名：\n\n>[3]年[1]月[1]日", span=2, style="GridTop"),
         C("监察员签名：\n\n>[3]年[1]月[1]日", span=2, style="GridTop")],
        [C("在场人签名：\n\n>[3]年[1]月[1]日", span=2, style="GridTop"),
         C("记录人签名：\n\n>[3]年[1]月[1]日", span=2, style="GridTop")],
    ], [0.85, 0.85, 0.85, 0.95, 0.85, 0.85, 0.85, 1.9, 6.2, 1.4, 1.8, 1.8])
    d.note("注：本页填写不下的，可另附页；被检查单位拒绝签名的，由监察员在记录中注明。")


def inquiry_notice(d):  # ws3
    letter_head(d, "劳动保障监察调查询问通知书")
    d.p("{12:Unit}：", "Flush")
    d.p(f"根据{REGULATION}第十五条第一款第（二）项、第（三）项的规定，为调查{{16}}一事，"
        "请你（单位）于{2:Year}年{2:Month}月{2:Day}日{2:Hour}时前，由法定代表人（负责人）或者委托代理人携带下列材料，"
        "到{14:Place}接受调查询问，并对有关问题作出解释和说明：")
    d.p("□营业执照副本或者其他主体资格证明[1]□法定代表人（负责人）身份证明", "Flush")
    d.p("□授权委托书及委托代理人身份证件[2]□职工名册[2]□劳动合同", "Flush")
    d.p("□考勤记录[2]□工资支付记录（工资表）[2]□社会保险费缴费凭证", "Flush")
    d.p("□规章制度[2]□其他：{18}", "Flush")
    d.lines(1)
    d.p(f"无理抗拒、阻挠劳动保障监察，或者不按照要求报送书面材料、隐瞒事实真相、出具伪证或者隐匿、毁灭证据的，"
        f"本机关将依照{REGULATION}第三十条的规定处理。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.cut("沿此线剪开，下联由被询问人签收后交回")
    d.p("^送 达 回 执", "Flush")
    d.p("本人（单位）已收到[1]{4}字〔{3}〕第{4}号《劳动保障监察调查询问通知书》。", "Flush")
    d.p(">收件人签名（盖章）：{8}[2][3]年[2]月[2]日", "Flush")


def report_register(d):  # ws4
    letter_head(d, "举报登记表", number=False)
    d.serial()
    d.table([2.0, 3.4, 1.6, 1.8, 2.2, 5.0], [
        [L("举报人", rows=3), L("姓名"), C(""), L("性别"), L("联系电话"), C("")],
        [L("住址"), C("", span=4)],
        [L("举报方式"), C("□来信[1]□来电[1]□来访[1]□网络[1]□其他：{6}", span=4)],
        [L("被举报单位", rows=3), L("名称"), C(span=4, field="Unit")],
        [L("地址"), C("", span=4)],
        [L("法定代表人\n（负责人）"), C("", span=2), L("联系电话"), C("")],
        [L("举报事项\n及理由"), C("", span=5, style="GridTop")],
        [L("提供的\n证据材料"), C("", span=5, style="GridTop")],
        [L("接待人\n意见"), sign_cell("接待人：", span=5)],
        [L("监察机构\n负责人意见"), sign_cell("负责人：", span=5)],
        [L("备注"), C("", span=5)],
    ], [0.85, 0.85, 0.85, 0.85, 0.85, 0.95, 6.4, 2.0, 2.0, 2.0, 1.0])
    d.p(f"[2]劳动保障行政部门依照{REGULATION}第九条的规定为举报人保密。"
        "举报人可以不留姓名；留有联系方式的，本机关将告知处理情况。", "Small")
    d.p(">登记人：{6}[2]登记日期：[3]年[2]月[2]日", "Flush")


def complaint_register(d):  # ws5
    letter_head(d, "投诉登记表", number=False)
    d.serial()
    d.table([1.8, 2.6, 3.0, 1.4, 1.6, 1.8, 3.8], [
        [L("投诉人", rows=4), L("姓名"), C(field="Person"), L("性别"), C(field="Sex"), L("年龄"), C(field="Age")],
        [L("身份证件\n号码"), C(span=3, field="IdNumber"), L("联系电话"), C(field="Phone")],
        [L("工作单位\n及岗位"), C(span=5, field="UnitPosition")],
        [L("住址"), C(span=5, field="Address")],
        [L("被投诉\n单位", rows=3), L("名称"), C(span=5, field="Unit")],
        [L("地址"), C("", span=5)],
        [L("法定代表人\n（负责人）"), C(""), L("职务"), C(""), L("联系电话"), C("")],
        [L("投诉请求"), C("", span=6, style="GridTop")],
        [L("合法权益\n受到侵害\n的事实"), C("", span=6, style="GridTop")],
        [L("证据材料"), C("", span=6, style="GridTop")],
        [C("投诉人声明：以上内容属实；本投诉事项未申请劳动争议调解、仲裁，也未提起诉讼。"
           "\n>投诉人签名：{6}[2][3]年[1]月[1]日", span=7, style="GridTop")],
        [L("处理意见"), C("□受理[1]□不予受理[1]□告知依照劳动争议处理或者诉讼的程序办理[1]□移送{6}"
                       "\n>接待人：{5}[3][2]年[1]月[1]日", span=6)],
        [L("备注"), C("", span=6)],
    ], [0.85, 0.95, 0.95, 0.85, 0.85, 0.85, 0.95, 1.4, 3.8, 1.5, 1.5, 1.5, 0.9])
    d.note(f"注：投诉事项应当通过劳动争议处理程序解决的，依照{REGULATION}第二十一条第二款的规定告知投诉人。")


def complaint_refusal(d):  # ws6
    letter_head(d, "劳动保障监察不予受理投诉决定书")
    d.p("{12:Person}：", "Flush")
    d.p("你于{2}年{2}月{2}日向本机关投诉{14:Unit}（被投诉单位）{16}一事。"
        "经审查，本机关认为你的投诉不符合受理条件，理由如下：")
    d.p(f"□违反劳动保障法律、法规或者规章的行为在2年内未被劳动保障行政部门发现，也未被举报、投诉，"
        f"依照{REGULATION}第二十条的规定，劳动保障行政部门不再查处；")
    d.p(f"□投诉事项应当通过劳动争议处理程序解决，或者已经按照劳动争议处理程序申请调解、仲裁或者已经提起诉讼，"
        f"依照{REGULATION}第二十一条第二款的规定，请你依照劳动争议处理或者诉讼的程序办理；")
    d.p(f"□投诉事项不属于劳动保障监察事项，依照{REGULATION}第十八条第二款的规定，"
        "本机关已将有关材料移送{12}处理；")
    d.p("□其他：{28}")
    d.lines(2)
    d.p("据此，本机关决定对你的投诉不予受理。")
    d.p(REMEDIES.replace("你单位", "你"))
    d.seal()
    d.gap()
    d.note(SERVED_NOTE.replace("当事人", "投诉人"))


def case_filing(d):  # ws7
    letter_head(d, "劳动保障监察立案审批表", number=False)
    d.serial()
    d.table([2.2, 2.4, 3.4, 1.4, 2.0, 2.0, 2.6], [
        [L("案由"), C("", span=6)],
        [L("当事人", rows=4), L("名称"), C(span=5, field="Unit")],
        [L("地址"), C("", span=3), L("邮编"), C("")],
        [L("法定代表人"), C(""), L("职务"), C(""), L("联系电话"), C("")],
        [L("主要负责人"), C(""), L("职务"), C(""), L("联系电话"), C("")],
        [L("案件来源"), C("□日常巡视检查[1]□书面材料审查[1]□举报[1]□投诉[1]□上级交办"
                      "\n□有关部门移送[1]□其他：{10}", span=6)],
        [L("基本案情"), C("", span=6, style="GridTop")],
        [L("立案依据"), C(f"{REGULATION}第十四条第二款；{{18}}", span=6)],
        [L("承办监察员\n意见"), sign_cell("承办人：", span=6)],
        [L("监察机构\n负责人\n审批意见"), sign_cell("审批人：", span=6)],
        [L("备注"), C("", span=6)],
    ], [1.0, 0.85, 0.85, 0.85, 0.85, 1.4, 6.8, 0.9, 2.4, 2.4, 1.0])


def handling_approval(d):  # ws8, menu position 9
    letter_head(d, "劳动保障监察案件处理报批表", "（责令改正、行政处理适用）", number=False)
    d.serial()
    d.table([2.9, 5.1, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("法定代表人\n（负责人）"), C(""), L("立案日期"), C("[3]年[2]月[2]日")],
        [L("违法事实\n及证据"), C("", span=3, style="GridTop")],
        [L("陈述、申辩\n情况"), C("", span=3, style="GridTop")],
        [L("违反的规定"), C("", span=3)],
        [L("处理依据"), C(f"{REGULATION}第十八条第一款第（{{1}}）项；{{16}}", span=3)],
        [L("拟处理意见"), C("□责令改正：{20}\n□作出行政处理决定：{16}\n□撤销立案（情节轻微且已改正）", span=3,
                         style="GridTop")],
        [L("承办监察员\n意见"), sign_cell("承办人：", span=3)],
        [L("审核意见"), sign_cell("审核人：", span=3)],
        [L("负责人\n审批意见"), sign_cell("审批人：", span=3)],
    ], [0.85, 0.85, 0.95, 4.4, 2.0, 0.85, 0.9, 2.2, 2.2, 2.2, 2.2])


def correction_order(d):  # ws9
    letter_head(d, "劳动保障监察责令改正决定书")
    d.p("{12:Unit}：", "Flush")
    d.p("本机关于{2}年{2}月{2}日对你单位进行劳动保障监察，发现你单位存在下列违反劳动保障法律、法规或者规章的行为：")
    d.lines(3)
    d.p("以上事实有{20}等证据证实。")
    d.p(f"你单位的上述行为违反了{{16}}的规定。依照{REGULATION}第十八条第一款第（二）项和{{12}}的规定，"
        "本机关责令你单位于{2}年{2}月{2}日前改正下列行为：")
    d.lines(3)
    d.p("请你单位在改正期限届满后3日内将改正情况书面报送本机关。"
        f"逾期不改正的，本机关将依照{REGULATION}第三十条第一款第（三）项的规定予以处罚。")
    d.p(REMEDIES)
    d.seal()
    d.gap()
    d.note(SERVED_NOTE)


DISCUSSION_HEADING = "劳动保障行政部门负责人对复杂、重大行政处罚集体讨论记录"
HEADING_LINES[DISCUSSION_HEADING] = ["劳动保障行政部门负责人对复杂、重大", "行政处罚集体讨论记录"]


def discussion_rows(extra_rows):
    head = [
        [L("案由"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("讨论时间"), C("[3]年[2]月[2]日[2]时[2]分至[2]时[2]分", span=3)],
        [L("讨论地点"), C("", span=3)],
        [L("主持人"), C(""), L("记录人"), C("")],
        [L("出席人员\n（姓名、职务）"), C("", span=3)],
        [L("列席人员"), C(""), L("汇报人"), C("")],
    ]
    tail = [
        [C("出席人员签名：", span=2, style="GridTop"), C("主持人签名：\n\n>[2]年[1]月[1]日", span=2, style="GridTop")],
    ]
    return head + extra_rows + tail


def penalty_discussion(d):  # ws10, menu position 11
    letter_head(d, DISCUSSION_HEADING, "（拟作出行政处罚，事先告知前讨论）", number=False)
    rows = discussion_rows([
        [L("案情及\n拟处罚意见\n汇报"), C("", span=3, style="GridTop")],
        [L("讨论意见"), C("（按发言顺序记录出席人员的意见）", span=3, style="GridTop")],
        [L("讨论结论"), C("□拟给予行政处罚：{18}\n□不予行政处罚，理由：{16}\n□移送：{10}[1]□补充调查：{8}",
                       span=3, style="GridTop")],
    ])
    d.table([2.8, 6.4, 1.8, 5.0], rows, [0.85, 0.85, 0.85, 0.85, 0.85, 1.3, 0.85, 4.0, 4.2, 2.3, 1.9])


def penalty_notice(d):  # ws11
    letter_head(d, "劳动保障监察行政处罚事先告知书")
    d.p("{12:Unit}：", "Flush")
    d.p("经查，你单位存在下列违法行为：")
    d.lines(3)
    d.p("以上事实有{20}等证据证实。你单位的上述行为违反了{16}的规定。"
        "依照{16}的规定，本机关拟对你单位作出如下行政处罚：")
    d.lines(2)
    d.p(f"依照{REGULATION}第十九条的规定，你单位有权进行陈述和申辩。"
        "你单位对上述事实、理由和依据有异议的，可以自收到本告知书之日起3日内向本机关提出陈述、申辩意见，"
        "并可以提交证据；逾期未提出的，视为放弃陈述、申辩的权利。"
        "本机关不因你单位的陈述、申辩而加重处罚。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.gap()
    d.note(SERVED_NOTE)


def representation_record(d):  # ws12
    letter_head(d, "陈述申辩笔录", number=False)
    d.p(">第[1]{2}页[1]共[1]{2}页", "Flush")
    d.table([2.9, 5.1, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("时间"), C("[2]年[1]月[1]日[1]时[1]分至[1]时[1]分"), L("地点"), C("")],
        [L("陈述申辩人"), C(span=3, field="Unit")],
        [L("法定代表人\n（负责人）"), C(""), L("职务"), C("")],
        [L("委托代理人"), C(""), L("身份证件\n号码"), C("")],
        [L("承办人"), C(""), L("记录人"), C("")],
        [C(f"承办人告知：本机关拟对你单位作出{{14}}的决定。依照{REGULATION}第十九条的规定，"
           "你单位有权就拟作出的决定所依据的事实、理由和依据进行陈述和申辩，并可以提交证据。", span=4, style="GridTop")],
        [C("陈述申辩内容：", span=4, style="GridTop")],
        [C("陈述申辩人提交的证据：", span=4, style="GridTop")],
        [C("以上笔录已阅，与所述一致。\n>陈述申辩人签名：{6}[2][2]年[1]月[1]日", span=4, style="GridTop")],
        [C("承办人签名：\n>[2]年[1]月[1]日", span=2, style="GridTop"),
         C("记录人签名：\n>[2]年[1]月[1]日", span=2, style="GridTop")],
    ], [0.85, 0.95, 0.85, 0.95, 0.95, 0.85, 1.7, 8.0, 1.5, 1.5, 1.5])


def hearing_notice(d):  # ws13
    letter_head(d, "劳动保障监察行政处罚听证告知书")
    d.p("{12:Unit}：", "Flush")
    d.p("经查，你单位存在下列违法行为：")
    d.lines(2)
    d.p("以上事实有{20}等证据证实。本机关拟依照{16}的规定，对你单位作出如下行政处罚：")
    d.lines(2)
    # The hearing right and its 5-day request period come from the 行政处罚法 as
    # revised in 2021; the labour ministry's 1996 hearing rules are not cited.
    d.p("依照《中华人民共和国行政处罚法》的有关规定，你单位有要求举行听证的权利。"
        "要求听证的，应当自收到本告知书之日起5日内向本机关提出，可以在下联签署意见交回，也可以另行书面提出；"
        "逾期未提出的，视为放弃听证的权利。你单位不承担组织听证的费用。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.cut("沿此线剪开，下联由当事人签署意见后交回")
    d.p("^听 证 意 见 回 执", "Flush")
    d.p("本单位已收到[1]{4}字〔{3}〕第{4}号《劳动保障监察行政处罚听证告知书》，"
        "[1]□要求听证[2]□不要求听证。", "Flush")
    d.p(">当事人签名（盖章）：{8}[2][3]年[2]月[2]日", "Flush")


def decision_facts(d, notice):
    d.table([2.6, 13.4], [
        [L("被处理单位" if "处理" in notice else "当事人"), C(field="Unit")],
        [L("地址"), C("")],
        [L("法定代表人\n（负责人）"), C("")],
    ], [0.85])
    d.p("本机关于{2}年{2}月{2}日对你单位{14}一案立案调查。经查，你单位存在下列违法行为：")
    d.lines(2)
    d.p(f"以上事实有{{18}}等证据证实。本机关已于{{2}}年{{2}}月{{2}}日向你单位送达《{notice}》，"
        "你单位{12}（陈述、申辩情况）。")


def handling_decision(d):  # ws14
    letter_head(d, "劳动保障监察行政处理决定书")
    decision_facts(d, "劳动保障监察行政处罚（行政处理）事先告知书")
    d.p(f"你单位的上述行为违反了{{16}}的规定。依照{REGULATION}第十八条第一款第（二）项和{{14}}的规定，"
        "本机关决定：")
    d.lines(2)
    d.p("你单位应当自收到本决定书之日起{2}日内履行本决定，并将履行情况书面报告本机关。"
        f"拒不履行本决定的，本机关将依照{REGULATION}第三十条第一款第（三）项的规定予以处罚，并依法申请人民法院强制执行。")
    d.p(REMEDIES + "复议和诉讼期间，本决定不停止执行。")
    d.seal()
    d.note(SERVED_NOTE)


def penalty_decision(d):  # ws15
    letter_head(d, "劳动保障监察行政处罚决定书")
    decision_facts(d, "劳动保障监察行政处罚事先告知书")
    d.p("你单位的上述行为违反了{16}的规定。依照{18}的规定，本机关决定对你单位作出如下行政处罚：")
    d.lines(2)
    d.p("罚款应当自收到本决定书之日起15日内缴纳至{14}。到期不缴纳罚款的，"
        "每日按罚款数额的3%加处罚款，加处罚款的数额不超出罚款的数额。")
    d.p(REMEDIES + "逾期不申请行政复议、不提起行政诉讼，又不履行本决定的，本机关将依法申请人民法院强制执行。")
    d.seal()
    d.note(SERVED_NOTE)


def service_receipt(d):  # ws16
    letter_head(d, "劳动保障监察送达回执", number=False)
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("送达文书\n名称及文号"), C("", span=3, style="GridTop")],
        [L("受送达人"), C(span=3, field="Unit")],
        [L("送达地点"), C("", span=3)],
        [L("送达方式"), C("□直接送达[1]□留置送达[1]□委托送达[1]□邮寄送达[1]□公告送达", span=3)],
        [L("受送达人\n签名或盖章"), C("\n>[2]年[1]月[1]日[1]时[1]分", span=3, style="GridBottom")],
        [L("代收人签名"), C("\n>[2]年[1]月[1]日[1]时[1]分"), L("与受送达人\n的关系"), C("")],
        [L("拒收事由\n及日期"), C("", span=3, style="GridTop")],
        [L("见证人签名"), C("\n>[2]年[1]月[1]日"), L("见证人\n单位或住址"), C("")],
        [L("送达人签名"), C("\n>[2]年[1]月[1]日", span=3)],
        [L("备注"), C("", span=3, style="GridTop")],
    ], [0.85, 1.5, 0.85, 0.85, 0.85, 2.2, 1.7, 1.9, 1.7, 1.5, 1.5])
    # Service follows the 民事诉讼法: notice by publication takes effect after 30 days
    # (as revised in 2021).
    d.note("填写说明：")
    for line in ("一、受送达人是法人或者其他组织的，由其法定代表人、主要负责人或者负责收件的人签收；"
                 "受送达人是公民的，由本人签收，本人不在的，可以交其同住的成年家属签收。",
                 "二、由他人代收的，代收人应当在本回执上签名，并注明与受送达人的关系。",
                 "三、受送达人拒绝签收的，送达人可以邀请见证人到场，说明情况，在本回执上记明拒收事由和日期，"
                 "由送达人、见证人签名，把文书留在受送达人的住所，即视为送达。",
                 "四、邮寄送达的，以回执上注明的收件日期为送达日期；公告送达的，自公告发出之日起经过30日，即视为送达。"):
        d.note(line)


def crime_transfer(d):  # ws17
    letter_head(d, "涉嫌犯罪案件移送书")
    d.p("{12}公安局：", "Flush")
    d.p("本机关在查处{16}一案中，发现当事人{14:Unit}涉嫌{12}。"
        f"依照{REGULATION}第十八条第二款的规定，现将该案移送你局依法处理。")
    d.p("附件：", "Flush")
    d.table([11, 5], [[C(f"[2]{i}．{name}", style="Plain"), C("共{2}页", style="Plain")] for i, name in enumerate(
        ("涉嫌犯罪案件情况的调查报告", "涉案物品清单", "有关检验报告或者鉴定结论", "其他有关涉嫌犯罪的材料"), 1)], [0.7])
    d.p("请你局自收到本移送书及有关材料之日起3日内依法审查是否立案，并将决定书面告知本机关。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.cut("沿此线剪开，下联由接收机关签收后交回")
    d.p("^接 收 回 执", "Flush")
    d.p("本机关已收到{16}移送的{14}一案的《涉嫌犯罪案件移送书》及附件材料共{2}份{3}页。", "Body")
    d.p(">接收人签名：{6}[2]接收机关（印章）", "Flush")
    d.p(">[3]年[2]月[2]日[2]", "Flush")


def crime_transfer_approval(d):  # ws25
    letter_head(d, "劳动保障涉嫌犯罪案件移送审批表", number=False)
    d.serial()
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("案由"), C(""), L("立案日期"), C("[3]年[2]月[2]日")],
        [L("涉嫌罪名"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("地址"), C("", span=3)],
        [L("法定代表人\n或负责人"), C(""), L("联系电话"), C("")],
        [L("基本违法事实\n及移送理由"), C("", span=3, style="GridTop")],
        [L("拟移送机关"), C("", span=3)],
        [L("随案移送\n材料"), C("", span=3, style="GridTop")],
        [L("承办监察员\n意见"), C("\n>主办监察员：{5}[2]年[1]月[1]日\n>协办监察员：{5}[2]年[1]月[1]日", span=3,
                                 style="GridBottom")],
        [L("监察机构\n负责人意见"), sign_cell("审核人：", span=3)],
        [L("部门负责人\n意见"), sign_cell("审批人：", span=3)],
        [L("备注"), C("", span=3)],
    ], [0.85, 0.85, 0.85, 0.85, 0.95, 6.8, 0.85, 1.8, 2.4, 2.2, 2.2, 0.9])


def closing_report(d):  # ws20
    letter_head(d, "劳动保障监察案件结案报告", number=False)
    d.serial()
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("立案日期"), C("[3]年[2]月[2]日"), L("结案日期"), C("[3]年[2]月[2]日")],
        [L("案件来源"), C(""), L("承办人"), C("")],
        [L("调查认定的\n违法事实"), C("", span=3, style="GridTop")],
        [L("处理、处罚\n决定及文号"), C("", span=3, style="GridTop")],
        [L("执行情况"), C("□自动履行[1]□经催告后履行[1]□申请人民法院强制执行[1]□其他：{6}", span=3)],
        [L("维护劳动者\n权益情况"), C("追发工资等{6}元，涉及劳动者{3}人；补缴社会保险费{6}元；"
                                "\n督促签订劳动合同{3}份；罚款{6}元。", span=3)],
        [L("需要说明的\n其他问题"), C("", span=3, style="GridTop")],
        [L("承办人\n结案意见"), sign_cell("承办人：", span=3)],
    ], [0.85, 0.85, 0.85, 0.85, 5.6, 2.6, 0.95, 1.5, 2.4, 2.4])
    d.note("注：本报告与《劳动保障监察结案审批表》一并归入案卷。")


def extension_approval(d):  # ws19
    letter_head(d, "案件申请延期审批表", number=False)
    d.serial()
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("立案日期"), C("[3]年[2]月[2]日"), L("承办人"), C("")],
        [L("办案期限\n届满日期"), C("[3]年[2]月[2]日\n（自立案之日起60个工作日）", span=3)],
        [L("申请延长\n期限"), C("{3}个工作日（不超过30个工作日），延长至{3}年{2}月{2}日", span=3)],
        [L("调查进展\n情况"), C("", span=3, style="GridTop")],
        [L("申请延期\n理由"), C("", span=3, style="GridTop")],
        [L("承办监察员\n意见"), sign_cell("承办人：", span=3)],
        [L("监察机构\n负责人意见"), sign_cell("审核人：", span=3)],
        [L("劳动保障行政\n部门负责人\n审批意见"), sign_cell("审批人：", span=3)],
    ], [0.85, 0.85, 0.85, 1.2, 0.95, 3.8, 4.0, 2.2, 2.2, 2.4])
    d.note(f"注：依照{REGULATION}第十七条的规定，调查应当自立案之日起60个工作日内完成；"
           "对情况复杂的，经劳动保障行政部门负责人批准，可以延长30个工作日。")


def closing_approval(d):  # ws18
    letter_head(d, "劳动保障监察结案审批表", number=False)
    d.serial()
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("被监察单位"), C(span=3, field="Unit")],
        [L("案由"), C("", span=3)],
        [L("立案日期"), C("[3]年[2]月[2]日"), L("承办人"), C("")],
        [L("调查处理\n过程"), C("", span=3, style="GridTop")],
        [L("处理处罚\n及执行情况"), C("", span=3, style="GridTop")],
        [L("结案理由"), C("□违法行为已纠正，处理、处罚决定已履行完毕\n□情节轻微且已改正，撤销立案"
                       "\n□已移送有关部门或者司法机关\n□其他：{16}", span=3)],
        [L("承办监察员\n意见"), C("\n>主办监察员：{5}[2]年[1]月[1]日\n>协办监察员：{5}[2]年[1]月[1]日", span=3,
                                 style="GridBottom")],
        [L("审核人意见"), sign_cell("审核人：", span=3)],
        [L("审批人意见"), sign_cell("审批人：", span=3)],
        [L("备注"), C("", span=3)],
    ], [0.85, 0.85, 0.85, 4.2, 3.8, 2.6, 2.4, 2.2, 2.2, 0.9])


def penalty_approval(d):  # ws21, menu position 23
    letter_head(d, "劳动保障监察案件处理报批表", "（行政处罚适用）", number=False)
    d.serial()
    d.table([2.9, 5.1, 2.4, 5.6], [
        [L("案由"), C("", span=3)],
        [L("当事人"), C(span=3, field="Unit")],
        [L("法定代表人\n（负责人）"), C(""), L("立案日期"), C("[3]年[2]月[2]日")],
        [L("违法事实\n及证据"), C("", span=3, style="GridTop")],
        [L("违反的规定"), C("", span=3)],
        [L("处罚依据"), C("", span=3)],
        [L("拟处罚\n种类和幅度"), C("□警告[1]□罚款{5}元[1]□没收违法所得{5}元[1]□吊销许可证\n□其他：{16}", span=3)],
        [L("事先告知、\n陈述申辩及\n听证情况"), C("", span=3, style="GridTop")],
        [L("是否需要\n集体讨论"), C("□是（附集体讨论记录）[2]□否", span=3)],
        [L("承办监察员\n意见"), sign_cell("承办人：", span=3)],
        [L("法制审核\n意见"), sign_cell("审核人：", span=3)],
        [L("负责人\n审批意见"), sign_cell("审批人：", span=3)],
    ], [0.85, 0.85, 0.95, 4.6, 0.85, 0.85, 1.4, 2.4, 0.9, 2.0, 2.0, 2.0])


def enforcement_application(d):  # ws22
    letter_head(d, "强制执行申请书")
    d.table([2.8, 5.2, 2.4, 5.6], [
        [L("申请人"), C("", span=3)],
        [L("地址"), C(""), L("联系电话"), C("")],
        [L("法定代表人"), C(""), L("职务"), C("")],
        [L("被申请人"), C(span=3, field="Unit")],
        [L("地址"), C(""), L("联系电话"), C("")],
        [L("法定代表人\n（负责人）"), C(""), L("职务"), C("")],
    ], [0.85])
    d.p("申请事项：", "Flush")
    d.p("请求依法强制执行申请人于{2}年{2}月{2}日作出的{14}（{4}字〔{3}〕第{4}号）。")
    d.p("事实和理由：", "Flush")
    d.p("申请人于{2}年{2}月{2}日对被申请人作出上述决定，并于{2}年{2}月{2}日依法送达。"
        "决定的主要内容：")
    d.lines(2)
    d.p("被申请人在法定期限内未申请行政复议，也未提起行政诉讼，经申请人于{2}年{2}月{2}日催告后仍不履行。"
        "依照《中华人民共和国行政强制法》的有关规定，特申请人民法院强制执行。")
    d.p("此致", "Body")
    d.p("{10}人民法院", "Flush")
    d.p("附件：1．决定书及送达回执；2．催告书及送达回执；3．其他有关材料{2}份。", "Flush")
    d.seal("申请人（印章）")
    d.p(">法定代表人：{6}（签名）[2]", "Flush")


def case_transfer_letter(d):  # ws26
    letter_head(d, "案件移送函")
    d.p("{12}：", "Flush")
    d.p("本机关在劳动保障监察中发现{14:Unit}（当事人）{16}一案。经审查，该案：")
    d.p(f"□不属于劳动保障监察事项，依照{REGULATION}第十八条第二款的规定，应当移送有关部门处理；")
    d.p(f"□不属于本机关管辖，依照{REGULATION}第十三条的规定，应当由你单位管辖。")
    d.p("现将该案移送你单位，请依法处理，并将处理结果函告本机关。")
    d.p("案件基本情况：", "Flush")
    d.lines(4)
    d.p("附件：有关材料共{2}份{3}页。", "Flush")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.cut("沿此线剪开，下联由接收单位签收后交回")
    d.p("^接 收 回 执", "Flush")
    d.p("本单位已收到{16}移送的{14}一案的《案件移送函》及附件材料共{2}份{3}页。", "Body")
    d.p(">接收人签名：{6}[2]接收单位（印章）", "Flush")
    d.p(">[3]年[2]月[2]日[2]", "Flush")


def handling_notice(d):  # ws24
    letter_head(d, "劳动保障监察行政处罚（行政处理）事先告知书")
    d.p("{12:Unit}：", "Flush")
    d.p("经查，你单位存在下列违法行为：")
    d.lines(3)
    d.p("以上事实有{20}等证据证实。你单位的上述行为违反了{16}的规定。"
        "依照{16}的规定，本机关拟对你单位作出如下[1]□行政处罚[1]□行政处理决定：")
    d.lines(2)
    d.p(f"依照{REGULATION}第十九条的规定，本机关作出行政处罚或者行政处理决定前，听取你单位的陈述、申辩。"
        "你单位对上述事实、理由和依据有异议的，可以自收到本告知书之日起3日内向本机关提出陈述、申辩意见，"
        "并可以提交证据；逾期未提出的，视为放弃陈述、申辩的权利。"
        "拟作出的行政处罚依法应当告知听证权利的，本机关另行送达听证告知书。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.gap()
    d.note(SERVED_NOTE)


def decision_discussion(d):  # ws23, menu position 25
    letter_head(d, DISCUSSION_HEADING, "（陈述申辩、听证后，作出行政处罚决定前讨论）", number=False)
    rows = discussion_rows([
        [L("事先告知\n送达情况"), C("文号：{4}字〔{3}〕第{4}号[2]送达日期：[3]年[2]月[2]日", span=3)],
        [L("陈述、申辩\n或听证情况\n及复核意见"), C("", span=3, style="GridTop")],
        [L("讨论意见"), C("（按发言顺序记录出席人员的意见）", span=3, style="GridTop")],
        [L("讨论决定"), C("□维持拟处罚意见，作出行政处罚决定：{14}\n□变更为：{18}\n□不予行政处罚，理由：{14}"
                       "\n□移送：{16}", span=3, style="GridTop")],
    ])
    d.table([2.8, 6.4, 1.8, 5.0], rows, [0.85, 0.85, 0.85, 0.85, 0.85, 1.3, 0.85, 0.85, 2.6, 3.6, 2.9, 1.9])


# ---------------------------------------------------------------- collection only
# Forms of the procedure that have no menu entry of their own.

def inquiry_record(d):
    letter_head(d, "劳动保障监察询问笔录", number=False)
    d.p(">第[1]{2}页[1]共[1]{2}页", "Flush")
    d.table([2.4, 3.6, 2.2, 3.0, 1.4, 3.4], [
        [L("询问时间"), C("[3:Year]年[2:Month]月[2:Day]日[2:Hour]时[2:Minute]分至[2:EndHour]时[2:EndMinute]分",
                         span=5)],
        [L("询问地点"), C(span=5, field="Place")],
        [L("询问人"), C(field="Interviewer"), L("证件号码"), C("", span=3)],
        [L("询问人"), C(""), L("证件号码"), C("", span=3)],
        [L("记录人"), C(field="Recorder"), L("被询问人"), C(field="Person"), L("性别"), C(field="Sex")],
        [L("身份证件\n号码"), C(span=3, field="IdNumber"), L("年龄"), C(field="Age")],
        [L("工作单位\n及职务"), C(span=3, field="UnitPosition"), L("电话"), C(field="Phone")],
        [L("住址"), C(span=5, field="Address")],
        [C(f"问：我们是{{10}}的劳动保障监察员，这是我们的证件。现依法就{{10}}一事向你调查了解情况，"
           f"你应当如实回答。依照{REGULATION}第十六条的规定，劳动保障监察员与本案有直接利害关系的，你有权申请回避。"
           "你是否申请回避？\n答：", span=6, style="GridTop")],
        [C("问：\n\n答：", span=6, style="GridTop")],
        [C("以上笔录已阅，与所述一致。\n>被询问人签名：{6}[2][2]年[1]月[1]日", span=6, style="GridTop")],
        [C("询问人签名：\n>[2]年[1]月[1]日", span=3, style="GridTop"),
         C("记录人签名：\n>[2]年[1]月[1]日", span=3, style="GridTop")],
    ], [0.85, 0.85, 0.85, 0.85, 0.85, 0.95, 0.95, 0.85, 2.6, 5.4, 1.5, 1.5])
    d.note("注：每页由被询问人签名；更正处由被询问人按指印；被询问人拒绝签名的，由询问人在笔录中注明。")


def hearing_summons(d):
    letter_head(d, "劳动保障监察行政处罚听证通知书")
    d.p("{12:Unit}：", "Flush")
    d.p("根据你单位的听证要求，本机关决定于{2}年{2}月{2}日{2}时{2}分在{14}举行听证，"
        "对{14}一案拟作出的行政处罚进行听证。")
    d.p("本次听证由{5}担任主持人，{5}担任听证员，{5}担任书记员。"
        "你单位认为主持人、听证员或者书记员与本案有直接利害关系的，有权申请回避。")
    d.p("你单位的法定代表人（负责人）可以亲自参加听证，也可以委托1至2名代理人参加。参加听证前，请做好下列准备：")
    for line in ("1．携带有关证据材料；",
                 "2．通知有关证人出席作证；",
                 "3．委托代理人参加的，提前办理授权委托手续，代理人携带授权委托书和本人身份证件；",
                 "4．申请回避的，在听证开始前提出并说明理由。"):
        d.p(line)
    d.p("你单位无正当理由不参加听证，或者未经许可中途退出听证的，视为放弃听证的权利。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.gap()
    d.note(SERVED_NOTE)


def payment_reminder(d):
    letter_head(d, "履行行政处罚（行政处理）决定催告书")
    d.p("{12:Unit}：", "Flush")
    d.p("本机关于{2}年{2}月{2}日对你单位作出{14}（{4}字〔{3}〕第{4}号），"
        "并于{2}年{2}月{2}日依法送达。该决定要求你单位：")
    d.lines(3)
    d.p("你单位在法定期限内未申请行政复议，也未提起行政诉讼，至今未履行上述决定。"
        "现催告你单位自收到本催告书之日起10日内履行上述决定。")
    d.p("你单位有权进行陈述和申辩；有异议的，可以自收到本催告书之日起3日内向本机关提出。"
        "逾期仍不履行，又无正当理由的，本机关将依照《中华人民共和国行政强制法》的有关规定申请人民法院强制执行。")
    for line in CONTACT:
        d.p(line, "Flush")
    d.seal()
    d.gap()
    d.note(SERVED_NOTE)


def case_file_contents(d):  # 卷内目录, section (一) of the collection
    d.authority()
    d.heading("卷内目录")
    d.p("案卷号：{8}[4]案由：{18}", "Flush")
    rows = [[L("序号"), L("文号"), L("责任者"), L("题名"), L("日期"), L("页号"), L("备注")]]
    rows += [[C(""), C(""), C(""), C(""), C(""), C(""), C("")] for _ in range(20)]
    d.table([1.2, 2.6, 2.4, 5.4, 1.8, 1.2, 1.4], rows, [0.85])
    d.note("填写说明：“序号”按文件排列顺序用阿拉伯数字逐件填写；“文号”填写对外文书的文号；"
           "“责任者”填写制发文件的机关或者机构名称；“页号”填写每件文件首页的页号。")


# ---------------------------------------------------------------- catalogue

# (scratch file, heading, writer) in menu order after the collection.
FORMS = [
    ("ws1", "实施劳动保障监察委托书", commission),
    ("ws2", "劳动保障监察调查检查记录", inspection_record),
    ("ws3", "劳动保障监察调查询问通知书", inquiry_notice),
    ("ws4", "举报登记表", report_register),
    ("ws5", "投诉登记表", complaint_register),
    ("ws6", "劳动保障监察不予受理投诉决定书", complaint_refusal),
    ("ws7", "劳动保障监察立案审批表", case_filing),
    ("ws8", "劳动保障监察案件处理报批表", handling_approval),
    ("ws9", "劳动保障监察责令改正决定书", correction_order),
    ("ws10", DISCUSSION_HEADING, penalty_discussion),
    ("ws11", "劳动保障监察行政处罚事先告知书", penalty_notice),
    ("ws12", "陈述申辩笔录", representation_record),
    ("ws13", "劳动保障监察行政处罚听证告知书", hearing_notice),
    ("ws14", "劳动保障监察行政处理决定书", handling_decision),
    ("ws15", "劳动保障监察行政处罚决定书", penalty_decision),
    ("ws16", "劳动保障监察送达回执", service_receipt),
    ("ws17", "涉嫌犯罪案件移送书", crime_transfer),
    ("ws25", "劳动保障涉嫌犯罪案件移送审批表", crime_transfer_approval),
    ("ws20", "劳动保障监察案件结案报告", closing_report),
    ("ws19", "案件申请延期审批表", extension_approval),
    ("ws18", "劳动保障监察结案审批表", closing_approval),
    ("ws21", "劳动保障监察案件处理报批表", penalty_approval),
    ("ws22", "强制执行申请书", enforcement_application),
    ("ws23", DISCUSSION_HEADING, decision_discussion),
    ("ws24", "劳动保障监察行政处罚（行政处理）事先告知书", handling_notice),
    ("ws26", "案件移送函", case_transfer_letter),
]

# The collection: the forms in the order of the enforcement procedure.
# Forms without a menu entry of their own are named by their heading.
COLLECTION_ORDER = ["ws1", "ws4", "ws5", "ws6", "ws7", "ws2", "ws3", "劳动保障监察询问笔录", "ws19", "ws8", "ws9",
                    "ws21", "ws10", "ws11", "ws24", "ws13", "劳动保障监察行政处罚听证通知书", "ws12", "ws23", "ws14",
                    "ws15", "ws16", "履行行政处罚（行政处理）决定催告书", "ws22", "ws26", "ws25", "ws17", "ws20", "ws18"]
COLLECTION_ONLY = {"劳动保障监察询问笔录": inquiry_record, "劳动保障监察行政处罚听证通知书": hearing_summons,
                   "履行行政处罚（行政处理）决定催告书": payment_reminder}

COLLECTION_TITLE = "劳动保障监察执法文书"
SECTION_NUMBERS = ["一", "二", "三", "四", "五", "六", "七", "八", "九", "十"]


def chinese_number(n):
    if n <= 10:
        return SECTION_NUMBERS[n - 1]
    tens, ones = divmod(n, 10)
    return ("" if tens == 1 else SECTION_NUMBERS[tens - 1]) + "十" + (SECTION_NUMBERS[ones - 1] if ones else "")


def collection_sections():
    """(section label, heading, writer) of the collection, in order."""
    by_key = {key: (heading, writer) for key, heading, writer in FORMS}
    sections = [("卷内目录", case_file_contents)] + [by_key[k] if k in by_key else (k, COLLECTION_ONLY[k])
                                                  for k in COLLECTION_ORDER]
    return [(f"（{chinese_number(i + 1)}）", heading, writer) for i, (heading, writer) in enumerate(sections)]


def collection(d):
    d.p(COLLECTION_TITLE, "CoverTitle")
    d.p("（空白文书式样）", "CoverLine")
    d.p("", "CoverLine")
    for label, heading, writer in collection_sections():
        note = {handling_approval: "（责令改正、行政处理适用）", penalty_approval: "（行政处罚适用）",
                penalty_discussion: "（事先告知前）", decision_discussion: "（作出决定前）"}.get(writer, "")
        d.p(f"[4]{label}{heading}{note}", "CoverEntry")
    for label, heading, writer in collection_sections():
        d.section(label)
        writer(d)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    docs = [(key, heading, writer) for key, heading, writer in FORMS] + [("ws27", COLLECTION_TITLE, collection)]
    for key, heading, writer in docs:
        d = Document(heading)
        writer(d)
        with open(os.path.join(out, key + ".fodt"), "w", encoding="utf-8", newline="\n") as f:
            f.write(d.xml())
    print(f"wrote {len(docs)} forms to {out}")


if __name__ == "__main__":
    main()
