#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace quillan::platform {

// Longest value a read returns, in bytes of the files' encoding; the rest of
// a longer value is cut off (never in half a character).
inline constexpr qsizetype kProfileValueLimit = 10239;
inline constexpr qsizetype kNoValueLimit = -1;

// A profile (INI) file, parsed once and queried many times, with the read
// rules of the Windows profile functions: section and key names match without
// regard to letter case; blanks and tabs around key names and values are
// ignored; one pair of single or double quotes around a value is removed; the
// first occurrence of a section or key counts; a missing file, section or key
// and an empty value all read as the empty text.
class ProfileIni
{
public:
    ProfileIni() = default;

    // Reads and parses `path`. A missing, unreadable or non-regular file gives
    // an empty profile, and `error` says why. `valueLimit` is the longest
    // value in bytes (kNoValueLimit: none, for the program's own files).
    static ProfileIni load(const QString& path, QString* error = nullptr,
                           qsizetype valueLimit = kProfileValueLimit);
    static ProfileIni parse(const QByteArray& bytes, qsizetype valueLimit = kProfileValueLimit);

    QString value(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    bool isEmpty() const { return sections_.empty(); }

private:
    struct Section
    {
        QString name;
        QHash<QString, QString> values; // folded key -> value (first occurrence)
    };
    std::vector<Section> sections_;
    QHash<QString, qsizetype> index_; // folded section name -> first section
};

// Edits a profile file with the write rules of the Windows profile functions
// while keeping every byte that is not changed: a new file gets the section
// header and the keys in the order they are set; an existing key is replaced
// in place; a missing key is added at the end of its section; a missing
// section is added at the end of the file. Lines written end in CR LF. A line
// break inside a value would cut the value and corrupt the file, so each CR
// and each LF in a value is stored as one blank. A file that begins with a
// UTF-8 or UTF-16LE byte-order mark keeps its mark and its encoding; any
// other file is in the files' encoding (GB18030).
class ProfileWriter
{
public:
    // Reads the existing file at `path`, if any. `error` tells why an existing
    // file could not be read (the writer then refuses to save over it).
    explicit ProfileWriter(QString path);

    void setValue(const QString& section, const QString& key, const QString& value);
    // Takes out the section's header and every line up to the next section.
    void removeSection(const QString& section);

    // Replaces the file atomically. False, with the reason, when it could not.
    bool save(QString* error = nullptr) const;

    // The bytes save() would write.
    QByteArray bytes() const;

    const QString& path() const { return path_; }

private:
    enum class Encoding { Text, Utf8, Utf16Le };
    struct Line
    {
        QByteArray raw; // without its line end, in the file's encoding
        QByteArray end; // CR LF, LF, CR (in the file's encoding) or empty at the end of the file
    };
    QString decodeLine(QByteArrayView raw) const;
    QByteArray encodeLine(const QString& text) const;
    QByteArray lineEnd() const;
    qsizetype findSection(const QString& section) const;
    bool isSectionHeader(qsizetype index, QString* name = nullptr) const;

    QString path_;
    Encoding encoding_ = Encoding::Text;
    QByteArray bom_;
    std::vector<Line> lines_;
    QString readError_;
};

} // namespace quillan::platform
