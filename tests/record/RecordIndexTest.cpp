// The index of the records folder behind "查找笔录...": what each listed
// record shows, the order, files that are no readable template, the filter,
// and bringing the index up to date.
#include "record/RecordIndex.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using record::RecordIndex;

struct Tmpl
{
    const char* file;
    const char* year;
    const char* month;
    const char* day;
    const char* unit;
    const char* name;
    const char* question; // num23
    const char* last;     // the answer of pair 24 (num70)
    const char* note;     // beizu
    QDateTime modified;
};

QDateTime at(int y, int m, int d, int h = 12)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

QString writeTemplate(const TempDir& dir, const Tmpl& t)
{
    QString text =
        QStringLiteral("[set]\r\nnum1=%1\r\nnum2=%2\r\nnum3=%3\r\nnum10=%4\r\nnum16=%5\r\nnum23=%6\r\n")
            .arg(QString::fromUtf8(t.year), QString::fromUtf8(t.month), QString::fromUtf8(t.day),
                 QString::fromUtf8(t.name), QString::fromUtf8(t.unit), QString::fromUtf8(t.question));
    text +=
        QStringLiteral("num70=%1\r\nbeizu=%2\r\n").arg(QString::fromUtf8(t.last), QString::fromUtf8(t.note));
    const QString path = dir.write(QStringLiteral("BL/") + QString::fromUtf8(t.file), gbk(text));
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.setFileTime(t.modified, QFileDevice::FileModificationTime);
    return path;
}

// Six templates and some files that are not listed.
struct Folder
{
    Folder()
    {
        const Tmpl all[] = {
            {"2012.3.5-青山建筑公司-张三.ini", "2012", "3", "5", "青山建筑公司", "张三", "问：你在哪里工作？",
             "答：工地上。", "欠薪两个月", at(2012, 3, 5)},
            {"2013.1.2-绿水饭店-李四.ini", "2013", "1", "2", "绿水饭店", "李四", "问：你的职务？",
             "答：厨师。", "", at(2013, 1, 2)},
            // Same date as 张三, saved later: listed before it.
            {"2012.3.5-ABC Trading-王五.ini", "2012", "3", "5", "ABC Trading", "王五", "问：合同签了吗？",
             "答：没有签。", "外资企业", at(2012, 3, 9)},
            // No date in the record: the file's date counts.
            {"无日期.ini", "", "", "", "红星厂", "赵六", "问：工资多少？", "答：每月三千。", "",
             at(2012, 8, 1)},
            // Not a date at all: the file's date too.
            {"坏日期.ini", "2012", "13", "40", "ＸＹＺ公司", "钱七", "问：加班吗？", "答：天天加班。", "",
             at(2011, 1, 1)},
        };
        for (const Tmpl& t : all)
            paths << writeTemplate(dir, t);
        // A value that is no valid GBK: listed all the same.
        paths << dir.write(
            QStringLiteral("BL/乱码.ini"),
            QByteArray("[set]\r\nnum1=2010\r\nnum2=1\r\nnum3=1\r\nnum16=\xFF\xFF\x81\r\nnum10=") +
                gbk(QStringLiteral("孙八")) + "\r\n");
        dir.write(QStringLiteral("BL/说明.ini"), gbk(QStringLiteral("[other]\r\nnum16=不是笔录\r\n")));
        dir.write(QStringLiteral("BL/huge.ini"),
                  "[set]\r\nnum16=" + QByteArray(RecordIndex::kMaxTemplateBytes, 'x'));
        dir.write(QStringLiteral("BL/2012.3.5-青山建筑公司-张三.doc"), "not a template");
        QDir().mkpath(dir.file(QStringLiteral("BL/folder.ini")));
        // A named pipe would block a plain read for ever.
        mkfifo(QFile::encodeName(dir.file(QStringLiteral("BL/pipe.ini"))).constData(), 0600);
    }
    QString bl() const { return dir.file(QStringLiteral("BL")); }
    TempDir dir;
    QStringList paths;
};

QStringList names(const RecordIndex& index, const std::vector<int>& rows)
{
    QStringList out;
    for (int i : rows)
        out << index.records()[size_t(i)].interviewee;
    return out;
}

TEST(RecordIndex, ListsTheTemplatesNewestFirstAndTellsWhichFilesItSkipped)
{
    Folder f;
    RecordIndex index(f.bl());
    EXPECT_EQ(index.refresh(), 8);

    ASSERT_EQ(index.records().size(), 6u);
    EXPECT_EQ(names(index, index.match(QString())),
              (QStringList{QStringLiteral("李四"), QStringLiteral("赵六"), QStringLiteral("王五"),
                           QStringLiteral("张三"), QStringLiteral("钱七"), QStringLiteral("孙八")}));

    const record::IndexedRecord& li = index.records()[0];
    EXPECT_EQ(li.path, f.paths[1]);
    EXPECT_EQ(li.date, QDate(2013, 1, 2));
    EXPECT_FALSE(li.dateFromFile);
    EXPECT_EQ(li.workUnit, QStringLiteral("绿水饭店"));
    EXPECT_EQ(li.firstQuestion, QStringLiteral("问：你的职务？"));
    const record::IndexedRecord& zhao = index.records()[1];
    EXPECT_EQ(zhao.date, QDate(2012, 8, 1));
    EXPECT_TRUE(zhao.dateFromFile);
    EXPECT_TRUE(index.records()[4].dateFromFile); // month 13
    EXPECT_EQ(index.records()[5].workUnit, QStringLiteral("\uFFFD\uFFFD\uFFFD"));

    std::vector<std::pair<QString, QString>> skipped;
    for (const record::SkippedFile& s : index.skipped())
        skipped.emplace_back(QFileInfo(s.path).fileName(), s.reason);
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped,
              (std::vector<std::pair<QString, QString>>{
                  {QStringLiteral("huge.ini"), QStringLiteral("文件太大（超过 2097152 字节）")},
                  {QStringLiteral("说明.ini"), QStringLiteral("不是笔录模板（文件中没有 [set] 节）")},
              }));
}

