// The entries of the menu "监察文书" against the recording engine, scripted
// prompts and a recording shell. Every message is checked byte for byte.
#include "library/DocumentCommands.h"
#include "doubles/RecordingEngine.h"
#include "doubles/RecordingShell.h"
#include "doubles/ScriptedPrompts.h"
#include "library/InspectionDocuments.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "record/MapForm.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using platform::Answer;
using platform::Buttons;
using Shown = platform::ScriptedPrompts::Shown;
using word::PrintResult;

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

const Shown kQuestion{u("是否直接打印此监察文书？"), u("提 示："), Buttons::OkCancel};
const Shown kFillQuestion{u("是否用当前笔录的内容填写此监察文书？"), u("提 示："), Buttons::YesNo};

class DocumentCommands : public ::testing::Test
{
protected:
    DocumentCommands()
    {
        engine.setInstallPathText(QStringLiteral("/usr/lib/libreoffice/program/\r\n"));
        PrintResult done;
        done.status = PrintResult::Status::Completed;
        done.jobId = 7;
        engine.setPrintResult(done);
        commands = std::make_unique<library::DocumentCommands>(environment(scratch()));
    }
    library::DocumentEnvironment environment(const QString& scratchDir)
    {
        library::DocumentEnvironment env;
        env.status = &form;
        env.session = &form.session;
        env.prompts = &prompts;
        env.shell = &shell;
        env.word = &engine;
        env.form = &form;
        env.scratchDir = scratchDir;
        return env;
    }
    QString scratch() const { return dir.file(QStringLiteral("cache/quillan")); }
    static const library::InspectionDocument& entry(int menuPosition)
    {
        return library::inspectionDocuments()[size_t(menuPosition - 1)];
    }
    QString path(int menuPosition) const { return commands->scratchPath(entry(menuPosition)); }

    TempDir dir;
    MapForm form;
    platform::ScriptedPrompts prompts;
    platform::RecordingShell shell;
    word::RecordingEngine engine;
    std::unique_ptr<library::DocumentCommands> commands;
};

TEST_F(DocumentCommands, WithoutTheWordProcessorTellsSoAndWritesNothing)
{
    engine.setInstallPathText(QString());
    commands->open(entry(4));
    EXPECT_EQ(prompts.shown(), (QList<Shown>{{u("电 脑 没 有 安 装 WORD 办 公 软 件."),
                                              u("无 法 打 开 文 档："), Buttons::Ok}}));
    EXPECT_EQ(engine.calls(), QStringList{QStringLiteral("installPathText")});
    EXPECT_FALSE(QFileInfo::exists(scratch()));
    EXPECT_TRUE(shell.started().isEmpty());
    EXPECT_EQ(form.session.officeFolder, QString());
}

