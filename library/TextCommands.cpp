#include "library/TextCommands.h"

#include "platform/AtomicFile.h"
#include "platform/SessionState.h"
#include "platform/Text.h"

#include <QFile>
#include <QFileInfo>

namespace quillan::library {

namespace {

// Replaces a scratch file whole: a reader sees the old or the new text,
// never half of one.
bool replaceScratchFile(const QString& path, const QByteArray& data)
{
    return platform::writeFileAtomically(path, data, nullptr, 0600);
}

} // namespace

TextCommands::TextCommands(TextEnvironment env) : env_(std::move(env)) {}

QString TextCommands::pathOf(const TextEntry& entry) const
{
    if (entry.source == TextEntry::Source::ProgramFolder)
        return env_.programDir + QLatin1Char('/') + entry.fileName;
    const QString scratch = env_.scratchDir ? env_.scratchDir() : QString();
    // Without a private scratch folder nothing is written to a predictable
    // place: the path is then the bare file name, which names no file.
    return scratch.isEmpty() ? QString() : scratch + QLatin1Char('/') + entry.fileName;
}

void TextCommands::show(const TextEntry& entry)
{
    const QString path = pathOf(entry);
    env_.session->shownTextFile = path;
    // The write replaces the file as a whole; its result is not reported:
    // the panel shows what the file then holds.
    if (entry.source == TextEntry::Source::Embedded && !path.isEmpty())
        replaceScratchFile(path, embeddedText(entry));
    const QByteArray bytes = path.isEmpty() ? QByteArray() : readTextFile(path);
    env_.showPanel(platform::decodeText(bytes));
}

QByteArray readTextFile(const QString& path, qsizetype maxBytes)
{
    // Only regular files: a pipe or a device in the program folder would
    // never end.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.read(maxBytes + 4);
    if (bytes.size() <= maxBytes)
        return bytes;
    return platform::cutBytes(bytes, maxBytes);
}

bool popUpWanted(const QString& tanchu)
{
    return tanchu != QLatin1String("0");
}

} // namespace quillan::library
