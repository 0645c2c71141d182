#include "word/RecordingEngine.h"

#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace quillan::word {

namespace {

bool sameFormat(const RecordingEngine::Run& a, const RecordingEngine::Run& b)
{
    return a.alignment == b.alignment && a.size == b.size && a.bold == b.bold && a.underline == b.underline;
}

QString alignmentName(Alignment alignment)
{
    return alignment == Alignment::Center ? QStringLiteral("center") : QStringLiteral("left");
}

} // namespace

QString RecordingEngine::Paragraph::text() const
{
    QString result;
    for (const Run& run : runs)
        result += run.text;
    return result;
}

RecordingEngine::RecordingEngine() : m_installPathText(QStringLiteral("/usr/lib/libreoffice/program/\r\n"))
{
    m_printResult.status = PrintResult::Status::Completed;
    m_printResult.jobId = 1;
}

QString RecordingEngine::text() const
{
    QStringList lines;
    for (const Paragraph& p : m_paragraphs)
        lines << p.text();
    return lines.join(QStringLiteral("\r\n"));
}

QString RecordingEngine::installPathText()
{
    m_calls << QStringLiteral("installPathText");
    return m_installPathText;
}

bool RecordingEngine::spreadsheetInstalled()
{
    m_calls << QStringLiteral("spreadsheetInstalled");
    return m_spreadsheet;
}

void RecordingEngine::createApplication()
{
    m_calls << QStringLiteral("createApplication");
    if (m_application) {
        m_hasDocument = false;
        m_paragraphs.clear();
        m_documents = false;
    }
    m_application = true;
    m_visible = false;
}

void RecordingEngine::bindDocuments()
{
    m_calls << QStringLiteral("bindDocuments");
    if (m_application)
        m_documents = true;
}

void RecordingEngine::resetFormatting()
{
    m_format = Run{};
}

bool RecordingEngine::open(const QString& path)
{
    m_calls << QStringLiteral("open ") + path;
    if (!m_application || !m_documents) {
        m_lastError = QStringLiteral("LibreOffice 还没有启动。");
        return false;
    }
    if (!m_openOk) {
        m_lastError = QStringLiteral("文件 %1 无法打开。").arg(path);
        return false;
    }
    m_hasDocument = true;
    m_documentPath = path;
    m_paragraphs.assign(1, Paragraph{});
    resetFormatting();
    return true;
}

void RecordingEngine::setVisible(int visible)
{
    m_calls << QStringLiteral("setVisible %1").arg(visible);
    if (m_application)
        m_visible = visible != 0;
}

void RecordingEngine::setAlignment(Alignment alignment)
{
    m_calls << QStringLiteral("setAlignment ") + alignmentName(alignment);
    if (!m_hasDocument)
        return;
    m_format.alignment = alignment;
    Paragraph& p = m_paragraphs.back();
    p.alignment = alignment;
    for (Run& run : p.runs)
        run.alignment = alignment;
}

void RecordingEngine::setFontSize(double points)
{
    m_calls << QStringLiteral("setFontSize %1").arg(points);
    if (m_hasDocument)
        m_format.size = points;
}

void RecordingEngine::setBold(bool on)
{
    m_calls << QStringLiteral("setBold %1").arg(on ? 1 : 0);
    if (m_hasDocument)
        m_format.bold = on;
}

void RecordingEngine::setUnderline(bool on)
{
    m_calls << QStringLiteral("setUnderline %1").arg(on ? 1 : 0);
    if (m_hasDocument)
        m_format.underline = on;
}

void RecordingEngine::appendText(const QString& text)
{
    if (text.isEmpty())
        return;
    Paragraph& p = m_paragraphs.back();
    Run run = m_format;
    run.alignment = p.alignment;
    run.text = text;
    if (!p.runs.empty() && sameFormat(p.runs.back(), run))
        p.runs.back().text += text;
    else
        p.runs.push_back(run);
}

void RecordingEngine::newParagraph()
{
    Paragraph next;
    next.alignment = m_paragraphs.back().alignment;
    m_paragraphs.push_back(next);
}

void RecordingEngine::typeText(const QString& text)
{
    m_calls << QStringLiteral("typeText ") + text;
    if (!m_hasDocument)
        return;
    const QString breakMark = QStringLiteral("\r\n");
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(breakMark, from);
        if (at < 0) {
            appendText(text.mid(from));
            break;
        }
        appendText(text.mid(from, at - from));
        newParagraph();
        from = at + breakMark.size();
    }
}

bool RecordingEngine::saveAs(const QString& path)
{
    m_calls << QStringLiteral("saveAs ") + path;
    return writeDocument(path, m_saveOk, text().toUtf8());
}

bool RecordingEngine::saveAsPdf(const QString& path)
{
    m_calls << QStringLiteral("saveAsPdf ") + path;
    return writeDocument(path, m_pdfOk, "%PDF-1.7\n" + text().toUtf8());
}

bool RecordingEngine::writeDocument(const QString& path, bool succeed, const QByteArray& bytes)
{
    if (!m_hasDocument) {
        m_lastError = QStringLiteral("没有打开的文件。");
        return false;
    }
    if (!succeed) {
        m_lastError = QStringLiteral("文件无法保存为 %1。").arg(path);
        return false;
    }
    // As the office does: the old file is replaced only by a whole new one.
    QString error;
    if (!platform::writeFileAtomically(path, bytes, &error)) {
        m_lastError = QStringLiteral("文件无法保存为 %1：%2").arg(path, error);
        return false;
    }
    if (!path.endsWith(QStringLiteral(".pdf")))
        m_documentPath = path;
    return true;
}

PrintResult RecordingEngine::print()
{
    m_calls << QStringLiteral("print");
    if (!m_hasDocument) {
        PrintResult none;
        none.status = PrintResult::Status::NoDocument;
        none.detail = QStringLiteral("没有打开的文件。");
        m_lastError = none.detail;
        return none;
    }
    if (!m_printResult.ok())
        m_lastError = m_printResult.detail;
    return m_printResult;
}

void RecordingEngine::closeDocument()
{
    m_calls << QStringLiteral("closeDocument");
    m_hasDocument = false;
    m_paragraphs.clear();
}

void RecordingEngine::quit()
{
    m_calls << QStringLiteral("quit");
    m_hasDocument = false;
    m_paragraphs.clear();
    m_application = false;
    m_documents = false;
    m_visible = false;
}

void RecordingEngine::releaseDocuments()
{
    m_calls << QStringLiteral("releaseDocuments");
    m_documents = false;
}

void RecordingEngine::releaseApplication()
{
    m_calls << QStringLiteral("releaseApplication");
}

} // namespace quillan::word
