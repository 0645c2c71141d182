#include "platform/RegistryStore.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace quillan::platform {

namespace {

// Store file format, one record a line, all strings hex-encoded so values
// stay binary-safe:
//   quillan-registry 1
//   v <hex key path> <hex value name> <hex data>
//   end <number of values>
const QByteArray kHeader = QByteArrayLiteral("quillan-registry 1");
constexpr qint64 kMaxStoreBytes = qint64(64) << 20;

const char* const kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                              "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

bool decodeHex(const QByteArray& hex, QByteArray* out)
{
    if (hex == "-") {
        out->clear();
        return true;
    }
    if (hex.size() % 2 != 0)
        return false;
    for (char c : hex) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!digit)
            return false;
    }
    *out = QByteArray::fromHex(hex);
    return true;
}

QByteArray encodeHex(const QByteArray& data)
{
    return data.isEmpty() ? QByteArrayLiteral("-") : data.toHex();
}

} // namespace

RegistryStore::RegistryStore(QString storeFile) : file_(std::move(storeFile)) {}

bool RegistryStore::normaliseKey(const QString& keyPath, QString* key)
{
    const qsizetype slash = keyPath.indexOf(QLatin1Char('\\'));
    const QString root = (slash < 0 ? keyPath : keyPath.first(slash)).toUpper();
    bool known = false;
    for (const char* r : kRoots)
        known = known || root == QLatin1String(r);
    if (!known)
        return false;
    QString rest = slash < 0 ? QString() : keyPath.sliced(slash + 1);
    // Empty path components ("a\\b", a trailing "\") name the same key.
    QStringList parts;
    for (const QString& part : rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts << part;
    *key = parts.isEmpty() ? root : root + QLatin1Char('\\') + parts.join(QLatin1Char('\\'));
    return true;
}

RegistryStore::State RegistryStore::load(std::vector<Value>* values, QString* why) const
{
    values->clear();
    const QFileInfo info(file_);
    if (!info.exists())
        return State::Missing;
    const auto bytes = readWholeFile(file_, kMaxStoreBytes, why);
    if (!bytes)
        return State::Damaged;
    if (why)
        *why = QStringLiteral("文件 %1 已损坏").arg(file_);
    const QList<QByteArray> lines = bytes->split('\n');
    // The last element is what follows the final line end: it must be empty.
    if (lines.size() < 3 || lines.front() != kHeader || !lines.back().isEmpty())
        return State::Damaged;
    const QByteArray& last = lines[lines.size() - 2];
    if (!last.startsWith("end "))
        return State::Damaged;
    bool okCount = false;
    const qsizetype count = last.sliced(4).toLongLong(&okCount);
    if (!okCount || count != lines.size() - 3)
        return State::Damaged;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> f = lines[i].split(' ');
        QByteArray key;
        QByteArray name;
        QByteArray data;
        if (f.size() != 4 || f[0] != "v" || !decodeHex(f[1], &key) || !decodeHex(f[2], &name) ||
            !decodeHex(f[3], &data))
            return State::Damaged;
        values->push_back(Value{QString::fromUtf8(key), QString::fromUtf8(name), data, key, name});
    }
    if (why)
        why->clear();
    return State::Good;
}

QString RegistryStore::problem() const
{
    std::vector<Value> values;
    QString why;
    if (load(&values, &why) != State::Damaged)
        return QString();
    return why.isEmpty() ? QStringLiteral("文件 %1 无法读取").arg(file_) : why;
}

bool RegistryStore::keepAside()
{
    for (int n = 1; n < 1000; ++n) {
        const QString aside = file_ + QStringLiteral(".damaged-%1").arg(n);
        if (QFileInfo::exists(aside))
            continue;
        return QFile::rename(file_, aside);
    }
    return false;
}

QString RegistryStore::readRegistryText(const QString& keyPath, const QString& valueName) const
{
    QString key;
    if (!normaliseKey(keyPath, &key))
        return {};
    std::vector<Value> values;
    if (load(&values) != State::Good)
        return {};
    for (const Value& v : values) {
        if (v.key.compare(key, Qt::CaseInsensitive) == 0 &&
            v.name.compare(valueName, Qt::CaseInsensitive) == 0) {
            QByteArray data = v.data;
            data.replace(QByteArrayView("\0", 1), QByteArrayView("\r\n"));
            return decodeText(data);
        }
    }
    return {};
}

bool RegistryStore::writeRegistryText(const QString& keyPath, const QString& valueName, const QString& text)
{
    return writeRegistryBytes(keyPath, valueName, encodeText(text));
}

bool RegistryStore::writeRegistryBytes(const QString& keyPath, const QString& valueName,
                                       const QByteArray& data)
{
    QString key;
    if (!normaliseKey(keyPath, &key))
        return false;
    const QFileInfo info(file_);
    if (!ensurePrivateDir(info.absolutePath()))
        return false;
    std::vector<Value> values;
    const State state = load(&values);
    if (state == State::Damaged) {
        // Keep the damaged store as it is, under a name of its own.
        if (!keepAside() || QFileInfo::exists(file_))
            return false;
        values.clear();
    }
    bool replaced = false;
    for (Value& v : values) {
        if (v.key.compare(key, Qt::CaseInsensitive) == 0 &&
            v.name.compare(valueName, Qt::CaseInsensitive) == 0) {
            v.data = data;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        values.push_back(Value{key, valueName, data, key.toUtf8(), valueName.toUtf8()});

    QByteArray out = kHeader + '\n';
    for (const Value& v : values)
        out += "v " + encodeHex(v.keyBytes) + ' ' + encodeHex(v.nameBytes) + ' ' + encodeHex(v.data) + '\n';
    out += "end " + QByteArray::number(qsizetype(values.size())) + '\n';
    return writeFileAtomically(file_, out, nullptr, 0600);
}

} // namespace quillan::platform
