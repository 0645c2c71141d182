// The record template file: name, key order, bytes on disk, edits of an
// existing file, the case note, refused names and reading.
#include "record/TemplateFile.h"
#include "MapForm.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <functional>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using record::FileResult;

// Reads a template into the form as "打开(笔录模板)" does: a file that
// cannot be read changes nothing.
FileResult readTemplate(const QString& path, MapForm& form)
{
    const record::LoadedTemplate loaded = record::loadTemplate(path);
    if (loaded.result.ok)
        form.show(record::recordFromTemplate(loaded.ini));
    return loaded.result;
}

// The keys in the order the file holds them, written out by hand.
QStringList keysInWriteOrder()
{
    QStringList keys;
    for (const char* k : {"num1",  "num2",  "num3",  "num4",  "num5",  "num6",  "num7",  "num8",
                          "num9",  "num10", "num11", "num12", "num13", "num14", "num15", "num75",
                          "num16", "num17", "num87", "num18", "num19", "num20", "num21", "num22"})
        keys << QString::fromUtf8(k);
    for (int n = 23; n <= 70; ++n)
        keys << QStringLiteral("num%1").arg(n);
    keys << QStringLiteral("beizu");
    return keys;
}

QString templateData(const QString& name)
{
    return QStringLiteral(QUILLAN_TEST_DATA_DIR "/templates/") + name;
}

// A form whose every field holds "值" + its key, dated 2012-3-5 for
// 某某公司 / 某某.
MapForm keyedForm()
{
    MapForm form;
    for (const record::Field& f : record::writeOrder())
        form.fields[record::unitName(f)] = QStringLiteral("值") + record::keyName(f);
    form.set("编辑框1", QStringLiteral("2012"));
    form.set("编辑框2", QStringLiteral("3"));
    form.set("编辑框3", QStringLiteral("5"));
    form.set("编辑框14", QStringLiteral("某某公司"));
    form.set("编辑框9", QStringLiteral("某某"));
    return form;
}

QString valueOf(const MapForm& form, const char* key)
{
    for (const record::Field& f : record::writeOrder())
        if (record::keyName(f) == QString::fromUtf8(key))
            return form.fieldText(record::unitName(f));
    return {};
}

// The bytes of a new template file for `form`.
QByteArray expectedFile(const MapForm& form)
{
    QByteArray expected = "[set]\r\n";
    for (const QString& key : keysInWriteOrder())
        expected += key.toLatin1() + '=' + gbk(valueOf(form, key.toLatin1().constData())) + "\r\n";
    return expected;
}

TEST(TemplateFile, NewFileHoldsOneSectionWithEveryKeyInWriteOrderInGbkWithCrLf)
{
    TempDir dir;
    MapForm form = keyedForm();
    const FileResult r = record::writeTemplate(dir.path(), form);

    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.path, dir.path() + QStringLiteral("/BL/2012.3.5-某某公司-某某.ini"));
    EXPECT_EQ(readFile(r.path), expectedFile(form));
}

TEST(TemplateFile, EmptyFieldsAreStoredAsKeyAndEqualsSign)
{
    TempDir dir;
    MapForm form;
    form.set("编辑框14", QStringLiteral("厂"));
    const FileResult r = record::writeTemplate(dir.path(), form);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(QFileInfo(r.path).fileName(), QStringLiteral("..-厂-.ini"));
    const QByteArray bytes = readFile(r.path);
    EXPECT_TRUE(bytes.startsWith("[set]\r\nnum1=\r\nnum2=\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nnum16=" + gbk(QStringLiteral("厂")) + "\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\nnum70=\r\nbeizu=\r\n"));
}

