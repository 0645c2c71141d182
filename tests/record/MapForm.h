#pragma once

#include "platform/SessionState.h"
#include "platform/StatusPort.h"
#include "record/RecordFields.h"
#include "record/RecordView.h"
#include "settings/PhraseLists.h"

#include <QHash>
#include <QStringList>

namespace quillan::test {

// The record form as plain values: field texts and combo-box lists by the
// unit name of their control (as the tests read the window), the status
// texts, the busy calls and the session.
class MapForm final : public record::RecordView, public platform::StatusPort, public settings::PhraseTarget
{
public:
    record::Record read() const override
    {
        record::Record r;
        for (const record::Field& f : record::writeOrder())
            r[f.id] = fields.value(record::unitName(f));
        return r;
    }
    void show(const record::Record& r) override
    {
        for (const record::Field& f : record::readOrder())
            fields[record::unitName(f)] = r[f.id];
    }
    void showField(record::FieldId id, const QString& text) override { fields[record::unitName(id)] = text; }
    void clearList(record::FieldId id) override { lists[record::unitName(id)].clear(); }
    QStringList listEntries(record::FieldId id) const override { return lists.value(record::unitName(id)); }
    void insertAtTop(record::FieldId id, const QStringList& entries) override
    {
        lists[record::unitName(id)] = entries + lists.value(record::unitName(id));
    }
    // The record the form holds.
    operator record::Record() const { return read(); }
    QString fieldText(const QString& unit) const { return fields.value(unit); }

    QString statusMessage() const override { return status; }
    void setStatusMessage(const QString& text) override { status = text; }
    void setStatusPart0(const QString& text) override { part0 = text; }
    void setBusy(bool on) override { busyCalls << on; }

    // A field by its control's unit name; a name that holds no field of the
    // record ends the test program.
    void set(const char* unit, const QString& text) { fields[checked(unit)] = text; }
    QString get(const char* unit) const { return fields.value(checked(unit)); }

    QHash<QString, QString> fields;
    QHash<QString, QStringList> lists;
    QString status;
    QString part0;
    QList<bool> busyCalls;
    platform::SessionState session;

private:
    static QString checked(const char* unit)
    {
        const QString name = QString::fromUtf8(unit);
        if (!record::fieldOfUnit(name))
            qFatal("no field of the record is held by %s", unit);
        return name;
    }
};

} // namespace quillan::test
