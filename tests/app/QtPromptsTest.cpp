#include "platform/qt/QtPrompts.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillan::platform;

TEST(QtPrompts, FiltersInTheFormOfQtDialogs)
{
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("*.ini 笔录模板文件|*.ini")),
              QStringLiteral("*.ini 笔录模板文件 (*.ini)"));
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("WAV录音文件|*.wav")),
              QStringLiteral("WAV录音文件 (*.wav)"));
    EXPECT_EQ(QtPrompts::qtFilter(QStringLiteral("a|*.a;*.b|b|*.c")), QStringLiteral("a (*.a *.b);;b (*.c)"));
}

// The box shows the text and title as given, with Qt's buttons in Chinese
// like the rest of the program; Esc or the close box is the safe answer.
TEST(QtPrompts, MessageBoxShowsTextTitleAndChineseButtons)
{
    ASSERT_TRUE(QtPrompts::useChineseQtTexts())
        << "Qt's Chinese texts are missing (install qt6-translations-l10n)";
    struct Case
    {
        Buttons buttons;
        QStringList captions;
        QMessageBox::StandardButton click; // NoButton: the box is closed with Esc
        Answer answer;
    };
    const Case cases[] = {
        {Buttons::YesNo, {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}, QMessageBox::Yes, Answer::Yes},
        {Buttons::YesNo,
         {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")},
         QMessageBox::NoButton,
         Answer::No},
        {Buttons::OkCancel, {QStringLiteral("确定"), QStringLiteral("取消")}, QMessageBox::Ok, Answer::Ok},
        {Buttons::OkCancel,
         {QStringLiteral("确定"), QStringLiteral("取消")},
         QMessageBox::NoButton,
         Answer::Cancel},
        {Buttons::Ok, {QStringLiteral("确定")}, QMessageBox::Ok, Answer::Ok},
    };
    for (const Case& c : cases) {
        QtPrompts prompts;
        QString text;
        QString title;
        QStringList captions;
        // Answer the modal box from inside its own event loop.
        QTimer::singleShot(50, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    text = box->text();
                    title = box->windowTitle();
                    for (QAbstractButton* b : box->buttons())
                        captions << b->text();
                    if (c.click != QMessageBox::NoButton)
                        box->button(c.click)->click();
                    else
                        QTest::keyClick(box, Qt::Key_Escape);
                }
            }
        });
        const Answer a = prompts.message(QStringLiteral(" 文件以经存在，是否覆盖老文件？ "),
                                         QStringLiteral("提 示："), c.buttons);
        EXPECT_EQ(a, c.answer);
        EXPECT_EQ(text, QStringLiteral(" 文件以经存在，是否覆盖老文件？ "));
        EXPECT_EQ(title, QStringLiteral("提 示："));
        EXPECT_EQ(captions.join(QLatin1Char('|')).toStdString(),
                  c.captions.join(QLatin1Char('|')).toStdString());
    }
}

TEST(QtPrompts, FileDialogOffersTheUnitsFilterAndRemembersTheChoice)
{
    QtPrompts prompts;
    FileDialogUnit unit{QStringLiteral("通用对话框2"),
                        FileDialogUnit::Mode::Open,
                        QStringLiteral("*.ini 笔录模板文件|*.ini"),
                        QStringLiteral("ini"),
                        {}};
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
