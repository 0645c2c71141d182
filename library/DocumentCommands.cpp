#include "library/DocumentCommands.h"

#include "library/FormFields.h"
#include "library/InspectionDocuments.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/SessionState.h"
#include "platform/Shell.h"
#include "platform/StatusPort.h"
#include "platform/Text.h"
#include "record/RecordView.h"
#include "word/Documents.h"
#include "word/WordEngine.h"

#include <QFile>

namespace quillan::library {

namespace {

using platform::Answer;
using platform::Buttons;

using platform::u;

const char* const kCannotOpen = "无 法 打 开 文 档：";

using Busy = platform::BusyCursor;

} // namespace

DocumentCommands::DocumentCommands(DocumentEnvironment env) : env_(std::move(env)) {}

QString DocumentCommands::scratchPath(const InspectionDocument& document) const
{
    return env_.scratchDir + QLatin1Char('/') + document.scratchFileName();
}

QString DocumentCommands::filledScratchPath(const InspectionDocument& document) const
{
    QString name = document.scratchFileName();
    name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("-filled"));
    return env_.scratchDir + QLatin1Char('/') + name;
}

QString DocumentCommands::writeFailureText(const QString& path, const QString& reason)
{
    return u("监察文书没有写成：") + path + u("：") + reason;
}

QString DocumentCommands::openFailureText(const QString& path, const QString& reason)
{
    return u("监察文书打不开：") + path + u("：") + reason;
}

QString DocumentCommands::handOverFailureText(const QString& path)
{
    return u("没能启动 LibreOffice Writer 来编辑监察文书：") + path;
}

void DocumentCommands::open(const InspectionDocument& document)
{
    // The presence check; the office folder is kept as every caller keeps it.
    const QString folder = word::officeFolder(*env_.word);
    env_.session->officeFolder = folder;
    if (folder.isEmpty()) {
        env_.prompts->message(u("电 脑 没 有 安 装 WORD 办 公 软 件."), u(kCannotOpen), Buttons::Ok);
        return;
    }

    // A form the record can fill is offered filled.
    const auto values = formValues(document, env_.form->read());
    bool fill = false;
    if (!values.empty()) {
        const Answer filled =
            env_.prompts->message(u("是否用当前笔录的内容填写此监察文书？"), u("提 示："), Buttons::YesNo);
        if (filled == Answer::Interrupted)
            return;
        fill = filled == Answer::Yes;
    }

    // A copy filled at an earlier use holds a person's data: it goes now,
    // whatever this use makes.
    QFile::remove(filledScratchPath(document));

    const QString path = scratchPath(document);
    Busy busy(*env_.status);
    // The form replaces the scratch file whole; a failed write leaves no
    // half-written file and is told instead of opening an old one.
    QString error;
    const QByteArray bytes = inspectionDocumentBytes(document);
    if (bytes.isEmpty())
        error = u("程序中没有这份文书。");
    else if (!platform::ensurePrivateDir(env_.scratchDir))
        error = u("临时文件夹不能使用。");
    else
        platform::writeFileAtomically(path, bytes, &error, 0600);
    if (!error.isEmpty()) {
        busy.release();
        env_.prompts->message(writeFailureText(path, error), u(kCannotOpen), Buttons::Ok);
        return;
    }

    word::HiddenDocument form(*env_.word, path);
    if (!form.isOpen()) {
        form.end(true);
        busy.release();
        env_.prompts->message(openFailureText(path, form.openError()), u(kCannotOpen), Buttons::Ok);
        return;
    }
    if (fill)
        fillForm(*env_.word, values);

    busy.release();
    const Answer answer =
        env_.prompts->message(u("是否直接打印此监察文书？"), u("提 示："), Buttons::OkCancel);
    if (answer == Answer::Ok) {
        word::PrintResult result;
        {
            Busy printing(*env_.status);
            result = form.print();
            form.end(true);
            if (!result.ok()) {
                printing.release();
                env_.prompts->message(word::printFailureText(result.detail), u("打印失败："), Buttons::Ok);
                return;
            }
        }
        env_.status->setStatusPart0(u("打印监察文书成功..."));
        return;
    }
    // The headless session ends either way; when the program is ending, no
    // Writer is started for the officer.
    if (answer == Answer::Interrupted) {
        form.end(true);
        return;
    }
    // The filled copy is what Writer gets; it is written beside the blank
    // one before the headless session ends.
    QString handed = path;
    if (fill) {
        handed = filledScratchPath(document);
        Busy writing(*env_.status);
        if (!form.save(handed, &error)) {
            form.end(true);
            writing.release();
            env_.prompts->message(writeFailureText(handed, error), u(kCannotOpen), Buttons::Ok);
            return;
        }
    }
    form.end(true);

    // Edit in Writer: the headless copy has let go of the file, and Writer
    // opens a new, untitled document made from the form, so that "保存"
    // asks where to keep the filled form.
    if (!env_.shell->startProgram(folder + u("WINWORD.EXE"), {QStringLiteral("-n"), handed}))
        env_.prompts->message(handOverFailureText(handed), u(kCannotOpen), Buttons::Ok);
}

} // namespace quillan::library
