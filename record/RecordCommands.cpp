#include "record/RecordCommands.h"

#include "platform/Prompts.h"
#include "platform/SessionState.h"
#include "platform/Shell.h"
#include "platform/StatusPort.h"
#include "platform/Text.h"
#include "record/Composition.h"
#include "record/RecordFields.h"
#include "record/RecordView.h"
#include "word/Documents.h"
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
constexpr FieldId kClearedLists[] = {FieldId::CommonPlace, FieldId::CommonHousehold, FieldId::Interviewer,
                                     FieldId::OtherParticipants, FieldId::Recorder};
// Fields a new record empties: date and times, name, identity number, work
// unit, telephone, address and the case note.
constexpr FieldId kClearedFields[] = {
    FieldId::StartYear, FieldId::StartMonth, FieldId::StartDay, FieldId::StartHour, FieldId::StartMinute,
    FieldId::EndHour,   FieldId::EndMinute,  FieldId::Name,     FieldId::IdNumber,  FieldId::WorkUnit,
    FieldId::Telephone, FieldId::Address,    FieldId::CaseNote};

using Busy = platform::BusyCursor;

} // namespace

RecordCommands::RecordCommands(RecordEnvironment env) : env_(std::move(env)) {}

QString RecordCommands::saveFailureText(const QList<FileResult>& failures)
{
    QString text = u("笔录没有保存成功：");
    for (const FileResult& f : failures)
        text += QStringLiteral("\r\n") + f.path + u("：") + f.error;
    return text;
}

bool RecordCommands::wordInstalled(const QString& title)
{
    env_.session->officeFolder = word::officeFolder(*env_.word);
    if (!env_.session->officeFolder.isEmpty())
        return true;
    env_.prompts->message(u(kNotInstalled), title, Buttons::Ok);
    return false;
}

bool RecordCommands::recordComplete(const Record& record, const QString& workUnitMessage)
{
    if (record[FieldId::WorkUnit].isEmpty()) {
        env_.prompts->message(workUnitMessage, u(kHint), Buttons::Ok);
        return false;
    }
    if (record[FieldId::EndHour].isEmpty() || record[FieldId::EndMinute].isEmpty()) {
        env_.prompts->message(u(" 笔录结束时间没有添写！ "), u(kHint), Buttons::Ok);
        return false;
    }
    return true;
}

Record RecordCommands::recordToStore()
{
    Record record = env_.view->read();
    const QString note = normaliseCaseNote(record[FieldId::CaseNote]);
    if (note != record[FieldId::CaseNote]) {
        record[FieldId::CaseNote] = note;
        env_.view->showField(FieldId::CaseNote, note);
    }
    return record;
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
    RecordView& view = *env_.view;
    if (!view.read()[FieldId::WorkUnit].isEmpty() &&
        env_.prompts->message(u("你确认要新建一份新的笔录？"), u(kHint), Buttons::OkCancel) != Answer::Ok)
        return;
    // What was typed and never saved is kept before the form is emptied.
    QString kept;
    if (!keepUnsavedForm(&kept))
        return;

    for (const FieldId id : kClearedFields)
        view.showField(id, QString());
    view.showField(FieldId::IdKind, u("身份证"));
    for (const FieldId id : kClearedLists) {
        view.clearList(id);
        view.showField(id, QString());
    }
    for (const Pair& p : pairs()) {
        for (const auto& [id, prompt] : {std::pair{p.question.id, "问："}, std::pair{p.answer.id, "答："}}) {
            view.clearList(id);
            view.showField(id, QString());
            view.insertAtTop(id, {u(prompt)});
        }
    }
    env_.session->uploadFile.clear();
    env_.session->playbackFile.clear();
    env_.session->savedRecording = {};
    if (env_.rerunStartup)
        env_.rerunStartup();
    if (env_.formSafe)
        env_.formSafe();
    if (!kept.isEmpty())
        env_.status->setStatusMessage(kept);
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
    env_.session->lastChosenFile = path;
    const LoadedTemplate loaded = loadTemplate(path);
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
    env_.view->show(recordFromTemplate(loaded.ini));
    env_.session->savedRecording = recordingFromTemplate(loaded.ini, path);
    if (env_.formSafe)
        env_.formSafe();
    if (!kept.isEmpty())
        env_.status->setStatusMessage(kept);
}

// ---------------------------------------------------------------- save

namespace {

// Stores the composed document at `path` (a ".pdf" path as its PDF copy).
FileResult saveDocument(word::HiddenDocument& document, const Record& record, const QString& path)
{
    FileResult result;
    result.path = path;
    if (hasForbiddenFileNameCharacter(record.baseName())) {
        result.error = forbiddenNameReason();
        return result;
    }
    // The engine writes the new document beside the old one and puts it in
    // its place only when complete: a failed save never loses the old one.
    result.ok = document.save(path, &result.error);
    return result;
}

} // namespace

