#include "app/FormBinding.h"

#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "record/RecordFields.h"

namespace quillan::app {

using record::FieldId;
using record::Record;

Record FormBinding::read() const
{
    Record record;
    for (const record::Field& f : record::writeOrder())
        record[f.id] = window_.fieldText(record::unitName(f));
    return record;
}

void FormBinding::show(const Record& record)
{
    for (const record::Field& f : record::readOrder())
        window_.setFieldText(record::unitName(f), record[f.id]);
}

void FormBinding::showField(FieldId id, const QString& text)
{
    window_.setFieldText(record::unitName(id), text);
}

void FormBinding::clearList(FieldId id)
{
    window_.clearList(record::unitName(id));
}

void FormBinding::insertAtTop(FieldId id, const QStringList& entries)
{
    window_.insertAtTop(record::unitName(id), entries);
}

QStringList FormBinding::listEntries(FieldId id) const
{
    return window_.listEntries(record::unitName(id));
}

exchange::ServerFields FormBinding::serverFields() const
{
    const auto text = [this](const char* unit) { return window_.fieldText(QString::fromUtf8(unit)); };
    return {text(unit::kFtpAddress), text(unit::kFtpAccount), text(unit::kFtpPassword),
            text(unit::kFtpFileName)};
}

} // namespace quillan::app
