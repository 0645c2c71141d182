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
    (void)store.readRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"), QStringLiteral("JIAMI"));
    FUZZ_CHECK(store.writeRegistryText(QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillan"), QStringLiteral("MIMA"),
                                       QStringLiteral("x")));
    FUZZ_CHECK(store.readRegistryText(QStringLiteral("hkey_current_user\\software\\quillan"), QStringLiteral("mima")) ==
               QStringLiteral("x"));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    const bool keptAside = QFileInfo::exists(path + QStringLiteral(".damaged-1"));
    if (!keptAside) {
        // The old store was sound: each of its entries is still there, unless
        // it was the one just written.
        const QList<QByteArray> lines = bytes.split('\n');
        const QByteArray written = QByteArray("HKEY_CURRENT_USER\\Software\\Quillan").toHex();
        // An empty field reads as no bytes and is written back as "-", the
        // store's own spelling of that.
        for (const QByteArray& line : lines) {
            if (!line.startsWith("v ") || line.toLower().contains(QByteArray("mima").toHex()))
                continue;
            QList<QByteArray> fields = line.split(' ');
            for (QByteArray& field : fields)
                if (field.isEmpty())
                    field = "-";
            FUZZ_CHECK(after.contains(fields.join(' ') + '\n'));
        }
        (void)written;
    }
    return 0;
}
