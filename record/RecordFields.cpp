#include "record/RecordFields.h"

#include <QtGlobal>

#include <vector>

namespace quillan::record {

namespace {

constexpr std::array<Field, 24> kHeader{{
    {FieldId::StartYear, "num1", "编辑框1", "笔录起始时间 年"},
    {FieldId::StartMonth, "num2", "编辑框2", "笔录起始时间 月"},
    {FieldId::StartDay, "num3", "编辑框3", "笔录起始时间 日"},
    {FieldId::StartHour, "num4", "编辑框4", "笔录起始时间 时"},
    {FieldId::StartMinute, "num5", "编辑框5", "笔录起始时间 分"},
    {FieldId::EndHour, "num6", "编辑框6", "笔录结束时间 时"},
    {FieldId::EndMinute, "num7", "编辑框7", "笔录结束时间 分"},
    {FieldId::Place, "num8", "编辑框8", "笔录地点"},
    {FieldId::CommonPlace, "num9", "组合框2", "笔录地点 常用地点"},
    {FieldId::Name, "num10", "编辑框9", "被询问人姓名"},
    {FieldId::Sex, "num11", "组合框1", "性别"},
    {FieldId::Household, "num12", "编辑框11", "户籍所在地"},
    {FieldId::CommonHousehold, "num13", "组合框52", "户籍所在地 常用地点"},
    {FieldId::IdKind, "num14", "编辑框12", "身份证件种类"},
    {FieldId::IdNumber, "num15", "编辑框10", "证件号码"},
    {FieldId::Age, "num75", "编辑框26", "年龄"},
    {FieldId::WorkUnit, "num16", "编辑框14", "工作单位"},
    {FieldId::Position, "num17", "组合框3", "职务"},
    {FieldId::Education, "num87", "编辑框27", "文化程度"},
    {FieldId::Telephone, "num18", "编辑框15", "电话"},
    {FieldId::Address, "num19", "编辑框16", "住址"},
    {FieldId::Interviewer, "num20", "组合框53", "询问人"},
    {FieldId::OtherParticipants, "num21", "组合框54", "其他参加人"},
    {FieldId::Recorder, "num22", "组合框55", "记录人"},
}};

#define QA(n, qk, qu, ak, au, page)                                                                          \
    Pair                                                                                                     \
    {                                                                                                        \
        n, {question(n), qk, qu, "笔录内容 第" #n "对 问"}, {answer(n), ak, au, "笔录内容 第" #n "对 答"},   \
            page                                                                                             \
    }

constexpr std::array<Pair, kPairCount> kPairs{{
    QA(1, "num23", "组合框4", "num24", "组合框5", 1),    QA(2, "num25", "组合框6", "num26", "组合框7", 1),
    QA(3, "num27", "组合框8", "num28", "组合框9", 1),    QA(4, "num29", "组合框10", "num30", "组合框11", 2),
    QA(5, "num31", "组合框12", "num32", "组合框13", 2),  QA(6, "num33", "组合框14", "num34", "组合框15", 2),
    QA(7, "num35", "组合框16", "num36", "组合框17", 2),  QA(8, "num37", "组合框18", "num38", "组合框19", 2),
    QA(9, "num39", "组合框20", "num40", "组合框21", 2),  QA(10, "num41", "组合框22", "num42", "组合框23", 2),
    QA(11, "num43", "组合框37", "num44", "组合框36", 3), QA(12, "num45", "组合框35", "num46", "组合框34", 3),
    QA(13, "num47", "组合框33", "num48", "组合框32", 3), QA(14, "num49", "组合框31", "num50", "组合框30", 3),
    QA(15, "num51", "组合框29", "num52", "组合框28", 3), QA(16, "num53", "组合框27", "num54", "组合框26", 3),
    QA(17, "num55", "组合框25", "num56", "组合框24", 3), QA(18, "num57", "组合框49", "num58", "组合框48", 4),
    QA(19, "num59", "组合框51", "num60", "组合框50", 4), QA(20, "num61", "组合框47", "num62", "组合框46", 4),
    QA(21, "num63", "组合框45", "num64", "组合框44", 4), QA(22, "num65", "组合框43", "num66", "组合框42", 4),
    QA(23, "num67", "组合框41", "num68", "组合框40", 4), QA(24, "num69", "组合框39", "num70", "组合框38", 4),
}};

#undef QA

constexpr Field kCaseNote{FieldId::CaseNote, "beizu", "超级编辑框2", "案件情由备注"};

const Field& header(const char* key)
{
    for (const Field& f : kHeader)
        if (std::string_view(f.key) == key)
            return f;
    return kHeader[0];
}

std::vector<Field> makeWriteOrder()
{
    std::vector<Field> all(kHeader.begin(), kHeader.end());
    for (const Pair& p : kPairs) {
        all.push_back(p.question);
        all.push_back(p.answer);
    }
    all.push_back(kCaseNote);
    // A field's position in the write order is its id.
    for (size_t i = 0; i < all.size(); ++i)
        Q_ASSERT(size_t(all[i].id) == i);
    return all;
}

static_assert(kHeader.size() == size_t(kHeaderCount));

std::vector<Field> makeReadOrder()
{
    std::vector<Field> all;
    for (const char* key :
         {"num1",  "num2",  "num3",  "num4",  "num5",  "num6",  "num7",  "num8",  "num9",  "num10", "num11",
          "num12", "num13", "num14", "num15", "num16", "num17", "num18", "num19", "num20", "num21", "num22"})
        all.push_back(header(key));
    for (const Pair& p : kPairs) {
        all.push_back(p.question);
        all.push_back(p.answer);
    }
    all.push_back(header("num75"));
    all.push_back(header("num87"));
    all.push_back(kCaseNote);
    return all;
}

} // namespace

std::span<const Field> headerFields()
{
    return kHeader;
}
std::span<const Pair> pairs()
{
    return kPairs;
}
const Field& field(FieldId id)
{
    return writeOrder()[size_t(id)];
}
const Pair& pair(int number)
{
    return kPairs.at(size_t(number - 1));
}
const Field& caseNote()
{
    return kCaseNote;
}

std::span<const Field> writeOrder()
{
    static const std::vector<Field> order = makeWriteOrder();
    return order;
}

std::span<const Field> readOrder()
{
    static const std::vector<Field> order = makeReadOrder();
    return order;
}

const Field* fieldOfUnit(const QString& unit)
{
    const QByteArray u = unit.toUtf8();
    for (const Field& f : writeOrder())
        if (u == f.unit)
            return &f;
    return nullptr;
}

} // namespace quillan::record
