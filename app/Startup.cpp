#include "app/Startup.h"

#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "app/Services.h"
#include "app/Skins.h"
#include "app/StatusText.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "settings/PhraseLists.h"
#include "settings/Settings.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>

namespace quillan::app {

namespace {

struct Tip
{
    const char* unit;
    const char* text;
};

const Tip kTips[] = {
    {unit::kCloseText, "关闭文件界面."},
    {unit::kToFirstView, "返回笔录第一窗口界面."},
    {unit::kToSecondView, "返回笔录第二窗口界面."},
    {unit::kCaseNoteButton,
     "对于案件内情及详细情况的备注记录，用于以后读档查询案件前因后果。备注不参与打印，只保"
     "存在对应案件的模板中。"},
    {unit::kRecord, "开始进行录音..."},
    {unit::kResume, "继续进行录音..."},
    {unit::kPause, "暂时停止录音..."},
    {unit::kPlay, "播放音频文件..."},
    {unit::kStopPlayback, "停止播放音频文件..."},
    {unit::kFtpFileName, "输入要上传或下载的笔录文件的名称，不用输入扩展名..."},
    {unit::kFtpAddress, "输入FTP服务器的ip地址，比如 xxx.xxx.xxx.xxx"},
    {unit::kFtpAccount, "添写登陆FTP服务器的帐号"},
    {unit::kFtpPassword, "添写登陆FTP服务器的密码"},
};

} // namespace

QString codeOfConduct()
{
    QFile file(QStringLiteral(":/texts/code-of-conduct.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return platform::decodeText(file.readAll());
}

QString tooltipStyleSheet()
{
    // The fonts are part of the sheet: a style sheet on the window would
    // otherwise give every control the application's default font.
    return QStringLiteral(
        "QWidget { font-family: \"Noto Sans Mono CJK SC\", \"Noto Sans CJK SC\"; font-size: 12px; }"
        "QLabel[heading=\"true\"] { font-family: \"SimSun\"; font-size: 16px; }"
        "QToolTip { border: 1px solid #8C8C8C; border-radius: 6px; background: #FFFFE1;"
        " color: black; padding: 4px; }");
}

Startup::Startup(MainWin& window, Services& services) : window_(window), services_(services), form_(window)
{
    passwordGate = [this] { window_.show(); };
}

QString Startup::iconFile() const
{
    QString beside = services_.paths.programDir + QStringLiteral("/quillan.png");
    if (QFileInfo::exists(beside))
        return beside;
    const QString scratch = services_.paths.ensureScratchDir();
    if (scratch.isEmpty())
        return {};
    QString copy = scratch + QStringLiteral("/quillan.png");
    if (!QFileInfo::exists(copy)) {
        QFile icon(QStringLiteral(":/pictures/icon.png"));
        if (icon.open(QIODevice::ReadOnly))
            platform::writeFileAtomically(copy, icon.readAll());
    }
    return copy;
}

void Startup::attachTooltips()
{
    for (const Tip& tip : kTips)
        if (QWidget* w = window_.control(tip.unit))
            w->setToolTip(QString::fromUtf8(tip.text));
    // Lines break only at the CR LF pairs of the text.
    QString conduct = codeOfConduct();
    conduct.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (QWidget* banner = window_.control(unit::kBanner))
        banner->setToolTip(conduct);
}

namespace {

// The number of the skin a "fengge" value names, 0 for none.
int skinNumber(const QString& value)
{
    const QStringList schemes{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4")};
    return int(schemes.indexOf(value) + 1);
}

} // namespace

void Startup::applySkin(const QString& value, bool restyle)
{
    const int skin = skinNumber(value);
    if (skin == 0)
        return;
    window_.setProperty("skin", skin);
    if (restyle)
        window_.setStyleSheet(tooltipStyleSheet() + skinStyleSheet(skin));
}

void Startup::run()
{
    // 1. Password gate, only before the window has been shown.
    if (!window_.isVisible() && passwordGate) {
        passwordGate();
        // Closed without the password: the program is ending, nothing more
        // is set up.
        if (!window_.isVisible())
            return;
        if (afterPassword)
            afterPassword();
    }

    const settings::Settings settings(services_.paths.settingsFile());

    // 2. Status text.
    window_.setStatusMessage(versionStatusText());
    window_.setStatusPart0(versionStatusText());

    // 3. Desktop shortcut; the result is ignored.
    const QString executable = services_.executablePath;
    const QFileInfo exe(executable);
    platform::createShortcut(services_.paths.desktopDir + QStringLiteral("/Quillan.desktop"),
                             exe.absolutePath() + QLatin1Char('/') + exe.fileName(), iconFile());

    // 4. Tooltips. A style sheet restyles every one of the window's several
    // hundred widgets, so the first one already holds the skin of step 6;
    // nothing shows in between.
    const QString skin = settings.readSetting(QStringLiteral("fengge"), QStringLiteral("fengge"));
    attachTooltips();
    const bool firstSheet = window_.styleSheet().isEmpty();
    if (firstSheet)
        window_.setStyleSheet(tooltipStyleSheet() + skinStyleSheet(skinNumber(skin)));

    // 5. Title.
    const QString title = settings.readSetting(QStringLiteral("biaoti"), QStringLiteral("biaoti1"));
    if (!title.isEmpty())
        window_.setWindowTitle(QLatin1Char(' ') + title);

    // 6. Skin.
    applySkin(skin, !firstSheet);

    // 7. Pop-up text.
    if (popUpText)
        popUpText(settings);

    // 8. Record start time, from one reading of the clock.
    using record::FieldId;
    const QDateTime now = services_.clock->now();
    form_.showField(FieldId::StartYear, QString::number(now.date().year()));
    form_.showField(FieldId::StartMonth, QString::number(now.date().month()));
    form_.showField(FieldId::StartDay, QString::number(now.date().day()));
    form_.showField(FieldId::StartHour, QString::number(now.time().hour()));
    form_.showField(FieldId::StartMinute, QString::number(now.time().minute()));

    // 9. Sex box: its first entry.
    if (auto* sex = window_.control<QComboBox>(record::unitName(FieldId::Sex)))
        sex->setCurrentIndex(0);

    // 10. Page line counter.
    services_.pageLineCounter = 0;

    // 11. Default places, as read (also when empty).
    form_.showField(FieldId::Place,
                    settings.readSetting(QStringLiteral("biludidian"), QStringLiteral("didian1")));
    form_.showField(FieldId::Household,
                    settings.readSetting(QStringLiteral("biludidian"), QStringLiteral("didian2")));

    // 12. Phrase lists.
    settings::loadPhraseLists(settings, form_);
}

void runClosingPage(const Services& services)
{
    const settings::Settings settings(services.paths.settingsFile());
    if (settings.readSetting(QStringLiteral("close"), QStringLiteral("control")) != QLatin1String("on"))
        return;
    services.shell->openWebAddress(settings.readSetting(QStringLiteral("close"), QStringLiteral("url")));
}

} // namespace quillan::app
