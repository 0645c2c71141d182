#pragma once

#include <QString>

#include <curl/curl.h>

#include <chrono>
#include <functional>

namespace quillan::exchange {

// Bounds of every network step, in seconds.
struct NetworkLimits
{
    int connectSeconds = 15;                    // connect and log in; each answer of the server
    int stallSeconds = 30;                      // a transfer without progress
    int requestSeconds = 15;                    // a whole HTTP request
    int transferSeconds = 120;                  // a whole FTP transfer, however slowly it moves
    qint64 maxDownloadBytes = qint64(16) << 20; // a template is far smaller
};

// One libcurl transfer handle and the connections it keeps open between
// transfers. A transfer runs on the calling thread; while it waits for the
// network, `keepPainting` is called about every 50 ms (the program lets its
// windows paint there, taking no input).
class CurlSession
{
public:
    CurlSession() = default;
    ~CurlSession();
    CurlSession(const CurlSession&) = delete;
    CurlSession& operator=(const CurlSession&) = delete;

    // How a transfer reaches its server.
    enum class Route {
        Direct,       // a direct connection, whatever the environment says
        DesktopProxy, // through the proxy the desktop's variables name, if any
    };
    // The handle, reset to libcurl's defaults plus: no signals, the route,
    // and the transfer given up (CURLE_ABORTED_BY_CALLBACK) when no byte has
    // moved for `stallSeconds` (0: never). Connections stay open.
    CURL* prepare(int stallSeconds = 0, Route route = Route::Direct);
    // Runs the transfer set up on the handle.
    CURLcode perform();
    // Closes every connection (an FTP connection says QUIT).
    void close();

    std::function<void()> keepPainting;

private:
    static int progress(void* session, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded);

    std::chrono::milliseconds stallLimit_{0};
    curl_off_t lastBytes_ = 0;
    std::chrono::steady_clock::time_point lastChange_;
    CURLM* multi_ = nullptr;
    CURL* easy_ = nullptr;
};

// A libcurl failure in words for the officer.
QString describeCurlError(CURLcode code);

} // namespace quillan::exchange
