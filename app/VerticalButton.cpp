#include "app/VerticalButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quillan::app {

QSize VerticalButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const QString caption = text().trimmed();
    return {fm.height() + 8, int(caption.size()) * fm.height() + 8};
}

void VerticalButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QString caption = text().trimmed();
    if (caption.isEmpty())
        return;
    const QFontMetrics fm(font());
    const int line = qMin(fm.height(), (height() - 4) / int(caption.size()));
    int y = (height() - line * int(caption.size())) / 2;
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    for (QChar c : caption) {
        painter.drawText(QRect(0, y, width(), line), Qt::AlignCenter, QString(c));
        y += line;
    }
}

} // namespace quillan::app
