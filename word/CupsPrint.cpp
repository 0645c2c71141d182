#include "word/CupsPrint.h"

#include <QFile>

#include <cups/cups.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

namespace quillan::word {

namespace {

// How long the print system may take: to accept the connection, and to
// answer one request. Waits are bounded, so an unreachable or stalled print
// server is told as a failed print instead of freezing the window.
constexpr int kConnectMs = 5000;
constexpr int kAnswerMs = 15000;

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

// One connection to the print server, each answer awaited until a deadline;
// the window keeps painting meanwhile.
class Connection
{
public:
    explicit Connection(const std::function<void(int)>& pause) : pause_(pause)
    {
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs,
                             nullptr);
        if (!http_) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        // Asked ten times a second while an answer is awaited: the window
        // is painted in between.
        httpSetTimeout(http_, 0.1, &Connection::keepWaiting, this);
    }
    ~Connection()
    {
        if (http_)
            httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }
    // Starts the time of the next request.
    http_t* request()
    {
        timedOut_ = false;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerMs);
        return http_;
    }
    // Why the connection or the last request failed.
    QString error() const
    {
        if (!http_)
            return error_;
        if (timedOut_)
            return QStringLiteral("超过 %1 秒没有应答").arg(kAnswerMs / 1000);
        return lastCupsError();
    }

private:
    static int keepWaiting(http_t*, void* data)
    {
        auto* self = static_cast<Connection*>(data);
        if (std::chrono::steady_clock::now() >= self->deadline_) {
            self->timedOut_ = true;
            return 0;
        }
        if (self->pause_)
            self->pause_(1);
        return 1;
    }

    const std::function<void(int)>& pause_;
    http_t* http_ = nullptr;
    QString error_;
    std::chrono::steady_clock::time_point deadline_;
    bool timedOut_ = false;
};

// The state of our own job, nothing about anybody else's; nothing when the
// print system does not answer.
std::optional<ipp_jstate_t> jobState(Connection& connection, int jobId)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", jobId);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "job-state");
    ipp_t* response = cupsDoRequest(connection.request(), request, "/");
    std::optional<ipp_jstate_t> state;
    if (response && cupsLastError() <= IPP_STATUS_OK_CONFLICTING) {
        if (ipp_attribute_t* attribute = ippFindAttribute(response, "job-state", IPP_TAG_ENUM))
            state = static_cast<ipp_jstate_t>(ippGetInteger(attribute, 0));
    }
    ippDelete(response);
    return state;
}

} // namespace

PrintResult printPdfWithCups(const QString& pdfPath, const QString& title, int waitMs,
                             const std::function<void(int)>& pause)
{
    Connection connection(pause);
    const QString server = QString::fromUtf8(cupsServer());
    const auto noPrinter = [&server](const QString& reason) {
        return failure(
            PrintResult::Status::NoPrinter,
            QStringLiteral("没有设置默认打印机（无法连接打印系统 %1：%2）。请先设置打印机，再重新打印。")
                .arg(server, reason));
    };
    if (!connection.get())
        return noPrinter(connection.error());

    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(connection.request(), &dests);
    cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests);
    if (!dest) {
        const bool unanswered = count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE;
        cupsFreeDests(count, dests);
        if (unanswered)
            return noPrinter(connection.error());
        return failure(PrintResult::Status::NoPrinter,
                       QStringLiteral("没有设置默认打印机。请先设置打印机，再重新打印。"));
    }
    const QByteArray printer = dest->name;
    // A stopped (disabled) printer would hold the job unprinted: nothing is
    // sent, and the officer is told at once instead of after the wait.
    if (const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
        state && QByteArray(state) == QByteArray::number(int(IPP_PSTATE_STOPPED))) {
        const char* message = cupsGetOption("printer-state-message", dest->num_options, dest->options);
        const QString why =
            message && *message ? QStringLiteral("（%1）").arg(QString::fromUtf8(message)) : QString();
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

    const int jobId =
        cupsPrintFile2(connection.request(), printer.constData(), QFile::encodeName(pdfPath).constData(),
                       title.toUtf8().constData(), optionCount, options);
    cupsFreeOptions(optionCount, options);
    if (jobId == 0)
        return failure(PrintResult::Status::Refused,
                       QStringLiteral("打印机 %1 拒绝了这份文件：%2")
                           .arg(QString::fromUtf8(printer), connection.error()));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const std::optional<ipp_jstate_t> state = jobState(connection, jobId);
        if (!state)
            return failure(
                PrintResult::Status::Failed,
                QStringLiteral(
                    "打印任务 %1 已经发送到打印机 %2，但打印系统不再应答（%3），无法确认是否打印。")
                    .arg(jobId)
                    .arg(QString::fromUtf8(printer), connection.error()),
                jobId);
        switch (*state) {
        case IPP_JSTATE_COMPLETED: {
            PrintResult r;
            r.status = PrintResult::Status::Completed;
            r.jobId = jobId;
            return r;
        }
        case IPP_JSTATE_ABORTED:
            return failure(
                PrintResult::Status::Failed,
                QStringLiteral("打印机 %1 中止了打印任务 %2。").arg(QString::fromUtf8(printer)).arg(jobId),
                jobId);
        case IPP_JSTATE_CANCELED:
            return failure(PrintResult::Status::Cancelled,
                           QStringLiteral("打印机 %2 上的打印任务 %1 已经被取消。")
                               .arg(jobId)
                               .arg(QString::fromUtf8(printer)),
                           jobId);
        case IPP_JSTATE_STOPPED:
            return failure(
                PrintResult::Status::Failed,
                QStringLiteral("打印机 %1 停止了打印任务 %2。").arg(QString::fromUtf8(printer)).arg(jobId),
                jobId);
        default:
            break;
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
