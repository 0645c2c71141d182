#include "exchange/CurlWebFetcher.h"

#include <memory>

namespace quillan::exchange {

const char* const CurlWebFetcher::kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
const char* const CurlWebFetcher::kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
const char* const CurlWebFetcher::kAcceptLanguage = "Accept-Language: zh-cn";

namespace {

struct Body
{
    QByteArray bytes;
    qsizetype max = 0;
};

size_t collect(char* data, size_t size, size_t count, void* target)
{
    auto* body = static_cast<Body*>(target);
    const size_t n = size * count;
    if (body->bytes.size() + qsizetype(n) > body->max) {
        body->bytes.append(data, qMin(qsizetype(n), body->max - body->bytes.size()));
        return 0; // too large for a version file: give up
    }
    body->bytes.append(data, qsizetype(n));
    return n;
}

} // namespace

CurlWebFetcher::CurlWebFetcher(NetworkLimits limits, qsizetype maxBytes)
    : limits_(limits), maxBytes_(maxBytes)
{
}

QByteArray CurlWebFetcher::get(const QString& address)
{
    lastResult_ = CURLE_FAILED_INIT;
    error_ = describeCurlError(CURLE_FAILED_INIT);
    CURL* e = session_.prepare(0, CurlSession::Route::DesktopProxy);
    if (!e)
        return {};
    const QByteArray url = address.toUtf8();
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
    const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
        curl_slist_append(curl_slist_append(nullptr, kAccept), kAcceptLanguage), &curl_slist_free_all);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, long(limits_.connectSeconds));
    curl_easy_setopt(e, CURLOPT_TIMEOUT, long(limits_.requestSeconds));
    Body body;
    body.max = maxBytes_;
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &collect);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);
    lastResult_ = session_.perform();
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    // The handle must not keep pointers to this call's data.
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, nullptr);
    if (lastResult_ == CURLE_WRITE_ERROR && body.bytes.size() >= body.max) {
        error_ = QStringLiteral("回答超过 %1 字节，不是版本文件").arg(body.max);
        return {};
    }
    if (lastResult_ != CURLE_OK) {
        error_ = describeCurlError(CURLcode(lastResult_));
        return {};
    }
    if (status < 200 || status > 299) {
        error_ = QStringLiteral("服务器回答 HTTP %1").arg(status);
        return {};
    }
    error_.clear();
    return body.bytes;
}

} // namespace quillan::exchange
