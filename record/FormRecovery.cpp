#include "record/FormRecovery.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/ProfileIni.h"
#include "platform/Prompts.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "record/RecordView.h"
#include "record/TemplateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace quillan::record {

namespace {

using platform::u;

const QString kSet = QStringLiteral("set");
const QString kRecovery = QStringLiteral("recovery");
const QString kTime = QStringLiteral("time");
constexpr qint64 kMaxRecoveryBytes = qint64(64) << 20;

} // namespace

FormRecovery::FormRecovery(RecoveryEnvironment env) : env_(std::move(env)) {}

QString FormRecovery::keptName(const QDateTime& when)
{
    return u("恢复-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".ini");
}

QString FormRecovery::question(const QDateTime& when, const QString& keptName)
{
    return u(" 上次没有保存的笔录（") + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           u("）还在，是否恢复？ \r\n选择“否”，此笔录保存在 <BL/") + keptName + u("> 中。");
}

QByteArray FormRecovery::encode(const Record& values, const QDateTime& when) const
{
    // Built from nothing, so that no earlier content survives in the file.
    platform::ProfileWriter writer{QString()};
    for (const Field& f : writeOrder()) {
        QString value = values[f.id];
        if (f.id == FieldId::CaseNote)
            value = normaliseCaseNote(value);
        writer.setValue(kSet, keyName(f), value);
    }
    writer.setValue(kRecovery, kTime, when.toString(Qt::ISODate));
    // What the template section cannot hold exactly is kept beside it.
    const platform::ProfileIni asTemplate = platform::ProfileIni::parse(writer.bytes());
    for (const Field& f : writeOrder()) {
        const QString& value = values[f.id];
        if (asTemplate.value(kSet, keyName(f)) != value)
            writer.setValue(kRecovery, keyName(f), QString::fromLatin1(value.toUtf8().toPercentEncoding()));
    }
    return writer.bytes();
}

std::optional<FormRecovery::Left> FormRecovery::readLeft(const QString& file)
{
    Left left;
    QString error;
    // The program's own file: its exact values may be longer than a
    // template's values may be.
    const platform::ProfileIni ini = platform::ProfileIni::load(file, &error, platform::kNoValueLimit);
    for (const Field& f : readOrder()) {
        const QString exact = ini.value(kRecovery, keyName(f));
        left.values[f.id] = exact.isEmpty()
                                ? ini.value(kSet, keyName(f))
                                : QString::fromUtf8(QByteArray::fromPercentEncoding(exact.toLatin1()));
    }
    left.when = QDateTime::fromString(ini.value(kRecovery, kTime), Qt::ISODate);
    if (!left.when.isValid())
        left.when = QFileInfo(file).lastModified();
    if (!error.isEmpty())
        return std::nullopt;
    return left;
}

bool FormRecovery::removeFile()
{
    return !QFileInfo::exists(path()) || QFile::remove(path());
}

void FormRecovery::markSafe()
{
    safe_ = env_.view->read();
    written_.reset();
    removeFile();
}

bool FormRecovery::snapshot(QString* error)
{
    if (!watching_)
        return true;
    const Record now = env_.view->read();
    if (now == safe_) {
        written_.reset();
        return removeFile();
    }
    if (written_ && *written_ == now && QFileInfo::exists(path()))
        return true;
    if (!platform::ensurePrivateDir(env_.scratchDir)) {
        if (error)
            *error = platform::describeErrno(errno);
        return false;
    }
    if (!platform::writeFileAtomically(path(), encode(now, env_.clock->now()), error, 0600))
        return false;
    written_ = now;
    return true;
}

QString FormRecovery::freeKeptName(const QDateTime& when) const
{
    const QString dir = env_.programDir + QStringLiteral("/BL/");
    QString name = keptName(when);
    for (int n = 2; QFileInfo::exists(dir + name); ++n)
        name = keptName(when).chopped(4) + QLatin1Char('-') + QString::number(n) + QStringLiteral(".ini");
    return name;
}

KeptForm FormRecovery::keepUnsaved()
{
    KeptForm kept;
    if (!watching_)
        return kept;
    const Record now = env_.view->read();
    if (now == safe_)
        return kept;
    const QDateTime when = env_.clock->now();
    const QString name = freeKeptName(when);
    kept.file = QStringLiteral("BL/") + name;
    const QString dir = env_.programDir + QStringLiteral("/BL");
    platform::makePrivateFolder(dir); // what is in the way is told by the write
    kept.ok = platform::writeFileAtomically(dir + QLatin1Char('/') + name, encode(now, when), &kept.error);
    return kept;
}

bool FormRecovery::keepInRecords(const QString& file, const QDateTime& when)
{
    const QString dir = env_.programDir + QStringLiteral("/BL");
    const QString name = freeKeptName(when);
    QString error;
    const auto bytes = platform::readWholeFile(file, kMaxRecoveryBytes, &error);
    if (bytes && platform::makePrivateFolder(dir) &&
        platform::writeFileAtomically(dir + QLatin1Char('/') + name, *bytes, &error)) {
        QFile::remove(file);
        return true;
    }
    // The unsaved record stays where it is and is offered again next time.
    env_.prompts->message(u("没有保存的笔录无法保存到 <") + dir + QLatin1Char('/') + name + u(">：") + error +
                              u("\r\n它仍在 <") + file + u("> 中。"),
                          u("提示："), platform::Buttons::Ok);
    return false;
}

bool FormRecovery::offerFile(const QString& file)
{
    const std::optional<Left> left = readLeft(file);
    if (!left) {
        // Unreadable: kept aside for the officer, never offered as a record.
        keepInRecords(file, QFileInfo(file).lastModified());
        return true;
    }
    // Saved after the snapshot (the removal failed then): nothing to offer.
    const QFileInfo saved(templatePath(env_.programDir, left->values));
    if (saved.exists() && saved.lastModified() >= QFileInfo(file).lastModified()) {
        QFile::remove(file);
        return true;
    }
    // One record fills the form; the others of the same start go to "BL".
    if (pending_) {
        keepInRecords(file, left->when);
        return true;
    }
    switch (env_.prompts->message(question(left->when, freeKeptName(left->when)), u("提示："),
                                  platform::Buttons::YesNo)) {
    case platform::Answer::Yes:
        pending_ = left->values;
        // From now on this program's own recovery file.
        QFile::remove(path());
        QFile::rename(file, path());
        return true;
    case platform::Answer::Interrupted:
        return false;
    default:
        keepInRecords(file, left->when);
        return true;
    }
}

void FormRecovery::offer()
{
    pending_.reset();
    if (!env_.leftFiles)
        return;
    for (const QString& file : env_.leftFiles()) {
        // At the program's end the files not asked about stay for the next start.
        if (!offerFile(file))
            return;
    }
}

bool FormRecovery::begin()
{
    safe_ = env_.view->read();
    watching_ = true;
    if (!pending_)
        return false;
    env_.view->show(*pending_);
    // Until it is saved, the restored record is kept by the same file.
    written_ = *pending_;
    pending_.reset();
    return true;
}

} // namespace quillan::record
