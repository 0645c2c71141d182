#include "platform/qt/QtPrompts.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillan::platform;

TEST(QtPrompts, FiltersInTheFormOfQtDialogs)
{
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("*.ini 笔录模板文件|*.ini")), QStringLiteral("*.ini 笔录模板文件 (*.ini)"));
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("WAV录音文件|*.wav")), QStringLiteral("WAV录音文件 (*.wav)"));
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("a|*.a;*.b|b|*.c")), QStringLiteral("a (*.a *.b);;b (*.c)"));
}

TEST(QtPrompts, MessageBoxShowsTextTitleAndButtons)
{
    QtPrompts prompts;
    QString text;
    QString title;
    int buttons = 0;
    // Answer the modal box from inside its own event loop.
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                text = box->text();
                title = box->windowTitle();
                buttons = int(box->buttons().size());
                box->button(QMessageBox::Yes)->click();
            }
        }
    });
    const Answer a = prompts.message(QStringLiteral(" 文件以经存在，是否覆盖老文件？ "), QStringLiteral("提 示："), Buttons::YesNo);
    EXPECT_EQ(a, Answer::Yes);
    EXPECT_EQ(text, QStringLiteral(" 文件以经存在，是否覆盖老文件？ "));
    EXPECT_EQ(title, QStringLiteral("提 示："));
    EXPECT_EQ(buttons, 2);
}

TEST(QtPrompts, FileDialogOffersTheUnitsFilterAndRemembersTheChoice)
{
    QtPrompts prompts;
    FileDialogUnit unit{QStringLiteral("通用对话框2"), FileDialogUnit::Mode::Open, QStringLiteral("*.ini 笔录模板文件|*.ini"),
                        QStringLiteral("ini"), {}};
    QStringList filters;
    QString suffix;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                filters = d->nameFilters();
                suffix = d->defaultSuffix();
                d->reject();
            }
        }
    });
    EXPECT_EQ(prompts.chooseFile(unit), std::nullopt);
    EXPECT_EQ(filters, QStringList{QStringLiteral("*.ini 笔录模板文件 (*.ini)")});
    EXPECT_EQ(suffix, QStringLiteral("ini"));
}

TEST(QtPrompts, FolderBrowserListsFilesAndAcceptsAChosenFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("案例1.ini"));
    QFile(file).open(QIODevice::WriteOnly);
    QtPrompts prompts;
    QString title;
    bool filesShown = false;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                title = d->windowTitle();
                filesShown = !d->testOption(QFileDialog::ShowDirsOnly);
                // The officer types the file's name into the path field.
                d->setDirectory(dir.path());
                if (auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(QStringLiteral("案例1.ini"));
                QMetaObject::invokeMethod(d, "accept");
            }
        }
    });
    // A dialog that refused the file would stay open: close it (a timer of
    // this test only, gone when it ends).
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                d->reject();
    });
    guard.start(3000);
    EXPECT_EQ(prompts.browseFolder(QStringLiteral(" ")), file);
    EXPECT_EQ(title, QStringLiteral(" "));
    EXPECT_TRUE(filesShown);
}

TEST(QtPrompts, MessageBoxLiesOverTheOpenModalWindow)
{
    QWidget main;
    QtPrompts prompts;
    prompts.setParentWindow(&main); // hidden, as at start-up
    QDialog modal;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(50, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    parent = box->parentWidget();
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        prompts.message(QStringLiteral("x"), QStringLiteral("y"), Buttons::Ok);
        modal.accept();
    });
    modal.exec();
    EXPECT_EQ(parent, &modal);
}
