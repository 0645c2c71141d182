#pragma once

#include "record/Record.h"
#include "settings/Settings.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quillan::settings {

// The entries the phrase lists put in front of a combo box's list.
struct PhraseList
{
    record::FieldId field; // the record's combo-box field
    QStringList entries;   // in list order, to go before the entries already there
};

// Reads every phrase of Set.ini, in the order the lists are filled: places,
// household places, the three official roles, then for each line pair its
// questions and answers. Places and names keep empty values as empty
// entries; empty questions and answers are left out.
std::vector<PhraseList> readPhraseLists(const Settings& settings);

// Where the lists go: the record's combo-box fields.
class PhraseTarget
{
public:
    virtual ~PhraseTarget() = default;
    // Inserts `entries` at the top of the list of `field`, in this order,
    // before the entries already there, without changing the box's text.
    virtual void insertAtTop(record::FieldId field, const QStringList& entries) = 0;
};

// Fills the lists of the record's combo boxes from Set.ini.
void loadPhraseLists(const Settings& settings, PhraseTarget& target);

} // namespace quillan::settings
