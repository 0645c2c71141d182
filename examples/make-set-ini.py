#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Write examples/Set.ini, the sample office settings file.

The file is read the way Windows reads profile files (sections "[name]",
lines "key=value"), so it is written in GBK (code page 936) with CR LF line
ends, including after the last line.  Run it from anywhere:

    python3 examples/make-set-ini.py

After writing, the file is read back and checked; a failed check stops the
script with an error.
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "Set.ini")

CITY = "Velmora市"
PROVINCE_CITY = "吉林省Velmora市"

# Places of inquiry: the part written after "Velmora市".
PLACES = [
    "劳动保障监察支队询问室",
    "人力资源和社会保障局工伤保险科",
    "人社局三楼工伤认定询问室",
    "社会保险事业管理局二楼接待室",
    "劳动人事争议仲裁院调解室",
    "南关区人社局一楼调解室",
    "朝阳区劳动保障监察大队询问室",
    "宽城区人力资源和社会保障局办公室",
    "绿园区人社局工伤认定科",
    "二道区劳动保障服务中心",
    "经济技术开发区社会事业局",
    "高新技术产业开发区劳动保障所",
    "南湖街道劳动保障事务所",
    "西安大路街道社区服务中心",
    "东盛街道劳动保障工作站",
    "第一人民医院住院部骨科病房",
    "中心医院外科病房",
    "中医院创伤外科病房",
    "骨伤科医院三楼病房",
    "创伤急救中心留观室",
    "汽车产业园某机械加工厂办公室",
    "西环城路某建筑工地项目部",
    "食品工业园某食品有限公司会议室",
    "北湖物流园某物流公司调度室",
    "兴隆镇人民政府劳动保障所",
]

# Household-registration places: the part written after "吉林省Velmora市".
HUJI = [
    "南关区",
    "朝阳区",
    "宽城区",
    "绿园区",
    "二道区",
    "双阳区",
    "九台区",
    "南关区永吉街道",
    "朝阳区桂林街道",
    "宽城区团山街道",
    "绿园区青年路街道",
    "二道区荣光街道",
    "双阳区云山街道",
    "九台区营城街道",
    "榆树市",
    "德惠市",
    "农安县",
    "公主岭市",
    "榆树市五棵树镇",
    "德惠市米沙子镇",
    "农安县合隆镇",
    "农安县伏龙泉镇太平村",
    "双阳区鹿乡镇平湖村",
    "九台区其塔木镇前岗村",
    "榆树市大岭镇永胜村",
]

# Interviewing officials.
NAMES_ASKING = [
    "王建国", "李文博", "张海涛", "刘晓东", "陈志明",
    "杨立新", "赵永强", "孙丽华", "周文静", "吴德胜",
]

# Other persons present (second officer, interpreters, relatives, employer
# representatives).
NAMES_PRESENT = [
    "郑秀英", "冯国庆", "何春生", "许丽娟", "韩学军",
    "曹桂芝", "彭立军", "邓美玲", "谢宝山", "罗淑珍",
]

# Record-keeping officials.
NAMES_RECORDING = [
    "高丽萍", "马晓燕", "朱玉梅", "胡雪松", "林佳怡",
    "宋晓光", "唐文娟", "董丽丽", "袁志刚", "梁晓红",
]

