#include "platform/ProfileIni.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace quillan::platform {

namespace {

constexpr qint64 kMaxProfileBytes = qint64(256) << 20;

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

QString fold(QStringView s)
{
    return s.toString().toCaseFolded();
}

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom = QByteArrayLiteral("\xFF\xFE");

// The decoders keep a U+FEFF at the start of what they decode: only the
// byte-order mark at the start of the file is one. The writer decodes line
// by line, the reader the whole file; both must see the same characters.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return d.decode(bytes);
}

QString decodeUtf16Le(QByteArrayView bytes)
{
    QStringDecoder d(QStringDecoder::Utf16LE, QStringDecoder::Flag::ConvertInitialBom);
    QString text = d.decode(bytes.first(bytes.size() & ~qsizetype(1)));
    if (bytes.size() % 2)
        text += QChar(QChar::ReplacementCharacter); // half a character at the end
    return text;
}

// Decodes a whole profile file: a byte-order mark selects UTF-8 or UTF-16,
// anything else is the files' encoding.
QString decodeProfile(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return decodeUtf8(QByteArrayView(bytes).sliced(3));
    if (bytes.startsWith(kUtf16LeBom))
        return decodeUtf16Le(QByteArrayView(bytes).sliced(2));
    return decodeText(bytes);
}

// The section name of a header line "[name]" (after leading blanks), up to
// the last "]", without the blanks around it inside the brackets ("[ set ]"
// names "set"). False for any other line.
bool sectionName(QStringView line, QStringView* name)
{
    const QStringView t = trimmed(line);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return false;
    *name = trimmed(t.sliced(1, close - 1));
    return true;
}

QString cleanValue(QStringView raw, qsizetype limit)
{
    QStringView v = trimmed(raw);
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return limit < 0 ? v.toString() : cutText(v, limit);
}

} // namespace

ProfileIni ProfileIni::load(const QString& path, QString* error, qsizetype valueLimit)
{
    const auto bytes = readWholeFile(path, kMaxProfileBytes, error);
    if (!bytes)
        return {};
    return parse(*bytes, valueLimit);
}

ProfileIni ProfileIni::parse(const QByteArray& bytes, qsizetype valueLimit)
{
    ProfileIni ini;
    const QString text = decodeProfile(bytes);
    const QStringView all(text);
    Section* current = nullptr;
    qsizetype pos = 0;
    const qsizetype n = all.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && all[end] != QLatin1Char('\n') && all[end] != QLatin1Char('\r'))
            ++end;
        const QStringView line = all.sliced(pos, end - pos);
        pos = end + 1;
        if (line.isEmpty())
            continue;

        QStringView name;
        if (sectionName(line, &name)) {
            const QString key = fold(name);
            if (ini.index_.contains(key)) {
                current = nullptr; // a repeated section: its keys never count
            } else {
                ini.index_.insert(key, qsizetype(ini.sections_.size()));
                ini.sections_.push_back(Section{name.toString(), {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QStringView keyName = trimmed(eq < 0 ? line : line.first(eq));
        if (keyName.isEmpty())
            continue;
        const QString folded = fold(keyName);
        if (current->values.contains(folded))
            continue;
        current->values.insert(folded, eq < 0 ? QString() : cleanValue(line.sliced(eq + 1), valueLimit));
    }
    return ini;
}

QString ProfileIni::value(const QString& section, const QString& key) const
{
    const auto it = index_.constFind(section.toCaseFolded());
    if (it == index_.constEnd())
        return {};
    return sections_[size_t(*it)].values.value(key.toCaseFolded());
}

bool ProfileIni::hasSection(const QString& section) const
{
    return index_.contains(section.toCaseFolded());
}

// ---------------------------------------------------------------------------

ProfileWriter::ProfileWriter(QString path) : path_(std::move(path))
{
    const QFileInfo info(path_);
    if (!info.exists())
        return;
    const auto bytes = readWholeFile(path_, kMaxProfileBytes);
    if (!bytes) {
        readError_ = info.isDir() ? describeErrno(EISDIR) : QStringLiteral("无法读取已有的文件");
        return;
    }
    QByteArrayView b(*bytes);
    // A file the reader takes as UTF-8 or UTF-16 is written back in that
    // encoding, behind the same byte-order mark.
    if (b.startsWith(kUtf8Bom)) {
        encoding_ = Encoding::Utf8;
        bom_ = kUtf8Bom;
    } else if (b.startsWith(kUtf16LeBom)) {
        encoding_ = Encoding::Utf16Le;
        bom_ = kUtf16LeBom;
    }
    b = b.sliced(bom_.size());
    const qsizetype unit = encoding_ == Encoding::Utf16Le ? 2 : 1;
    const auto at = [&](qsizetype i) -> char16_t {
        if (unit == 1)
            return static_cast<unsigned char>(b[i]);
        if (i + 1 >= b.size())
            return 0xFFFF; // half a unit at the end
        return char16_t(static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8));
    };
    qsizetype pos = 0;
    const qsizetype n = b.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && at(end) != u'\n' && at(end) != u'\r')
            end += unit;
        end = qMin(end, n);
        Line line{b.sliced(pos, end - pos).toByteArray(), {}};
        if (end < n) {
            if (at(end) == u'\r' && end + unit < n && at(end + unit) == u'\n')
                line.end = b.sliced(end, 2 * unit).toByteArray();
            else
                line.end = b.sliced(end, unit).toByteArray();
        }
        pos = end + line.end.size();
        lines_.push_back(std::move(line));
    }
    if (unit == 2 && !lines_.empty() && lines_.back().raw.size() % 2) {
        // Half a character at the end, which the reader takes as U+FFFD:
        // stored as that, so that lines added after it stay aligned.
        lines_.back().raw.chop(1);
        lines_.back().raw += QByteArrayLiteral("\xFD\xFF");
    }
}

