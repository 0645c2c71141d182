// The text helpers: a cut-off character decodes the same wherever the
// bytes end, and cuts never split a character.
#include "platform/Text.h"
#include "FuzzSupport.h"

using namespace quillan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = platform::decodeText(bytes);
    FUZZ_CHECK(text + QLatin1Char('\r') == platform::decodeText(bytes + '\r'));
    for (qsizetype limit : {qsizetype(0), qsizetype(1), qsizetype(7), bytes.size() / 2, bytes.size()}) {
        const QByteArray cut = platform::cutBytes(bytes, limit);
        FUZZ_CHECK(cut.size() <= limit);
        FUZZ_CHECK(bytes.startsWith(cut));
        const QString cutText = platform::cutText(text, limit);
        FUZZ_CHECK(platform::byteLength(cutText) <= limit);
        FUZZ_CHECK(text.startsWith(cutText));
    }
    // Whatever decodes encodes and decodes to itself.
    FUZZ_CHECK(platform::decodeText(platform::encodeText(text)) == text);
    return 0;
}
