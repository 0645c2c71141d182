#include "doubles/RecordingEngine.h"

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

RecordingEngine::RecordingEngine() : installPathText_(QStringLiteral("/usr/lib/libreoffice/program/\r\n"))
{
    printResult_.status = PrintResult::Status::Completed;
    printResult_.jobId = 1;
}

QString RecordingEngine::text() const
{
    QStringList lines;
    for (const Paragraph& p : paragraphs_)
        lines << p.text();
    return lines.join(QStringLiteral("\r\n"));
}

QString RecordingEngine::installPathText()
{
    calls_ << QStringLiteral("installPathText");
    return installPathText_;
}

bool RecordingEngine::spreadsheetInstalled()
{
    calls_ << QStringLiteral("spreadsheetInstalled");
    return spreadsheet_;
}

void RecordingEngine::createApplication()
{
    calls_ << QStringLiteral("createApplication");
    if (application_) {
        hasDocument_ = false;
        paragraphs_.clear();
        documents_ = false;
    }
    application_ = true;
    visible_ = false;
}

void RecordingEngine::bindDocuments()
{
    calls_ << QStringLiteral("bindDocuments");
    if (application_)
        documents_ = true;
}

void RecordingEngine::resetFormatting()
{
    format_ = Run{};
}

bool RecordingEngine::open(const QString& path)
{
    calls_ << QStringLiteral("open ") + path;
    if (!application_ || !documents_) {
        lastError_ = QStringLiteral("LibreOffice 还没有启动。");
        return false;
    }
    if (!openOk_) {
        lastError_ = QStringLiteral("文件 %1 无法打开。").arg(path);
        return false;
    }
    hasDocument_ = true;
    documentPath_ = path;
    fieldTexts_.clear();
    paragraphs_.assign(1, Paragraph{});
    resetFormatting();
    return true;
}

void RecordingEngine::setVisible(int visible)
{
    calls_ << QStringLiteral("setVisible %1").arg(visible);
    if (application_)
        visible_ = visible != 0;
}

void RecordingEngine::setAlignment(Alignment alignment)
{
    calls_ << QStringLiteral("setAlignment ") + alignmentName(alignment);
    if (!hasDocument_)
        return;
    format_.alignment = alignment;
    Paragraph& p = paragraphs_.back();
    p.alignment = alignment;
    for (Run& run : p.runs)
        run.alignment = alignment;
}

void RecordingEngine::setFontSize(double points)
{
    calls_ << QStringLiteral("setFontSize %1").arg(points);
    if (hasDocument_)
        format_.size = points;
}

void RecordingEngine::setBold(bool on)
{
    calls_ << QStringLiteral("setBold %1").arg(on ? 1 : 0);
    if (hasDocument_)
        format_.bold = on;
}

void RecordingEngine::setUnderline(bool on)
{
    calls_ << QStringLiteral("setUnderline %1").arg(on ? 1 : 0);
    if (hasDocument_)
        format_.underline = on;
}

void RecordingEngine::appendText(const QString& text)
{
    if (text.isEmpty())
        return;
    Paragraph& p = paragraphs_.back();
    Run run = format_;
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
    next.alignment = paragraphs_.back().alignment;
    paragraphs_.push_back(next);
}

void RecordingEngine::typeText(const QString& text)
{
    calls_ << QStringLiteral("typeText ") + text;
    if (!hasDocument_)
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
    calls_ << QStringLiteral("saveAs ") + path;
    return writeDocument(path, saveOk_, text().toUtf8());
}

bool RecordingEngine::saveAsPdf(const QString& path)
{
    calls_ << QStringLiteral("saveAsPdf ") + path;
    return writeDocument(path, pdfOk_, "%PDF-1.7\n" + text().toUtf8());
}

bool RecordingEngine::writeDocument(const QString& path, bool succeed, const QByteArray& bytes)
{
    if (!hasDocument_) {
        lastError_ = QStringLiteral("没有打开的文件。");
        return false;
    }
    if (!succeed) {
        lastError_ = QStringLiteral("文件无法保存为 %1。").arg(path);
        return false;
    }
    // As the office does: the old file is replaced only by a whole new one.
    QString error;
    if (!platform::writeFileAtomically(path, bytes, &error)) {
        lastError_ = QStringLiteral("文件无法保存为 %1：%2").arg(path, error);
        return false;
    }
    if (!path.endsWith(QStringLiteral(".pdf")))
        documentPath_ = path;
    return true;
}

PrintResult RecordingEngine::print()
{
    calls_ << QStringLiteral("print");
    if (!hasDocument_) {
        PrintResult none;
        none.status = PrintResult::Status::NoDocument;
        none.detail = QStringLiteral("没有打开的文件。");
        lastError_ = none.detail;
        return none;
    }
    if (!printResult_.ok())
        lastError_ = printResult_.detail;
    return printResult_;
}

bool RecordingEngine::setFieldText(const QString& name, const QString& text)
{
    calls_ << QStringLiteral("setFieldText ") + name + QLatin1Char(' ') + text;
    if (!hasDocument_ || !fields_.contains(name)) {
        lastError_ = QStringLiteral("no field ") + name;
        return false;
    }
    fieldTexts_.insert(name, text);
    return true;
}

void RecordingEngine::closeDocument()
{
    calls_ << QStringLiteral("closeDocument");
    hasDocument_ = false;
    paragraphs_.clear();
}

void RecordingEngine::quit()
{
    calls_ << QStringLiteral("quit");
    hasDocument_ = false;
    paragraphs_.clear();
    application_ = false;
    documents_ = false;
    visible_ = false;
}

void RecordingEngine::releaseDocuments()
{
    calls_ << QStringLiteral("releaseDocuments");
    documents_ = false;
}

void RecordingEngine::releaseApplication()
{
    calls_ << QStringLiteral("releaseApplication");
}

} // namespace quillan::word