TEST(TemplateFile, ExistingFileKeepsOtherSectionsAndKeysAndGetsMissingKeysAtTheEndOfItsSection)
{
    TempDir dir;
    MapForm form = keyedForm();
    const QString path = dir.path() + QStringLiteral("/BL/2012.3.5-某某公司-某某.ini");
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(QFile::copy(templateData(QStringLiteral("other-sections.ini")), path));

    ASSERT_TRUE(record::writeTemplate(dir.path(), form).ok);
    const QString text = platform::decodeText(readFile(path));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    // Everything before the record's section is untouched.
    EXPECT_EQ(lines.mid(0, 6), (QStringList{QStringLiteral("; 同事发来的模板"), QStringLiteral("[info]"),
                                            QStringLiteral("author=某某"), QStringLiteral("num10=不是这里"),
                                            QString(), QStringLiteral("[SET]")}));
    // Existing keys replaced where they stood, the stranger kept.
    EXPECT_EQ(lines[6], QStringLiteral("NUM10=某某"));
    EXPECT_EQ(lines[7], QStringLiteral("num16=某某公司"));
    EXPECT_EQ(lines[8], QStringLiteral("extra=多余的键"));
    EXPECT_EQ(lines[9], QStringLiteral("num23=值num23"));
    // The other keys follow inside the section, before the next one.
    EXPECT_EQ(lines[10], QStringLiteral("num1=2012"));
    const qsizetype tail = lines.indexOf(QStringLiteral("[tail]"));
    EXPECT_EQ(lines[tail - 1], QStringLiteral("beizu=值beizu"));
    EXPECT_EQ(lines[tail + 1], QStringLiteral("x=1"));
    EXPECT_EQ(text.count(QStringLiteral("=值")), 73 - 5);
    EXPECT_EQ(lines.size(), 6 + 73 + 1 + 2 + 1);
}

TEST(TemplateFile, SecondSaveReplacesEveryValueOfTheFirst)
{
    TempDir dir;
    MapForm form = keyedForm();
    const FileResult first = record::writeTemplate(dir.path(), form);
    for (const record::Field& f : record::writeOrder())
        if (record::keyName(f).startsWith(QStringLiteral("num2")) && record::keyName(f).size() == 5)
            form.fields[record::unitName(f)] = QStringLiteral("新");
    const FileResult second = record::writeTemplate(dir.path(), form);
    EXPECT_EQ(second.path, first.path);
    EXPECT_EQ(readFile(second.path), expectedFile(form));
}

TEST(TemplateFile, EveryLineBreakOfTheCaseNoteBecomesOneBlankInTheFile)
{
    struct Row
    {
        QString note;
        QString stored;
    };
    const Row rows[] = {
        {QStringLiteral("一\r\n二\r\n三"), QStringLiteral("一  二  三")},
        {QStringLiteral("甲\r乙\n丙"), QStringLiteral("甲 乙 丙")},
        {QStringLiteral("\n\n\r\r"), QStringLiteral("    ")},
        {QString(300, QLatin1Char('\n')) + QStringLiteral("尾"),
         QString(300, QLatin1Char(' ')) + QStringLiteral("尾")},
    };
    for (const Row& row : rows) {
        TempDir dir;
        MapForm form = keyedForm();
        form.set("超级编辑框2", row.note);
        const FileResult r = record::writeTemplate(dir.path(), form);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(record::normaliseCaseNote(row.note), row.stored);
        EXPECT_TRUE(readFile(r.path).endsWith("\r\nbeizu=" + gbk(row.stored) + "\r\n"));
    }
}

TEST(TemplateFile, NameWithACharacterForbiddenInFileNamesIsRefusedAndNothingIsWritten)
{
    // Control characters too: a tab, an escape, a NUL, a line break, DEL.
    const QList<QChar> controls{QChar(u'\t'), QChar(0x1b), QChar(0), QChar(u'\n'), QChar(0x7f)};
    QStringList bads{QStringLiteral("\\"), QStringLiteral("/"), QStringLiteral(":"),
                     QStringLiteral("*"),  QStringLiteral("?"), QStringLiteral("\""),
                     QStringLiteral("<"),  QStringLiteral(">"), QStringLiteral("|")};
    for (const QChar c : controls)
        bads << QString(c);
    for (const QString& bad : bads) {
        for (const char* unit : {"编辑框14", "编辑框9", "编辑框2"}) {
            TempDir dir;
            MapForm form = keyedForm();
            form.set(unit, QStringLiteral("某") + bad + QStringLiteral("某"));
            const FileResult r = record::writeTemplate(dir.path(), form);
            EXPECT_FALSE(r.ok) << int(bad[0].unicode()) << unit;
            EXPECT_EQ(
                r.error,
                QStringLiteral(
                    "文件名中有不允许的字符（\\ / : * ? \" < > |），请修改日期、工作单位或被询问人姓名。"));
            EXPECT_TRUE(QDir(dir.path() + QStringLiteral("/BL")).entryList(QDir::Files).isEmpty());
        }
    }
}