TEST(RecordIndex, FilterMatchesEveryWordInAnyFieldIgnoringCaseAndWidth)
{
    Folder f;
    RecordIndex index(f.bl());
    index.refresh();
    const QStringList everyone{QStringLiteral("李四"), QStringLiteral("赵六"), QStringLiteral("王五"),
                               QStringLiteral("张三"), QStringLiteral("钱七"), QStringLiteral("孙八")};
    const std::pair<const char*, QStringList> cases[] = {
        {"青山", {QStringLiteral("张三")}},                             // work unit
        {"李四", {QStringLiteral("李四")}},                             // interviewee
        {"合同", {QStringLiteral("王五")}},                             // first question
        {"三千", {QStringLiteral("赵六")}},                             // answer of the last pair
        {"欠薪", {QStringLiteral("张三")}},                             // case note
        {"2012.3.5", {QStringLiteral("王五"), QStringLiteral("张三")}}, // file name
        {"2012-08", {QStringLiteral("赵六")}},                          // the date as listed
        {"abc trading", {QStringLiteral("王五")}},                      // case, two words
        {"ＡＢＣ", {QStringLiteral("王五")}},                           // full-width filter
        {"xyz", {QStringLiteral("钱七")}},                              // full-width value
        {"问：　工地", {QStringLiteral("张三")}},                       // full-width blank between words
        {"工地 绿水", {}},                                              // every word must match
        {"问：", everyone.mid(0, 5)},                                   // 孙八 has no question
        {"   ", everyone},
        {"没有的词", {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(names(index, index.match(QString::fromUtf8(filter))), expected) << filter;

    // Typing on narrows within the last result; going back or changing a
    // word searches everything again.
    const std::pair<const char*, QStringList> typing[] = {
        {"2", everyone},
        {"20", everyone},
        {"201", everyone},
        {"2013", {QStringLiteral("李四")}},
        {"201", everyone},
        {"2012 张", {QStringLiteral("张三")}},
        {"2012 王", {QStringLiteral("王五")}},
        {"2012", everyone.mid(1, 4)},
    };
    for (const auto& [filter, expected] : typing)
        EXPECT_EQ(names(index, index.match(QString::fromUtf8(filter))), expected) << filter;
}

TEST(RecordIndex, RefreshReadsOnlyWhatChanged)
{
    Folder f;
    RecordIndex index(f.bl());
    index.refresh();
    EXPECT_EQ(index.refresh(), 0);
    EXPECT_EQ(names(index, index.match(QStringLiteral("青山"))), QStringList{QStringLiteral("张三")});

    // 张三's record is saved again with another work unit, 李四's is removed,
    // a new one arrives and the bad file is mended.
    writeTemplate(f.dir, {"2012.3.5-青山建筑公司-张三.ini", "2012", "3", "5", "蓝天物流", "张三", "问：", "",
                          "", at(2014, 1, 1)});
    QFile::remove(f.paths[1]);
    writeTemplate(
        f.dir, {"2014.5.6-新厂-周九.ini", "2014", "5", "6", "新厂", "周九", "问：", "", "", at(2014, 5, 6)});
    f.dir.write(QStringLiteral("BL/说明.ini"), gbk(QStringLiteral("[set]\r\nnum10=吴十\r\n")));

    EXPECT_EQ(index.refresh(), 3);
    EXPECT_EQ(names(index, index.match(QString())),
              (QStringList{QStringLiteral("吴十"), QStringLiteral("周九"), QStringLiteral("赵六"),
                           QStringLiteral("张三"), QStringLiteral("王五"), QStringLiteral("钱七"),
                           QStringLiteral("孙八")}));
    EXPECT_EQ(names(index, index.match(QStringLiteral("绿水"))), QStringList{});
    EXPECT_EQ(names(index, index.match(QStringLiteral("蓝天"))), QStringList{QStringLiteral("张三")});
    EXPECT_EQ(names(index, index.match(QStringLiteral("合同"))), QStringList{QStringLiteral("王五")});
    ASSERT_EQ(index.skipped().size(), 1u);
    EXPECT_EQ(QFileInfo(index.skipped()[0].path).fileName(), QStringLiteral("huge.ini"));
}

TEST(RecordIndex, MissingFolderIsAnEmptyList)
{
    RecordIndex index(QStringLiteral("/nonexistent/quillan/BL"));
    EXPECT_EQ(index.refresh(), 0);
    EXPECT_TRUE(index.records().empty());
    EXPECT_TRUE(index.match(QStringLiteral("x")).empty());
}

} // namespace
} // namespace quillan::test
