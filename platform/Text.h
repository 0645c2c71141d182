#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace quillan::platform {

// A text of the program's own, written as UTF-8 in the source.
inline QString u(const char* text)
{
    return QString::fromUtf8(text);
}

// The files' text encoding. GB18030 is a superset of GBK (code page 936):
// every GBK file decodes identically, and characters outside GBK survive a
// round trip instead of turning into "?".
QString decodeText(QByteArrayView bytes);
QByteArray encodeText(QStringView text);

// Length of `text` in the files' encoding, in bytes.
qsizetype byteLength(QStringView text);

// Length of the longest prefix of `bytes` of at most `maxBytes` bytes that
// ends on a character boundary of the encoding (never in half a character).
qsizetype characterBoundary(QByteArrayView bytes, qsizetype maxBytes);

// `bytes` cut to at most `maxBytes` bytes, before any half character.
QByteArray cutBytes(QByteArrayView bytes, qsizetype maxBytes);

// `text` cut so that its encoding is at most `maxBytes` bytes long.
QString cutText(QStringView text, qsizetype maxBytes);

} // namespace quillan::platform
