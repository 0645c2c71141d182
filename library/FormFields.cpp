#include "library/FormFields.h"

#include "library/InspectionDocuments.h"
#include "word/WordEngine.h"

#include <array>

namespace quillan::library {

namespace {

using record::FieldId;

// The record knows the work unit by name only, not its address: the
// address on the record (住址) is the interviewee's. The forms' places for
// the unit's address, its legal representative and the case's cause stay
// blank lines.
constexpr RecordSource kUnit{FieldId::WorkUnit};
constexpr RecordSource kPerson{FieldId::Name};
constexpr RecordSource kSex{FieldId::Sex};
constexpr RecordSource kAge{FieldId::Age};
constexpr RecordSource kIdNumber{FieldId::IdNumber};
constexpr RecordSource kPhone{FieldId::Telephone};
constexpr RecordSource kAddress{FieldId::Address};
constexpr RecordSource kUnitPosition{FieldId::WorkUnit, FieldId::Position, "\u3000"};
constexpr RecordSource kPlace{FieldId::Place, FieldId::CommonPlace};
constexpr RecordSource kYear{FieldId::StartYear};
constexpr RecordSource kMonth{FieldId::StartMonth};
constexpr RecordSource kDay{FieldId::StartDay};
constexpr RecordSource kHour{FieldId::StartHour};
constexpr RecordSource kMinute{FieldId::StartMinute};
constexpr RecordSource kEndHour{FieldId::EndHour};
constexpr RecordSource kEndMinute{FieldId::EndMinute};
constexpr RecordSource kInterviewer{FieldId::Interviewer};
constexpr RecordSource kRecorder{FieldId::Recorder};

// Form by form in catalogue order; a form without a row (实施劳动保障监察
// 委托书) has nothing the record knows. The collection holds the forms'
// places again, and those of the interview record's own form.
const std::array kTable{
    FormField{"ws2.doc", "Unit", kUnit}, // 被检查单位
    FormField{"ws2.doc", "Interviewer", kInterviewer},
    FormField{"ws2.doc", "Recorder", kRecorder},
    FormField{"ws3.doc", "Unit", kUnit}, // the addressee
    FormField{"ws3.doc", "Year", kYear}, // to come by the interview's date and hour
    FormField{"ws3.doc", "Month", kMonth},
    FormField{"ws3.doc", "Day", kDay},
    FormField{"ws3.doc", "Hour", kHour},
    FormField{"ws3.doc", "Place", kPlace},   // to the interview's place
    FormField{"ws4.doc", "Unit", kUnit},     // 被举报单位
    FormField{"ws5.doc", "Person", kPerson}, // 投诉人: the interviewee
    FormField{"ws5.doc", "Sex", kSex},
    FormField{"ws5.doc", "Age", kAge},
    FormField{"ws5.doc", "IdNumber", kIdNumber},
    FormField{"ws5.doc", "Phone", kPhone},
    FormField{"ws5.doc", "UnitPosition", kUnitPosition},
    FormField{"ws5.doc", "Address", kAddress},
    FormField{"ws5.doc", "Unit", kUnit},     // 被投诉单位
    FormField{"ws6.doc", "Person", kPerson}, // the complainant addressed
    FormField{"ws6.doc", "Unit", kUnit},     // 被投诉单位
    FormField{"ws7.doc", "Unit", kUnit},     // 当事人
    FormField{"ws8.doc", "Unit", kUnit},
    FormField{"ws9.doc", "Unit", kUnit},
    FormField{"ws10.doc", "Unit", kUnit},
    FormField{"ws11.doc", "Unit", kUnit},
    FormField{"ws12.doc", "Unit", kUnit}, // 陈述申辩人
    FormField{"ws13.doc", "Unit", kUnit},
    FormField{"ws14.doc", "Unit", kUnit}, // 被处理单位
    FormField{"ws15.doc", "Unit", kUnit},
    FormField{"ws16.doc", "Unit", kUnit}, // 受送达人
    FormField{"ws17.doc", "Unit", kUnit},
    FormField{"ws25.doc", "Unit", kUnit},
    FormField{"ws20.doc", "Unit", kUnit},
    FormField{"ws19.doc", "Unit", kUnit},
    FormField{"ws18.doc", "Unit", kUnit}, // 被监察单位
    FormField{"ws21.doc", "Unit", kUnit},
    FormField{"ws22.doc", "Unit", kUnit}, // 被申请人
    FormField{"ws23.doc", "Unit", kUnit},
    FormField{"ws24.doc", "Unit", kUnit},
    FormField{"ws26.doc", "Unit", kUnit},
    FormField{"ws27.doc", "Unit", kUnit},
    FormField{"ws27.doc", "Person", kPerson},
    FormField{"ws27.doc", "Sex", kSex},
    FormField{"ws27.doc", "Age", kAge},
    FormField{"ws27.doc", "IdNumber", kIdNumber},
    FormField{"ws27.doc", "Phone", kPhone},
    FormField{"ws27.doc", "UnitPosition", kUnitPosition},
    FormField{"ws27.doc", "Address", kAddress},
    FormField{"ws27.doc", "Interviewer", kInterviewer},
    FormField{"ws27.doc", "Recorder", kRecorder},
    FormField{"ws27.doc", "Year", kYear},
    FormField{"ws27.doc", "Month", kMonth},
    FormField{"ws27.doc", "Day", kDay},
    FormField{"ws27.doc", "Hour", kHour},
    FormField{"ws27.doc", "Minute", kMinute},
    FormField{"ws27.doc", "EndHour", kEndHour},
    FormField{"ws27.doc", "EndMinute", kEndMinute},
    FormField{"ws27.doc", "Place", kPlace},
};

} // namespace

QString RecordSource::text(const record::Record& record) const
{
    const QString& a = record[first];
    if (second == first)
        return a;
    const QString& b = record[second];
    if (a.isEmpty() || b.isEmpty())
        return a + b;
    return a + QString::fromUtf8(joiner) + b;
}

std::span<const FormField> formFields()
{
    return kTable;
}

std::vector<std::pair<QString, QString>> formValues(const InspectionDocument& document,
                                                    const record::Record& record)
{
    std::vector<std::pair<QString, QString>> values;
    if (record[FieldId::WorkUnit].trimmed().isEmpty() && record[FieldId::Name].trimmed().isEmpty())
        return values;
    for (const FormField& f : kTable) {
        if (qstrcmp(f.form, document.scratchName) != 0)
            continue;
        // Blanks around a field's text are dropped; a field of only blanks
        // leaves its place a blank line.
        const QString text = f.source.text(record).trimmed();
        if (!text.isEmpty())
            values.emplace_back(QString::fromUtf8(f.field), text);
    }
    return values;
}

int fillForm(word::WordEngine& engine, const std::vector<std::pair<QString, QString>>& values)
{
    int filled = 0;
    for (const auto& [field, text] : values) {
        for (int n = 1;; ++n) {
            const QString name = n == 1 ? field : field + QStringLiteral("_%1").arg(n);
            if (!engine.setFieldText(name, text))
                break;
            ++filled;
        }
    }
    return filled;
}

} // namespace quillan::library
