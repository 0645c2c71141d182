#pragma once

#include "exchange/CurlSession.h"
#include "exchange/WebFetcher.h"

namespace quillan::exchange {

// The web fetcher on libcurl: HTTP(S) GET through the desktop's proxy when
// the environment names one (http_proxy, https_proxy, no_proxy), with the
// user agent and the request headers of the Windows program, redirects
// followed (at most five, HTTP and HTTPS only), the whole request bounded by
// `limits.requestSeconds`. A status other than 2xx and a body above
// `maxBytes` count as failures.
class CurlWebFetcher final : public WebFetcher
{
public:
    explicit CurlWebFetcher(NetworkLimits limits = {}, qsizetype maxBytes = qsizetype(1) << 20);
    QByteArray get(const QString& address) override;
    QString lastError() const override { return error_; }

    void setKeepPainting(std::function<void()> f) { session_.keepPainting = std::move(f); }
    int lastResult() const { return lastResult_; }

    static const char* const kUserAgent;
    static const char* const kAccept;
    static const char* const kAcceptLanguage;

private:
    CurlSession session_;
    NetworkLimits limits_;
    qsizetype maxBytes_;
    int lastResult_ = 0;
    QString error_;
};

} // namespace quillan::exchange