TEST_F(DocumentCommands, OkPrintsTheWrittenFormAndEndsTheSessionThenSaysSoInTheStatusBar)
{
    prompts.answerNext(Answer::Ok);
    commands->open(entry(9));
    const QString ws8 = scratch() + QStringLiteral("/ws8.doc");
    EXPECT_EQ(path(9), ws8);
    EXPECT_EQ(prompts.shown(), QList<Shown>{kQuestion});
    EXPECT_EQ(engine.calls(),
              (QStringList{QStringLiteral("installPathText"), QStringLiteral("createApplication"),
                           QStringLiteral("bindDocuments"), QStringLiteral("open ") + ws8,
                           QStringLiteral("setVisible 0"), QStringLiteral("print"),
                           QStringLiteral("closeDocument"), QStringLiteral("quit"),
                           QStringLiteral("releaseDocuments"), QStringLiteral("releaseApplication")}));
    EXPECT_EQ(readFile(ws8), library::inspectionDocumentBytes(entry(9)));
    EXPECT_EQ(QFileInfo(scratch()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
    EXPECT_EQ(form.part0, u("打印监察文书成功..."));
    EXPECT_EQ(form.status, QString());
    EXPECT_EQ(form.session.officeFolder, QStringLiteral("/usr/lib/libreoffice/program/"));
    EXPECT_TRUE(shell.started().isEmpty());
    EXPECT_EQ(form.busyCalls.last(), false);
}

TEST_F(DocumentCommands, PrintOutcomesReachTheStatusOrAMessage)
{
    struct Case
    {
        PrintResult::Status status;
        const char* detail;
        const char* part0;
        const char* message;
    };
    const Case cases[] = {
        {PrintResult::Status::Sent, "", "打印监察文书成功...", nullptr},
        {PrintResult::Status::NoPrinter, "没有默认打印机。", "", "打印没有成功：没有默认打印机。"},
        {PrintResult::Status::Failed, "打印任务被打印系统中止。", "",
         "打印没有成功：打印任务被打印系统中止。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.detail);
        form.part0.clear();
        prompts.clear();
        PrintResult result;
        result.status = c.status;
        result.detail = u(c.detail);
        engine.setPrintResult(result);
        prompts.answerNext(Answer::Ok);
        commands->open(entry(16));
        EXPECT_EQ(form.part0, u(c.part0));
        QList<Shown> expected{kQuestion};
        if (c.message)
            expected << Shown{u(c.message), u("打印失败："), Buttons::Ok};
        EXPECT_EQ(prompts.shown(), expected);
        EXPECT_EQ(engine.calls().mid(engine.calls().size() - 2),
                  (QStringList{QStringLiteral("releaseDocuments"), QStringLiteral("releaseApplication")}));
    }
}

TEST_F(DocumentCommands, CancelClosesTheHeadlessCopyThenHandsWriterANewDocumentMadeFromTheForm)
{
    // Cancel, Esc and the close button all answer Cancel.
    prompts.answerNext(Answer::Cancel);
    commands->open(entry(25));
    const QString ws23 = scratch() + QStringLiteral("/ws23.doc");
    EXPECT_EQ(prompts.shown(), QList<Shown>{kQuestion});
    EXPECT_FALSE(engine.calls().contains(QStringLiteral("print")));
    EXPECT_EQ(engine.calls().mid(engine.calls().size() - 4),
              (QStringList{QStringLiteral("closeDocument"), QStringLiteral("quit"),
                           QStringLiteral("releaseDocuments"), QStringLiteral("releaseApplication")}));
    ASSERT_EQ(shell.started().size(), 1);
    EXPECT_EQ(shell.started()[0].program, QStringLiteral("/usr/lib/libreoffice/program/WINWORD.EXE"));
    EXPECT_EQ(shell.started()[0].arguments, (QStringList{QStringLiteral("-n"), ws23}));
    EXPECT_EQ(platform::mapProgram(shell.started()[0].program,
                                   [](const QString& n) { return QStringLiteral("/usr/bin/") + n; })
                  .leadingArguments,
              QStringList{QStringLiteral("--writer")});
    EXPECT_EQ(form.part0, QString());
    EXPECT_EQ(readFile(ws23), library::inspectionDocumentBytes(entry(25)));

    shell.setStartResult(false);
    prompts.clear();
    prompts.answerNext(Answer::Cancel);
    commands->open(entry(25));
    EXPECT_EQ(prompts.shown(), (QList<Shown>{kQuestion,
                                             {u("没能启动 LibreOffice Writer 来编辑监察文书：") + ws23,
                                              u("无 法 打 开 文 档："), Buttons::Ok}}));
}

TEST_F(DocumentCommands, EachUseWritesTheEntrysOwnFormAgainOverWhateverIsThere)
{
    // A form the officer changed at the scratch path, and the other entry of a same-heading pair.
    QDir().mkpath(scratch());
    dir.write(QStringLiteral("cache/quillan/ws10.doc"), QByteArrayLiteral("changed by hand"));
    for (int position : {11, 25, 11}) {
        prompts.answerNext(Answer::Cancel);
        commands->open(entry(position));
        EXPECT_EQ(readFile(path(position)), library::inspectionDocumentBytes(entry(position)));
    }
    EXPECT_NE(readFile(path(11)), readFile(path(25)));
    ASSERT_EQ(shell.started().size(), 3);
    EXPECT_EQ(shell.started()[1].arguments.last(), scratch() + QStringLiteral("/ws23.doc"));
    // Nothing but the two forms is left in the scratch folder (no temporary files).
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("ws10.doc"), QStringLiteral("ws23.doc")}));
}

TEST_F(DocumentCommands, AScratchFileThatCannotBeWrittenOrOpenedIsToldAndNothingIsAsked)
{
    // The scratch folder is a plain file: nothing can be written below it.
    dir.write(QStringLiteral("blocked"), QByteArrayLiteral("x"));
    library::DocumentCommands blocked(environment(dir.file(QStringLiteral("blocked"))));
    blocked.open(entry(2));
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_TRUE(prompts.shown()[0].text.startsWith(u("监察文书没有写成：") +
                                                   dir.file(QStringLiteral("blocked/ws1.doc")) + u("：")))
        << prompts.shown()[0].text.toStdString();
    EXPECT_EQ(prompts.shown()[0].title, u("无 法 打 开 文 档："));
    EXPECT_FALSE(engine.calls().contains(QStringLiteral("createApplication")));

    prompts.clear();
    engine.setOpenResult(false);
    commands->open(entry(2));
    const QString ws1 = scratch() + QStringLiteral("/ws1.doc");
    EXPECT_EQ(prompts.shown(),
              (QList<Shown>{{u("监察文书打不开：") + ws1 + u("：文件 ") + ws1 + u(" 无法打开。"),
                             u("无 法 打 开 文 档："), Buttons::Ok}}));
    EXPECT_EQ(engine.calls().last(), QStringLiteral("releaseApplication"));
    EXPECT_TRUE(shell.started().isEmpty());
}

