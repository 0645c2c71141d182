#pragma once

#include <QByteArray>
#include <QString>

namespace quillan::exchange {

// The web fetcher service: one HTTP GET of an absolute address, on the
// user-interface thread, bounded by a time-out.
class WebFetcher
{
public:
    virtual ~WebFetcher() = default;
    // The response body, read to its end; empty on any failure (no server,
    // an error status, a time-out, a body too large for a text file), and
    // lastError() then says why.
    virtual QByteArray get(const QString& address) = 0;
    // Why the last get failed, in words for the officer; empty when it
    // succeeded.
    virtual QString lastError() const = 0;
};

} // namespace quillan::exchange
