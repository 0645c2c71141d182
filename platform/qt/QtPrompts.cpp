#include "platform/qt/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include <utility>

namespace quillan::platform {

namespace {

// A folder browser in which a file can be chosen as well.
class FileOrFolderDialog final : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && QFileInfo(chosen.constFirst()).isFile()) {
            // Past QFileDialog's own accept on purpose: a file closes the
            // dialog as chosen.
            QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QString QtPrompts::qtFilter(const QString& filter)
{
    QStringList entries;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

bool QtPrompts::useChineseQtTexts()
{
    static QTranslator* installed = nullptr;
    if (installed)
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

bool QtPrompts::run(QDialog& dialog, int* result)
{
    if (interrupted())
        return false;
    QPointer<QDialog> outer = std::exchange(open_, &dialog);
    *result = dialog.exec();
    open_ = std::move(outer);
    return !interrupted();
}

void QtPrompts::closeOpenPrompt()
{
    if (open_)
        open_->reject();
}

Answer QtPrompts::message(const QString& text, const QString& title, Buttons buttons)
{
    // Over the window that asked when a modal one is open (the password
    // windows), so the box is centred on it, not on a hidden main window.
    QWidget* modal = QApplication::activeModalWidget();
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, modal ? modal : parent_.data());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    int result = 0;
    if (!run(box, &result))
        return Answer::Interrupted;
    switch (result) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::chooseFile(FileDialogUnit& unit)
{
    QFileDialog dialog(parent_);
    dialog.setObjectName(unit.objectName);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setNameFilter(qtFilter(unit.filter));
    dialog.setDefaultSuffix(unit.defaultExtension);
    const bool save = unit.mode == FileDialogUnit::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!unit.lastFileName.isEmpty()) {
        const QFileInfo last(unit.lastFileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    int result = 0;
    if (!run(dialog, &result) || result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    unit.lastFileName = dialog.selectedFiles().constFirst();
    return unit.lastFileName;
}

std::optional<QString> QtPrompts::browseFolder(const QString& title)
{
    FileOrFolderDialog dialog(parent_, title);
    dialog.setWindowModality(Qt::ApplicationModal);
    // Folders and files listed, a field to type a path in; a file can be
    // chosen (a dialog in folder mode accepts folders only).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    int result = 0;
    if (!run(dialog, &result) || result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace quillan::platform
