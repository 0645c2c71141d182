#include "exchange/CurlSession.h"

#include <mutex>

namespace quillan::exchange {

QString describeCurlError(CURLcode code)
{
    switch (code) {
    case CURLE_OK:
        return QString();
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("找不到服务器");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("连接不上服务器");
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_ABORTED_BY_CALLBACK:
        return QStringLiteral("服务器没有在限定的时间内应答");
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return QStringLiteral("地址不是 HTTP 或 HTTPS 地址");
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
        return QStringLiteral("无法建立加密连接");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("连接中断");
    default:
        return QString::fromUtf8(curl_easy_strerror(code));
    }
}

CurlSession::~CurlSession()
{
    close();
}

int CurlSession::progress(void* data, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto* self = static_cast<CurlSession*>(data);
    const auto now = std::chrono::steady_clock::now();
    const curl_off_t bytes = downloaded + uploaded;
    if (bytes != self->lastBytes_) {
        self->lastBytes_ = bytes;
        self->lastChange_ = now;
        return 0;
    }
    return self->stallLimit_.count() > 0 && now - self->lastChange_ >= self->stallLimit_ ? 1 : 0;
}

CURL* CurlSession::prepare(int stallSeconds, Route route)
{
    static std::once_flag global;
    std::call_once(global, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    if (!multi_)
        multi_ = curl_multi_init();
    if (!easy_)
        easy_ = curl_easy_init();
    if (!multi_ || !easy_)
        return nullptr;
    curl_easy_reset(easy_);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    // libcurl itself reads http_proxy, https_proxy and no_proxy.
    if (route == Route::Direct)
        curl_easy_setopt(easy_, CURLOPT_PROXY, "");
    // libcurl's own low-speed check averages over several seconds; this
    // one counts from the last byte that moved.
    stallLimit_ = std::chrono::seconds(stallSeconds);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlSession::progress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    return easy_;
}

CURLcode CurlSession::perform()
{
    if (!multi_ || !easy_)
        return CURLE_FAILED_INIT;
    lastBytes_ = 0;
    lastChange_ = std::chrono::steady_clock::now();
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK)
        return CURLE_FAILED_INIT;
    CURLcode result = CURLE_FAILED_INIT;
    int running = 1;
    while (running > 0) {
        if (curl_multi_perform(multi_, &running) != CURLM_OK)
            break;
        if (running == 0)
            break;
        if (curl_multi_poll(multi_, nullptr, 0, 50, nullptr) != CURLM_OK)
            break;
        if (keepPainting)
            keepPainting();
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_)
            result = msg->data.result;
    }
    curl_multi_remove_handle(multi_, easy_);
    return result;
}

void CurlSession::close()
{
    // An FTP connection says QUIT when it closes and waits for the answer
    // as long as the last transfer allowed; a server that stopped answering
    // gets one second. (Adding a handle to the pool hands its time-outs to
    // the pool's closing handle.)
    if (multi_ && easy_) {
        curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, 1L);
        curl_easy_setopt(easy_, CURLOPT_TIMEOUT, 1L);
        if (curl_multi_add_handle(multi_, easy_) == CURLM_OK)
            curl_multi_remove_handle(multi_, easy_);
    }
    // The transfer handle first, then the pool that holds the connections.
    if (easy_)
        curl_easy_cleanup(easy_);
    if (multi_)
        curl_multi_cleanup(multi_);
    easy_ = nullptr;
    multi_ = nullptr;
}

} // namespace quillan::exchange
