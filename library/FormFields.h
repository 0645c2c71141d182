#pragma once

#include "record/Record.h"

#include <QString>

#include <span>
#include <utility>
#include <vector>

namespace quillan::word {
class WordEngine;
}

namespace quillan::library {

struct InspectionDocument;

// What fills a named place of a form: one record field, or two shown one
// after the other (the place in two parts, the work unit and the position).
struct RecordSource
{
    record::FieldId first;
    record::FieldId second = first;
    const char* joiner = ""; // between the two, when both hold text

    QString text(const record::Record& record) const;
};

// One named place of a form: a bookmark in the form's document, named
// `field`; a form that has the place more than once numbers the others
// (`field`_2, `field`_3 ...), and the record fills them all alike.
struct FormField
{
    const char* form;  // the form's scratch name ("ws3.doc")
    const char* field; // the bookmark's name ("Unit")
    RecordSource source;
};

// The table of every form's named places, form by form in catalogue order.
std::span<const FormField> formFields();

// The places of `document` the record has text for, in table order: the
// bookmark's name and its text. Empty when the form has no named place, the
// record holds nothing for them, or the record names neither a work unit
// nor an interviewee (the date, place and officers the window fills in at
// start make no record yet); then the form stays blank.
std::vector<std::pair<QString, QString>> formValues(const InspectionDocument& document,
                                                    const record::Record& record);

// Fills the document open in `engine` with `values`: every numbered
// occurrence of each place. The number of places filled.
int fillForm(word::WordEngine& engine, const std::vector<std::pair<QString, QString>>& values);

} // namespace quillan::library
