#include "record/TemplateFile.h"

#include "platform/Paths.h"
#include "record/RecordForm.h"

#include <QDir>

namespace quillan::record {

namespace {

const QString& section()
{
    static const QString name = QStringLiteral("set");
    return name;
}

} // namespace

bool hasForbiddenFileNameCharacter(const QString& name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

QString forbiddenNameReason()
{
    return QStringLiteral(
        "文件名中有不允许的字符（\\ / : * ? \" < > |），请修改日期、工作单位或被询问人姓名。");
}

QString recordBaseName(const RecordForm& form)
{
    auto f = [&form](const char* unit) { return form.fieldText(QString::fromUtf8(unit)); };
    return f("编辑框1") + QLatin1Char('.') + f("编辑框2") + QLatin1Char('.') + f("编辑框3") +
           QLatin1Char('-') + f("编辑框14") + QLatin1Char('-') + f("编辑框9");
}

QString templatePath(const QString& programDir, const RecordForm& form)
{
    return programDir + QStringLiteral("/BL/") + recordBaseName(form) + QStringLiteral(".ini");
}

QString documentPath(const QString& programDir, const RecordForm& form)
{
    return programDir + QStringLiteral("/BL/") + recordBaseName(form) + QStringLiteral(".doc");
}

QString pdfPath(const QString& programDir, const RecordForm& form)
{
    return programDir + QStringLiteral("/BL/") + recordBaseName(form) + QStringLiteral(".pdf");
}

QString normaliseCaseNote(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return result;
}

TemplateWriter::TemplateWriter(const QString& programDir, const RecordForm& form)
    : programDir_(programDir), path_(templatePath(programDir, form))
{
    if (!hasForbiddenFileNameCharacter(recordBaseName(form)))
        writer_.emplace(path_);
}

void TemplateWriter::write(const Field& field, const QString& value)
{
    if (writer_)
        writer_->setValue(section(), keyName(field), value);
}

void TemplateWriter::writeFields(std::span<const Field> fields, const RecordForm& form)
{
    for (const Field& f : fields)
        write(f, form.fieldText(unitName(f)));
}

void TemplateWriter::writeCaseNote(RecordForm& form)
{
    const Field& note = caseNote();
    const QString text = normaliseCaseNote(form.fieldText(unitName(note)));
    form.setFieldText(unitName(note), text);
    write(note, text);
}

FileResult TemplateWriter::finish()
{
    FileResult result;
    result.path = path_;
    if (!writer_) {
        result.error = forbiddenNameReason();
        return result;
    }
    platform::makePrivateFolder(programDir_ + QStringLiteral("/BL"));
    result.ok = writer_->save(&result.error);
    if (result.ok)
        result.error.clear();
    return result;
}

FileResult writeTemplate(const QString& programDir, RecordForm& form)
{
    TemplateWriter writer(programDir, form);
    const auto order = writeOrder();
    writer.writeFields(order.first(order.size() - 1), form);
    writer.writeCaseNote(form);
    return writer.finish();
}

LoadedTemplate loadTemplate(const QString& path)
{
    LoadedTemplate loaded;
    loaded.result.path = path;
    loaded.ini = platform::ProfileIni::load(path, &loaded.result.error);
    loaded.result.ok = loaded.result.error.isEmpty();
    return loaded;
}

void fillForm(const platform::ProfileIni& ini, RecordForm& form)
{
    for (const Field& f : readOrder())
        form.setFieldText(unitName(f), ini.value(section(), keyName(f)));
}

FileResult readTemplate(const QString& path, RecordForm& form)
{
    const LoadedTemplate loaded = loadTemplate(path);
    if (loaded.result.ok)
        fillForm(loaded.ini, form);
    return loaded.result;
}

} // namespace quillan::record
