// The recorder panel in the window: the menu, the buttons and the tick reach
// the audio commands, and unsaved audio holds up "退出", the closing of the
// window and the start with a recording left by a crashed run.
#include "AppFixture.h"

#include "audio/AudioCommands.h"
#include "audio/AudioRecorder.h"
#include "record/RecordFields.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void click(app::MainWin& w, const char* unit)
{
    auto* b = w.control<QPushButton>(u(unit));
    ASSERT_TRUE(b);
    b->click();
}

} // namespace

TEST(AudioApp, MenuButtonsAndTickDriveThePanel)
{
    AppFixture f;
    f.app->start();
    app::MainWin& w = f.win();
    auto* slider = w.control<QSlider>(u("滑块条1"));
    EXPECT_EQ(slider->minimum(), 1);
    EXPECT_EQ(slider->maximum(), 888);
    EXPECT_EQ(slider->value(), 1);
    EXPECT_EQ(slider->pageStep(), 5);
    QWidget* panel = w.control(u("分组框5"));
    EXPECT_TRUE(panel->isHidden());
    w.menuAction(u("录音笔录"), u("打开笔录录音"))->trigger();
    EXPECT_FALSE(panel->isHidden());

    click(w, "按钮录音");
    QTimer* tick = w.timer(u("时钟1"));
    EXPECT_TRUE(tick->isActive());
    EXPECT_EQ(tick->interval(), 1000);
    EXPECT_EQ(w.statusPart0(), u("笔录.录音开始..."));
    EXPECT_FALSE(w.control(u("按钮录音"))->isEnabled());
    w.menuAction(u("录音笔录"), u("关闭笔录录音"))->trigger();
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(f.capture->isOpen()); // hiding does not stop the recording
    for (int i = 0; i < 3; ++i) {
        f.capture->feed(QByteArray(16000, '\x01'));
        QMetaObject::invokeMethod(tick, "timeout", Qt::DirectConnection);
    }
    EXPECT_EQ(w.fieldText(u("标签14")), u("0:0:3"));
    EXPECT_EQ(slider->value(), 4);

    click(w, "按钮暂停");
    EXPECT_TRUE(w.control(u("按钮暂停"))->isHidden());
    EXPECT_FALSE(w.control(u("按钮继续"))->isHidden());
    EXPECT_FALSE(tick->isActive());
    click(w, "按钮继续");
    EXPECT_TRUE(tick->isActive());

    f.prompts->chooseNext(f.dir.file(u("a")));
    click(w, "按钮4");
    EXPECT_EQ(f.prompts->dialogsOpened(), QList<QString>{u("通用对话框1")});
    EXPECT_EQ(test::readFile(f.dir.file(u("a.wav"))).size(), 44 + 3 * 16000);
    EXPECT_EQ(w.statusPart0(), u("笔录.录音保存成功..."));
    EXPECT_FALSE(w.control(u("按钮4"))->isEnabled());
    EXPECT_FALSE(tick->isActive());

    f.prompts->chooseNext(u("/录音/a.wav"));
    click(w, "按钮播放");
    EXPECT_EQ(f.session().playbackFile, u("/录音/a.wav"));
    click(w, "暂停");
    EXPECT_EQ(f.player->calls, (QStringList{u("play /录音/a.wav"), u("stopAll")}));
}

