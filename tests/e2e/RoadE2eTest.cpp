// The road of a record as an officer travels it, through the real window on
// a virtual display with the real components: the header and all 24 pairs
// typed and picked from the phrase lists, both views, the case note, the
// record saved (preview declined) and printed, a new record, the template
// opened again and every field back as it was typed.
#include "Desktop.h"
#include "E2eSupport.h"
#include "Person.h"

#include "exchange/TestServers.h"

#include "app/Application.h"
#include "app/MainWin.h"
#include "audio/AudioRecorder.h"
#include "platform/qt/QtPrompts.h"
#include "record/RecordFields.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace quillan::test {
namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

const VirtualDisplay* gDisplay = nullptr;

// The program as the desktop starts it, on folders of its own, with the
// example office data.
struct Road
{
    // `base` empty: a folder of its own; otherwise the folders of another
    // run (the program started again on them).
    explicit Road(const QString& base = QString(), const QString& web = QString()) : website(web)
    {
        const QString root = base.isEmpty() ? dir.path() : base;
        paths.programDir = root + u("/program");
        paths.scratchDir = root + u("/cache/quillan");
        paths.desktopDir = root + u("/Desktop");
        paths.configDir = root + u("/config/quillan");
        // A program folder in use: the records folder is there.
        QDir().mkpath(paths.programDir + u("/BL"));
        QDir().mkpath(paths.desktopDir);
        if (!QFile::exists(paths.programDir + u("/Set.ini")))
            QFile::copy(u(QUILLAN_SOURCE_DIR "/examples/Set.ini"), paths.programDir + u("/Set.ini"));
        launch();
    }
    // The program as the desktop starts it; the one before ends first.
    void launch()
    {
        app.reset();
        app::Application::Parts parts = app::Application::systemParts(paths);
        if (!website.isEmpty())
            parts.website = website;
        app = std::make_unique<app::Application>(paths, paths.programDir + u("/quillan"), std::move(parts));
        app->exitProgram = [](int) {};
    }
    app::MainWin& win() { return app->window(); }

    TempDir dir;
    platform::Paths paths;
    QString website; // the test's web server in place of the program's website
    std::unique_ptr<app::Application> app;
};

QHash<QString, QString> formFields(const app::MainWin& w)
{
    QHash<QString, QString> out;
    for (const record::Field& f : record::readOrder())
        out.insert(record::unitName(f), w.fieldText(record::unitName(f)));
    return out;
}

void shoot(const QString& name, const QWidget* window = nullptr)
{
    // Screenshots for the documentation, when asked for.
    const QByteArray folder = qgetenv("QUILLAN_SHOTS");
    if (folder.isEmpty() || !gDisplay)
        return;
    QTest::qWait(300);
    if (!window)
        window = QApplication::activeWindow();
    gDisplay->screenshot(QString::fromLocal8Bit(folder) + QLatin1Char('/') + name,
                         window ? window->frameGeometry() : QRect());
}

// A page of a PDF the program wrote or printed, rendered for the
// documentation the way a reader shows it, when asked for.
void shootPage(const QString& name, const QString& pdf, int page)
{
    const QByteArray folder = qgetenv("QUILLAN_SHOTS");
    if (folder.isEmpty())
        return;
    const QString target = QString::fromLocal8Bit(folder) + QLatin1Char('/') + name;
    runProgram(u("pdftoppm"), {u("-png"), u("-r"), u("70"), u("-f"), QString::number(page), u("-l"),
                               QString::number(page), u("-singlefile"), pdf, target.chopped(4)});
    EXPECT_TRUE(QFile::exists(target)) << "pdftoppm made no " << target.toStdString();
}

