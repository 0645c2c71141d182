#include "E2eSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace quillan::test {

QString printedPdfFolder()
{
    const passwd* pw = getpwuid(getuid());
    return pw ? QFile::decodeName(pw->pw_dir) + QStringLiteral("/PDF") : QString();
}

QString waitForPrintedPdf(qint64 sinceMs, int timeoutMs)
{
    return waitForSettledFile(printedPdfFolder(), QStringLiteral("*.pdf"), sinceMs - 1000, timeoutMs);
}

QString pdfText(const QString& pdf)
{
    return runProgram(QStringLiteral("pdftotext"),
                      {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
}

QString pdfLayoutText(const QString& pdf)
{
    return runProgram(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                    QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
}

int pdfPages(const QString& pdf)
{
    const QString info = runProgram(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QString spooledDocument(const QString& printedPdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("job_(\\d+)\\.pdf$")).match(printedPdf);
    if (!m.hasMatch()) {
        ADD_FAILURE() << "no job number in " << printedPdf.toStdString();
        return {};
    }
    const QString spooled =
        QStringLiteral("/var/spool/cups/d%1-001").arg(m.captured(1).toInt(), 5, 10, QLatin1Char('0'));
    if (!QFileInfo(spooled).isReadable()) {
        ADD_FAILURE()
            << "missing component: the spooled job file " << spooled.toStdString()
            << " (CUPS must keep job files, PreserveJobFiles, and the test must be able to read them)";
        return {};
    }
    return spooled;
}

QString withoutBlanks(const QString& text)
{
    QString result;
    for (const QChar c : text)
        if (!c.isSpace())
            result += c;
    return result;
}

bool requirePulse()
{
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    if (!requireProgram(u("pactl"), u("pulseaudio-utils")) ||
        !requireProgram(u("paplay"), u("pulseaudio-utils")) ||
        !requireProgram(u("espeak-ng"), u("espeak-ng")) || !requireProgram(u("sox"), u("sox")))
        return false;
    if (runProgram(u("pactl"), {u("info")}, 10000).isNull()) {
        ADD_FAILURE() << "No PulseAudio server answers (PULSE_SERVER=" << qgetenv("PULSE_SERVER").constData()
                      << "): scripts/test.sh starts one with a null sink and a remap source as default input";
        return false;
    }
    return true;
}

} // namespace quillan::test
