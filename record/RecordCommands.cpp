#include "record/RecordCommands.h"

#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "record/Composition.h"
#include "record/RecordFields.h"
#include "record/RecordForm.h"
#include "word/WordEngine.h"

#include <QFileInfo>

namespace quillan::record {

namespace {

using platform::Answer;
using platform::Buttons;

using platform::u;

const char* const kNotInstalled = "电 脑 没 有 安 装 WORD 办 公 软 件.";
const char* const kHint = "提 示：";

// Combo boxes a new record empties, besides the 48 question and answer lines.
const char* const kClearedLists[] = {"组合框2", "组合框52", "组合框53", "组合框54", "组合框55"};
// Edit boxes a new record empties: date and times, name, identity number, work
// unit, telephone, address, the case note and the upload and playback paths.
const char* const kClearedFields[] = {"编辑框1",  "编辑框2",  "编辑框3",     "编辑框4",  "编辑框5",
                                      "编辑框6",  "编辑框7",  "编辑框9",     "编辑框10", "编辑框14",
                                      "编辑框15", "编辑框16", "超级编辑框2", "编辑框17", "编辑框18"};

// Shows the busy cursor while the word processor works; set aside around a
// question to the officer.
class Busy
{
public:
    explicit Busy(RecordForm& form) : form_(form) { set(true); }
    ~Busy() { set(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    void set(bool on)
    {
        if (on != on_)
            form_.setBusy(on);
        on_ = on;
    }

private:
    RecordForm& form_;
    bool on_ = false;
};

} // namespace

RecordCommands::RecordCommands(RecordEnvironment env) : env_(std::move(env)) {}

QString RecordCommands::saveFailureText(const QList<FileResult>& failures)
{
    QString text = u("笔录没有保存成功：");
    for (const FileResult& f : failures)
        text += QStringLiteral("\r\n") + f.path + u("：") + f.error;
    return text;
}

QString RecordCommands::printFailureText(const QString& reason)
{
    return u("打印没有成功：") + reason;
}

bool RecordCommands::wordInstalled(const QString& title)
{
    const QString pathText = env_.word->installPathText();
    env_.form->setFieldText(u("编辑框19"), pathText);
    if (!pathText.isEmpty())
        return true;
    env_.prompts->message(u(kNotInstalled), title, Buttons::Ok);
    return false;
}

bool RecordCommands::recordComplete(const QString& workUnitMessage)
{
    RecordForm& form = *env_.form;
    if (form.fieldText(u("编辑框14")).isEmpty()) {
        env_.prompts->message(workUnitMessage, u(kHint), Buttons::Ok);
        return false;
    }
    if (form.fieldText(u("编辑框6")).isEmpty() || form.fieldText(u("编辑框7")).isEmpty()) {
        env_.prompts->message(u(" 笔录结束时间没有添写！ "), u(kHint), Buttons::Ok);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- new, open

bool RecordCommands::keepUnsavedForm(QString* status)
{
    if (!env_.keepUnsaved)
        return true;
    const KeptForm kept = env_.keepUnsaved();
    if (!kept.ok) {
        env_.prompts->message(u("没有保存的笔录无法另存到 <") + kept.file + u(">：") + kept.error +
                                  u("\r\n笔录没有被替换。"),
                              u("提示："), Buttons::Ok);
        return false;
    }
    if (!kept.file.isEmpty())
        *status = keptStatusText(kept.file);
    return true;
}

QString RecordCommands::keptStatusText(const QString& file)
{
    return u("未保存的笔录已另存为 <") + file + u(">");
}

void RecordCommands::newRecord()
{
    RecordForm& form = *env_.form;
    if (!form.fieldText(u("编辑框14")).isEmpty() &&
        env_.prompts->message(u("你确认要新建一份新的笔录？"), u(kHint), Buttons::OkCancel) != Answer::Ok)
        return;
    // What was typed and never saved is kept before the form is emptied.
    QString kept;
    if (!keepUnsavedForm(&kept))
        return;

    for (const char* unit : kClearedFields)
        form.setFieldText(u(unit), QString());
    form.setFieldText(u("编辑框12"), u("身份证"));
    for (const char* unit : kClearedLists) {
        form.clearList(u(unit));
        form.setFieldText(u(unit), QString());
    }
    for (const Pair& p : pairs()) {
        for (const auto& [field, prompt] : {std::pair{p.question, "问："}, std::pair{p.answer, "答："}}) {
            form.clearList(unitName(field));
            form.setFieldText(unitName(field), QString());
            form.insertAtTop(unitName(field), {u(prompt)});
        }
    }
    if (env_.rerunStartup)
        env_.rerunStartup();
    if (env_.formSafe)
        env_.formSafe();
    if (!kept.isEmpty())
        form.setStatusMessage(kept);
}

void RecordCommands::openTemplate()
{
    platform::FileDialogUnit& dialog = *env_.templateDialog;
    dialog.mode = platform::FileDialogUnit::Mode::Open;
    dialog.filter = u("*.ini 笔录模板文件|*.ini");
    dialog.defaultExtension = u("ini");
    const std::optional<QString> chosen = env_.prompts->chooseFile(dialog);
    if (!chosen) {
        env_.prompts->message(u(" 没有选择正确的笔录模板 *.ini文件，模板文件保存在 <") + env_.programDir +
                                  u("/BL/> 目录中。"),
                              u("提示："), Buttons::Ok);
        return;
    }
    openTemplateAt(*chosen);
}

void RecordCommands::openTemplateAt(const QString& path)
{
    env_.form->setFieldText(u("编辑框32"), path);
    const LoadedTemplate loaded = loadTemplate(env_.form->fieldText(u("编辑框32")));
    if (!loaded.result.ok) {
        // The record being typed stays as it is.
        env_.prompts->message(u("笔录模板没有打开：\r\n") + loaded.result.path + u("：") +
                                  loaded.result.error,
                              u("打开失败："), Buttons::Ok);
        return;
    }
    QString kept;
    if (!keepUnsavedForm(&kept))
        return;
    fillForm(loaded.ini, *env_.form);
    if (env_.formSafe)
        env_.formSafe();
    if (!kept.isEmpty())
        env_.form->setStatusMessage(kept);
}

// ---------------------------------------------------------------- save

FileResult RecordCommands::saveDocument(const QString& path)
{
    FileResult result;
    result.path = path;
    if (hasForbiddenFileNameCharacter(recordBaseName(*env_.form))) {
        result.error = forbiddenNameReason();
        return result;
    }
    // The engine writes the new document beside the old one and puts it in
    // its place only when complete: a failed save never loses the old one.
    const bool pdf = path.endsWith(QStringLiteral(".pdf"));
    if (!(pdf ? env_.word->saveAsPdf(path) : env_.word->saveAs(path))) {
        result.error = env_.word->lastError();
        return result;
    }
    result.ok = true;
    return result;
}

void RecordCommands::saveRecord()
{
    RecordForm& form = *env_.form;
    word::WordEngine& engine = *env_.word;

    if (!wordInstalled(u("无法保存笔录为Word文档：")))
        return;
    if (!recordComplete(u(" 笔录没有录入完成，工作单位等资料都没有添写. ")))
        return;

    Busy busy(form);
    ComposeResult composed = composeRecord(form, engine, env_.programDir, *env_.pageLineCounter);

    // Each step follows as soon as the one before has returned: the engine's
    // calls return only when their work is done and checked.
    const QString path = documentPath(env_.programDir, form);
    bool save = true;
    if (QFileInfo::exists(path)) {
        busy.set(false);
        const Answer answer =
            env_.prompts->message(u(" 文件以经存在，是否覆盖老文件？ "), u(kHint), Buttons::YesNo);
        busy.set(true);
        if (answer == Answer::Interrupted) {
            // The program is ending: the save is called off as a whole and
            // the form's recovery file keeps the record.
            engine.closeDocument();
            engine.quit();
            return;
        }
        save = answer == Answer::Yes;
    }
    QList<FileResult> failures;
    QStringList written;
    bool pdfFailedOnly = false;
    if (save) {
        // The template is written with the document, after the question:
        // "否" leaves the old template, document and copy as they were.
        const FileResult tpl = composed.templateFile->finish();
        if (!tpl.ok)
            failures << tpl;
        else
            written << tpl.path;
        FileResult saved = saveDocument(path);
        if (!saved.ok && !composed.documentOpen && !composed.documentError.isEmpty() &&
            !hasForbiddenFileNameCharacter(recordBaseName(form)))
            saved.error = composed.documentError;
        if (!saved.ok)
            failures << saved;
        else
            written << saved.path;
        // An archivable PDF copy of the document, written only beside a
        // document that was saved, so that the two always match.
        if (saved.ok) {
            FileResult copy = saveDocument(pdfPath(env_.programDir, form));
            if (!copy.ok) {
                failures << copy;
                pdfFailedOnly = failures.size() == 1;
            } else {
                written << copy.path;
            }
        }
    }
    engine.closeDocument();
    engine.quit();
    busy.set(false);
    if (env_.recordSaved && !written.isEmpty())
        env_.recordSaved(written);

    if (!failures.isEmpty()) {
        env_.prompts->message(saveFailureText(failures), u("保存失败："), Buttons::Ok);
        // A missing PDF copy does not undo the saved document and template.
        if (!pdfFailedOnly)
            return;
    }
    // Not saved, the record stays what the recovery file keeps.
    if (save && env_.formSafe)
        env_.formSafe();

    // Offered after "否" as well: the preview then shows the old document.
    if (env_.prompts->message(u(" 是 否 对 此 笔 录 文 件 进 行 预 览？ "), u(kHint), Buttons::YesNo) ==
        Answer::Yes) {
        // The preview program: the path text without its CR LF, followed by
        // the program name, which the shell maps onto the word processor.
        QString program = form.fieldText(u("编辑框19"));
        program.chop(2);
        env_.shell->startProgram(program + u("WINWORD.EXE"), {path});
    }
    form.setStatusMessage(save ? u("笔录WORD文件以经保存在 <") + env_.programDir + u("/BL/目录中> ")
                               : notOverwrittenText());
}

QString RecordCommands::notOverwrittenText()
{
    return u("笔录没有保存：老文件没有被覆盖。");
}

// ---------------------------------------------------------------- print

void RecordCommands::reportPrintFailure(const word::PrintResult& result, const QString& openError)
{
    QString reason = openError.isEmpty() ? result.detail : openError;
    if (reason.isEmpty())
        reason = env_.word->lastError();
    env_.prompts->message(printFailureText(reason), u("打印失败："), Buttons::Ok);
}

void RecordCommands::printRecord()
{
    RecordForm& form = *env_.form;
    const Answer current =
        env_.prompts->message(u(" 是/否 打 印 当 前 笔 录 内 容 ？ \r\n"), u("打印提示："), Buttons::YesNo);
    if (current == Answer::Yes) {
        printCurrentRecord();
        return;
    }
    if (current == Answer::Interrupted)
        return;
    platform::FileDialogUnit& dialog = *env_.documentDialog;
    dialog.mode = platform::FileDialogUnit::Mode::Open;
    dialog.filter = u("*.doc 选择要打印的笔录WORD文件|*.doc");
    dialog.defaultExtension = u("ini");
    const std::optional<QString> chosen = env_.prompts->chooseFile(dialog);
    if (!chosen) {
        env_.prompts->message(u("没有选择正确的笔录文件！笔录WORD文件保存在 <") + env_.programDir +
                                  u("/BL/> 目录中。"),
                              u("错误："), Buttons::Ok);
        return;
    }
    form.setFieldText(u("编辑框32"), *chosen);
    if (!wordInstalled(u("无法打印：")))
        return;
    if (!chosen->contains(QStringLiteral("doc"), Qt::CaseSensitive)) {
        env_.prompts->message(u("打印笔录文档选择的不匹配 (要选doc文档).   请重新再选。"), u(kHint),
                              Buttons::Ok);
        return;
    }
    if (printFile(*chosen))
        form.setStatusMessage(u("打印笔录成功... "));
}

bool RecordCommands::printFile(const QString& path)
{
    word::WordEngine& engine = *env_.word;
    word::PrintResult result;
    QString openError;
    {
        Busy busy(*env_.form);
        engine.createApplication();
        engine.bindDocuments();
        if (!engine.open(path))
            openError = engine.lastError();
        engine.setVisible(0);
        result = engine.print();
        engine.closeDocument();
        engine.quit();
    }
    if (result.ok())
        return true;
    reportPrintFailure(result, openError);
    return false;
}

void RecordCommands::printCurrentRecord()
{
    RecordForm& form = *env_.form;
    word::WordEngine& engine = *env_.word;

    if (!wordInstalled(u("无法打印：")))
        return;
    if (!recordComplete(u("笔录没有录入完成，工作单位等资料没有添写.")))
        return;

    ComposeResult composed;
    FileResult templateFile;
    word::PrintResult result;
    {
        Busy busy(form);
        composed = composeRecord(form, engine, env_.programDir, *env_.pageLineCounter);
        templateFile = composed.templateFile->finish();
        result = engine.print();
        engine.closeDocument();
        engine.quit();
    }
    if (result.ok())
        form.setStatusMessage(u("打 印 成 功！"));
    else
        reportPrintFailure(result, composed.documentOpen ? QString() : composed.documentError);
    if (!templateFile.ok)
        env_.prompts->message(saveFailureText({templateFile}), u("保存失败："), Buttons::Ok);
}

void RecordCommands::printShownText()
{
    if (!wordInstalled(u("无 法 打 印：")))
        return;
    if (printFile(env_.form->fieldText(u("编辑框24"))))
        env_.form->setStatusPart0(u("打印成功..."));
}

// ---------------------------------------------------------------- tools

void RecordCommands::newWordDocument()
{
    if (!wordInstalled(u("无 法 打 印：")))
        return;
    env_.shell->startProgram(u("WINWORD.EXE"), {});
}

void RecordCommands::newSpreadsheet()
{
    if (!env_.word->spreadsheetInstalled()) {
        env_.prompts->message(u("电 脑 没 有 安 装 ExceL 办 公 软 件."), u("无 法 打 印："), Buttons::Ok);
        return;
    }
    env_.shell->startProgram(u("EXCEL.EXE"), {});
}

} // namespace quillan::record
