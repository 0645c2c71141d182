#include "doubles/ScriptedPrompts.h"

namespace quillan::platform {

Answer ScriptedPrompts::message(const QString& text, const QString& title, Buttons buttons)
{
    if (interrupted())
        return Answer::Interrupted;
    shown_.append(Shown{text, title, buttons});
    if (!answers_.empty()) {
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    }
    return Answer::Cancel;
}

std::optional<QString> ScriptedPrompts::nextPath(const QString& dialog)
{
    if (interrupted())
        return std::nullopt;
    dialogs_.append(dialog);
    if (files_.empty())
        return std::nullopt;
    const auto [chosen, path] = files_.front();
    files_.pop_front();
    if (!chosen)
        return std::nullopt;
    return path;
}

std::optional<QString> ScriptedPrompts::chooseFile(FileDialogUnit& dialog)
{
    const std::optional<QString> path = nextPath(dialog.objectName);
    if (path)
        dialog.lastFileName = *path;
    return path;
}

std::optional<QString> ScriptedPrompts::browseFolder(const QString& title)
{
    return nextPath(title);
}

} // namespace quillan::platform
