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
    // an error status, a time-out, a body too large for a text file), and
    // lastError() then says why.
    virtual QByteArray get(const QString& address) = 0;
    // Why the last get failed, in words for the officer; empty when it
    // succeeded.
    virtual QString lastError() const = 0;
};

// A fetcher for tests: answers from a script and records the addresses.
class ScriptedWebFetcher final : public WebFetcher
{
public:
    QByteArray get(const QString& address) override
    {
        addresses << address;
        return error.isEmpty() ? body : QByteArray();
    }
    QString lastError() const override { return error; }
    QByteArray body;
    QString error; // when set, every get fails with it
    QStringList addresses;
};

} // namespace quillan::exchange
