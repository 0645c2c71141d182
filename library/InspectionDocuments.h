#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>

namespace quillan::library {

// One entry of the menu "监察文书": a blank official form of a labour-inspection
// case, compiled in as a Word 97-2003 document.
struct InspectionDocument
{
    int menuPosition;        // 1 ... 27, in menu order
    const char* caption;     // the menu caption
    const char* scratchName; // the file it is written to in the scratch folder ("ws1.doc" ...)
    const char* heading;     // the title printed on the form
    const char* purpose;     // what tells it apart from a form with the same heading; "" when none does

    QString captionText() const { return QString::fromUtf8(caption); }
    QString scratchFileName() const { return QString::fromUtf8(scratchName); }
    QString headingText() const { return QString::fromUtf8(heading); }
    // The compiled-in document (":/forms/<scratch name>").
    QString resourcePath() const;
};

// The catalogue, in menu order: the collection "监察文书大全" first, then the
// 26 single forms.
std::span<const InspectionDocument> inspectionDocuments();

// The entry with this menu caption, or nullptr.
const InspectionDocument* findInspectionDocument(const QString& caption);

// The bytes of the entry's compiled-in document; empty when it is missing.
QByteArray inspectionDocumentBytes(const InspectionDocument& document);

// The collection "监察文书大全": the headings of its numbered sections in
// order, (一) the case-file table of contents, then every single form and
// three forms of the procedure without a menu entry (询问笔录, 听证通知书,
// 催告书).
QStringList collectionHeadings();
// The section labels "（一）", "（二）", ... of the collection, in order.
QStringList collectionSectionLabels();

} // namespace quillan::library
