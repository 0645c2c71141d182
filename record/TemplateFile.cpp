#include "record/TemplateFile.h"

#include "platform/Paths.h"
#include "platform/Text.h"
#include "record/RecordFields.h"

#include <QDir>
#include <QFileInfo>

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

QString templatePath(const QString& programDir, const Record& record)
{
    return programDir + QStringLiteral("/BL/") + record.baseName() + QStringLiteral(".ini");
}

QString documentPath(const QString& programDir, const Record& record)
{
    return programDir + QStringLiteral("/BL/") + record.baseName() + QStringLiteral(".doc");
}

QString pdfPath(const QString& programDir, const Record& record)
{
    return programDir + QStringLiteral("/BL/") + record.baseName() + QStringLiteral(".pdf");
}

QString normaliseCaseNote(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return result;
}

FileResult writeTemplate(const QString& programDir, const Record& record,
                         const platform::SavedRecording* recording)
{
    FileResult result;
    result.path = templatePath(programDir, record);
    if (hasForbiddenFileNameCharacter(record.baseName())) {
        result.error = forbiddenNameReason();
        return result;
    }
    platform::ProfileWriter writer(result.path);
    for (const Field& f : writeOrder())
        writer.setValue(section(), keyName(f),
                        f.id == FieldId::CaseNote ? normaliseCaseNote(record[f.id]) : record[f.id]);
    if (recording && !recording->file.isEmpty()) {
        const QString luyin = QStringLiteral("luyin");
        writer.removeSection(luyin);
        writer.setValue(luyin, QStringLiteral("file"), QFileInfo(recording->file).fileName());
        for (const platform::SavedRecording::Mark& m : recording->marks)
            writer.setValue(luyin, m.label, QString::number(m.ms));
    }
    platform::makePrivateFolder(programDir + QStringLiteral("/BL"));
    result.ok = writer.save(&result.error);
    if (result.ok)
        result.error.clear();
    return result;
}

LoadedTemplate loadTemplate(const QString& path)
{
    LoadedTemplate loaded;
    loaded.result.path = path;
    loaded.ini = platform::ProfileIni::load(path, &loaded.result.error);
    loaded.result.ok = loaded.result.error.isEmpty();
    return loaded;
}

Record recordFromTemplate(const platform::ProfileIni& ini)
{
    Record record;
    for (const Field& f : writeOrder())
        record[f.id] = ini.value(section(), keyName(f));
    return record;
}

platform::SavedRecording recordingFromTemplate(const platform::ProfileIni& ini, const QString& templatePath)
{
    const QString luyin = QStringLiteral("luyin");
    platform::SavedRecording recording;
    const QString file = ini.value(luyin, QStringLiteral("file"));
    if (file.isEmpty())
        return recording;
    recording.file = QFileInfo(file).isAbsolute() ? file : QFileInfo(templatePath).dir().filePath(file);
    for (const Pair& p : pairs())
        for (const QString& label :
             {platform::u("问") + QString::number(p.number), platform::u("答") + QString::number(p.number)}) {
            bool ok = false;
            const qint64 ms = ini.value(luyin, label).toLongLong(&ok);
            if (ok && ms >= 0)
                recording.marks.append({label, ms});
        }
    return recording;
}

} // namespace quillan::record
