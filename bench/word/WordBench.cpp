// Times the word engine on a record's worth of text (open the blank working
// document, type about 60 formatted Chinese paragraphs, save as .doc): cold
// (fresh profile), cold with an existing profile, warm (median of repeats),
// against LibreOffice's own `soffice --headless --convert-to doc` of the
// same content as a ready-made file.
#include "word/LibreOfficeEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan::word;

namespace {

const QString kSoffice = QStringLiteral("/usr/lib/libreoffice/program/soffice");

// 24 question/answer pairs with the heading lines: about 60 paragraphs.
void typeRecord(WordEngine& e)
{
    e.setAlignment(Alignment::Center);
    e.setFontSize(22);
    e.setBold(true);
    e.typeText(QStringLiteral("询问笔录\r\n"));
    e.setAlignment(Alignment::Left);
    e.setFontSize(14);
    e.setBold(false);
    const QStringList heads = {QStringLiteral("时间："),     QStringLiteral("地点："),
                               QStringLiteral("询问人："),   QStringLiteral("记录人："),
                               QStringLiteral("被询问人："), QStringLiteral("工作单位："),
                               QStringLiteral("联系电话："), QStringLiteral("身份证号码："),
                               QStringLiteral("住址："),     QStringLiteral("告知事项：")};
    for (const QString& h : heads) {
        e.typeText(h);
        e.setUnderline(true);
        e.typeText(QStringLiteral("某某劳动保障监察大队第三中队    "));
        e.setUnderline(false);
        e.typeText(QStringLiteral("\r\n"));
    }
    e.setFontSize(12);
    for (int i = 1; i <= 24; ++i) {
        e.setBold(true);
        e.typeText(QStringLiteral("问："));
        e.setBold(false);
        e.typeText(QStringLiteral("请说明用人单位第%1项拖欠工资、加班费及社会保险的具体情况？\r\n").arg(i));
        e.setBold(true);
        e.typeText(QStringLiteral("答："));
        e.setBold(false);
        e.typeText(
            QStringLiteral(
                "我于2023年%1月入职，每月工资四千五百元，单位已拖欠三个月工资，未签订书面劳动合同。\r\n")
                .arg(i % 12 + 1));
    }
    e.typeText(QStringLiteral("以上笔录我看过，与我说的相符。"));
}

double runRecord(LibreOfficeEngine& engine, const QString& blank, const QString& out, bool fresh)
{
    QElapsedTimer t;
    t.start();
    if (fresh) {
        engine.createApplication();
        engine.bindDocuments();
    }
    if (!engine.open(blank)) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(engine.lastError()));
        return -1;
    }
    typeRecord(engine);
    if (!engine.saveAs(out)) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(engine.lastError()));
        return -1;
    }
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    engine.closeDocument();
    return ms;
}

double convert(const QString& profile, const QString& input, const QString& outDir, const QString& format)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(
        kSoffice,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded),
         QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
         QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir, input});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int repeats = 5;
    QTemporaryDir dir;
    const QString blank = dir.filePath(QStringLiteral("Doc.doc"));
    if (!QFile::copy(QStringLiteral(QUILLAN_SOURCE_DIR "/assets/documents/Doc.doc"), blank)) {
        std::fprintf(stderr, "missing assets/documents/Doc.doc\n");
        return 1;
    }
    LibreOfficeOptions options;
    options.scratchDir = dir.filePath(QStringLiteral("scratch"));
    double cold = 0;
    double coldProfile = 0;
    std::vector<double> warm;
    {
        LibreOfficeEngine engine(options); // no profile yet: truly cold
        cold = runRecord(engine, blank, dir.filePath(QStringLiteral("cold.doc")), true);
    }
    {
        LibreOfficeEngine engine(options); // the profile of the first run exists
        coldProfile = runRecord(engine, blank, dir.filePath(QStringLiteral("cold2.doc")), true);
        for (int i = 0; i < repeats; ++i)
            warm.push_back(
                runRecord(engine, blank, dir.filePath(QStringLiteral("warm%1.doc").arg(i)), false));
    }
    // Baseline: the same content as a ready-made .odt, converted by soffice
    // with a private profile (made once beforehand, so it is not cold).
    const QString profile = dir.filePath(QStringLiteral("baseline-profile"));
    const QString odtDir = dir.filePath(QStringLiteral("odt"));
    QDir().mkpath(odtDir);
    convert(profile, dir.filePath(QStringLiteral("cold.doc")), odtDir, QStringLiteral("odt"));
    const QString odt = odtDir + QStringLiteral("/cold.odt");
    std::vector<double> baseline;
    for (int i = 0; i < 3; ++i)
        baseline.push_back(convert(profile, odt, dir.filePath(QStringLiteral("base%1").arg(i)),
                                   QStringLiteral("doc:MS Word 97")));
    const double base = median(baseline);
    const double warmMedian = median(warm);
    std::printf("record: open Doc.doc, type ~60 formatted Chinese paragraphs, save as .doc\n");
    std::printf("cold (fresh profile, LibreOffice not running): %8.0f ms   target < 4000 ms\n", cold);
    std::printf("cold with an existing profile:                 %8.0f ms\n", coldProfile);
    std::printf("warm (median of %d):                            %8.0f ms   runs:", repeats, warmMedian);
    for (double w : warm)
        std::printf(" %.0f", w);
    std::printf("\nbaseline soffice --convert-to doc (median of 3): %6.0f ms\n", base);
    std::printf("warm / baseline: %.2f   target <= 0.50\n", warmMedian / base);
    return cold < 0 || warmMedian < 0 || base < 0 ? 1 : 0;
}
