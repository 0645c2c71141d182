#include "OfficeInspector.h"

#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <cmath>

namespace quillan::word::test {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

OUString toOU(const QString& s)
{
    return OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

QString toQ(const OUString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getStr()), s.getLength());
}

double number(const Reference<css::beans::XPropertySet>& props, const char* name)
{
    const css::uno::Any v = props->getPropertyValue(OUString::createFromAscii(name));
    double d = 0;
    if (v >>= d)
        return d;
    sal_Int32 i = 0;
    if (v >>= i)
        return i;
    bool b = false;
    if (v >>= b)
        return b ? 1 : 0;
    return std::nan("");
}

QString string(const Reference<css::beans::XPropertySet>& props, const char* name)
{
    OUString s;
    props->getPropertyValue(OUString::createFromAscii(name)) >>= s;
    return toQ(s);
}

// Loads, runs `read`, closes; every UNO failure becomes `error`.
template <class F> bool withDocument(OfficeInstance& office, const QString& path, QString* error, F read)
{
    try {
        Reference<css::frame::XComponentLoader> loader(office.desktop(), UNO_QUERY_THROW);
        css::uno::Sequence<css::beans::PropertyValue> args(1);
        args.getArray()[0].Name = "Hidden";
        args.getArray()[0].Value <<= true;
        const Reference<css::lang::XComponent> doc = loader->loadComponentFromURL(
            toOU(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)), "_blank", 0, args);
        Reference<css::text::XTextDocument> text(doc, UNO_QUERY);
        if (!text.is()) {
            *error = QStringLiteral("not a text document: ") + path;
            return false;
        }
        read(text);
        Reference<css::util::XCloseable>(doc, UNO_QUERY_THROW)->close(true);
        return true;
    } catch (const css::uno::Exception& e) {
        *error = QStringLiteral("UNO: ") + toQ(e.Message);
    }
    return false;
}

bool sameFormat(const OfficeInspector::Portion& a, const OfficeInspector::Portion& b)
{
    return a.height == b.height && a.weight == b.weight && a.underline == b.underline &&
           a.heightAsian == b.heightAsian && a.fontNameAsian == b.fontNameAsian;
}

} // namespace

QString OfficeInspector::Paragraph::text() const
{
    QString s;
    for (const Portion& p : portions)
        s += p.text;
    return s;
}

OfficeInspector::OfficeInspector() = default;
OfficeInspector::~OfficeInspector()
{
    if (office_)
        office_->terminate(10000);
}

bool OfficeInspector::start(QString* error)
{
    OfficeInstance::Options o;
    o.programDir = QStringLiteral("/usr/lib/libreoffice/program");
    o.workDir = dir_.path();
    o.startTimeoutMs = 60000;
    office_ = std::make_unique<OfficeInstance>(o);
    return office_->start(error);
}

bool OfficeInspector::readParagraphs(const QString& path, std::vector<Paragraph>* out, QString* error)
{
    out->clear();
    return withDocument(*office_, path, error, [&](const Reference<css::text::XTextDocument>& doc) {
        Reference<css::container::XEnumerationAccess> paragraphs(doc->getText(), UNO_QUERY_THROW);
        const Reference<css::container::XEnumeration> pe = paragraphs->createEnumeration();
        while (pe->hasMoreElements()) {
            Reference<css::lang::XServiceInfo> info(pe->nextElement(), UNO_QUERY_THROW);
            if (!info->supportsService("com.sun.star.text.Paragraph"))
                continue; // tables
            Paragraph paragraph;
            Reference<css::beans::XPropertySet> pprops(info, UNO_QUERY_THROW);
            paragraph.paraAdjust = static_cast<int>(number(pprops, "ParaAdjust"));
            Reference<css::container::XEnumerationAccess> portions(info, UNO_QUERY_THROW);
            const Reference<css::container::XEnumeration> e = portions->createEnumeration();
            while (e->hasMoreElements()) {
                Reference<css::text::XTextRange> range(e->nextElement(), UNO_QUERY_THROW);
                Reference<css::beans::XPropertySet> props(range, UNO_QUERY_THROW);
                Portion p;
                p.text = toQ(range->getString());
                if (p.text.isEmpty())
                    continue;
                p.paraAdjust = paragraph.paraAdjust;
                p.height = number(props, "CharHeight");
                p.heightAsian = number(props, "CharHeightAsian");
                p.weight = number(props, "CharWeight");
                p.underline = static_cast<int>(number(props, "CharUnderline"));
                p.fontNameAsian = string(props, "CharFontNameAsian");
                if (!paragraph.portions.empty() && sameFormat(paragraph.portions.back(), p))
                    paragraph.portions.back().text += p.text;
                else
                    paragraph.portions.push_back(p);
            }
            out->push_back(paragraph);
        }
    });
}

bool OfficeInspector::readSetup(const QString& path, Setup* out, QString* error)
{
    *out = Setup{};
    return withDocument(*office_, path, error, [&](const Reference<css::text::XTextDocument>& doc) {
        Reference<css::style::XStyleFamiliesSupplier> families(doc, UNO_QUERY_THROW);
        const Reference<css::container::XNameAccess> all = families->getStyleFamilies();
        // The page style of the first paragraph.
        Reference<css::container::XEnumerationAccess> paragraphs(doc->getText(), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> first(paragraphs->createEnumeration()->nextElement(),
                                                  UNO_QUERY_THROW);
        OUString pageStyle;
        first->getPropertyValue("PageStyleName") >>= pageStyle;
        Reference<css::container::XNameAccess> pages(all->getByName("PageStyles"), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> page(pages->getByName(pageStyle), UNO_QUERY_THROW);
        for (const char* name :
             {"Width", "Height", "IsLandscape", "TopMargin", "BottomMargin", "LeftMargin", "RightMargin",
              "HeaderIsOn", "HeaderHeight", "HeaderBodyDistance", "FooterIsOn", "FooterHeight",
              "FooterBodyDistance", "GridMode", "GridBaseHeight", "GridRubyHeight"}) {
            double v = 0;
            const css::uno::Any any = page->getPropertyValue(OUString::createFromAscii(name));
            sal_Int16 s16 = 0;
            if (any >>= s16)
                v = s16;
            else
                v = number(page, name);
            out->page[QString::fromLatin1(name)] = v;
        }
        Reference<css::container::XNameAccess> paraStyles(all->getByName("ParagraphStyles"), UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet> normal(paraStyles->getByName("Standard"), UNO_QUERY_THROW);
        sal_Int16 adjust = -1;
        normal->getPropertyValue("ParaAdjust") >>= adjust;
        out->normal[QStringLiteral("ParaAdjust")] = adjust;
        for (const char* name : {"CharHeight", "CharHeightAsian"})
            out->normal[QString::fromLatin1(name)] = number(normal, name);
        for (const char* name : {"CharFontName", "CharFontNameAsian"})
            out->normalText[QString::fromLatin1(name)] = string(normal, name);
    });
}

} // namespace quillan::word::test