# Canned questions and answers, one pair per step of the inquiry, in order.
PAIRS = [
    # 1 officials, identity, duty to tell the truth
    (
        [
            "问：我们是Velmora市人力资源和社会保障局的工作人员，这是我们的执法证件，请你看一下。",
            "问：我们是劳动保障监察支队的执法人员，现依法就你受伤一事向你进行调查，请你配合。",
            "问：我们是工伤保险科的工作人员，今天就你的工伤认定申请向你了解情况。",
            "问：根据法律规定，你有如实提供证据、陈述事实的义务，作虚假陈述要承担法律责任，你听清楚了吗？",
            "问：你对我们的执法人员有没有要求回避的？",
            "问：你能听懂普通话吗？是否需要翻译人员？",
            "问：今天的询问需要制作笔录，你看完笔录后要签字确认，你明白吗？",
            "问：你现在身体状况怎么样，能否接受询问？",
        ],
        [
            "答：看清楚了。",
            "答：听清楚了，我会如实回答。",
            "答：明白，我保证如实陈述。",
            "答：不需要回避。",
            "答：能听懂，不需要翻译。",
            "答：身体可以，能接受询问。",
        ],
    ),
    # 2 name, age, identity card
    (
        [
            "问：请你说一下你的姓名、性别、年龄。",
            "问：你的出生日期是什么时候？",
            "问：你的公民身份号码是多少？",
            "问：你是哪里人？户籍所在地在哪里？",
            "问：你现在的居住地址在哪里？",
            "问：你的联系电话是多少？",
            "问：你的文化程度是什么？",
            "问：你带身份证了吗？请出示一下。",
        ],
        [
            "答：我叫____，男，今年____岁。",
            "答：我叫____，女，今年____岁。",
            "答：我是____年____月____日出生的。",
            "答：身份证号码是____________________。",
            "答：我户口在吉林省Velmora市____。",
            "答：我现在住在____区____街____号。",
            "答：我的电话是____________。",
            "答：带了，这是我的身份证。",
        ],
    ),
    # 3 employer
    (
        [
            "问：你在哪个单位工作？",
            "问：单位的全称是什么？",
            "问：单位的地址在哪里？",
            "问：你所在单位是什么性质的？",
            "问：单位主要经营什么业务？",
            "问：单位大概有多少职工？",
        ],
        [
            "答：我在Velmora市某某有限公司工作。",
            "答：单位全称是________________有限公司。",
            "答：单位在____区____路____号。",
            "答：是私营企业。",
            "答：是个体工商户。",
            "答：主要做机械加工。",
            "答：主要做建筑施工。",
            "答：单位有____多人。",
        ],
    ),
    # 4 person in charge
    (
        [
            "问：单位的负责人是谁？",
            "问：单位的法定代表人是谁？",
            "问：你平时归谁管理？",
            "问：你的直接领导是谁？",
            "问：谁给你安排工作？",
        ],
        [
            "答：负责人是____，大家都叫他某经理。",
            "答：法定代表人是____。",
            "答：我归车间主任____管。",
            "答：我的直接领导是班长____。",
            "答：平时是工长____给我们派活。",
        ],
    ),
    # 5 start of work, how hired
    (
        [
            "问：你是什么时候到这个单位工作的？",
            "问：你是怎么到这个单位工作的？",
            "问：是谁招你进单位的？",
            "问：你进单位时有没有试用期？",
            "问：入职时单位有没有给你办理入职手续？",
            "问：你一直在这个单位工作吗？中间有没有离开过？",
        ],
        [
            "答：我是____年____月____日到单位上班的。",
            "答：是看到单位的招工广告去应聘的。",
            "答：是老乡介绍去的。",
            "答：是通过劳务中介介绍去的。",
            "答：是____面试后招我进去的。",
            "答：试用期一个月。",
            "答：入职时填了登记表，交了身份证复印件。",
            "答：一直在这干，中间没离开过。",
        ],
    ),
    # 6 labour contract
    (
        [
            "问：你和单位签订劳动合同了吗？",
            "问：劳动合同是什么时候签订的？期限多长？",
            "问：劳动合同你手里有没有一份？",
            "问：单位为什么没有和你签订劳动合同？",
            "问：除了劳动合同，你和单位还签过其他协议吗？",
        ],
        [
            "答：签了劳动合同。",
            "答：没签劳动合同。",
            "答：是____年____月签的，期限____年。",
            "答：合同都在单位，我手里没有。",
            "答：我手里有一份，今天带来了。",
            "答：单位说干满三个月再签，后来一直没签。",
            "答：没签过其他协议。",
        ],
    ),
    # 7 job and work content
    (
        [
            "问：你在单位从事什么工作？",
            "问：你具体的工作内容是什么？",
            "问：你在哪个部门或者车间工作？",
            "问：你的工种是什么？有没有上岗证？",
            "问：你的工作地点固定吗？",
            "问：单位给你配发劳动防护用品了吗？",
        ],
        [
            "答：我是车间的操作工。",
            "答：我在工地干木工。",
            "答：我是单位的送货司机。",
            "答：主要负责操作冲床加工零件。",
            "答：我在____车间工作。",
            "答：我是电焊工，有特种作业操作证。",
            "答：工作地点固定，就在厂里。",
            "答：发了安全帽和手套。",
        ],
    ),
    # 8 working hours and shifts
    (
        [
            "问：你每天的工作时间是怎样规定的？",
            "问：你们单位实行几班倒？",
            "问：你每天几点上班、几点下班？",
            "问：中午休息多长时间？",
            "问：你们每周休息几天？",
            "问：你们上下班怎么考勤？",
            "问：单位经常加班吗？",
        ],
        [
            "答：每天工作八个小时。",
            "答：早上____点上班，晚上____点下班。",
            "答：实行两班倒，白班和夜班一周一倒。",
            "答：中午休息一个小时。",
            "答：每周休息一天。",
            "答：上下班打卡考勤。",
            "答：是工长记考勤。",
            "答：活多的时候经常加班。",
        ],
    ),
    # 9 wages
    (
        [
            "问：你的工资是多少？",
            "问：工资是怎么计算的？",
            "问：工资是怎么发放的？",
            "问：单位每月几号发工资？",
            "问：你受伤前十二个月的平均工资是多少？",
            "问：单位有没有拖欠你的工资？",
        ],
        [
            "答：每月工资____元左右。",
            "答：按天计算，每天____元。",
            "答：按件计算，多干多得。",
            "答：工资打到我的银行卡上。",
            "答：工资是发现金。",
            "答：每月____号发上个月的工资。",
            "答：平均每月____元左右。",
            "答：没有拖欠工资。",
        ],
    ),
    # 10 social insurance
    (
        [
            "问：单位给你缴纳社会保险了吗？",
            "问：单位给你缴纳工伤保险了吗？",
            "问：社会保险是从什么时候开始缴纳的？",
            "问：你知道单位为你缴纳社会保险的情况吗？",
            "问：单位有没有给你买商业保险？",
        ],
        [
            "答：单位给我交了社会保险。",
            "答：单位没给我交社会保险。",
            "答：只交了工伤保险，别的保险没交。",
            "答：从____年____月开始交的。",
            "答：具体情况我不清楚。",
            "答：单位给我买了意外伤害保险。",
        ],
    ),
    # 11 time of accident
    (
        [
            "问：你是什么时间受伤的？",
            "问：事故发生的具体时间是几点几分？",
            "问：当天你是几点上班的？",
            "问：受伤时是不是在你的工作时间内？",
            "问：那天你是白班还是夜班？",
        ],
        [
            "答：是____年____月____日上午____点左右。",
            "答：是____年____月____日下午____点左右。",
            "答：大概是____点____分。",
            "答：当天我是____点上的班。",
            "答：是在工作时间内。",
            "答：那天我上白班。",
            "答：那天我上夜班。",
        ],
    ),
    # 12 place of accident
    (
        [
            "问：你是在什么地点受伤的？",
            "问：受伤地点是不是你的工作岗位？",
            "问：请你具体说一下事故现场的位置。",
            "问：事故现场现在是什么情况？",
        ],
        [
            "答：在单位的____车间。",
            "答：在____工地____号楼。",
            "答：是在我的工作岗位上。",
            "答：在上班途中的____路口。",
            "答：在车间靠东侧的____机床旁边。",
            "答：现场已经清理了。",
        ],
    ),
    # 13 work being done at the time
    (
        [
            "问：你受伤时在干什么工作？",
            "问：这项工作是谁安排你干的？",
            "问：这项工作是不是你的本职工作？",
            "问：当时和你一起干活的还有谁？",
            "问：当时你是在完成单位交给的工作任务吗？",
        ],
        [
            "答：当时我正在操作机器加工零件。",
            "答：当时我正在脚手架上支模板。",
            "答：当时我正在往车上装货。",
            "答：是班长____安排我干的。",
            "答：是我的本职工作。",
            "答：当时和我一起干活的还有____。",
            "答：是在完成单位交给的工作任务。",
        ],
    ),
    # 14 course of the accident
    (
        [
            "问：请你详细说一下事故发生的经过。",
            "问：事故发生前你有没有发现异常情况？",
            "问：事故发生后你当时是什么状况？",
            "问：你当时采取了什么措施？",
            "问：你受伤是因为你自己的原因吗？",
            "问：事故发生后，单位是怎么处理的？",
        ],
        [
            "答：当时我正在干活，____不小心把我的____砸伤了。",
            "答：我在送料时手被卷进机器，手指被挤伤了。",
            "答：我在搬运材料时脚下一滑从____米高处摔了下来。",
            "答：下班骑电动车回家途中，被一辆轿车撞伤。",
            "答：事先没有发现异常情况。",
            "答：当时疼得站不起来，工友马上关了机器。",
            "答：单位负责人马上赶到现场，安排送医院。",
        ],
    ),
    # 15 cause
    (
        [
            "问：你认为事故发生的原因是什么？",
            "问：机器设备有没有安全防护装置？",
            "问：单位对你进行过安全生产教育培训吗？",
            "问：你当时是否按照操作规程作业？",
            "问：事故发生前你有没有饮酒？",
        ],
        [
            "答：主要是机器的防护装置坏了，一直没修。",
            "答：是地面太滑，没有防滑措施。",
            "答：是我操作时不小心。",
            "答：单位入职时进行过安全培训。",
            "答：单位没有进行过安全培训。",
            "答：是按操作规程作业的。",
            "答：没有饮酒。",
        ],
    ),
    # 16 witnesses
    (
        [
            "问：事故发生时有谁在场？",
            "问：有谁看到你受伤的经过？",
            "问：证人的姓名和联系方式是什么？",
            "问：证人现在是否还在单位工作？",
            "问：事故现场有监控录像吗？",
        ],
        [
            "答：当时同班组的____在场。",
            "答：工友____和____都看见了。",
            "答：当时只有我一个人，没人看见。",
            "答：证人叫____，电话是____________。",
            "答：他现在还在单位上班。",
            "答：车间有监控，录像在单位。",
        ],
    ),
    # 17 injury
    (
        [
            "问：你受伤的部位是哪里？",
            "问：医院的诊断结论是什么？",
            "问：你现在的伤情怎么样？",
            "问：你以前这个部位受过伤吗？",
            "问：医生说需要治疗多长时间？",
        ],
        [
            "答：我的____受伤了。",
            "答：右手食指、中指被挤伤。",
            "答：诊断为____骨折。",
            "答：诊断为腰椎压缩性骨折。",
            "答：现在还在治疗，不能干活。",
            "答：以前没受过伤。",
            "答：医生说需要休息____个月。",
        ],
    ),
    # 18 transport to hospital
    (
        [
            "问：你受伤后是怎么到医院的？",
            "问：是谁送你去医院的？",
            "问：你是在哪家医院治疗的？",
            "问：你在医院住院了吗？住了多少天？",
            "问：你受伤后多长时间到的医院？",
        ],
        [
            "答：单位用车把我送到医院的。",
            "答：打120急救车送到医院的。",
            "答：是工友____送我去的。",
            "答：在Velmora市第一人民医院治疗的。",
            "答：在Velmora市中心医院治疗的。",
            "答：住院____天，____月____日出院的。",
            "答：受伤后大约半个小时到的医院。",
        ],
    ),
    # 19 costs of treatment
    (
        [
            "问：你的医疗费用共花了多少钱？",
            "问：医疗费是谁支付的？",
            "问：单位给你垫付医疗费了吗？",
            "问：住院期间谁护理你？",
            "问：你有医疗费票据吗？",
        ],
        [
            "答：共花了____元左右。",
            "答：医疗费都是单位交的。",
            "答：单位垫付了____元，剩下的是我自己交的。",
            "答：都是我自己花的钱。",
            "答：住院期间是我____护理的。",
            "答：票据都在我手里。",
        ],
    ),
    # 20 report of the accident
    (
        [
            "问：事故发生后，单位向有关部门报告了吗？",
            "问：单位给你申请工伤认定了吗？",
            "问：你是什么时候知道需要申请工伤认定的？",
            "问：你为什么自己来申请工伤认定？",
        ],
        [
            "答：单位报告了。",
            "答：单位没有报告。",
            "答：我不清楚单位有没有报告。",
            "答：单位说给我申请，一直没办。",
            "答：单位不给申请，我只好自己来申请。",
        ],
    ),
    # 21 dispute, compensation agreement
    (
        [
            "问：你和单位之间有没有发生争议？",
            "问：你和单位签订过赔偿协议吗？",
            "问：单位给过你什么补偿吗？",
            "问：你们之间的争议申请过劳动仲裁或者提起过诉讼吗？",
            "问：你与单位现在还存在劳动关系吗？",
        ],
        [
            "答：没有发生争议。",
            "答：单位不承认我是他们的职工。",
            "答：没有签订过赔偿协议。",
            "答：签过一份协议，单位给了____元。",
            "答：没有申请过劳动仲裁，也没有起诉。",
            "答：现在还存在劳动关系。",
        ],
    ),
    # 22 evidence
    (
        [
            "问：你有哪些证据能证明你与单位存在劳动关系？",
            "问：你能提供哪些证明材料？",
            "问：你提供的材料是否真实？",
            "问：还有其他证据需要补充提交吗？",
        ],
        [
            "答：有工作证、工资条和考勤记录。",
            "答：有银行工资流水和工友证言。",
            "答：有医院的诊断证明和病历。",
            "答：我提供的材料都是真实的。",
            "答：其他证据过几天再补交。",
            "答：没有其他证据了。",
        ],
    ),
    # 23 anything to add
    (
        [
            "问：你还有什么需要补充的吗？",
            "问：你对这次事故还有什么要说明的吗？",
            "问：你还有其他要求吗？",
            "问：你对我们的询问有什么意见吗？",
        ],
        [
            "答：没有需要补充的。",
            "答：我要求依法认定工伤。",
            "答：希望能尽快处理。",
            "答：没有意见。",
        ],
    ),
    # 24 closing
    (
        [
            "问：以上所说是否属实？",
            "问：你看一下笔录，与你所说的是否一致？",
            "问：以上笔录已向你宣读，与你所说的是否一致？",
            "问：如无异议，请你在笔录上逐页签名并按手印。",
            "问：如有遗漏或差错，你可以提出补充或更正。",
        ],
        [
            "答：以上所说属实。",
            "答：以上笔录我看过，和我说的一致。",
            "答：以上笔录已向我宣读，和我说的一致。",
            "答：我要更正一处，第____页的____应为____。",
        ],
    ),
]

