// "--version" and "--help" are answered on the terminal, with no display.
#include <QProcess>
#include <gtest/gtest.h>

TEST(CommandLine, VersionAndHelpAnswerOnTheTerminalWithoutADisplay)
{
    for (const char* option : {"--version", "--help"}) {
        SCOPED_TRACE(option);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(variable));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(QUILLAN_EXECUTABLE), {QString::fromLatin1(option)});
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_EQ(program.readAllStandardError(), QByteArray());
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        if (option == std::string_view("--version"))
            EXPECT_EQ(out, QStringLiteral("quillan " QUILLAN_VERSION "\n"));
        else
            EXPECT_TRUE(out.startsWith(QStringLiteral("用法：quillan [--help] [--version]\n")) &&
                        out.contains(QStringLiteral("Quillan/BL")))
                << out.toStdString();
    }
}
