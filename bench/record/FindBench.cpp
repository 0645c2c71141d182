// Times the finder of "查找笔录..." over a records folder of 5,000 templates
// (GBK, all 24 pairs, about 1.8 KB each): reading them into the index with the
// files out of the operating system's cache, opening the dialog (offscreen,
// up to its first paint) the first time and again, and the filter on every
// keystroke of realistic filters typed character by character.
#include "app/FindRecordDialog.h"
#include "platform/Text.h"
#include "record/RecordFields.h"
#include "record/RecordIndex.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillan;

namespace {

QStringList words(const char* text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '));
}

const QStringList kUnits = words(
    "青山建筑工程公司 绿水饭店 红星机械厂 东方电子有限公司 长城物流公司 光明纺织厂 新华印刷厂 "
    "金龙食品有限公司 "
    "华夏保安服务公司 大地房地产开发公司 顺达运输公司 阳光幼儿园 恒通汽车修理厂 天元超市 北方钢材市场 "
    "宏远装饰公司 万家乐家政服务部 兴隆木器厂 永安煤矿 富民农业合作社 ABC贸易公司 中兴塑料制品厂 明珠大酒店 "
    "清河水泥厂 松花江服装厂");
const QStringList kSurnames = words("张 李 王 赵 钱 孙 周 吴 郑 冯 陈 刘 杨 黄 马 胡 林 郭 何 高");
const QStringList kGiven = words("三 四 五 六 七 八 九 十 明 红 军 华 丽 强 伟 芳 静 磊 洋 勇");
const QStringList kQuestions = words(
    "你的姓名？ 你在哪个单位工作？ 你什么时候开始在该单位工作？ 你从事什么工作？ 单位和你签订劳动合同了吗？ "
    "你每月工资是多少？ 单位按时发放工资吗？ 单位拖欠你多少工资？ 你每天工作几个小时？ 单位安排加班吗？ "
    "加班有加班费吗？ 单位为你缴纳社会保险了吗？ 你是怎样受伤的？ 受伤后单位送你去医院了吗？ "
    "医疗费是谁支付的？ 单位的负责人是谁？ 你还有什么要补充的吗？ 以上笔录你看过了吗？");
const QStringList kAnswers = words("我叫某某。 在工地砌墙。 去年三月开始。 没有签订劳动合同。 每月三千元。 "
                                   "已经拖欠两个月工资。 每天十个小时。 "
                                   "经常加班，没有加班费。 没有缴纳社会保险。 搬运钢材时砸伤了脚。 "
                                   "老板送我去了医院。 医疗费是我自己垫付的。 "
                                   "负责人姓王。 没有要补充的。 看过了，和我说的一样。");

QString pick(QRandomGenerator& r, const QStringList& list)
{
    return list[int(r.bounded(quint32(list.size())))];
}

// Writes `count` templates and pushes them out of the page cache.
void writeFolder(const QString& bl, int count)
{
    QDir().mkpath(bl);
    QRandomGenerator r(20121225);
    for (int i = 0; i < count; ++i) {
        const QString unit = pick(r, kUnits);
        const QString name = pick(r, kSurnames) + pick(r, kGiven);
        const int year = 2008 + int(r.bounded(5u));
        const int month = 1 + int(r.bounded(12u));
        const int day = 1 + int(r.bounded(28u));
        QStringList values;
        for (const char* v : {"",
                              "",
                              "",
                              "9",
                              "30",
                              "11",
                              "15",
                              "青山镇",
                              "劳动保障所",
                              "",
                              "男",
                              "河东县",
                              "柳树村",
                              "身份证",
                              "220102197805061234",
                              "32",
                              "",
                              "工人",
                              "初中",
                              "13804310000",
                              "河东县柳树村",
                              "李明",
                              "无",
                              "王红"})
            values << QString::fromUtf8(v);
        values[0] = QString::number(year);
        values[1] = QString::number(month);
        values[2] = QString::number(day);
        values[9] = name;
        values[16] = unit;
        for (int p = 0; p < record::kPairCount; ++p) {
            values << QStringLiteral("问：") + pick(r, kQuestions);
            values << QStringLiteral("答：") + pick(r, kAnswers);
        }
        values << QStringLiteral("工伤认定，单位拒绝赔偿，第%1号案件。").arg(i);
        QString text = QStringLiteral("[set]\r\n");
        const auto order = record::writeOrder();
        for (size_t k = 0; k < order.size(); ++k)
            text +=
                record::keyName(order[k]) + QLatin1Char('=') + values[qsizetype(k)] + QStringLiteral("\r\n");
        const QString path =
            bl +
            QStringLiteral("/%1.%2.%3-%4-%5-%6.ini").arg(year).arg(month).arg(day).arg(unit, name).arg(i);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(platform::encodeText(text)) < 0) {
            std::fprintf(stderr, "find_bench: cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
        f.flush();
        ::fdatasync(f.handle());
        ::posix_fadvise(f.handle(), 0, 0, POSIX_FADV_DONTNEED);
    }
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Processor time of the whole process (all threads, user and system), in ms.
double cpuMs()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

struct Figures
{
    double median = 0;
    double max = 0;
};

Figures figures(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? Figures{} : Figures{v[v.size() / 2], v.back()};
}

// Processor time of the calling thread, in ms: the work itself, whatever
// else the machine runs.
double threadCpuMs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    // A second argument names a folder to keep the templates in; when it
    // already holds them they are not written again (for profiling).
    QTemporaryDir dir;
    const QString bl = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("BL"));
    if (QDir(bl).entryList(QDir::Files).size() != count)
        writeFolder(bl, count);
    qint64 bytes = 0;
    for (const QFileInfo& i : QDir(bl).entryInfoList(QDir::Files))
        bytes += i.size();

    // First open: the index reads every file, then the dialog is built and
    // painted, as the menu entry does.
    record::RecordIndex index(bl);
    QElapsedTimer t;
    double cpu = cpuMs();
    t.start();
    const int read = index.refresh();
    const double build = ms(t);
    const double buildCpu = cpuMs() - cpu;
    auto* dialog = new app::FindRecordDialog(index, {});
    dialog->show();
    QApplication::processEvents();
    const double firstOpen = ms(t);
    delete dialog;

    // The same files from the cache, into a new index.
    double warm = 0;
    double warmCpu = 0;
    {
        record::RecordIndex again(bl);
        cpu = cpuMs();
        t.restart();
        again.refresh();
        warm = ms(t);
        warmCpu = cpuMs() - cpu;
    }

    // Again: only the folder is looked at.
    cpu = cpuMs();
    t.restart();
    index.refresh();
    const double rescan = ms(t);
    const double rescanCpu = cpuMs() - cpu;
    dialog = new app::FindRecordDialog(index, {});
    dialog->show();
    QApplication::processEvents();
    const double secondOpen = ms(t);

    // Typing: each keystroke filters and repaints the list.
    const char* const filters[] = {"青山建筑 张三", "拖欠 工资 2011", "abc贸易", "第4711号",
                                   "医疗费 自己垫付 王"};
    std::vector<double> key;   // index only
    std::vector<double> shown; // dialog: filter, model, count, repaint
    std::vector<double> keyCpu;
    std::vector<double> shownCpu;
    QStringList lasts;
    for (const char* f : filters) {
        const QString full = QString::fromUtf8(f);
        for (qsizetype n = 1; n <= full.size(); ++n) {
            const QString prefix = full.first(n);
            QElapsedTimer k;
            k.start();
            double c = threadCpuMs();
            (void)index.match(prefix);
            key.push_back(ms(k));
            keyCpu.push_back(threadCpuMs() - c);
            k.restart();
            c = threadCpuMs();
            dialog->filterField()->setText(prefix);
            QApplication::processEvents();
            shown.push_back(ms(k));
            shownCpu.push_back(threadCpuMs() - c);
        }
        lasts << dialog->countLabel()->text();
        // Backspace to empty, as an officer starting over.
        for (qsizetype n = full.size() - 1; n >= 0; --n) {
            QElapsedTimer k;
            k.start();
            const double c = threadCpuMs();
            dialog->filterField()->setText(full.first(n));
            QApplication::processEvents();
            shown.push_back(ms(k));
            shownCpu.push_back(threadCpuMs() - c);
        }
    }
    delete dialog;

    const Figures keyF = figures(key);
    const Figures shownF = figures(shown);
    std::printf("templates: %d (%.1f MB), read: %d, listed: %zu, skipped: %zu\n", count, double(bytes) / 1e6,
                read, index.records().size(), index.skipped().size());
    std::printf("index build, files not cached:   %8.1f ms (processor time %.1f ms)\n", build, buildCpu);
    std::printf("index build, files cached:       %8.1f ms (processor time %.1f ms)\n", warm, warmCpu);
    std::printf("first open (build + dialog):     %8.1f ms\n", firstOpen);
    std::printf("rescan, nothing changed:         %8.1f ms (processor time %.1f ms)\n", rescan, rescanCpu);
    std::printf("second open (rescan + dialog):   %8.1f ms\n", secondOpen);
    std::printf("filter per keystroke (index):    median %6.2f ms, max %6.2f ms over %zu keystrokes\n",
                keyF.median, keyF.max, key.size());
    std::printf("filter per keystroke (dialog):   median %6.2f ms, max %6.2f ms over %zu keystrokes\n",
                shownF.median, shownF.max, shown.size());
    const Figures keyC = figures(keyCpu);
    const Figures shownC = figures(shownCpu);
    std::printf("  processor time per keystroke:  index median %.2f ms, max %.2f ms; dialog median %.2f ms, "
                "max %.2f ms\n",
                keyC.median, keyC.max, shownC.median, shownC.max);
    for (int i = 0; i < lasts.size(); ++i)
        std::printf("  \"%s\": %s\n", filters[i], qPrintable(lasts[i]));
    return 0;
}
