#pragma once

#include "word/OfficeInstance.h"

#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <vector>

namespace quillan::word::test {

// Reads documents back through a LibreOffice instance of its own, so the
// tests compare what the office itself sees in a saved file.
class OfficeInspector
{
public:
    struct Portion
    {
        QString text;
        int paraAdjust = -1;
        double height = 0;
        double heightAsian = 0;
        double weight = 0;
        int underline = -1;
        QString fontNameAsian;
    };
    struct Paragraph
    {
        int paraAdjust = -1;
        std::vector<Portion> portions; // non-empty text portions, merged when formatted alike
        QString text() const;
    };
    // Page style and Normal style values, by UNO property name.
    struct Setup
    {
        std::map<QString, double> page;
        std::map<QString, QString> normalText;
        std::map<QString, double> normal;
    };

    OfficeInspector();
    ~OfficeInspector();
    bool start(QString* error);

    // The paragraphs of the body text; false with error when it cannot load.
    bool readParagraphs(const QString& path, std::vector<Paragraph>* out, QString* error);
    bool readSetup(const QString& path, Setup* out, QString* error);

private:
    QTemporaryDir dir_;
    std::unique_ptr<OfficeInstance> office_;
};

} // namespace quillan::word::test
