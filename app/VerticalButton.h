#pragma once

#include <QPushButton>

namespace quillan::app {

// A narrow button whose caption is written top to bottom, one character a
// line; text() stays the caption as designed.
class VerticalButton final : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillan::app