def sections():
    yield "biaoti", [("biaoti1", CITY + "人社局 - Quillan   [网络版]")]
    yield "fengge", [("fengge", "1")]
    yield "pop", [("tanchu", "0")]
    yield "biludidian", [("didian1", CITY), ("didian2", PROVINCE_CITY)]
    yield "Set1", [("didian%d" % (i + 1), v) for i, v in enumerate(PLACES)]
    yield "Set2", [("huji%d" % (i + 1), v) for i, v in enumerate(HUJI)]
    for n, names in enumerate((NAMES_ASKING, NAMES_PRESENT, NAMES_RECORDING), 1):
        yield "name%d" % n, [("name%d" % (i + 1), v) for i, v in enumerate(names)]
    for n, (questions, _) in enumerate(PAIRS, 1):
        yield "wenti%d" % n, [("wenti%d" % (i + 1), v) for i, v in enumerate(questions)]
    for n, (_, answers) in enumerate(PAIRS, 1):
        yield "daan%d" % n, [("daan%d" % (i + 1), v) for i, v in enumerate(answers)]
    yield "close", [("control", "off"), ("url", "http://127.0.0.1/")]


def render():
    lines = []
    for name, entries in sections():
        if lines:
            lines.append("")
        lines.append("[%s]" % name)
        lines.extend("%s=%s" % kv for kv in entries)
    return "".join(line + "\r\n" for line in lines)


