#pragma once

#include "record/Record.h"

#include <QString>

#include <span>

namespace quillan::record {

// One field of the record: its key in the template file and the control of
// the main window that holds it.
struct Field
{
    FieldId id;
    const char* key;  // template key, e.g. "num16"
    const char* unit; // objectName of the control, e.g. "编辑框14"
    const char* meaning;
};

// One question/answer line pair.
struct Pair
{
    int number; // 1 ... 24
    Field question;
    Field answer;
    int page; // 1 ... 4
};

// The field `id`.
const Field& field(FieldId id);

// The header fields in the order the template file writes them.
std::span<const Field> headerFields();
// The 24 pairs, in order.
std::span<const Pair> pairs();
const Pair& pair(int number);
// The case note.
const Field& caseNote();

// Every field in the order of writing: header, pairs (question before
// answer), case note; the position of a field is its id.
std::span<const Field> writeOrder();
// Every field in the order "open template" sets them.
std::span<const Field> readOrder();

// The field held by `unit`, or nullptr.
const Field* fieldOfUnit(const QString& unit);

inline QString unitName(const Field& f)
{
    return QString::fromUtf8(f.unit);
}
inline QString unitName(FieldId id)
{
    return unitName(field(id));
}
inline QString keyName(const Field& f)
{
    return QString::fromUtf8(f.key);
}

} // namespace quillan::record
