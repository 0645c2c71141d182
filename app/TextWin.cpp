#include "app/TextWin.h"

#include "app/TextFind.h"
#include "library/LawTexts.h"
#include "platform/Text.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace quillan::app {

const QString& textWinTitle()
{
    static const QString title = QString(33, QLatin1Char(' ')) + QStringLiteral("新工伤保险条例");
    return title;
}

const std::vector<ControlSpec>& textWinLayout()
{
    static const std::vector<ControlSpec> layout = [] {
        ControlSpec text;
        text.unit = QStringLiteral("编辑框1");
        text.type = ControlType::MultiLineEdit;
        text.geometry = QRect(0, 0, 664, 552);
        text.accessibleName = QStringLiteral("工伤保险条例全文");
        ControlSpec button;
        button.unit = QStringLiteral("超级按钮1");
        button.type = ControlType::Button;
        button.geometry = QRect(243, 556, 174, 28);
        button.caption = QStringLiteral("知 道");
        button.accessibleName = QStringLiteral("知 道");
        return std::vector<ControlSpec>{text, button};
    }();
    return layout;
}

TextWin::TextWin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TextWin"));
    // A fixed frame with a caption bar, but neither system menu nor close
    // box: only the button closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(textWinTitle());
    setModal(true);
    setFixedSize(kTextWinClient);

    for (const ControlSpec& design : textWinLayout()) {
        QWidget* w = nullptr;
        if (design.type == ControlType::MultiLineEdit) {
            auto* edit = new QPlainTextEdit(this);
            edit->setFrameShape(QFrame::NoFrame);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setReadOnly(true);
            edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            // The light grey of the design; a style sheet, so that the
            // window's skin does not paint over it.
            QPalette p = edit->palette();
            p.setColor(QPalette::Base, QColor(236, 236, 236));
            edit->setPalette(p);
            edit->setStyleSheet(
                QStringLiteral("QPlainTextEdit { background-color: rgb(236, 236, 236); border: none; }"));
            QString text = platform::decodeText(library::workInjuryRegulation());
            edit->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            new TextFind(edit);
            w = edit;
        } else {
            auto* button = new QPushButton(design.caption, this);
            button->setToolTip(QStringLiteral("以上规则我以熟读."));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
            w = button;
        }
        w->setObjectName(design.unit);
        w->setGeometry(design.geometry);
        w->setAccessibleName(design.accessibleName);
        controls_.insert(design.unit, w);
    }

    if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kTextWinFrameWidth / 2, kTextWinFrameHeight / 2));
    }
}

void TextWin::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace quillan::app