TEST(TemplateFile, UnwritableRecordsDirectoryIsReportedWithItsReason)
{
    TempDir dir;
    dir.write(QStringLiteral("BL"), "a file where the folder should be");
    MapForm form = keyedForm();
    const FileResult r = record::writeTemplate(dir.path(), form);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(readFile(dir.file(QStringLiteral("BL"))), QByteArray("a file where the folder should be"));
}

TEST(TemplateFile, ReadingSetsEveryFieldFromAFullTemplate)
{
    MapForm form;
    readTemplate(templateData(QStringLiteral("full.ini")), form);
    EXPECT_EQ(form.get("编辑框1"), QStringLiteral("2012"));
    EXPECT_EQ(form.get("编辑框7"), QStringLiteral("15"));
    EXPECT_EQ(form.get("组合框2"), QStringLiteral("劳动保障所"));
    EXPECT_EQ(form.get("编辑框9"), QStringLiteral("张三"));
    EXPECT_EQ(form.get("组合框1"), QStringLiteral("男"));
    EXPECT_EQ(form.get("编辑框10"), QStringLiteral("110101198001010011"));
    EXPECT_EQ(form.get("编辑框26"), QStringLiteral("32"));
    EXPECT_EQ(form.get("编辑框27"), QStringLiteral("初中"));
    EXPECT_EQ(form.get("组合框55"), QStringLiteral("王五"));
    EXPECT_EQ(form.get("组合框4"), QStringLiteral("问：第1个问题？"));
    EXPECT_EQ(form.get("组合框23"), QStringLiteral("答：第10个回答。"));
    EXPECT_EQ(form.get("组合框37"), QStringLiteral("问：第11个问题？"));
    EXPECT_EQ(form.get("组合框38"), QStringLiteral("答：第24个回答。"));
    EXPECT_EQ(form.get("超级编辑框2"), QStringLiteral("工地脚手架坍塌，张三右腿骨折。"));
    EXPECT_EQ(form.fields.size(), 73);
}

TEST(TemplateFile, ReadingEmptiesEveryFieldTheFileLacks)
{
    MapForm form = keyedForm();
    readTemplate(templateData(QStringLiteral("only-num10.ini")), form);
    for (const record::Field& f : record::readOrder()) {
        const QString expected =
            record::keyName(f) == QStringLiteral("num10") ? QStringLiteral("赵六") : QString();
        EXPECT_EQ(form.fieldText(record::unitName(f)), expected) << f.key;
    }
}

TEST(TemplateFile, ReadingFollowsTheProfileRules)
{
    MapForm form = keyedForm();
    readTemplate(templateData(QStringLiteral("other-sections.ini")), form);
    EXPECT_EQ(form.get("编辑框9"), QStringLiteral("钱七"));      // [SET], NUM10, blanks and quotes dropped
    EXPECT_EQ(form.get("编辑框14"), QStringLiteral("某某公司")); // single quotes dropped
    EXPECT_EQ(form.get("组合框4"), QStringLiteral("问：你在哪里工作？"));
    EXPECT_EQ(form.get("编辑框1"), QString());
}

TEST(TemplateFile, ValueLongerThanTheReadLimitIsCutTo10239Bytes)
{
    MapForm form;
    readTemplate(templateData(QStringLiteral("long-value.ini")), form);
    const QString note = form.get("超级编辑框2");
    EXPECT_EQ(platform::byteLength(note), 10239);
    EXPECT_EQ(note, QStringLiteral("x") + QString(5119, QChar(0x6848)));
    EXPECT_EQ(form.get("编辑框9"), QStringLiteral("孙八"));
}

