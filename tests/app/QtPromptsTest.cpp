#include "platform/qt/QtPrompts.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
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

TEST(QtPrompts, TheFolderBrowserLetsTheOfficerChooseAFile)
{
    QtPrompts prompts;
    quillan::test::TempDir dir;
    const QString file = dir.write(QStringLiteral("询问.wav"), "RIFF");
    QString title;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                title = d->windowTitle();
                // Typed into the dialog's path field.
                if (auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    edit->setText(file);
                QMetaObject::invokeMethod(d, "accept");
            }
        }
    });
    // A dialog that refuses the file is closed unanswered, so the test fails
    // instead of waiting.
    QTimer::singleShot(3000, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                d->reject();
    });
    EXPECT_EQ(prompts.browseFolder(QStringLiteral(" ")), std::optional<QString>(file));
    EXPECT_EQ(title, QStringLiteral(" "));
}
