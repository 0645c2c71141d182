#pragma once

#include "app/MainWinLayout.h"

#include <QDialog>
#include <QHash>

#include <vector>

namespace quillan::app {

// The pop-up reader: the work-injury insurance regulation, shown modally at
// start-up and again for every new record, dismissed with "知 道".
class TextWin final : public QDialog
{
    Q_OBJECT
public:
    explicit TextWin(QWidget* parent = nullptr);

    QWidget* control(const QString& unit) const { return controls_.value(unit); }
    template <class W> W* control(const QString& unit) const { return qobject_cast<W*>(control(unit)); }

protected:
    // Esc does not close the reader: only "知 道" does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QHash<QString, QWidget*> controls_;
};

// The window as designed: 667 × 620 with its caption bar, so a client area
// of kTextWinClient.
inline constexpr int kTextWinFrameWidth = 667;
inline constexpr int kTextWinFrameHeight = 620;
inline const QSize kTextWinClient(kTextWinFrameWidth, kTextWinFrameHeight - 31);

const QString& textWinTitle();
const std::vector<ControlSpec>& textWinLayout();

} // namespace quillan::app