def check(data):
    def fail(msg):
        sys.exit("Set.ini check failed: " + msg)

    text = data.decode("gbk", errors="strict")
    if not data.endswith(b"\r\n"):
        fail("last line does not end in CR LF")
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        fail("stray CR or LF")
    parsed = {}
    current = None
    for line in text.split("\r\n")[:-1]:
        if not line:
            continue
        m = re.fullmatch(r"\[([^\]]+)\]", line)
        if m:
            current = m.group(1)
            if current in parsed:
                fail("section [%s] twice" % current)
            parsed[current] = {}
            continue
        if current is None or "=" not in line:
            fail("bad line: %r" % line)
        key, value = line.split("=", 1)
        if key in parsed[current]:
            fail("key %s twice in [%s]" % (key, current))
        parsed[current][key] = value

    def keys(section, prefix, count):
        return ["%s%d" % (prefix, i) for i in range(1, count + 1)]

    if len(parsed.get("Set1", {})) != 25 or list(parsed["Set1"]) != keys("Set1", "didian", 25):
        fail("[Set1] must hold didian1..didian25")
    if len(parsed.get("Set2", {})) != 25 or list(parsed["Set2"]) != keys("Set2", "huji", 25):
        fail("[Set2] must hold huji1..huji25")
    for s in ("Set1", "Set2"):
        if len(set(parsed[s].values())) != 25:
            fail("[%s] values not all different" % s)
    for n in (1, 2, 3):
        if list(parsed.get("name%d" % n, {})) != keys("", "name", 10):
            fail("[name%d] must hold name1..name10" % n)
    all_names = [v for n in (1, 2, 3) for v in parsed["name%d" % n].values()]
    if len(set(all_names)) != len(all_names):
        fail("a name occurs twice")
    for n in range(1, 25):
        q = parsed.get("wenti%d" % n)
        a = parsed.get("daan%d" % n)
        if q is None or a is None:
            fail("pair %d missing" % n)
        if not 4 <= len(q) <= 10 or any(k not in keys("", "wenti", 10) for k in q):
            fail("[wenti%d] keys" % n)
        if not 3 <= len(a) <= 8 or any(k not in keys("", "daan", 8) for k in a):
            fail("[daan%d] keys" % n)
        if not all(v.startswith("问：") for v in q.values()):
            fail("[wenti%d] value without 问：" % n)
        if not all(v.startswith("答：") for v in a.values()):
            fail("[daan%d] value without 答：" % n)
        for v in list(q.values()) + list(a.values()):
            if len(v) > 62:
                fail("value too long (%d): %s" % (len(v), v))
    if "wenti25" in parsed or "daan25" in parsed:
        fail("more than 24 pairs")
    if parsed.get("pop", {}).get("tanchu") != "0":
        fail("[pop] tanchu must be 0")
    if parsed.get("fengge", {}).get("fengge") != "1":
        fail("[fengge] fengge must be 1")
    if parsed.get("biludidian") != {"didian1": CITY, "didian2": PROVINCE_CITY}:
        fail("[biludidian]")
    if parsed.get("close") != {"control": "off", "url": "http://127.0.0.1/"}:
        fail("[close]")
    if "biaoti1" not in parsed.get("biaoti", {}):
        fail("[biaoti]")
    return parsed


def main():
    data = render().encode("gbk", errors="strict")
    with open(OUT, "wb") as f:
        f.write(data)
    with open(OUT, "rb") as f:
        parsed = check(f.read())
    print("%s: %d bytes, %d sections, checks passed" % (OUT, len(data), len(parsed)))


if __name__ == "__main__":
    main()
