#pragma once

#include "exchange/ExchangeCommands.h"
#include "record/RecordView.h"
#include "settings/PhraseLists.h"

#include <functional>

class QMenu;

namespace quillan::app {

class MainWin;

// The record form of the main window: the record's fields, its phrase lists
// and the FTP panel's fields, read from and shown in their controls. With
// the layout table, the only code that knows which control holds which
// field.
class FormBinding final : public record::RecordView, public settings::PhraseTarget
{
public:
    explicit FormBinding(MainWin& window) : window_(window) {}

    record::Record read() const override;
    void show(const record::Record& record) override;
    void showField(record::FieldId id, const QString& text) override;
    void clearList(record::FieldId id) override;
    void insertAtTop(record::FieldId id, const QStringList& entries) override;
    QStringList listEntries(record::FieldId id) const override;

    // The FTP panel's four fields.
    exchange::ServerFields serverFields() const;

    // Tells `typed` the field of a question or answer line when the officer
    // changes its text for the first time after entering it (a key, a paste,
    // the input method); a line whose `typed` said false is told again at
    // its next change.
    void watchPairLines(std::function<bool(record::FieldId)> typed);
    // The context menu of each question and answer line: its standard edit
    // entries, a separator, then what `extend` adds for the pair's number.
    void extendPairLineMenus(const std::function<void(QMenu& menu, int number)>& extend);

private:
    MainWin& window_;
};

} // namespace quillan::app
