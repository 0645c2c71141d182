#pragma once

#include "record/TemplateFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace quillan::platform {
class Clock;
class Prompts;
class Shell;
class StatusPort;
struct FileDialogUnit;
struct SessionState;
} // namespace quillan::platform

namespace quillan::word {
class HiddenDocument;
class WordEngine;
struct PrintResult;
} // namespace quillan::word

namespace quillan::record {

class RecordView;

// What became of a form that held unsaved work before it was replaced.
struct KeptForm
{
    bool ok = true; // false: it could not be kept, `error` says why
    QString file;   // where it went ("BL/恢复-<time>.ini"); empty: nothing to keep
    QString error;
};

// What the record commands work with. Every pointer must be set.
struct RecordEnvironment
{
    RecordView* view = nullptr;
    platform::StatusPort* status = nullptr;
    platform::SessionState* session = nullptr;
    platform::Prompts* prompts = nullptr;
    platform::Clock* clock = nullptr;
    platform::Shell* shell = nullptr;
    word::WordEngine* word = nullptr;
    QString programDir;                                 // no trailing "/"
    int* pageLineCounter = nullptr;                     // the process-wide page line counter
    platform::FileDialogUnit* templateDialog = nullptr; // choosing a template
    platform::FileDialogUnit* documentDialog = nullptr; // choosing a document to print
    std::function<void()> rerunStartup;                 // the start-up initialisation
    // Told when the form holds nothing that a crash could lose: after a
    // save, a new record and an opened template.
    std::function<void()> formSafe;
    // Before the form is replaced (a template opened, a new record): keeps
    // what it holds that was never saved. Optional.
    std::function<KeptForm()> keepUnsaved;
    // Optional: told the files a save wrote, once they are complete.
    std::function<void(const QStringList& files)> recordSaved;
};

// The record commands of the menus "文件" and "工具" and of the text panel's
// print button. Each runs to completion; failures are told to the officer in
// a message box or the status, nothing is thrown.
class RecordCommands
{
public:
    explicit RecordCommands(RecordEnvironment env);

    void newRecord();    // "新建(笔录)"
    void openTemplate(); // "打开(笔录模板)"
    // "打开(笔录模板)" after its file dialog: loads the template at `path`
    // into the form (also the way the finder opens a record).
    void openTemplateAt(const QString& path);
    void saveRecord();         // "保存(笔录及模板)"
    void printRecord();        // "打印(笔录)"
    void printCurrentRecord(); // the Yes branch of "打印(笔录)"
    void printShownText();     // the text panel's "打  印"
    void newWordDocument();    // "Word文档"
    void newSpreadsheet();     // "Excel文档"

    // The message of a save that did not store every file: each failed file
    // with its reason.
    static QString saveFailureText(const QList<FileResult>& failures);
    // The status after the form's unsaved work was kept in `file`.
    static QString keptStatusText(const QString& file);
    // The status after "否" to replacing the old document.
    static QString notOverwrittenText();

private:
    // The presence check: keeps the office folder in the session; false
    // (after the message with `title`) when the word processor is missing.
    bool wordInstalled(const QString& title);
    bool recordComplete(const Record& record, const QString& workUnitMessage);
    // The record to be stored: the form's, its case note's line breaks
    // made blanks, in the form as well.
    Record recordToStore();
    // Keeps the form's unsaved work before it is replaced; `status` then
    // says where. False (the officer told, the form to stay) when it could
    // not be kept.
    bool keepUnsavedForm(QString* status);
    void reportPrintFailure(const word::PrintResult& result);
    // Prints the document at `path`; true when the print succeeded,
    // otherwise the officer has been told why.
    bool printFile(const QString& path);

    RecordEnvironment env_;
};

} // namespace quillan::record
