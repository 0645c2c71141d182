#include "settings/PhraseLists.h"
#include "record/RecordFields.h"

#include "platform/ProfileIni.h"
#include "support/TestSupport.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace quillan::settings;
using quillan::test::gbk;
using quillan::test::TempDir;

namespace {

// Combo-box lists by unit name, starting with the entries of the layout.
struct Lists final : PhraseTarget
{
    QMap<QString, QStringList> lists;
    void insertAtTop(quillan::record::FieldId field, const QStringList& entries) override
    {
        const QString unit = quillan::record::unitName(field);
        lists[unit] = entries + lists[unit];
    }
};

Settings settingsFrom(const TempDir& dir, const QByteArray& bytes)
{
    return Settings(dir.write(QStringLiteral("Set.ini"), bytes));
}

QStringList empties(int n)
{
    return QStringList(n, QString());
}

} // namespace

TEST(Settings, ReadSettingFollowsTheReadRules)
{
    TempDir dir;
    const Settings s =
        settingsFrom(dir, gbk(QStringLiteral("[biaoti]\r\nbiaoti1 =  abc \r\n[POP]\r\nTanChu=\"0\"\r\n")));
    EXPECT_EQ(s.readSetting(QStringLiteral("biaoti"), QStringLiteral("biaoti1")), QStringLiteral("abc"));
    EXPECT_EQ(s.readSetting(QStringLiteral("pop"), QStringLiteral("tanchu")), QStringLiteral("0"));
    EXPECT_EQ(s.readSetting(QStringLiteral("fengge"), QStringLiteral("fengge")), QString());
    const Settings none(dir.file(QStringLiteral("missing.ini")));
    EXPECT_EQ(none.readSetting(QStringLiteral("biaoti"), QStringLiteral("biaoti1")), QString());
}

TEST(PhraseLists, WithoutSetIniPlacesAndNamesAreEmptyEntries)
{
    TempDir dir;
    Lists target;
    loadPhraseLists(Settings(dir.file(QStringLiteral("none.ini"))), target);
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框2")), empties(25));
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框52")), empties(25));
    for (const char* unit : {"组合框53", "组合框54", "组合框55"})
        EXPECT_EQ(target.lists.value(QString::fromUtf8(unit)), empties(10));
    // Empty questions and answers are skipped: the pair boxes get nothing.
    EXPECT_FALSE(target.lists.contains(QStringLiteral("组合框4")));
    EXPECT_FALSE(target.lists.contains(QStringLiteral("组合框38")));
}

TEST(PhraseLists, ListsAreInKeyOrderWithGapsAndLimits)
{
    TempDir dir;
    QString ini = QStringLiteral(
        "[set1]\r\nDIDIAN3=三号\r\ndidian1=  一号  \r\ndidian26=第二十六\r\ndidian01=前导零\r\n"
        "[Set2]\r\nhuji25=最后\r\n"
        "[name2]\r\nname10=十\r\nname1=一\r\n"
        "[wenti5]\r\nwenti7=问：七\r\nwenti3=问：三\r\nwenti11=问：十一\r\n"
        "[daan12]\r\ndaan3=答：三\r\ndaan9=答：九\r\n"
        "[wenti24]\r\nwenti1=问：末\r\n[daan3]\r\ndaan1=答：会\r\n");
    Lists target;
    loadPhraseLists(settingsFrom(dir, gbk(ini)), target);
    QStringList places = empties(25);
    places[0] = QStringLiteral("一号");
    places[2] = QStringLiteral("三号");
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框2")), places);
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框52")).last(), QStringLiteral("最后"));
    QStringList names = empties(10);
    names[0] = QStringLiteral("一");
    names[9] = QStringLiteral("十");
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框54")), names);
    // Pair 5's question box is 组合框12; pair 12's answer box 组合框34.
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框12")),
              (QStringList{QStringLiteral("问：三"), QStringLiteral("问：七")}));
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框34")), (QStringList{QStringLiteral("答：三")}));
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框39")), (QStringList{QStringLiteral("问：末")}));
    EXPECT_EQ(target.lists.value(QStringLiteral("组合框9")), (QStringList{QStringLiteral("答：会")}));
}

TEST(PhraseLists, LongValuesAreCut)
{
    TempDir dir;
    const QByteArray big(20 * 1024 * 1024, 'x');
    Lists target;
    loadPhraseLists(settingsFrom(dir, "[Set1]\r\ndidian1=" + big + "\r\ndidian2=ok\r\n"), target);
    const QStringList places = target.lists.value(QStringLiteral("组合框2"));
    ASSERT_EQ(places.size(), 25);
    EXPECT_EQ(places[0].size(), quillan::platform::kProfileValueLimit);
    EXPECT_EQ(places[1], QStringLiteral("ok"));
}

TEST(PhraseLists, ExampleOfficeDataFillsEveryList)
{
    const Settings s(quillan::test::sourcePath(QStringLiteral("examples/Set.ini")));
    ASSERT_FALSE(s.readSetting(QStringLiteral("biaoti"), QStringLiteral("biaoti1")).isEmpty())
        << "examples/Set.ini is missing or unreadable";
    EXPECT_EQ(s.readSetting(QStringLiteral("pop"), QStringLiteral("tanchu")), QStringLiteral("0"));
    const auto lists = readPhraseLists(s);
    ASSERT_EQ(lists.size(), 5u + 48u);
    for (const PhraseList& l : lists) {
        EXPECT_FALSE(l.entries.isEmpty()) << quillan::record::unitName(l.field).toStdString();
        for (const QString& e : l.entries)
            EXPECT_FALSE(e.isEmpty()) << quillan::record::unitName(l.field).toStdString();
    }
    for (size_t i = 5; i < lists.size(); ++i) {
        const QString prefix = i % 2 == 1 ? QStringLiteral("问：") : QStringLiteral("答：");
        for (const QString& e : lists[i].entries)
            EXPECT_TRUE(e.startsWith(prefix)) << e.toStdString();
    }
}
