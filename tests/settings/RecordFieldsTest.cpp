#include "record/RecordFields.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace quillan::record;

TEST(RecordFields, PairKeysFollowTheNumbering)
{
    ASSERT_EQ(pairs().size(), 24u);
    for (const Pair& p : pairs()) {
        EXPECT_EQ(keyName(p.question), QStringLiteral("num%1").arg(21 + 2 * p.number));
        EXPECT_EQ(keyName(p.answer), QStringLiteral("num%1").arg(22 + 2 * p.number));
    }
    EXPECT_EQ(unitName(pair(11).question), QStringLiteral("组合框37"));
    EXPECT_EQ(unitName(pair(24).answer), QStringLiteral("组合框38"));
}

TEST(RecordFields, WriteAndReadOrderCoverTheSameFieldsOnce)
{
    const auto w = writeOrder();
    const auto r = readOrder();
    ASSERT_EQ(w.size(), 24u + 48u + 1u);
    ASSERT_EQ(r.size(), w.size());
    QSet<QString> keys;
    QSet<QString> units;
    for (const Field& f : w) {
        keys.insert(keyName(f));
        units.insert(unitName(f));
        // A field's id is its place in the write order, and names it.
        EXPECT_EQ(size_t(f.id), size_t(&f - w.data()));
        EXPECT_EQ(&field(f.id), &f);
    }
    for (const Pair& p : pairs()) {
        EXPECT_EQ(p.question.id, question(p.number));
        EXPECT_EQ(p.answer.id, answer(p.number));
    }
    EXPECT_EQ(keys.size(), qsizetype(w.size()));
    EXPECT_EQ(units.size(), qsizetype(w.size()));
    for (const Field& f : r)
        EXPECT_TRUE(keys.contains(keyName(f)));
    // Age and education sit between the document number and the work unit
    // when written, after the pairs when read.
    EXPECT_EQ(keyName(w[15]), QStringLiteral("num75"));
    EXPECT_EQ(keyName(w[18]), QStringLiteral("num87"));
    EXPECT_EQ(keyName(r[r.size() - 3]), QStringLiteral("num75"));
    EXPECT_EQ(keyName(r[r.size() - 2]), QStringLiteral("num87"));
    EXPECT_EQ(keyName(r.back()), QStringLiteral("beizu"));
    EXPECT_EQ(unitName(r[8]), QStringLiteral("组合框2"));
}
