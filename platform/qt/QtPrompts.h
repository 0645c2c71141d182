#pragma once

#include "platform/Prompts.h"

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

private:
    QPointer<QWidget> parent_;
};

} // namespace quillan::platform
