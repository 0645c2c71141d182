#pragma once

#include "exchange/WebFetcher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillan::exchange {

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
