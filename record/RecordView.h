#pragma once

#include "record/Record.h"

#include <QString>
#include <QStringList>

namespace quillan::record {

// The form the officer types the record into, as the record commands see
// it: the record as a value, and the phrase lists of its combo boxes. The
// main window's binding implements it; tests use a plain record.
class RecordView
{
public:
    virtual ~RecordView() = default;

    // The record as the form holds it now.
    virtual Record read() const = 0;
    // Shows every field of `record`, in the order opening a template sets
    // them.
    virtual void show(const Record& record) = 0;
    // Shows one field; the others stay as they are.
    virtual void showField(FieldId id, const QString& text) = 0;

    // Removes every list entry of a combo-box field; its text stays.
    virtual void clearList(FieldId id) = 0;
    // Inserts `entries` at the top of a combo-box field's list, in this
    // order, without changing its text.
    virtual void insertAtTop(FieldId id, const QStringList& entries) = 0;
    // The list entries of a combo-box field, in order.
    virtual QStringList listEntries(FieldId id) const = 0;
};

} // namespace quillan::record
