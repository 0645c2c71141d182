#include "word/Documents.h"

namespace quillan::word {

QString officeFolder(WordEngine& engine)
{
    QString text = engine.installPathText();
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text;
}

HiddenDocument::HiddenDocument(WordEngine& engine, const QString& path) : engine_(engine)
{
    engine_.createApplication();
    engine_.bindDocuments();
    open_ = engine_.open(path);
    if (!open_)
        openError_ = engine_.lastError();
    engine_.setVisible(0);
}

HiddenDocument::~HiddenDocument()
{
    end();
}

bool HiddenDocument::save(const QString& path, QString* error)
{
    const bool pdf = path.endsWith(QStringLiteral(".pdf"));
    if (pdf ? engine_.saveAsPdf(path) : engine_.saveAs(path))
        return true;
    if (error)
        *error = engine_.lastError();
    return false;
}

PrintResult HiddenDocument::print()
{
    PrintResult result = engine_.print();
    if (!result.ok() && result.detail.isEmpty())
        result.detail = open_ ? engine_.lastError() : openError_;
    return result;
}

void HiddenDocument::end(bool release)
{
    if (ended_)
        return;
    ended_ = true;
    engine_.closeDocument();
    engine_.quit();
    if (release) {
        engine_.releaseDocuments();
        engine_.releaseApplication();
    }
}

PrintResult printFile(WordEngine& engine, const QString& path)
{
    HiddenDocument document(engine, path);
    PrintResult result = document.print();
    if (!result.ok() && !document.openError().isEmpty())
        result.detail = document.openError();
    return result;
}

QString printFailureText(const QString& reason)
{
    return QStringLiteral("打印没有成功：") + reason;
}

} // namespace quillan::word
