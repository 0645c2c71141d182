#include "library/DocumentCommands.h"

#include "library/InspectionDocuments.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "record/RecordCommands.h"
#include "record/RecordForm.h"
#include "word/WordEngine.h"

namespace quillan::library {

namespace {

using platform::Answer;
using platform::Buttons;

using platform::u;

const char* const kCannotOpen = "无 法 打 开 文 档：";

// The busy cursor while the word processor works, set aside for questions.
class Busy
{
public:
    explicit Busy(record::RecordForm& form) : form_(form) { form_.setBusy(true); }
    ~Busy() { release(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    void release()
    {
        if (on_)
            form_.setBusy(false);
        on_ = false;
    }

private:
    record::RecordForm& form_;
    bool on_ = true;
};

} // namespace

DocumentCommands::DocumentCommands(DocumentEnvironment env) : env_(std::move(env)) {}

QString DocumentCommands::scratchPath(const InspectionDocument& document) const
{
    return env_.scratchDir + QLatin1Char('/') + document.scratchFileName();
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

void DocumentCommands::endSession()
{
    word::WordEngine& engine = *env_.word;
    engine.closeDocument();
    engine.quit();
    engine.releaseDocuments();
    engine.releaseApplication();
}

void DocumentCommands::open(const InspectionDocument& document)
{
    record::RecordForm& form = *env_.form;
    word::WordEngine& engine = *env_.word;

    // The presence check; the path text is kept as every caller keeps it.
    const QString pathText = engine.installPathText();
    form.setFieldText(u("编辑框19"), pathText);
    if (pathText.isEmpty()) {
        env_.prompts->message(u("电 脑 没 有 安 装 WORD 办 公 软 件."), u(kCannotOpen), Buttons::Ok);
        return;
    }

    const QString path = scratchPath(document);
    Busy busy(form);
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

    engine.createApplication();
    engine.bindDocuments();
    if (!engine.open(path)) {
        const QString reason = engine.lastError();
        endSession();
        busy.release();
        env_.prompts->message(openFailureText(path, reason), u(kCannotOpen), Buttons::Ok);
        return;
    }

    busy.release();
    const Answer answer =
        env_.prompts->message(u("是否直接打印此监察文书？"), u("提 示："), Buttons::OkCancel);
    if (answer == Answer::Ok) {
        word::PrintResult result;
        {
            Busy printing(form);
            engine.setVisible(0);
            result = engine.print();
            QString reason = result.detail.isEmpty() ? engine.lastError() : result.detail;
            endSession();
            if (!result.ok()) {
                printing.release();
                env_.prompts->message(record::RecordCommands::printFailureText(reason), u("打印失败："),
                                      Buttons::Ok);
                return;
            }
        }
        form.setStatusPart0(u("打印监察文书成功..."));
        return;
    }
    if (answer == Answer::Interrupted) {
        // The program is ending: no Writer is started for the officer.
        endSession();
        return;
    }

    // Edit in Writer: the headless copy lets go of the file first, then
    // Writer opens a new, untitled document made from the form, so that
    // "保存" asks where to keep the filled form.
    endSession();
    QString program = pathText;
    if (program.endsWith(QStringLiteral("\r\n")))
        program.chop(2);
    if (!env_.shell->startProgram(program + u("WINWORD.EXE"), {QStringLiteral("-n"), path}))
        env_.prompts->message(handOverFailureText(path), u(kCannotOpen), Buttons::Ok);
}

} // namespace quillan::library
