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

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr char16_t kWordJoiner = u'\u2060';

// Width in halves of a Chinese character.
int halfWidths(QChar c)
{
    const char16_t u = c.unicode();
    const bool narrow = u < 0x1100 || (u >= 0xff61 && u <= 0xffdc);
    return narrow ? 1 : 2;
}

} // namespace

QString fitIntoBlank(const QString& blank, const QString& text)
{
    int room = 0; // in halves
    for (const QChar c : blank) {
        if (c == QChar(kIdeographicSpace))
            room += 2;
        else if (c == QLatin1Char(' '))
            room += 1;
        else if (c != QChar(kWordJoiner))
            return text;
    }
    int used = 0;
    for (const QChar c : text)
        used += c.isLowSurrogate() ? 0 : halfWidths(c);
    if (room == 0 || used >= room)
        return text;
    const int left = (room - used) / 2;
    const int right = room - used - left;
    auto pad = [](int halves) {
        return QString(halves / 2, QChar(kIdeographicSpace)) + QString(halves % 2, QLatin1Char(' '));
    };
    return pad(left) + text + pad(right);
}

} // namespace quillan::word