// The header as an officer fills it: typed where there is no list, picked
// where the lists hold the office's places and names.
void fillHeader(app::MainWin& w)
{
    typeInto(w, u("编辑框6"), u("11"));
    typeInto(w, u("编辑框7"), u("20"));
    typeInto(w, u("编辑框8"), u("青山镇"));
    pickFromList(w, u("组合框2"), 2);
    typeInto(w, u("编辑框9"), u("张三"));
    pickFromList(w, u("组合框1"), 1);
    typeInto(w, u("编辑框11"), u("河东县"));
    pickFromList(w, u("组合框52"), 3);
    typeInto(w, u("编辑框10"), u("220102197805061234"));
    typeInto(w, u("编辑框26"), u("32"));
    typeInto(w, u("编辑框14"), u("青山建筑工程公司"));
    typeInto(w, u("组合框3"), u("瓦工"));
    typeInto(w, u("编辑框27"), u("初中"));
    typeInto(w, u("编辑框15"), u("13804310000"));
    typeInto(w, u("编辑框16"), u("河东县柳树村"));
    pickFromList(w, u("组合框53"), 0);
    pickFromList(w, u("组合框54"), 1);
    pickFromList(w, u("组合框55"), 2);
}

// The pairs: odd questions from the list, even ones typed; answers picked
// or typed in turn. The second view for pairs 11 to 24.
void fillPairs(app::MainWin& w)
{
    for (const record::Pair& p : record::pairs()) {
        if (p.number == 11) {
            shoot(u("road-first-view.png"));
            w.control<QPushButton>(u("按钮1"))->click();
        }
        const QString q = record::unitName(p.question);
        const QString a = record::unitName(p.answer);
        auto* questions = w.control<QComboBox>(q);
        if (p.number % 2 == 1 && questions && questions->count() > 1)
            pickFromList(w, q, 1);
        else
            typeInto(w, q, u("问：第%1问，事情经过如何？").arg(p.number));
        auto* answers = w.control<QComboBox>(a);
        if (p.number % 3 == 0 && answers && answers->count() > 1)
            pickFromList(w, a, 1);
        else
            typeInto(w, a, u("答：第%1答，我在工地砌墙时摔伤。").arg(p.number));
    }
    shoot(u("road-second-view.png"));
}

// sox's RMS amplitude of a WAV file and its length in seconds.
std::pair<double, double> soundOf(const QString& wav)
{
    QProcess sox;
    sox.start(u("sox"), {wav, u("-n"), u("stat")});
    sox.waitForFinished(60000);
    const QString report = QString::fromLocal8Bit(sox.readAllStandardError());
    const auto value = [&report](const char* name) {
        const QRegularExpressionMatch m =
            QRegularExpression(QString::fromUtf8(name) + u(":\\s+([0-9.]+)")).match(report);
        return m.hasMatch() ? m.captured(1).toDouble() : -1;
    };
    return {value("RMS\\s+amplitude"), value("Length \\(seconds\\)")};
}

} // namespace

