// The menu "监察文书" as the window binds it: every entry reaches the command
// with its own form, and the success text lands in part 0 of the status bar.
#include "AppFixture.h"

#include "library/InspectionDocuments.h"

#include <QAction>
#include <gtest/gtest.h>

using namespace quillan;
using quillan::test::AppFixture;

TEST(DocumentCommandsApp, EveryMenuEntryOpensItsOwnFormAndOkReportsInTheStatusBar)
{
    AppFixture f;
    f.app->start();
    f.engine->setInstallPathText(QStringLiteral("/usr/lib/libreoffice/program/\r\n"));
    word::PrintResult done;
    done.status = word::PrintResult::Status::Completed;
    f.engine->setPrintResult(done);

    for (const library::InspectionDocument& d : library::inspectionDocuments()) {
        SCOPED_TRACE(d.caption);
        QAction* action = f.win().menuAction(QStringLiteral("监察文书"), d.captionText());
        ASSERT_NE(action, nullptr);
        f.engine->clearCalls();
        f.prompts->clear();
        f.prompts->answerNext(platform::Answer::Cancel);
        action->trigger();
        const QString path = f.paths.scratchDir + QLatin1Char('/') + d.scratchFileName();
        EXPECT_TRUE(f.engine->calls().contains(QStringLiteral("open ") + path));
        ASSERT_FALSE(f.shell->started().isEmpty());
        EXPECT_EQ(f.shell->started().last().arguments, (QStringList{QStringLiteral("-n"), path}));
        EXPECT_EQ(test::readFile(path), library::inspectionDocumentBytes(d));
    }

    f.prompts->answerNext(platform::Answer::Ok);
    f.win().menuAction(QStringLiteral("监察文书"), QStringLiteral("监察文书大全"))->trigger();
    EXPECT_EQ(f.session().officeFolder, QStringLiteral("/usr/lib/libreoffice/program/"));
    EXPECT_EQ(f.win().statusPart0(), QStringLiteral("打印监察文书成功..."));
}
