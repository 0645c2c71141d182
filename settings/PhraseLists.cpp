#include "settings/PhraseLists.h"

#include "record/Record.h"

namespace quillan::settings {

namespace {

QStringList readRange(const Settings& s, const QString& section, const QString& keyStem, int count,
                      bool keepEmpty)
{
    QStringList out;
    out.reserve(count);
    for (int k = 1; k <= count; ++k) {
        const QString v = s.readSetting(section, keyStem + QString::number(k));
        if (keepEmpty || !v.isEmpty())
            out << v;
    }
    return out;
}

} // namespace

std::vector<PhraseList> readPhraseLists(const Settings& s)
{
    std::vector<PhraseList> lists;
    lists.reserve(5 + 2 * record::kPairCount);
    using record::FieldId;
    lists.push_back(
        {FieldId::CommonPlace, readRange(s, QStringLiteral("Set1"), QStringLiteral("didian"), 25, true)});
    lists.push_back(
        {FieldId::CommonHousehold, readRange(s, QStringLiteral("Set2"), QStringLiteral("huji"), 25, true)});
    const FieldId roles[] = {FieldId::Interviewer, FieldId::OtherParticipants, FieldId::Recorder};
    for (int r = 0; r < 3; ++r)
        lists.push_back(
            {roles[r], readRange(s, QStringLiteral("name%1").arg(r + 1), QStringLiteral("name"), 10, true)});
    for (int n = 1; n <= record::kPairCount; ++n) {
        const QString number = QString::number(n);
        lists.push_back({record::question(n),
                         readRange(s, QStringLiteral("wenti") + number, QStringLiteral("wenti"), 10, false)});
        lists.push_back({record::answer(n),
                         readRange(s, QStringLiteral("daan") + number, QStringLiteral("daan"), 8, false)});
    }
    return lists;
}

void loadPhraseLists(const Settings& settings, PhraseTarget& target)
{
    for (const PhraseList& list : readPhraseLists(settings))
        if (!list.entries.isEmpty())
            target.insertAtTop(list.field, list.entries);
}

} // namespace quillan::settings
