#include "word/CupsPrint.h"

#include <QFile>

#include <cups/cups.h>

#include <chrono>
#include <thread>

namespace quillan::word {

namespace {

QString lastCupsError()
{
    const char* text = cupsLastErrorString();
    return text ? QString::fromUtf8(text) : QString();
}

PrintResult failure(PrintResult::Status status, const QString& detail, int jobId = 0)
{
    PrintResult r;
    r.status = status;
    r.detail = detail;
    r.jobId = jobId;
    return r;
}

} // namespace

PrintResult printPdfWithCups(const QString& pdfPath, const QString& title, int waitMs,
                             const std::function<void(int)>& pause)
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    if (!dest) {
        const QString why = count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE
            ? QStringLiteral("（无法连接打印系统 %1：%2）")
                  .arg(QString::fromUtf8(cupsServer()), lastCupsError())
            : QString();
        cupsFreeDests(count, dests);
        return failure(PrintResult::Status::NoPrinter,
                       QStringLiteral("没有设置默认打印机%1。请先设置打印机，再重新打印。").arg(why));
    }
    const QByteArray printer = dest->name;
    // A stopped (disabled) printer would hold the job unprinted: nothing is
    // sent, and the officer is told at once instead of after the wait.
    if (const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
        state && QByteArray(state) == QByteArray::number(int(IPP_PSTATE_STOPPED))) {
        const char* message = cupsGetOption("printer-state-message", dest->num_options, dest->options);
        const QString why = message && *message ? QStringLiteral("（%1）").arg(QString::fromUtf8(message)) : QString();
        cupsFreeDests(count, dests);
        return failure(PrintResult::Status::Refused,
                       QStringLiteral("打印机 %1 已停用%2，没有打印。请启用打印机后重新打印。")
                           .arg(QString::fromUtf8(printer), why));
    }
    cups_option_t* options = nullptr;
    int optionCount = 0;
    optionCount = cupsAddOption("copies", "1", optionCount, &options);
    optionCount = cupsAddOption("media", "A4", optionCount, &options);
    optionCount = cupsAddOption("document-format", "application/pdf", optionCount, &options);
    cupsFreeDests(count, dests);

    const int jobId = cupsPrintFile(printer.constData(), QFile::encodeName(pdfPath).constData(),
                                    title.toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (jobId == 0)
        return failure(PrintResult::Status::Refused,
                       QStringLiteral("打印机 %1 拒绝了这份文件：%2")
                           .arg(QString::fromUtf8(printer), lastCupsError()));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        cups_job_t* jobs = nullptr;
        const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.constData(), 0, CUPS_WHICHJOBS_ALL);
        ipp_jstate_t state = IPP_JSTATE_PENDING;
        bool found = false;
        for (int i = 0; i < n; ++i) {
            if (jobs[i].id == jobId) {
                state = jobs[i].state;
                found = true;
            }
        }
        cupsFreeJobs(n, jobs);
        if (found) {
            switch (state) {
            case IPP_JSTATE_COMPLETED: {
                PrintResult r;
                r.status = PrintResult::Status::Completed;
                r.jobId = jobId;
                return r;
            }
            case IPP_JSTATE_ABORTED:
                return failure(PrintResult::Status::Failed,
                               QStringLiteral("打印机 %1 中止了打印任务 %2。").arg(QString::fromUtf8(printer)).arg(jobId),
                               jobId);
            case IPP_JSTATE_CANCELED:
                return failure(PrintResult::Status::Cancelled,
                               QStringLiteral("打印机 %2 上的打印任务 %1 已经被取消。").arg(jobId).arg(QString::fromUtf8(printer)),
                               jobId);
            case IPP_JSTATE_STOPPED:
                return failure(PrintResult::Status::Failed,
                               QStringLiteral("打印机 %1 停止了打印任务 %2。").arg(QString::fromUtf8(printer)).arg(jobId),
                               jobId);
            default:
                break;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) {
            PrintResult r;
            r.status = PrintResult::Status::Sent;
            r.jobId = jobId;
            r.detail = QStringLiteral("打印任务 %1 已经发送到打印机 %2，正在等待打印。")
                           .arg(jobId)
                           .arg(QString::fromUtf8(printer));
            return r;
        }
        // The local print service answers in well under a millisecond; a
        // short pause finds a finished job soon.
        constexpr int kPollMs = 40;
        if (pause)
            pause(kPollMs);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

} // namespace quillan::word
