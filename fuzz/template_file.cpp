// Any template from a colleague opens without harm, and the record it gives
// saves and reads back to the same record, over the same file.
#include "FuzzSupport.h"
#include "record/RecordFields.h"
#include "record/RecordForm.h"
#include "record/TemplateFile.h"

#include <QHash>

using namespace quillan;

namespace {

class Form final : public record::RecordForm
{
public:
    QString fieldText(const QString& unit) const override { return fields.value(unit); }
    void setFieldText(const QString& unit, const QString& text) override { fields[unit] = text; }
    QString statusMessage() const override { return {}; }
    void setStatusMessage(const QString&) override {}
    void setStatusPart0(const QString&) override {}
    void setBusy(bool) override {}
    void insertAtTop(const QString&, const QStringList&) override {}
    void clearList(const QString&) override {}
    QStringList listEntries(const QString&) const override { return {}; }
    QHash<QString, QString> fields;
};

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
    Form form;
    FUZZ_CHECK(record::readTemplate(input, form).ok);
    // Save over the colleague's file itself, under the record's own name.
    form.fields[QStringLiteral("编辑框1")] = QStringLiteral("2012");
    form.fields[QStringLiteral("编辑框2")] = QStringLiteral("3");
    form.fields[QStringLiteral("编辑框3")] = QStringLiteral("5");
    form.fields[QStringLiteral("编辑框14")] = QStringLiteral("单位");
    form.fields[QStringLiteral("编辑框9")] = QStringLiteral("姓名");
    const QString path = record::templatePath(fuzz::scratch().path(), form);
    fuzz::writeScratch(QStringLiteral("BL/2012.3.5-单位-姓名.ini"), bytes);
    const record::FileResult saved = record::writeTemplate(fuzz::scratch().path(), form);
    FUZZ_CHECK(saved.ok);
    FUZZ_CHECK(saved.path == path);
    Form back;
    FUZZ_CHECK(record::readTemplate(path, back).ok);
    for (const record::Field& f : record::readOrder()) {
        const QString unit = record::unitName(f);
        const QString want = form.fieldText(unit);
        if (stable(want))
            FUZZ_CHECK(back.fieldText(unit) == want);
    }
    return 0;
}