void RecordCommands::saveRecord()
{
    if (!wordInstalled(u("无法保存笔录为Word文档：")))
        return;
    if (!recordComplete(env_.view->read(), u(" 笔录没有录入完成，工作单位等资料都没有添写. ")))
        return;

    Busy busy(*env_.status);
    const Record record = recordToStore();
    ComposedDocument composed = composeRecord(record, *env_.word, env_.programDir, *env_.pageLineCounter);

    // Each step follows as soon as the one before has returned: the engine's
    // calls return only when their work is done and checked.
    const QString path = documentPath(env_.programDir, record);
    bool save = true;
    if (QFileInfo::exists(path)) {
        busy.set(false);
        const Answer answer =
            env_.prompts->message(u(" 文件以经存在，是否覆盖老文件？ "), u(kHint), Buttons::YesNo);
        busy.set(true);
        if (answer == Answer::Interrupted) {
            // The program is ending: the save is called off as a whole and
            // the form's recovery file keeps the record.
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
        const FileResult tpl = writeTemplate(env_.programDir, record, &env_.session->savedRecording);
        if (!tpl.ok)
            failures << tpl;
        else
            written << tpl.path;
        FileResult saved = saveDocument(*composed.document, record, path);
        if (!saved.ok && !composed.open && !composed.openError.isEmpty() &&
            !hasForbiddenFileNameCharacter(record.baseName()))
            saved.error = composed.openError;
        if (!saved.ok)
            failures << saved;
        else
            written << saved.path;
        // An archivable PDF copy of the document, written only beside a
        // document that was saved, so that the two always match.
        if (saved.ok) {
            FileResult copy = saveDocument(*composed.document, record, pdfPath(env_.programDir, record));
            if (!copy.ok) {
                failures << copy;
                pdfFailedOnly = failures.size() == 1;
            } else {
                written << copy.path;
            }
        }
    }
    composed.document.reset();
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
        // The preview program: the word processor's program in its folder,
        // which the shell maps onto the word processor.
        env_.shell->startProgram(env_.session->officeFolder + u("WINWORD.EXE"), {path});
    }
    env_.status->setStatusMessage(save ? u("笔录WORD文件以经保存在 <") + env_.programDir + u("/BL/目录中> ")
                                       : notOverwrittenText());
}

QString RecordCommands::notOverwrittenText()
{
    return u("笔录没有保存：老文件没有被覆盖。");
}

// ---------------------------------------------------------------- print

void RecordCommands::reportPrintFailure(const word::PrintResult& result)
{
    env_.prompts->message(word::printFailureText(result.detail), u("打印失败："), Buttons::Ok);
}

void RecordCommands::printRecord()
{
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
    env_.session->lastChosenFile = *chosen;
    if (!wordInstalled(u("无法打印：")))
        return;
    if (!chosen->contains(QStringLiteral("doc"), Qt::CaseSensitive)) {
        env_.prompts->message(u("打印笔录文档选择的不匹配 (要选doc文档).   请重新再选。"), u(kHint),
                              Buttons::Ok);
        return;
    }
    if (printFile(*chosen))
        env_.status->setStatusMessage(u("打印笔录成功... "));
}

bool RecordCommands::printFile(const QString& path)
{
    word::PrintResult result;
    {
        Busy busy(*env_.status);
        result = word::printFile(*env_.word, path);
    }
    if (result.ok())
        return true;
    reportPrintFailure(result);
    return false;
}

void RecordCommands::printCurrentRecord()
{
    if (!wordInstalled(u("无法打印：")))
        return;
    if (!recordComplete(env_.view->read(), u("笔录没有录入完成，工作单位等资料没有添写.")))
        return;

    FileResult templateFile;
    word::PrintResult result;
    {
        Busy busy(*env_.status);
        const Record record = recordToStore();
        ComposedDocument composed = composeRecord(record, *env_.word, env_.programDir, *env_.pageLineCounter);
        templateFile = writeTemplate(env_.programDir, record, &env_.session->savedRecording);
        result = composed.document->print();
        if (!result.ok() && !composed.open && !composed.openError.isEmpty())
            result.detail = composed.openError;
    }
    if (result.ok())
        env_.status->setStatusMessage(u("打 印 成 功！"));
    else
        reportPrintFailure(result);
    if (!templateFile.ok)
        env_.prompts->message(saveFailureText({templateFile}), u("保存失败："), Buttons::Ok);
}

void RecordCommands::printShownText()
{
    if (!wordInstalled(u("无 法 打 印：")))
        return;
    if (printFile(env_.session->shownTextFile))
        env_.status->setStatusPart0(u("打印成功..."));
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
