#pragma once

#include "app/MainWinLayout.h"
#include "platform/Prompts.h"
#include "platform/StatusPort.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QTimer;

namespace quillan::platform {
class Clock;
}

namespace quillan::app {

// The keyboard shortcut of a menu item (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+P for
// the record's commands), or none.
QKeySequence menuShortcut(const QString& menu, const QString& item);

// The main window: the record form of four pages, the overlay panels, the
// shared hidden fields, the status bar with its clock and the menu bar. The
// controls are built from the layout table and addressed by unit name. The
// window routes; the commands live elsewhere.
class MainWin final : public QMainWindow, public platform::StatusPort
{
    Q_OBJECT
public:
    explicit MainWin(platform::Clock& clock, QWidget* parent = nullptr);
    ~MainWin() override;

    // The control named `unit`, or nullptr.
    QWidget* control(const QString& unit) const { return controls_.value(unit); }
    template <class W> W* control(const QString& unit) const { return qobject_cast<W*>(control(unit)); }
    QWidget* control(const char* unit) const { return control(QString::fromUtf8(unit)); }
    template <class W> W* control(const char* unit) const { return control<W>(QString::fromUtf8(unit)); }

    // The text a field holds (edit box content, combo box text, the whole
    // case note with CR LF line ends) and setting it.
    QString fieldText(const QString& unit) const;
    void setFieldText(const QString& unit, const QString& text);

    // The status message and part 0 of the status bar.
    QString statusMessage() const override;
    void setStatusMessage(const QString& text) override;
    QString statusPart0() const;
    void setStatusPart0(const QString& text) override;
    void setBusy(bool busy) override;

    // Views and panels.
    void showSecondView();
    void showFirstView();
    void toggleCaseNote();
    void showTextPanel(const QString& text);
    void closeTextPanel();

    // One tick of the status-bar clock.
    void refreshStatusBar();

    // Combo-box list helpers; none of them changes the box's text.
    void insertAtTop(const QString& unit, const QStringList& entries);
    void clearList(const QString& unit);
    QStringList listEntries(const QString& unit) const;

    // The file dialog units of the layout.
    platform::FileDialogUnit& fileDialog(const QString& unit) { return dialogs_[unit]; }
    platform::FileDialogUnit& fileDialog(const char* unit) { return fileDialog(QString::fromUtf8(unit)); }

    // The item `item` of the menu `menu`, or nullptr.
    QAction* menuAction(const QString& menu, const QString& item) const;

    QTimer* timer(const QString& unit) const { return timers_.value(unit); }
    QTimer* timer(const char* unit) const { return timer(QString::fromUtf8(unit)); }

    // Runs when the window is about to be destroyed.
    std::function<void()> aboutToBeDestroyed;
    // Asked when the officer closes the window; false keeps it open.
    std::function<bool()> mayClose;

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    // The other view was brought forward (by its button or the keyboard).
    void viewSwitched();

private:
    // The keyboard's order through the record's fields.
    void setUpTabOrder();
    bool focusNextPrevChild(bool next) override;
    void buildControls();
    void buildMenus();
    void raiseOverlays();
    void suggestAnswerForPair2();
    void suggestLinesForPair3();

    platform::Clock& clock_;
    QHash<QString, QWidget*> controls_;
    QList<QWidget*> recordFields_; // in the keyboard's order
    QHash<QString, QTimer*> timers_;
    QHash<QString, platform::FileDialogUnit> dialogs_;
    QLabel* statusPart0_ = nullptr;
    QString statusMessage_;
};

} // namespace quillan::app