TEST_F(DocumentCommands, ARecordThatKnowsTheFormsPlacesIsOfferedAndFillsACopyOnly)
{
    using record::FieldId;
    // 询问通知书: the unit, the interview's date and hour and its place.
    engine.setFields({QStringLiteral("Unit"), QStringLiteral("Year"), QStringLiteral("Month"),
                      QStringLiteral("Day"), QStringLiteral("Hour"), QStringLiteral("Place")});
    const QString ws3 = scratch() + QStringLiteral("/ws3.doc");
    const QString filled = scratch() + QStringLiteral("/ws3-filled.doc");
    ASSERT_EQ(commands->filledScratchPath(entry(4)), filled);

    // A record that holds nothing the form has a place for is not offered.
    form.showField(FieldId::Position, u("车工"));
    form.showField(FieldId::Name, u("王某"));
    prompts.answerNext(Answer::Ok);
    commands->open(entry(4));
    EXPECT_EQ(prompts.shown(), QList<Shown>{kQuestion});
    EXPECT_TRUE(engine.fieldTexts().isEmpty());

    form.showField(FieldId::WorkUnit, u("  某机械加工厂 "));
    form.showField(FieldId::StartYear, u("2026"));
    form.showField(FieldId::StartMonth, u("12"));
    form.showField(FieldId::StartHour, u("   "));
    form.showField(FieldId::Place, u("朝阳区"));
    form.showField(FieldId::CommonPlace, u("劳动保障监察大队询问室"));
    const QHash<QString, QString> expected{{QStringLiteral("Unit"), u("某机械加工厂")},
                                           {QStringLiteral("Year"), u("2026")},
                                           {QStringLiteral("Month"), u("12")},
                                           {QStringLiteral("Place"), u("朝阳区劳动保障监察大队询问室")}};
    struct Case
    {
        Answer fill;
        Answer print;
        bool filledCopy; // what Writer is handed, when it is
    };
    for (const Case& c : {Case{Answer::Yes, Answer::Ok, true}, Case{Answer::Yes, Answer::Cancel, true},
                          Case{Answer::No, Answer::Cancel, false}}) {
        SCOPED_TRACE(int(c.fill) * 10 + int(c.print));
        prompts.clear();
        shell.clear();
        engine.clearCalls();
        prompts.answerNext(c.fill);
        prompts.answerNext(c.print);
        commands->open(entry(4));
        EXPECT_EQ(prompts.shown(), (QList<Shown>{kFillQuestion, kQuestion}));
        const QHash<QString, QString> none;
        EXPECT_EQ(engine.fieldTexts(), c.fill == Answer::Yes ? expected : none);
        // The blank form written for the engine stays the blank form.
        EXPECT_EQ(readFile(ws3), library::inspectionDocumentBytes(entry(4)));
        if (c.print == Answer::Ok) {
            EXPECT_TRUE(engine.calls().contains(QStringLiteral("print")));
            EXPECT_TRUE(shell.started().isEmpty());
            EXPECT_FALSE(QFileInfo::exists(filled));
            continue;
        }
        // A blank use leaves no copy filled before.
        EXPECT_EQ(QFileInfo::exists(filled), c.filledCopy);
        const QString handed = c.filledCopy ? filled : ws3;
        ASSERT_EQ(shell.started().size(), 1);
        EXPECT_EQ(shell.started()[0].arguments, (QStringList{QStringLiteral("-n"), handed}));
        EXPECT_EQ(engine.calls().contains(QStringLiteral("saveAs ") + filled), c.filledCopy);
        // The copy is written before the headless session ends.
        if (c.filledCopy) {
            EXPECT_LT(engine.calls().indexOf(QStringLiteral("saveAs ") + filled),
                      engine.calls().indexOf(QStringLiteral("closeDocument")));
        }
    }

    // A filled copy that cannot be written is told, and Writer is not started.
    prompts.clear();
    shell.clear();
    engine.setSaveResult(false);
    prompts.answerNext(Answer::Yes);
    prompts.answerNext(Answer::Cancel);
    commands->open(entry(4));
    ASSERT_EQ(prompts.shown().size(), 3);
    EXPECT_TRUE(prompts.shown()[2].text.startsWith(u("监察文书没有写成：") + filled + u("：")));
    EXPECT_TRUE(shell.started().isEmpty());

    // The program ends while the offer is open: nothing is written or opened.
    prompts.clear();
    engine.clearCalls();
    prompts.answerNext(Answer::Interrupted);
    commands->open(entry(4));
    EXPECT_EQ(prompts.shown(), QList<Shown>{kFillQuestion});
    EXPECT_EQ(engine.calls(), QStringList{QStringLiteral("installPathText")});

    // A form without a place the record knows is handed out blank, unasked.
    prompts.clear();
    prompts.answerNext(Answer::Ok);
    commands->open(entry(2));
    EXPECT_EQ(prompts.shown(), QList<Shown>{kQuestion});
}

} // namespace
} // namespace quillan::test
