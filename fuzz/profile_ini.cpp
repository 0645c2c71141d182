// Any file the reader understands can be written into: the value written
// reads back, in a file that keeps its byte-order mark.
#include "FuzzSupport.h"
#include "platform/ProfileIni.h"

#include <QString>

using namespace quillan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)platform::ProfileIni::parse(bytes);

    const QString path = fuzz::writeScratch(QStringLiteral("t.ini"), bytes);
    platform::ProfileWriter writer(path);
    const QString value = QStringLiteral("值 value 𠀀");
    writer.setValue(QStringLiteral("set"), QStringLiteral("num9"), value);
    writer.setValue(QStringLiteral("Set"), QStringLiteral("beizu"), QStringLiteral("a\r\nb"));
    FUZZ_CHECK(writer.save());
    const platform::ProfileIni after = platform::ProfileIni::load(path);
    FUZZ_CHECK(after.value(QStringLiteral("set"), QStringLiteral("num9")) == value);
    FUZZ_CHECK(after.value(QStringLiteral("set"), QStringLiteral("beizu")) == QStringLiteral("a  b"));
    const QByteArray written = writer.bytes();
    for (const QByteArray& bom : {QByteArray("\xEF\xBB\xBF"), QByteArray("\xFF\xFE")})
        if (bytes.startsWith(bom))
            FUZZ_CHECK(written.startsWith(bom));
    return 0;
}