QString ProfileWriter::decodeLine(QByteArrayView raw) const
{
    switch (encoding_) {
    case Encoding::Utf8:
        return decodeUtf8(raw);
    case Encoding::Utf16Le:
        return decodeUtf16Le(raw);
    case Encoding::Text:
        break;
    }
    return decodeText(raw);
}

QByteArray ProfileWriter::encodeLine(const QString& text) const
{
    switch (encoding_) {
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf16Le: {
        QStringEncoder e(QStringEncoder::Utf16LE);
        return e.encode(text);
    }
    case Encoding::Text:
        break;
    }
    return encodeText(text);
}

QByteArray ProfileWriter::lineEnd() const
{
    return encodeLine(QStringLiteral("\r\n"));
}

bool ProfileWriter::isSectionHeader(qsizetype index, QString* name) const
{
    const QByteArray& raw = lines_[size_t(index)].raw;
    if (encoding_ != Encoding::Utf16Le) {
        // Cheap pre-check: a header starts with "[" after blanks.
        qsizetype i = 0;
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        if (i >= raw.size() || raw[i] != '[')
            return false;
    }
    const QString text = decodeLine(raw);
    QStringView view;
    if (!sectionName(text, &view))
        return false;
    if (name)
        *name = view.toString();
    return true;
}

qsizetype ProfileWriter::findSection(const QString& section) const
{
    const QString wanted = section.toCaseFolded();
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        QString name;
        if (isSectionHeader(i, &name) && name.toCaseFolded() == wanted)
            return i;
    }
    return -1;
}

void ProfileWriter::setValue(const QString& section, const QString& key, const QString& value)
{
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray crlf = lineEnd();

    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!lines_.empty() && lines_.back().end.isEmpty()) {
            if (lines_.back().raw.isEmpty())
                lines_.pop_back();
            else
                lines_.back().end = crlf;
        }
        lines_.push_back({encodeLine(QStringLiteral("[%1]").arg(section)), crlf});
        lines_.push_back({encodeLine(key + QLatin1Char('=') + clean), crlf});
        return;
    }

    const QString wanted = key.toCaseFolded();
    qsizetype lastContent = header;
    qsizetype i = header + 1;
    for (; i < qsizetype(lines_.size()); ++i) {
        if (isSectionHeader(i))
            break;
        const QString text = decodeLine(lines_[size_t(i)].raw);
        if (trimmed(text).isEmpty())
            continue;
        lastContent = i;
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        const QStringView name = trimmed(eq < 0 ? QStringView(text) : QStringView(text).first(eq));
        if (!name.isEmpty() && name.toString().toCaseFolded() == wanted) {
            Line& line = lines_[size_t(i)];
            line.raw = encodeLine(name.toString() + QLatin1Char('=') + clean);
            if (line.end.isEmpty())
                line.end = crlf;
            return;
        }
    }
    Line& before = lines_[size_t(lastContent)];
    if (before.end.isEmpty())
        before.end = crlf;
    lines_.insert(lines_.begin() + lastContent + 1, Line{encodeLine(key + QLatin1Char('=') + clean), crlf});
}

void ProfileWriter::removeSection(const QString& section)
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return;
    qsizetype end = header + 1;
    while (end < qsizetype(lines_.size()) && !isSectionHeader(end))
        ++end;
    lines_.erase(lines_.begin() + header, lines_.begin() + end);
}

QByteArray ProfileWriter::bytes() const
{
    QByteArray out = bom_;
    for (const Line& line : lines_) {
        out += line.raw;
        out += line.end;
    }
    return out;
}

bool ProfileWriter::save(QString* error) const
{
    if (!readError_.isEmpty()) {
        if (error)
            *error = readError_;
        return false;
    }
    return writeFileAtomically(path_, bytes(), error);
}

} // namespace quillan::platform
