// Any template from a colleague opens without harm, and the record it gives
// saves and reads back to the same record, over the same file.
#include "FuzzSupport.h"
#include "record/RecordFields.h"
#include "record/TemplateFile.h"

using namespace quillan;

namespace {

// A value survives the read rules unchanged when it has no blanks at its
// ends, no quotes around it and no line breaks.
bool stable(const QString& v)
{
    if (v.isEmpty())
        return true;
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    const auto quote = [](QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); };
    return !blank(v.front()) && !blank(v.back()) && !quote(v.front()) && !v.contains(QLatin1Char('\r')) &&
           !v.contains(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QDir(fuzz::scratch().path()).removeRecursively();
    QDir().mkpath(fuzz::scratch().path() + QStringLiteral("/BL"));
    const QString input = fuzz::writeScratch(QStringLiteral("in.ini"), bytes);
    const record::LoadedTemplate loaded = record::loadTemplate(input);
    FUZZ_CHECK(loaded.result.ok);
    record::Record record = record::recordFromTemplate(loaded.ini);
    // Save over the colleague's file itself, under the record's own name.
    record[record::FieldId::StartYear] = QStringLiteral("2012");
    record[record::FieldId::StartMonth] = QStringLiteral("3");
    record[record::FieldId::StartDay] = QStringLiteral("5");
    record[record::FieldId::WorkUnit] = QStringLiteral("单位");
    record[record::FieldId::Name] = QStringLiteral("姓名");
    const QString path = record::templatePath(fuzz::scratch().path(), record);
    fuzz::writeScratch(QStringLiteral("BL/2012.3.5-单位-姓名.ini"), bytes);
    const record::FileResult saved = record::writeTemplate(fuzz::scratch().path(), record);
    FUZZ_CHECK(saved.ok);
    FUZZ_CHECK(saved.path == path);
    const record::LoadedTemplate back = record::loadTemplate(path);
    FUZZ_CHECK(back.result.ok);
    const record::Record reread = record::recordFromTemplate(back.ini);
    for (const record::Field& f : record::readOrder()) {
        if (stable(record[f.id]))
            FUZZ_CHECK(reread[f.id] == record[f.id]);
    }
    return 0;
}
