#include "record/Record.h"

namespace quillan::record {

QString Record::baseName() const
{
    const Record& r = *this;
    return r[FieldId::StartYear] + QLatin1Char('.') + r[FieldId::StartMonth] + QLatin1Char('.') +
           r[FieldId::StartDay] + QLatin1Char('-') + r[FieldId::WorkUnit] + QLatin1Char('-') +
           r[FieldId::Name];
}

bool Record::lastPairsFull() const
{
    for (int n = 13; n <= kPairCount; ++n)
        if ((*this)[question(n)].isEmpty() || (*this)[answer(n)].isEmpty())
            return false;
    return true;
}

} // namespace quillan::record
