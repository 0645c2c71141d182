#pragma once

#include <QString>

#include <array>

namespace quillan::record {

inline constexpr int kPairCount = 24;

// The fields of a record, in the order the template file writes them: the
// header, the 24 question/answer pairs (question before answer) and the case
// note. Question n is `question(n)`, its answer `answer(n)`.
enum class FieldId : unsigned char {
    StartYear,
    StartMonth,
    StartDay,
    StartHour,
    StartMinute,
    EndHour,
    EndMinute,
    Place,
    CommonPlace,
    Name,
    Sex,
    Household,
    CommonHousehold,
    IdKind,
    IdNumber,
    Age,
    WorkUnit,
    Position,
    Education,
    Telephone,
    Address,
    Interviewer,
    OtherParticipants,
    Recorder,
    FirstQuestion,
    CaseNote = FirstQuestion + 2 * kPairCount,
};

inline constexpr int kFieldCount = int(FieldId::CaseNote) + 1;
inline constexpr int kHeaderCount = int(FieldId::FirstQuestion);

// The question and the answer of pair `number` (1 ... 24).
constexpr FieldId question(int number)
{
    return FieldId(int(FieldId::FirstQuestion) + 2 * (number - 1));
}
constexpr FieldId answer(int number)
{
    return FieldId(int(FieldId::FirstQuestion) + 2 * (number - 1) + 1);
}

// One interview record as the officer typed it: every field's text exactly
// (the case note with its CR LF line ends), nothing of the window.
class Record
{
public:
    const QString& operator[](FieldId id) const { return values_[size_t(id)]; }
    QString& operator[](FieldId id) { return values_[size_t(id)]; }

    bool operator==(const Record&) const = default;

    // year + "." + month + "." + day + "-" + work unit + "-" + name, from the
    // fields exactly as they stand: the name of the record's files.
    QString baseName() const;
    // Whether questions and answers 13 ... 24 all hold text.
    bool lastPairsFull() const;

private:
    std::array<QString, kFieldCount> values_;
};

} // namespace quillan::record
