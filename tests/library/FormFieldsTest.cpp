// The forms' named places: the table against the forms' sources, what the
// record puts into each, and how a text fits a blank.
#include "library/FormFields.h"
#include "library/InspectionDocuments.h"
#include "support/TestSupport.h"
#include "word/Documents.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace quillan::test {
namespace {

using record::FieldId;

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

// The places of a form's source, by name without the number of a repeat.
QSet<QString> sourcePlaces(const library::InspectionDocument& document)
{
    QString name = document.scratchFileName();
    name.replace(QStringLiteral(".doc"), QStringLiteral(".fodt"));
    QFile source(QStringLiteral(QUILLAN_SOURCE_DIR "/assets/forms/") + name);
    if (!source.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing form source " << name.toStdString();
    const QString xml = QString::fromUtf8(source.readAll());
    static const QRegularExpression mark(QStringLiteral("<text:bookmark(?:-start)? text:name=\"([^\"]+)\""));
    static const QRegularExpression repeat(QStringLiteral("_[0-9]+$"));
    QSet<QString> places;
    for (const auto& m : mark.globalMatch(xml))
        places << m.captured(1).remove(repeat);
    return places;
}

TEST(FormFields, TheTableNamesExactlyThePlacesOfEachFormsSource)
{
    int forms = 0;
    QSet<QString> catalogue;
    for (const library::InspectionDocument& d : library::inspectionDocuments()) {
        catalogue << u(d.scratchName);
        SCOPED_TRACE(d.scratchName);
        QSet<QString> listed;
        for (const library::FormField& f : library::formFields())
            if (qstrcmp(f.form, d.scratchName) == 0)
                listed << u(f.field);
        EXPECT_EQ(listed, sourcePlaces(d));
        forms += listed.isEmpty() ? 0 : 1;
    }
    // Every row belongs to a form of the catalogue; all forms but the
    // commission have a place the record can fill.
    for (const library::FormField& f : library::formFields())
        EXPECT_TRUE(catalogue.contains(u(f.form))) << f.form;
    EXPECT_EQ(forms, 26);
}

TEST(FormFields, TheRecordFillsWhatItHasTextForAndNothingElse)
{
    const library::InspectionDocument& complaint = library::inspectionDocuments()[5]; // 投诉登记表
    record::Record r;
    using Values = std::vector<std::pair<QString, QString>>;
    EXPECT_EQ(library::formValues(complaint, r), Values());

    // The date, place and officers alone, as the window fills them at start, are no record yet.
    const library::InspectionDocument& notice = library::inspectionDocuments()[3]; // 询问通知书
    r[FieldId::StartYear] = u("2026");
    r[FieldId::CommonPlace] = u("劳动保障监察大队询问室");
    EXPECT_EQ(library::formValues(notice, r), Values());

    r[FieldId::Name] = u(" 王某 ");
    r[FieldId::Telephone] = u("   ");
    r[FieldId::WorkUnit] = u("某机械加工厂");
    EXPECT_EQ(library::formValues(complaint, r), (Values{{u("Person"), u("王某")},
                                                         {u("UnitPosition"), u("某机械加工厂")},
                                                         {u("Unit"), u("某机械加工厂")}}));
    r[FieldId::Position] = u("车工");
    EXPECT_EQ(library::formValues(complaint, r)[1].second, u("某机械加工厂\u3000车工"));

    // The place of the interview in two parts, as the record document types it.
    EXPECT_EQ(library::formValues(notice, r).back(), std::make_pair(u("Place"), u("劳动保障监察大队询问室")));
    r[FieldId::Place] = u("朝阳区");
    EXPECT_EQ(library::formValues(notice, r).back().second, u("朝阳区劳动保障监察大队询问室"));
}

TEST(FormFields, AFilledBlankKeepsItsWidth)
{
    const QString s = u("\u3000");
    const QString j = u("\u2060");
    struct Case
    {
        QString blank;
        const char* text;
        QString expected;
    };
    const Case cases[] = {
        {s + j + s + j + s + j + s, "2026", s + u("2026") + s}, // four digits are two characters wide
        {s + j + s, "12", u(" 12 ")},                           // one character of room, halved
        {s + j + s, "9", u(" 9") + s},                          // three halves of room
        {s + j + s + j + s, "某机械加工厂", u("某机械加工厂")}, // wider than the blank
        {s + j + s + j + s + j + s, "朝阳", s + u("朝阳") + s},
        {QString(), "王某", u("王某")},       // an empty cell
        {u("第") + s + s, "王某", u("王某")}, // not a blank
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(word::fitIntoBlank(c.blank, u(c.text)), c.expected);
    }
}

} // namespace
} // namespace quillan::test