TEST(AudioApp, UnsavedAudioHoldsUpQuitAndClose)
{
    AppFixture f;
    f.app->start();
    app::MainWin& w = f.win();
    click(w, "按钮录音");
    f.capture->feed(QByteArray(5000, '\x01'));

    w.menuAction(u("文件"), u("退出"))->trigger(); // answered No
    EXPECT_EQ(f.exitCode, -1);
    ASSERT_EQ(f.prompts->shown().size(), 1);
    EXPECT_EQ(f.prompts->shown()[0].text, audio::AudioCommands::quitQuestion());
    QCloseEvent refused;
    QCoreApplication::sendEvent(&w, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(f.prompts->shown().size(), 2);

    f.prompts->answerNext(platform::Answer::Yes);
    QCloseEvent accepted;
    QCoreApplication::sendEvent(&w, &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_FALSE(f.capture->isOpen());
    w.menuAction(u("文件"), u("退出"))->trigger(); // nothing unsaved any more
    EXPECT_EQ(f.exitCode, 0);
    EXPECT_EQ(f.prompts->shown().size(), 3);
}

TEST(AudioApp, TheStartOffersTheAudioAnEarlierRunLeftInThePrivateScratchFolder)
{
    AppFixture f;
    // This program's own recovery file carries its id; the one an earlier
    // version left has none.
    const QString own = f.app->recorder().recoveryPath();
    EXPECT_TRUE(own.startsWith(f.paths.scratchDir + u("/unsaved-recording."))) << own.toStdString();
    EXPECT_TRUE(own.endsWith(u(".wav")));
    const QString left = f.paths.scratchDir + u("/unsaved-recording.wav");
    {
        audio::ScriptedCapture device;
        audio::AudioRecorder ended(device, left);
        ended.start();
        device.feed(QByteArray(20000, '\x05'));
    }
    f.prompts->answerNext(platform::Answer::Yes);
    f.prompts->chooseNext(f.dir.file(u("找回")));
    f.app->start();
    ASSERT_FALSE(f.prompts->shown().isEmpty());
    EXPECT_EQ(f.prompts->shown()[0].text, audio::AudioCommands::recoveryQuestion(1));
    EXPECT_EQ(test::readFile(f.dir.file(u("找回.wav"))).size(), 44 + 20000);
    EXPECT_FALSE(QFile::exists(left));
    EXPECT_FALSE(QFile::exists(own));
    EXPECT_FALSE(f.win().control(u("分组框5"))->isHidden());
}

// The first key in a question or answer line marks the recording that runs,
// once per line; typing while nothing is recorded marks nothing. The saved
// WAV carries the marks, and the template saved after it names them.
TEST(AudioApp, TheFirstKeyInAPairLineMarksTheRunningRecordingOnceAndTheSavesKeepTheMarks)
{
    AppFixture f(test::gbk(u("[pop]\r\ntanchu=0\r\n")));
    f.app->start();
    app::MainWin& w = f.win();
    const auto key = [&w](record::FieldId id, bool entering) {
        auto* box = w.control<QComboBox>(record::unitName(id));
        ASSERT_TRUE(box && box->lineEdit());
        if (entering) {
            QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(box, &in);
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, u("x"));
        QCoreApplication::sendEvent(box->lineEdit(), &press);
    };
    key(record::question(1), true); // idle
    click(w, "按钮录音");
    f.capture->feed(QByteArray(16000, '\x01'));
    key(record::question(1), false); // the line entered before the start
    f.capture->feed(QByteArray(8000, '\x01'));
    key(record::question(1), false);
    key(record::question(1), true);
    key(record::answer(1), true);
    key(record::answer(1), false);
    key(record::question(24), true);
    EXPECT_EQ(f.app->recorder().marks(),
              (QList<audio::WavCue>{{8000, u("问1")}, {12000, u("答1")}, {12000, u("问24")}}));

    const QString wav = f.dir.file(u("询问录音.wav"));
    f.prompts->chooseNext(wav);
    click(w, "按钮4");
    const std::optional<audio::WavLayout> saved = audio::parseWav(test::readFile(wav));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->cues, f.app->recorder().marks());
    EXPECT_EQ(f.session().savedRecording.marks,
              (QList<platform::SavedRecording::Mark>{{u("问1"), 1000}, {u("答1"), 1500}, {u("问24"), 1500}}));
    key(record::answer(2), true); // nothing runs any more
    EXPECT_EQ(f.app->recorder().marks().size(), 3);

    w.setFieldText(u("编辑框6"), u("11"));
    w.setFieldText(u("编辑框7"), u("15"));
    w.setFieldText(u("编辑框9"), u("某某"));
    w.setFieldText(u("编辑框14"), u("某某公司"));
    w.menuAction(u("文件"), u("保存(笔录及模板)"))->trigger();
    const QByteArray ini = test::readFile(f.programDir() + u("/BL/2012.3.5-某某公司-某某.ini"));
    const QByteArray luyin =
        test::gbk(u("[luyin]\r\nfile=询问录音.wav\r\n问1=1000\r\n答1=1500\r\n问24=1500\r\n"));
    EXPECT_TRUE(ini.startsWith("[set]\r\n"));
    EXPECT_TRUE(ini.endsWith(luyin)) << ini.right(200).toStdString();
    EXPECT_EQ(ini.count("[luyin]"), 1);
}

// A question or answer line's context menu plays the recording a template
// names from the pair's mark: the question's, else the answer's, else the
// WAV file's own marker; without a mark or without the file the entry is
// there but disabled.
TEST(AudioApp, ThePairLineMenuPlaysTheTemplatesRecordingFromThePairsMark)
{
    AppFixture f;
    f.app->start();
    app::MainWin& w = f.win();
    // The menu of pair `number`'s line (its answer line when `answer`):
    // whether the entry is enabled; a click on an enabled one.
    const auto entry = [&w](int number, bool answer, bool click) {
        auto* box = w.control<QComboBox>(
            record::unitName(answer ? record::answer(number) : record::question(number)));
        EXPECT_TRUE(box && box->lineEdit());
        QLineEdit* edit = box->lineEdit();
        emit edit->customContextMenuRequested(QPoint(2, 2));
        auto* menu = edit->findChild<QMenu*>(QStringLiteral("qt_edit_menu"));
        EXPECT_TRUE(menu);
        const QList<QAction*> actions = menu->actions();
        EXPECT_GT(actions.size(), 3); // the standard edit entries stay
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        QAction* play = actions.last();
        EXPECT_EQ(play->text().toUtf8(), QByteArray("从第 ") + QByteArray::number(number) + " 问播放");
        const bool enabled = play->isEnabled();
        if (click && enabled)
            play->trigger();
        menu->close();
        delete menu;
        return enabled;
    };
    EXPECT_FALSE(entry(2, false, false)); // no recording yet

    const QString wav = f.dir.file(u("询问录音.wav"));
    const QString withMarks = f.dir.write(
        u("有标记.ini"),
        test::gbk(u("[set]\r\nk9=某某\r\n[luyin]\r\nfile=询问录音.wav\r\n问2=1500\r\n答3=2500\r\n")));
    f.app->records().openTemplateAt(withMarks);
    EXPECT_FALSE(entry(2, false, false)); // the WAV file is missing

    audio::AudioFormat format;
    const QByteArray samples(8000 * 2 * 4, '\x01');
    bool handed = false;
    QString error;
    ASSERT_TRUE(audio::writeWavFile(wav, format, quint32(samples.size()),
                                    [&] {
                                        const QByteArrayView block =
                                            handed ? QByteArrayView() : QByteArrayView(samples);
                                        handed = true;
                                        return block;
                                    },
                                    &error, {{4000, u("问2")}, {12000, u("问4")}}));
    EXPECT_TRUE(entry(2, true, true)); // the answer line offers its pair's question
    EXPECT_TRUE(entry(3, false, true));
    EXPECT_FALSE(entry(4, false, true)); // the template names marks: the WAV's are not asked
    EXPECT_EQ(f.player->calls,
              (QStringList{u("play ") + wav + u(" from 1500 ms"), u("play ") + wav + u(" from 2500 ms")}));

    const QString withoutMarks =
        f.dir.write(u("无标记.ini"), test::gbk(u("[set]\r\nk9=某某\r\n[luyin]\r\nfile=询问录音.wav\r\n")));
    f.app->records().openTemplateAt(withoutMarks);
    EXPECT_TRUE(entry(4, false, true));
    EXPECT_EQ(f.player->calls.last(), u("play ") + wav + u(" from 1500 ms"));
    click(w, "暂停");
    EXPECT_EQ(f.player->calls.last(), u("stopAll"));
}
