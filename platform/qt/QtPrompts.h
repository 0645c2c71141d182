#pragma once

#include "platform/Prompts.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

namespace quillan::platform {

// Prompts shown with Qt's message boxes and file dialogs, modal for the
// whole program.
class QtPrompts final : public Prompts
{
public:
    void setParentWindow(QWidget* parent) { parent_ = parent; }

    Answer message(const QString& text, const QString& title, Buttons buttons) override;
    std::optional<QString> chooseFile(FileDialogUnit& dialog) override;
    std::optional<QString> browseFolder(const QString& title) override;

    // "description|pattern" as the file dialogs of Qt want it:
    // "description (pattern)".
    static QString qtFilter(const QString& filter);

    // Qt's own texts (the buttons of the message boxes, the file dialogs)
    // in Simplified Chinese, like the rest of the program, from the Qt
    // translations installed on the system. False, and Qt's English, when
    // they are not installed.
    static bool useChineseQtTexts();

protected:
    void closeOpenPrompt() override;

private:
    // Runs the modal dialog unless the program is ending; false when it
    // was not run or was closed by the end.
    bool run(QDialog& dialog, int* result);

    QPointer<QWidget> parent_;
    QPointer<QDialog> open_;
};

} // namespace quillan::platform
