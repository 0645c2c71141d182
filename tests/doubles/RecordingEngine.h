#pragma once

#include "word/WordEngine.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace quillan::word {

// A word engine that keeps the active document in memory, as paragraphs of
// formatted runs, and logs the calls made on it. Tests of the record commands
// use it in place of the office suite.
class RecordingEngine : public WordEngine
{
public:
    struct Run
    {
        QString text;
        Alignment alignment = Alignment::Left; // of the paragraph when typed
        double size = 10.5;
        bool bold = false;
        bool underline = false;
    };
    struct Paragraph
    {
        Alignment alignment = Alignment::Left;
        std::vector<Run> runs;
        QString text() const;
    };

    RecordingEngine();

    // What the simulated installation reports.
    void setInstallPathText(const QString& text) { installPathText_ = text; }
    void setSpreadsheetInstalled(bool installed) { spreadsheet_ = installed; }
    // Simulated outcomes; a failing saveAs writes nothing.
    void setOpenResult(bool ok) { openOk_ = ok; }
    void setSaveResult(bool ok) { saveOk_ = ok; }
    void setPdfResult(bool ok) { pdfOk_ = ok; }
    void setPrintResult(const PrintResult& result) { printResult_ = result; }
    // The named places every opened document has.
    void setFields(const QStringList& names) { fields_ = names; }
    // What each place of the document opened last was filled with, by name.
    const QHash<QString, QString>& fieldTexts() const { return fieldTexts_; }

    QStringList calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // The active document; empty when none is open.
    const std::vector<Paragraph>& paragraphs() const { return paragraphs_; }
    bool hasDocument() const { return hasDocument_; }
    bool visible() const { return visible_; }
    QString documentPath() const { return documentPath_; }
    // The document as plain text, paragraphs ended by CR LF except the last.
    QString text() const;

    QString installPathText() override;
    bool spreadsheetInstalled() override;
    void createApplication() override;
    void bindDocuments() override;
    bool open(const QString& path) override;
    void setVisible(int visible) override;
    void setAlignment(Alignment alignment) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void setUnderline(bool on) override;
    void typeText(const QString& text) override;
    // Fills a place of setFields(); the text goes into fieldTexts().
    bool setFieldText(const QString& name, const QString& text) override;
    bool saveAs(const QString& path) override;
    // Writes "%PDF-" and the document's text.
    bool saveAsPdf(const QString& path) override;
    PrintResult print() override;
    void closeDocument() override;
    void quit() override;
    void releaseDocuments() override;
    void releaseApplication() override;
    QString lastError() const override { return lastError_; }

private:
    bool writeDocument(const QString& path, bool succeed, const QByteArray& bytes);
    void appendText(const QString& text);
    void newParagraph();
    void resetFormatting();

    QStringList calls_;
    QString installPathText_;
    bool spreadsheet_ = true;
    bool openOk_ = true;
    bool saveOk_ = true;
    bool pdfOk_ = true;
    PrintResult printResult_;

    bool application_ = false;
    bool documents_ = false;
    bool hasDocument_ = false;
    bool visible_ = false;
    QString documentPath_;
    std::vector<Paragraph> paragraphs_;
    QStringList fields_;
    QHash<QString, QString> fieldTexts_;
    Run format_; // formatting in force at the selection (text unused)
    QString lastError_;
};

} // namespace quillan::word
