#pragma once

#include "record/RecordForm.h"

#include <QHash>
#include <QStringList>

namespace quillan::test {

// The record form as plain values: field texts and combo-box lists by unit
// name, the status texts and the busy calls.
class MapForm final : public record::RecordForm
{
public:
    QString fieldText(const QString& unit) const override { return fields.value(unit); }
    void setFieldText(const QString& unit, const QString& text) override { fields[unit] = text; }
    void clearList(const QString& unit) override { lists[unit].clear(); }
    QStringList listEntries(const QString& unit) const override { return lists.value(unit); }
    void insertAtTop(const QString& unit, const QStringList& entries) override
    {
        lists[unit] = entries + lists.value(unit);
    }
    QString statusMessage() const override { return status; }
    void setStatusMessage(const QString& text) override { status = text; }
    void setStatusPart0(const QString& text) override { part0 = text; }
    void setBusy(bool on) override { busyCalls << on; }

    void set(const char* unit, const QString& text) { fields[QString::fromUtf8(unit)] = text; }
    QString get(const char* unit) const { return fields.value(QString::fromUtf8(unit)); }

    QHash<QString, QString> fields;
    QHash<QString, QStringList> lists;
    QString status;
    QString part0;
    QList<bool> busyCalls;
};

} // namespace quillan::test
