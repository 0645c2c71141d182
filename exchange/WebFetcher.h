#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillan::exchange {

// The web fetcher service: one HTTP GET of an absolute address, on the
// user-interface thread, bounded by a time-out.
class WebFetcher
{
public:
    virtual ~WebFetcher() = default;
    // The response body, read to its end; empty on any failure (no server,
    // an error status, a time-out, a body too large for a text file).
    virtual QByteArray get(const QString& address) = 0;
};

// A fetcher for tests: answers from a script and records the addresses.
class ScriptedWebFetcher final : public WebFetcher
{
public:
    QByteArray get(const QString& address) override
    {
        addresses << address;
        return body;
    }
    QByteArray body;
    QStringList addresses;
};

} // namespace quillan::exchange
