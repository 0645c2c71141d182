#include "ledger/LedgerCommands.h"

#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/Text.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace quillan::ledger {

namespace {

using platform::Buttons;

using platform::u;

QString n(qint64 number)
{
    return QString::number(number);
}

// The folder as the file system knows it, so that two spellings of one
// folder compare equal; the plain absolute path while it does not exist.
QString folderKey(const QString& dir)
{
    const QFileInfo info(dir);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString fileLine(const QString& name, const FileDigest& digest, const LogCheck& check)
{
    const QString quoted = u("文件“") + name + u("”");
    if (!digest.ok)
        return quoted + u("无法读取：") + digest.error + u("。");
    std::optional<LoggedFile> entry;
    QString text;
    if (check.byName) {
        entry = check.byName;
        text = entry->size == digest.size && entry->sha256 == digest.sha256
                   ? quoted + u("与 ") + entry->time + u(" 保存时完全一致。")
                   : quoted + u("在 ") + entry->time + u(" 保存之后被改动过。");
    } else if (check.byContent) {
        entry = check.byContent;
        text = quoted + u("不在笔录登记中，但内容与 ") + entry->time + u(" 保存的“") + entry->name +
               u("”完全一致。");
    } else {
        return quoted + u("不在笔录登记中。");
    }
    // Entries from the line where the log was changed on can have been
    // written by anyone.
    int untrustedFrom = 0;
    switch (check.chain) {
    case LogCheck::Chain::Unchained:
        untrustedFrom = qMax(1, check.line - 1);
        break;
    case LogCheck::Chain::BadLine:
    case LogCheck::Chain::AnchorChanged:
        untrustedFrom = check.line;
        break;
    default:
        break;
    }
    if (untrustedFrom > 0 && entry->line >= untrustedFrom)
        text += u("（这条登记在笔录登记被改动的部分中，不能作为凭据。）");
    else if (check.foreignFrom > 0 && entry->line >= check.foreignFrom)
        text += u("（这条登记不是本机写入的。）");
    return text;
}

// The entries a crash cut short, told once, not as a change of the log.
QString interruptedLines(const LogCheck& check)
{
    if (check.interrupted.isEmpty())
        return QString();
    QStringList lines;
    for (const int line : check.interrupted)
        lines << n(line);
    return u("第 ") + lines.join(u("、")) + u(" 行是程序意外中断时没有写完的登记，其中没有登记任何文件。");
}

QString chainState(const LogCheck& check, const QString& logFile)
{
    const QString changed = u("笔录登记被改动过：");
    switch (check.chain) {
    case LogCheck::Chain::Intact:
        return u("笔录登记完好（共 ") + n(check.lines) + u(" 行）。");
    case LogCheck::Chain::Missing:
        return u("笔录登记 ") + logFile + u(" 不存在。");
    case LogCheck::Chain::MissingAnchored:
        return u("笔录登记 ") + logFile + u(" 不见了，这台电脑曾在其中登记过保存。");
    case LogCheck::Chain::Unreadable:
        return u("笔录登记 ") + logFile + u(" 无法读取：") + check.error + u("。");
    case LogCheck::Chain::BadLine:
        return changed + u("第 ") + n(check.line) + u(" 行不是完整的登记行。");
    case LogCheck::Chain::Unchained:
        if (check.line == 1)
            return changed + u("开头的行被删除了（第 1 行不是登记的第一行）。");
        return changed + u("第 ") + n(check.line) +
               u(" 行与上一行连不上（上一行被改动，或其间有行被删除）。");
    case LogCheck::Chain::Truncated:
        return changed + u("末尾的登记行被删除了。");
    case LogCheck::Chain::AnchorChanged:
        return changed + u("第 ") + n(check.line) + u(" 行（这台电脑最近登记的一行）被改动过。");
    }
    return QString();
}

// What the check cannot vouch for, after what it found.
QString remarks(const LogCheck& check)
{
    const bool read = check.chain != LogCheck::Chain::Missing &&
                      check.chain != LogCheck::Chain::MissingAnchored &&
                      check.chain != LogCheck::Chain::Unreadable;
    if (!read)
        return QString();
    QString text;
    if (check.foreignFrom > 0)
        text += u("第 ") + n(check.foreignFrom) + u(" 行起的登记不是本机写入的。");
    if (check.timeBackwards > 0)
        text += u("第 ") + n(check.timeBackwards) + u(" 行的时间早于前一行。");
    if (!check.anchored)
        text += u("本机没有这份登记的校验记录，只能核对登记本身是否前后一致。");
    return text + interruptedLines(check);
}

QString chainLine(const LogCheck& check, const QString& logFile)
{
    return chainState(check, logFile) + remarks(check);
}

} // namespace

LedgerCommands::LedgerCommands(LedgerEnvironment env) : env_(std::move(env)) {}

QString LedgerCommands::logFile() const
{
    return env_.programDir + u("/BL/笔录登记.log");
}

QString LedgerCommands::anchorFile() const
{
    if (env_.configDir.isEmpty())
        return QString();
    // One anchor per log: several program folders may be used by one officer.
    const QByteArray key = (folderKey(env_.programDir + u("/BL")) + u("/笔录登记.log")).toUtf8();
    return env_.configDir + u("/ledger/") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16)) +
           u(".anchor");
}

QString LedgerCommands::logFailureText(const QString& reason)
{
    return u("笔录文件已经保存，但没有记入笔录登记：\r\n") + reason;
}

QString LedgerCommands::anchorFailureText(const QString& reason)
{
    return u("笔录文件已经记入笔录登记，但这台电脑上的登记核对文件没有保存（最后一行被改动时无法发现）：\r"
             "\n") +
           reason;
}

QString LedgerCommands::verdictText(const QString& name, const FileDigest& digest, const LogCheck& check,
                                    const QString& logFile)
{
    return fileLine(name, digest, check) + u("\r\n") + chainLine(check, logFile);
}

void LedgerCommands::logSave(const QStringList& paths) const
{
    const QString records = folderKey(env_.programDir + u("/BL"));
    QStringList logged;
    for (const QString& path : paths)
        if (folderKey(QFileInfo(path).absolutePath()) == records)
            logged << path;
    if (logged.isEmpty())
        return;
    QString error;
    QString anchorError;
    if (!RecordLog(logFile(), anchorFile()).append(env_.clock->now(), logged, &error, &anchorError))
        env_.prompts->message(logFailureText(error), u("登记失败："), Buttons::Ok);
    else if (!anchorError.isEmpty())
        env_.prompts->message(anchorFailureText(anchorError), u("登记失败："), Buttons::Ok);
}

void LedgerCommands::verifyFile() const
{
    platform::FileDialogUnit& dialog = *env_.verifyDialog;
    dialog.mode = platform::FileDialogUnit::Mode::Open;
    dialog.filter = u("*.doc;*.pdf;*.ini;*.wav 笔录文件|*.doc;*.pdf;*.ini;*.wav|* 所有文件|*");
    dialog.defaultExtension = u("doc");
    if (dialog.lastFileName.isEmpty())
        dialog.lastFileName = env_.programDir + u("/BL/");
    const std::optional<QString> chosen = env_.prompts->chooseFile(dialog);
    if (!chosen || chosen->isEmpty())
        return;
    const QString name = QFileInfo(*chosen).fileName();
    const FileDigest digest = digestFile(*chosen);
    const LogCheck check = RecordLog(logFile(), anchorFile()).check(name, &digest);
    env_.prompts->message(verdictText(name, digest, check, logFile()), u("核验笔录："), Buttons::Ok);
}

} // namespace quillan::ledger
