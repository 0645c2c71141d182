#include "exchange/CurlSession.h"

#include <mutex>

namespace quillan::exchange {

CurlSession::~CurlSession() { close(); }

CURL* CurlSession::prepare()
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
    // A direct connection: no proxy, whatever the environment says.
    curl_easy_setopt(easy_, CURLOPT_PROXY, "");
    return easy_;
}

CURLcode CurlSession::perform()
{
    if (!multi_ || !easy_)
        return CURLE_FAILED_INIT;
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
    // The transfer handle first, then the pool that holds the connections.
    if (easy_)
        curl_easy_cleanup(easy_);
    if (multi_)
        curl_multi_cleanup(multi_);
    easy_ = nullptr;
    multi_ = nullptr;
}

} // namespace quillan::exchange