TEST(RoadE2e, ARecordTypedSavedPrintedAndOpenedAgainComesBackExactly)
{
    ASSERT_TRUE(requireProgram(u("soffice"), u("libreoffice-writer-nogui")));
    ASSERT_TRUE(requireProgram(u("antiword"), u("antiword")));
    ASSERT_TRUE(requirePulse());
    // The program's website, where the update check looks, is a web server
    // on this machine with a newer version announced.
    TempDir site;
    site.write(u("web/soft.ini"), QByteArray("[set]\r\ngengxin=1\r\n"));
    TestServer web;
    QString webError;
    ASSERT_TRUE(web.start(u("http"), site.file(u("web")), &webError)) << webError.toStdString();
    const QString website = u("http://127.0.0.1:%1").arg(web.port());
    Road road({}, website);
    road.app->start();
    app::MainWin& w = road.win();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    Person person;
    person.beforeAnswer = [&w](const QString& title) {
        if (title == u("核验笔录："))
            shoot(u("road-message-box.png"), &w);
    };

    fillHeader(w);
    fillPairs(w);
    w.control<QPushButton>(u("按钮5"))->click(); // the case note panel
    typeInto(w, u("超级编辑框2"), u("被询问人于工地受伤，现场有同事两人。"));
    shoot(u("road-case-note.png"));
    w.control<QPushButton>(u("按钮5"))->click();

    // Five seconds of the interview recorded from the default input, into
    // which a voice speaks; saved as a WAV file beside the record.
    const QString speech = road.dir.file(u("speech.wav"));
    runProgram(u("espeak-ng"),
               {u("-s"), u("150"), u("-w"), speech,
                u("The worker fell from the scaffold on the third floor of the building site. "
                  "His colleagues took him to the hospital at once.")});
    chooseMenu(w, u("录音笔录"), u("打开笔录录音"));
    ASSERT_TRUE(w.control(u("分组框5"))->isVisible());
    shoot(u("road-recorder.png"));
    QProcess voice;
    voice.start(u("paplay"), {speech});
    w.control<QPushButton>(u("按钮录音"))->click();
    // Five seconds from the moment the sound comes in.
    ASSERT_TRUE(QTest::qWaitFor([&road] { return road.app->recorder().capturedBytes() > 0; }, 10000))
        << "the recorder takes no sound";
    QTest::qWait(5000);
    const QString wav = road.paths.programDir + u("/BL/张三询问录音.wav");
    person.expectFile(u("通用对话框1"), wav);
    w.control<QPushButton>(u("按钮4"))->click();
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    voice.waitForFinished(20000);
    ASSERT_TRUE(QFile::exists(wav));
    const auto [rms, seconds] = soundOf(wav);
    EXPECT_GT(rms, 0.01) << "the recording holds no speech";
    EXPECT_GE(seconds, 4.5);
    EXPECT_LE(seconds, 7.0);
    chooseMenu(w, u("录音笔录"), u("关闭笔录录音"));

    const QHash<QString, QString> typed = formFields(w);
    for (const record::Pair& p : record::pairs())
        ASSERT_FALSE(typed.value(record::unitName(p.answer)).isEmpty()) << p.number;

    // Save; the preview is declined.
    person.expectMessage(u("提 示："), u("No"));
    chooseMenu(w, u("文件"), u("保存(笔录及模板)"));
    ASSERT_TRUE(person.waitDone(180000))
        << "the save did not ask about the preview; seen: "
        << person.unexpected().join(u(" | ")).toStdString() << " status " << w.statusMessage().toStdString();
    const QString base = road.paths.programDir + u("/BL/") + typed.value(u("编辑框1")) + u(".") +
                         typed.value(u("编辑框2")) + u(".") + typed.value(u("编辑框3")) +
                         u("-青山建筑工程公司-张三");
    ASSERT_TRUE(QFile::exists(base + u(".doc"))) << base.toStdString();
    ASSERT_TRUE(QFile::exists(base + u(".ini")));
    ASSERT_TRUE(QFile::exists(base + u(".pdf")));
    EXPECT_EQ(w.statusMessage(), u("笔录WORD文件以经保存在 <") + road.paths.programDir + u("/BL/目录中> "));
    const QString doc = withoutBlanks(runProgram(u("antiword"), {base + u(".doc")}));
    for (const record::Pair& p : record::pairs())
        for (const record::Field& f : {p.question, p.answer})
            EXPECT_TRUE(doc.contains(withoutBlanks(typed.value(record::unitName(f)))))
                << "the document lacks " << typed.value(record::unitName(f)).toStdString();
    EXPECT_TRUE(doc.contains(u("青山建筑工程公司")));

    // Print the current record.
    const qint64 printedSince = QDateTime::currentMSecsSinceEpoch();
    person.expectMessage(u("打印提示："), u("Yes"));
    chooseMenu(w, u("文件"), u("打印(笔录)"));
    ASSERT_TRUE(person.waitDone(60000)) << person.story();
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.statusMessage() == u("打 印 成 功！"); }, 120000))
        << w.statusMessage().toStdString();
    const QString printed = waitForPrintedPdf(printedSince);
    ASSERT_FALSE(printed.isEmpty()) << "nothing came out of the PDF printer";
    const QString page = withoutBlanks(pdfText(spooledDocument(printed)));
    EXPECT_TRUE(page.contains(u("张三")));
    EXPECT_TRUE(page.contains(withoutBlanks(typed.value(u("组合框38")))));

    // The template uploaded under a name of its own.
    TestServer ftp;
    QString error;
    ASSERT_TRUE(ftp.start(u("ftp"), road.dir.file(u("server")), &error)) << error.toStdString();
    chooseMenu(w, u("网络功能"), u("FTP笔录服务器配置"));
    typeInto(w, u("编辑框20"), u("127.0.0.1:%1").arg(ftp.port()));
    typeInto(w, u("编辑框21"), u("officer"));
    typeInto(w, u("编辑框22"), u("secret"));
    typeInto(w, u("编辑框23"), u("青山案-张三"));
    person.expectFile(u(" "), base + u(".ini"));
    chooseMenu(w, u("网络功能"), u("笔录上传"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_EQ(w.statusMessage(), u("笔录模板文件.ini上传FTP服务器成功.（未加密：服务器不支持加密传输）"));

    // A new record; the template downloaded and opened.
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(w, u("文件"), u("新建(笔录)"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_TRUE(w.fieldText(u("编辑框14")).isEmpty());
    chooseMenu(w, u("网络功能"), u("笔录下载"));
    EXPECT_EQ(w.statusMessage(),
              u("笔录模板.ini文件下载到 笔录软件的BL目录成功.（未加密：服务器不支持加密传输）"));
    chooseMenu(w, u("网络功能"), u("FTP笔录服务器配置")); // the panel closes
    // The update check reads the website's version file.
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(w, u("更新"), u("更新软件"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_EQ(person.seen().constLast().text,
              u("软件有新版本！ 请到 ") + website + u(" 下载新版本使用。。。"));
    const QString downloaded = road.paths.programDir + u("/BL/青山案-张三.ini");
    ASSERT_TRUE(QFile::exists(downloaded));
    person.expectFile(u("通用对话框2"), downloaded);
    chooseMenu(w, u("文件"), u("打开(笔录模板)"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();

    const QHash<QString, QString> opened = formFields(w);
    for (const record::Field& f : record::readOrder())
        EXPECT_EQ(opened.value(record::unitName(f)).toStdString(),
                  typed.value(record::unitName(f)).toStdString())
            << f.unit;

    // The saved document checked against the log of saved records.
    person.expectFile(u("核验对话框"), base + u(".doc"));
    person.expectMessage(u("核验笔录："), u("OK"));
    chooseMenu(w, u("文件"), u("核验笔录..."));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    const QString verdict = person.seen().constLast().text;
    EXPECT_TRUE(verdict.contains(u("保存时完全一致"))) << verdict.toStdString();
    EXPECT_TRUE(verdict.contains(u("笔录登记完好"))) << verdict.toStdString();

    // The record found again among the saved ones and opened from the list.
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(w, u("文件"), u("新建(笔录)"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    int listed = -1;
    person.expectWindow(u("查找笔录"), [&listed](QWidget* dialog) {
        auto* filter = dialog->findChild<QLineEdit*>(u("筛选框"));
        auto* list = dialog->findChild<QAbstractItemView*>(u("笔录列表"));
        if (!filter || !list)
            return;
        typeText(filter, u("青山建筑 张三"));
        listed = list->model()->rowCount();
        shoot(u("road-find-dialog.png"), dialog);
        QTest::keyClick(filter, Qt::Key_Return);
    });
    chooseMenu(w, u("文件"), u("查找笔录..."));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_EQ(listed, 2) << "the saved template and its downloaded copy";
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.fieldText(u("编辑框14")).isEmpty(); }, 10000));
    for (const record::Field& f : record::readOrder())
        EXPECT_EQ(w.fieldText(record::unitName(f)).toStdString(),
                  typed.value(record::unitName(f)).toStdString())
            << f.unit;

    // The PDF copy numbers every page.
    const int pages = pdfPages(base + u(".pdf"));
    EXPECT_EQ(pages, 4);
    shootPage(u("road-record-page.png"), base + u(".pdf"), 2);
    const QString pdf = withoutBlanks(pdfText(base + u(".pdf")));
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(pdf.contains(u("第%1页共%2页").arg(page).arg(pages))) << page;

    // An inspection form filled from the record and printed at once.
    qint64 since = QDateTime::currentMSecsSinceEpoch();
    person.expectMessage(u("提 示："), u("Yes"));
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(w, u("监察文书"), u("询问通知书"));
    ASSERT_TRUE(person.waitDone(120000)) << person.story();
    const QString form = waitForPrintedPdf(since);
    ASSERT_FALSE(form.isEmpty()) << "the inspection form did not come out of the printer";
    shootPage(u("road-printed-form.png"), spooledDocument(form), 1);
    const QString notice = withoutBlanks(pdfLayoutText(spooledDocument(form)));
    EXPECT_TRUE(notice.contains(u("询问通知书")));
    EXPECT_TRUE(notice.contains(withoutBlanks(typed.value(u("编辑框14"))) + u("："))) << notice.toStdString();

    // A law text shown in the text panel and printed from it.
    chooseMenu(w, u("法律法规"), u("劳动保障监察条例"));
    ASSERT_TRUE(w.control(u("超级编辑框1"))->isVisible());
    EXPECT_TRUE(w.fieldText(u("超级编辑框1")).contains(u("劳动保障监察条例")));
    shoot(u("road-text-panel.png"));
    since = QDateTime::currentMSecsSinceEpoch();
    w.control<QPushButton>(u("按钮6"))->click();
    EXPECT_EQ(w.statusPart0(), u("打印成功..."));
    const QString law = waitForPrintedPdf(since);
    ASSERT_FALSE(law.isEmpty()) << "the law text did not come out of the printer";
    EXPECT_TRUE(withoutBlanks(pdfText(spooledDocument(law))).contains(u("第一条")));
    for (const QString& window : {u("查找笔录"), u("核验笔录："), u("提 示："), u("打印提示：")})
        EXPECT_TRUE(person.windowsChecked().contains(window)) << window.toStdString();

    EXPECT_TRUE(person.unexpected().isEmpty()) << person.unexpected().join(u("\n")).toStdString();
    // A screen reader names every control of every window on the way.
    EXPECT_TRUE(person.nameless().isEmpty()) << person.nameless().join(u("\n")).toStdString();
}

namespace {

const QString kPassword = u("QL-2026");

// The second record as far as the officer got before the crash.
const std::pair<const char*, const char*> kSecondRecord[] = {
    {"编辑框6", "16"},
    {"编辑框7", "40"},
    {"编辑框9", "李四"},
    {"编辑框14", "红星机械厂"},
    {"组合框4", "问：你是哪天受伤的？"},
    {"组合框5", "答：上个月十五号。"},
    {"组合框6", "问：当时在做什么？"},
};

} // namespace

// The second half of the road: the program locked with a password,
// started again and unlocked; then a crash in the middle of a second
// record, with the form and the audio back at the next start. The crash
// is a real one: a process running the program is killed outright.
TEST(RoadE2e, APasswordLocksTheNextStartAndACrashLosesNeitherTheFormNorTheAudio)
{
    ASSERT_TRUE(requirePulse());
    auto road = std::make_unique<Road>();
    road->app->start();
    Person person;

    // The lock, set from the menu.
    person.expectWindow(u("请输入2次正确密码："), [](QWidget* w) {
        typeText(w->findChild<QWidget*>(u("编辑框1")), kPassword);
        typeText(w->findChild<QWidget*>(u("编辑框2")), kPassword);
        qobject_cast<QPushButton*>(w->findChild<QWidget*>(u("按钮1")))->click();
    });
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(road->win(), u("安全设置"), u("加密"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_EQ(person.seen().constLast().text, u("密码设置成功！下次启动软件时需要输入密码。"));

    // The next start asks for it before the window shows.
    person.expectWindow(u("输 入 密 码："), [](QWidget* w) {
        typeText(w->findChild<QWidget*>(u("编辑框1")), kPassword);
        qobject_cast<QPushButton*>(w->findChild<QWidget*>(u("按钮1")))->click();
    });
    road->launch();
    road->app->start();
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    ASSERT_TRUE(road->win().isVisible()) << "the right password did not open the program";
    person.expectMessage(u("提 示："), u("OK"));
    chooseMenu(road->win(), u("安全设置"), u("解密"));
    ASSERT_TRUE(person.waitDone(20000)) << person.story();
    EXPECT_EQ(person.seen().constLast().text, u("密码已清除！下次启动软件时不再需要输入密码。"));
    const QString base = road->dir.path();
    const platform::Paths paths = road->paths;
    road->app.reset();

    // A second record typed and recorded in a program that is then killed.
    QProcess crashing;
    crashing.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    crashing.start(QCoreApplication::applicationFilePath(), {u("--crashing-program"), base});
    ASSERT_TRUE(crashing.waitForStarted(10000));
    ASSERT_TRUE(
        QTest::qWaitFor([&crashing] { return crashing.readAllStandardOutput().contains("READY"); }, 120000))
        << "the program to be killed did not get ready";
    crashing.kill();
    ASSERT_TRUE(crashing.waitForFinished(10000));

    // The next start gives the form back as it was and offers the audio.
    const QString wav = paths.programDir + u("/BL/李四找回的录音.wav");
    person.expectMessage(u("提示："), u("Yes")); // the record
    person.expectMessage(u("提示："), u("Yes")); // the audio
    person.expectFile(u("通用对话框1"), wav);
    Road again(base);
    again.app->start();
    ASSERT_TRUE(person.waitDone(30000)) << person.story();
    for (const auto& [unit, text] : kSecondRecord)
        EXPECT_EQ(again.win().fieldText(u(unit)).toStdString(), std::string(text)) << unit;
    ASSERT_TRUE(QFile::exists(wav));
    const auto [rms, seconds] = soundOf(wav);
    EXPECT_GT(rms, 0.01) << "the recovered recording holds no speech";
    EXPECT_GE(seconds, 2.0);
    for (const QString& window : {u("请输入2次正确密码："), u("输 入 密 码："), u("提示：")})
        EXPECT_TRUE(person.windowsChecked().contains(window)) << window.toStdString();
    EXPECT_TRUE(person.unexpected().isEmpty()) << person.unexpected().join(u("\n")).toStdString();
    // A screen reader names every control of every window on the way.
    EXPECT_TRUE(person.nameless().isEmpty()) << person.nameless().join(u("\n")).toStdString();
}

// Faults on the road: a printer switched off in CUPS is told at once (not
// after the wait for the job) and nothing is queued; once it is back the
// same record prints.
TEST(RoadE2e, ADisabledPrinterIsToldAtOnceAndTheRecordPrintsWhenItIsBack)
{
    ASSERT_TRUE(requireProgram(u("cupsdisable"), u("cups-client")));
    const QString printer = runProgram(u("lpstat"), {u("-d")}).section(u(":"), 1).trimmed();
    ASSERT_FALSE(printer.isEmpty()) << "no default printer (scripts/setup-printer.sh sets one up)";
    Road road;
    road.app->start();
    app::MainWin& w = road.win();
    Person person;
    typeInto(w, u("编辑框6"), u("10"));
    typeInto(w, u("编辑框7"), u("30"));
    typeInto(w, u("编辑框9"), u("王五"));
    typeInto(w, u("编辑框14"), u("东风汽配厂"));
    typeInto(w, u("组合框4"), u("问：你的工作岗位是什么？"));

    runProgram(u("cupsdisable"), {printer});
    struct Enable
    {
        QString printer;
        ~Enable() { runProgram(u("cupsenable"), {printer}); }
    } enable{printer};
    const QString queuedBefore = runProgram(u("lpstat"), {u("-o"), printer});
    person.expectMessage(u("打印提示："), u("Yes"));
    person.expectMessage(u("打印失败："), u("OK"));
    QElapsedTimer t;
    t.start();
    chooseMenu(w, u("文件"), u("打印(笔录)"));
    ASSERT_TRUE(person.waitDone(120000)) << person.story();
    EXPECT_LT(t.elapsed(), 30000) << "the officer waited for a job the printer could not print";
    EXPECT_EQ(person.seen().constLast().text,
              u("打印没有成功：打印机 %1 已停用，没有打印。请启用打印机后重新打印。").arg(printer));
    EXPECT_NE(w.statusMessage(), u("打 印 成 功！"));
    EXPECT_EQ(runProgram(u("lpstat"), {u("-o"), printer}), queuedBefore) << "a job was left queued";

    runProgram(u("cupsenable"), {printer});
    const qint64 since = QDateTime::currentMSecsSinceEpoch();
    person.expectMessage(u("打印提示："), u("Yes"));
    chooseMenu(w, u("文件"), u("打印(笔录)"));
    ASSERT_TRUE(person.waitDone(60000)) << person.story();
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.statusMessage() == u("打 印 成 功！"); }, 120000));
    EXPECT_FALSE(waitForPrintedPdf(since).isEmpty());
    EXPECT_TRUE(person.unexpected().isEmpty()) << person.unexpected().join(u("\n")).toStdString();
    // A screen reader names every control of every window on the way.
    EXPECT_TRUE(person.nameless().isEmpty()) << person.nameless().join(u("\n")).toStdString();
}

// A Set.ini of 100 MB or a folder in its place: the program starts, with
// empty lists, and leaves the file or folder as it found it.
TEST(RoadE2e, ASetIniOfAHundredMegabytesOrAFolderStillStartsTheProgram)
{
    for (const bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder" : "100 MB");
        TempDir base;
        const QString setIni = base.file(u("program/Set.ini"));
        QDir().mkpath(base.file(u("program")));
        qint64 size = 0;
        if (folder) {
            QDir().mkpath(setIni);
        } else {
            QFile f(setIni);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            QByteArray block = "[biludidian]\r\n";
            while (block.size() < (1 << 20))
                block += "didian1=" + QByteArray(90, 'x') + "\r\n";
            for (int i = 0; i < 100; ++i)
                f.write(block);
            size = f.size();
        }
        // Without readable settings the pop-up reader of the injury
        // regulation is on: the officer closes it.
        Person person;
        person.expectWindow(QString(33, QLatin1Char(' ')) + u("新工伤保险条例"),
                            [](QWidget* w) { w->close(); });
        QElapsedTimer t;
        t.start();
        Road road(base.path());
        road.app->start();
        EXPECT_TRUE(person.waitDone(20000)) << person.story();
        EXPECT_TRUE(road.win().isVisible());
        EXPECT_TRUE(person.nameless().isEmpty()) << person.nameless().join(u("\n")).toStdString();
        EXPECT_LT(t.elapsed(), 60000);
        // The record still works: typed, saved (template at least).
        typeInto(road.win(), u("编辑框9"), u("赵六"));
        EXPECT_EQ(road.win().fieldText(u("编辑框9")), u("赵六"));
        EXPECT_EQ(QFileInfo(setIni).isDir(), folder);
        if (!folder) {
            EXPECT_EQ(QFileInfo(setIni).size(), size);
        }
    }
}

// The program killed by the test above: types the second record, records
// speech, says READY once the recovery files hold both, and waits.
int runCrashingProgram(const QString& base)
{
    Road road(base);
    road.app->start();
    app::MainWin& w = road.win();
    for (const auto& [unit, text] : kSecondRecord)
        typeInto(w, u(unit), u(text));
    w.control<QPushButton>(u("按钮1"))->click(); // the form's recovery file follows the switch
    const QString speech = road.paths.scratchDir + u("/../speech.wav");
    runProgram(u("espeak-ng"),
               {u("-s"), u("150"), u("-w"), speech,
                u("I was lifting the steel plate when the crane hook slipped and hit my arm.")});
    chooseMenu(w, u("录音笔录"), u("打开笔录录音"));
    QProcess voice;
    voice.start(u("paplay"), {speech});
    w.control<QPushButton>(u("按钮录音"))->click();
    if (!QTest::qWaitFor([&road] { return road.app->recorder().capturedBytes() > 0; }, 10000))
        return 1;
    QTest::qWait(3500); // the recovery file's header follows every 2 s of audio
    std::printf("READY\n");
    std::fflush(stdout);
    QTest::qWait(600000);
    return 0;
}

} // namespace quillan::test

// The tests run on a virtual display of their own, with the window system
// the desktop uses.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const bool crashing = argc == 3 && std::strcmp(argv[1], "--crashing-program") == 0;
    if (crashing) {
        // On the display of the test that kills it (which ends that display).
        QApplication app(argc, argv);
        quillan::platform::QtPrompts::useChineseQtTexts();
        return quillan::test::runCrashingProgram(QString::fromLocal8Bit(argv[2]));
    }
    quillan::test::VirtualDisplay display;
    if (!display.ok()) {
        std::fprintf(stderr, "road_e2e_tests: no virtual display (install xvfb and xdotool)\n");
        return 1;
    }
    quillan::test::gDisplay = &display;
    qputenv("DISPLAY", display.name().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    // Qt's own texts in Chinese, as the program's main has them.
    quillan::platform::QtPrompts::useChineseQtTexts();
    return RUN_ALL_TESTS();
}
