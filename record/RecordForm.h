#pragma once

#include "settings/PhraseLists.h"

#include <QString>
#include <QStringList>

namespace quillan::record {

// The record as the commands see it: the controls of the main window,
// addressed by unit name. The window implements it; tests use a plain map.
class RecordForm : public settings::PhraseTarget
{
public:
    // The text a field holds: an edit box's content, a combo box's text (not
    // a list index), the whole case note with CR LF line ends. Hidden shared
    // fields ("编辑框19", "编辑框24", "编辑框32", ...) are fields too.
    virtual QString fieldText(const QString& unit) const = 0;
    virtual void setFieldText(const QString& unit, const QString& text) = 0;

    // Removes every list entry of a combo box; its text stays.
    virtual void clearList(const QString& unit) = 0;
    // The list entries of a combo box, in order.
    virtual QStringList listEntries(const QString& unit) const = 0;

    // The status message ("编辑框25"), shown at the head of the status bar by
    // the clock, and part 0 of the status bar, which the clock replaces within
    // a second.
    virtual QString statusMessage() const = 0;
    virtual void setStatusMessage(const QString& text) = 0;
    virtual void setStatusPart0(const QString& text) = 0;

    // Shows the busy cursor while the word processor works.
    virtual void setBusy(bool busy) = 0;
};

} // namespace quillan::record
