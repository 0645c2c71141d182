#include "platform/Text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace quillan::platform {

namespace {

constexpr const char* kCodec = "GB18030";

bool isLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}
bool isDigit(unsigned char c)
{
    return c >= 0x30 && c <= 0x39;
}

// Width of the character starting at `bytes[i]`: 1, 2 or 4. An invalid or
// truncated sequence counts as one byte, as the decoder treats it.
qsizetype charWidth(QByteArrayView bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char c = at(i);
    if (!isLead(c))
        return 1;
    if (i + 1 >= bytes.size())
        return 1;
    const unsigned char c2 = at(i + 1);
    if (isDigit(c2)) {
        if (i + 3 < bytes.size() && isLead(at(i + 2)) && isDigit(at(i + 3)))
            return 4;
        return 1;
    }
    if ((c2 >= 0x40 && c2 <= 0x7E) || (c2 >= 0x80 && c2 <= 0xFE))
        return 2;
    return 1;
}

} // namespace

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder decoder(kCodec);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    // The converter keeps a character cut off at the end of its input for
    // more input that never comes. A line feed after the bytes ends it the
    // way any other byte does (one U+FFFD and the line feed), so a cut-off
    // character decodes the same at the end of the bytes as anywhere else.
    QByteArray ended;
    ended.reserve(bytes.size() + 1);
    ended.append(bytes);
    ended.append('\n');
    QString text = decoder.decode(ended);
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QByteArray encodeText(QStringView text)
{
    QStringEncoder encoder(kCodec);
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}

qsizetype byteLength(QStringView text)
{
    // ASCII is one byte a character in GB18030; skip the encoder for it.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? text.size() : encodeText(text).size();
}

qsizetype characterBoundary(QByteArrayView bytes, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return 0;
    if (bytes.size() <= maxBytes)
        return bytes.size();
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype w = charWidth(bytes, i);
        if (i + w > maxBytes)
            break;
        i += w;
    }
    return i;
}

QByteArray cutBytes(QByteArrayView bytes, qsizetype maxBytes)
{
    return bytes.first(characterBoundary(bytes, maxBytes)).toByteArray();
}

QString cutText(QStringView text, qsizetype maxBytes)
{
    if (text.size() * 4 <= maxBytes)
        return text.toString();
    const QByteArray bytes = encodeText(text);
    if (bytes.size() <= maxBytes)
        return text.toString();
    return decodeText(bytes.first(characterBoundary(bytes, maxBytes)));
}

} // namespace quillan::platform