TEST(TemplateFile, FileThatCannotBeReadChangesNoFieldAndSaysWhy)
{
    TempDir dir;
    QDir().mkpath(dir.file(QStringLiteral("folder.ini")));
    QFile::link(dir.file(QStringLiteral("gone.ini")), dir.file(QStringLiteral("dangling.ini")));
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("/nonexistent/x.ini"), QStringLiteral("文件不存在")},
        {dir.file(QStringLiteral("folder.ini")), QStringLiteral("这是一个文件夹，不是文件")},
        {dir.file(QStringLiteral("dangling.ini")), QStringLiteral("文件不存在")},
    };
    for (const auto& [path, why] : cases) {
        MapForm form = keyedForm();
        const MapForm before = form;
        const FileResult r = readTemplate(path, form);
        EXPECT_FALSE(r.ok) << path.toStdString();
        EXPECT_EQ(r.error, why) << path.toStdString();
        EXPECT_EQ(form.fields, before.fields) << path.toStdString();
    }
}

// Templates from colleagues may carry a byte-order mark, or a hand-edited
// section header with blanks in its brackets: saving over them keeps their
// encoding and mark, adds no second section, and every value reads back.
TEST(TemplateFile, SavingOverMarkedAndHandEditedTemplatesKeepsTheirEncodingAndEveryValue)
{
    const auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    const QString old = QStringLiteral("[ set ]\r\nnum9=旧名字\r\n[其他]\r\n键=值\r\n");
    struct Case
    {
        const char* name;
        QByteArray before;
        QByteArray bom;
        std::function<QString(const QByteArray&)> decode;
    };
    const Case cases[] = {
        {"utf-8", "\xEF\xBB\xBF" + old.toUtf8(), "\xEF\xBB\xBF",
         [](const QByteArray& b) { return QString::fromUtf8(b); }},
        {"utf-16le", "\xFF\xFE" + utf16(old), "\xFF\xFE",
         [](const QByteArray& b) {
             return QString(reinterpret_cast<const QChar*>(b.constData()), b.size() / 2);
         }},
        {"gbk", gbk(old), "", [](const QByteArray& b) { return platform::decodeText(b); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        MapForm form = keyedForm();
        form.set("编辑框9", QStringLiteral("某某"));
        const QString path = dir.write(QStringLiteral("BL/2012.3.5-某某公司-某某.ini"), c.before);
        const FileResult written = record::writeTemplate(dir.path(), form);
        ASSERT_TRUE(written.ok) << written.error.toStdString();
        ASSERT_EQ(written.path, path);

        const QByteArray after = readFile(path);
        ASSERT_TRUE(after.startsWith(c.bom));
        const QString text = c.decode(after.sliced(c.bom.size()));
        EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("^\\[\\s*set\\s*\\]"),
                                                QRegularExpression::MultilineOption)),
                  1)
            << "a second section was added";
        EXPECT_TRUE(text.contains(QStringLiteral("[其他]\r\n键=值\r\n")));
        EXPECT_FALSE(text.contains(QChar(QChar::ReplacementCharacter)));

        MapForm back;
        ASSERT_TRUE(readTemplate(path, back).ok);
        for (const record::Field& f : record::readOrder())
            EXPECT_EQ(back.fieldText(record::unitName(f)), form.fieldText(record::unitName(f))) << f.key;
    }
}

TEST(TemplateFile, WrittenTemplateReadsBackIntoTheSameRecord)
{
    TempDir dir;
    MapForm form = keyedForm();
    form.set("编辑框16", QStringLiteral(" 带空格的 地址 "));
    form.set("超级编辑框2", QStringLiteral("备注\r\n第二行"));
    const FileResult r = record::writeTemplate(dir.path(), form);
    MapForm back;
    readTemplate(r.path, back);
    for (const record::Field& f : record::readOrder()) {
        QString expected = form.fieldText(record::unitName(f));
        if (record::keyName(f) == QStringLiteral("num19"))
            expected = expected.trimmed(); // the profile rules drop blanks around values
        if (f.id == record::FieldId::CaseNote)
            expected = record::normaliseCaseNote(expected);
        EXPECT_EQ(back.fieldText(record::unitName(f)), expected) << f.key;
    }
}

} // namespace
} // namespace quillan::test
