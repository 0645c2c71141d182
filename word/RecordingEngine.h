#pragma once

#include "word/WordEngine.h"

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
    void setInstallPathText(const QString& text) { m_installPathText = text; }
    void setSpreadsheetInstalled(bool installed) { m_spreadsheet = installed; }
    // Simulated outcomes; a failing saveAs writes nothing.
    void setOpenResult(bool ok) { m_openOk = ok; }
    void setSaveResult(bool ok) { m_saveOk = ok; }
    void setPdfResult(bool ok) { m_pdfOk = ok; }
    void setPrintResult(const PrintResult& result) { m_printResult = result; }

    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    // The active document; empty when none is open.
    const std::vector<Paragraph>& paragraphs() const { return m_paragraphs; }
    bool hasDocument() const { return m_hasDocument; }
    bool visible() const { return m_visible; }
    QString documentPath() const { return m_documentPath; }
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
    bool saveAs(const QString& path) override;
    // Writes "%PDF-" and the document's text.
    bool saveAsPdf(const QString& path) override;
    PrintResult print() override;
    void closeDocument() override;
    void quit() override;
    void releaseDocuments() override;
    void releaseApplication() override;
    QString lastError() const override { return m_lastError; }

private:
    bool writeDocument(const QString& path, bool succeed, const QByteArray& bytes);
    void appendText(const QString& text);
    void newParagraph();
    void resetFormatting();

    QStringList m_calls;
    QString m_installPathText;
    bool m_spreadsheet = true;
    bool m_openOk = true;
    bool m_saveOk = true;
    bool m_pdfOk = true;
    PrintResult m_printResult;

    bool m_application = false;
    bool m_documents = false;
    bool m_hasDocument = false;
    bool m_visible = false;
    QString m_documentPath;
    std::vector<Paragraph> m_paragraphs;
    Run m_format; // formatting in force at the selection (text unused)
    QString m_lastError;
};

} // namespace quillan::word
