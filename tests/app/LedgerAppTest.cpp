// The log of saved records in the window: "保存(笔录及模板)" and the recorder
// panel's save log their files, "核验笔录..." checks a chosen one.
#include "AppFixture.h"
#include "doubles/ScriptedPrompts.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;
using quillan::test::gbk;
using Shown = platform::ScriptedPrompts::Shown;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

QString verifyThroughMenu(AppFixture& f, const QString& path)
{
    f.prompts->clear();
    f.prompts->chooseNext(path);
    f.win().menuAction(u("文件"), u("核验笔录..."))->trigger();
    EXPECT_EQ(f.prompts->dialogsOpened(), QList<QString>{u("核验对话框")});
    if (f.prompts->shown().size() != 1)
        return u("<no single message>");
    EXPECT_EQ(f.prompts->shown()[0].title, u("核验笔录："));
    return f.prompts->shown()[0].text;
}

} // namespace

TEST(LedgerApp, SavedRecordAndRecordingAreLoggedAndVerifiedThroughTheMenu)
{
    AppFixture f(gbk(u("[pop]\r\ntanchu=0\r\n")));
    f.app->start();
    app::MainWin& w = f.win();
    EXPECT_EQ(verifyThroughMenu(f, f.programDir() + u("/Set.ini")),
              u("文件“Set.ini”不在笔录登记中。\r\n笔录登记 ") + f.programDir() +
                  u("/BL/笔录登记.log 不存在。"));
    f.prompts->clear();
    w.setFieldText(u("编辑框6"), u("11"));
    w.setFieldText(u("编辑框7"), u("15"));
    w.setFieldText(u("编辑框9"), u("某某"));
    w.setFieldText(u("编辑框14"), u("某某公司"));
    w.menuAction(u("文件"), u("保存(笔录及模板)"))->trigger();
    const QString doc = f.programDir() + u("/BL/2012.3.5-某某公司-某某.doc");
    ASSERT_TRUE(QFile::exists(doc));
    // Nothing more is asked than before: the preview question only.
    EXPECT_EQ(f.prompts->shown().size(), 1);

    const QList<QByteArray> line = test::readFile(f.programDir() + u("/BL/笔录登记.log")).split('\t');
    ASSERT_EQ(line.size(), 11);
    EXPECT_EQ(line[0], "2012-03-05 15:00:00");
    EXPECT_EQ(QList<QByteArray>({line[2], line[5], line[8]}),
              QList<QByteArray>({gbk(u("2012.3.5-某某公司-某某.ini")), gbk(u("2012.3.5-某某公司-某某.doc")),
                                 gbk(u("2012.3.5-某某公司-某某.pdf"))}));

    EXPECT_EQ(verifyThroughMenu(f, doc),
              u("文件“2012.3.5-某某公司-某某.doc”与 2012-03-05 15:00:00 保存时完全一致。\r\n"
                "笔录登记完好（共 1 行）。"));

    // A recording saved into the records folder is logged too.
    w.menuAction(u("录音笔录"), u("打开笔录录音"))->trigger();
    w.control<QPushButton>(u("按钮录音"))->click();
    f.capture->feed(QByteArray(16000, '\x01'));
    QMetaObject::invokeMethod(w.timer(u("时钟1")), "timeout", Qt::DirectConnection);
    f.clock->set(QDateTime(QDate(2012, 3, 5), QTime(15, 20, 0)));
    f.prompts->chooseNext(f.programDir() + u("/BL/询问录音.wav"));
    w.control<QPushButton>(u("按钮4"))->click();
    EXPECT_EQ(verifyThroughMenu(f, f.programDir() + u("/BL/询问录音.wav")),
              u("文件“询问录音.wav”与 2012-03-05 15:20:00 保存时完全一致。\r\n笔录登记完好（共 2 行）。"));

    QFile file(doc);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(5);
    file.write("#");
    file.close();
    EXPECT_EQ(verifyThroughMenu(f, doc),
              u("文件“2012.3.5-某某公司-某某.doc”在 2012-03-05 15:00:00 保存之后被改动过。\r\n"
                "笔录登记完好（共 2 行）。"));

    // Cancelling the dialog shows nothing.
    f.prompts->clear();
    f.prompts->cancelNext();
    w.menuAction(u("文件"), u("核验笔录..."))->trigger();
    EXPECT_TRUE(f.prompts->shown().isEmpty());
}
