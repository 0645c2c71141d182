// A store written by anybody: reading never fails loudly, and a write keeps
// every other entry of a sound store byte for byte.
#include "FuzzSupport.h"
#include "platform/RegistryStore.h"

#include <QFileInfo>

using namespace quillan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QDir(fuzz::scratch().path()).removeRecursively();
    QDir().mkpath(fuzz::scratch().path());
    const QString path = fuzz::writeScratch(QStringLiteral("registry"), bytes);
    platform::RegistryStore store(path);
    const bool readable = store.problem().isEmpty();
    // A store that cannot be read reads as empty keys.
    if (!readable)
        FUZZ_CHECK(store
                       .readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"),
                                         QStringLiteral("JIAMI"))
                       .isEmpty());
    FUZZ_CHECK(store.writeRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"),
                                       QStringLiteral("MIMA"), QStringLiteral("x")));
    FUZZ_CHECK(store.readRegistryText(QStringLiteral("hkey_current_user\\software\\quillan"),
                                      QStringLiteral("mima")) == QStringLiteral("x"));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    // A damaged store is kept aside, exactly then, byte for byte.
    const bool keptAside = QFileInfo::exists(path + QStringLiteral(".damaged-1"));
    FUZZ_CHECK(keptAside == !readable);
    if (keptAside) {
        QFile aside(path + QStringLiteral(".damaged-1"));
        FUZZ_CHECK(aside.open(QIODevice::ReadOnly) && aside.readAll() == bytes);
        return 0;
    }
    // The old store was sound: each of its entries is still there, unless it
    // is the one just written (its key and name in any letter case).
    const QString writtenKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan");
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.startsWith("v "))
            continue;
        QList<QByteArray> fields = line.split(' ');
        FUZZ_CHECK(fields.size() == 4);
        const QByteArray key = fields[1] == "-" ? QByteArray() : QByteArray::fromHex(fields[1]);
        const QByteArray name = fields[2] == "-" ? QByteArray() : QByteArray::fromHex(fields[2]);
        if (QString::fromUtf8(key).compare(writtenKey, Qt::CaseInsensitive) == 0 &&
            QString::fromUtf8(name).compare(QStringLiteral("MIMA"), Qt::CaseInsensitive) == 0)
            continue;
        // An empty field reads as no bytes and is written back as "-", the
        // store's own spelling of that.
        for (QByteArray& field : fields)
            if (field.isEmpty())
                field = "-";
        FUZZ_CHECK(after.contains(fields.join(' ') + '\n'));
    }
    return 0;
}
