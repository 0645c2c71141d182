#include "settings/PhraseLists.h"

#include "record/RecordFields.h"

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
    lists.push_back({QStringLiteral("组合框2"),
                     readRange(s, QStringLiteral("Set1"), QStringLiteral("didian"), 25, true)});
    lists.push_back(
        {QStringLiteral("组合框52"), readRange(s, QStringLiteral("Set2"), QStringLiteral("huji"), 25, true)});
    const char* const nameBoxes[] = {"组合框53", "组合框54", "组合框55"};
    for (int r = 0; r < 3; ++r)
        lists.push_back({QString::fromUtf8(nameBoxes[r]), readRange(s, QStringLiteral("name%1").arg(r + 1),
                                                                    QStringLiteral("name"), 10, true)});
    for (const record::Pair& p : record::pairs()) {
        const QString n = QString::number(p.number);
        lists.push_back({record::unitName(p.question),
                         readRange(s, QStringLiteral("wenti") + n, QStringLiteral("wenti"), 10, false)});
        lists.push_back({record::unitName(p.answer),
                         readRange(s, QStringLiteral("daan") + n, QStringLiteral("daan"), 8, false)});
    }
    return lists;
}

void loadPhraseLists(const Settings& settings, PhraseTarget& target)
{
    for (const PhraseList& list : readPhraseLists(settings))
        if (!list.entries.isEmpty())
            target.insertAtTop(list.unit, list.entries);
}

} // namespace quillan::settings
