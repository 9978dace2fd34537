// Start-up: the application runs the main window modally and ends with it;
// orvanta-client refuses bad arguments with a message and status 2.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "platform/memory_volume.h"
#include "ui/client_app.h"
#include "ui/main_dlg.h"
#include "ui_test_support.h"

namespace orvanta {
namespace {

TEST(ClientApp, RunsTheMainWindowModallyAndReturnsFalseWhenItCloses) {
    MemoryVolumeSystem volumes;
    CClientApp app(volumes, nullptr);
    bool sawWindow = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        CMainDlg* window = app.MainWindow();
        // Escape is the window's shortcut, which needs the window active, as
        // it is under a user's keys.
        if (window == nullptr || !window->isVisible() || !window->isActiveWindow()) return;
        sawWindow = QApplication::activeModalWidget() == window;
        poll.stop();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    poll.start(20);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_TRUE(sawWindow);
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST(ClientProgram, BadArgumentsGiveAMessageAndStatusTwo) {
    const char* binDir = std::getenv("ORVANTA_BIN_DIR");
    const QString program = QString::fromLocal8Bit(binDir ? binDir : "") + QStringLiteral("/orvanta-client");
    if (binDir == nullptr || !QFileInfo(program).isExecutable()) GTEST_SKIP() << "orvanta-client is not built";
    struct Case { QStringList args; const char* message; };
    const Case cases[] = {
        {{QStringLiteral("--bogus")}, "Unknown option 'bogus'"},
        {{QStringLiteral("card.img")}, "unexpected argument 'card.img'"},
        {{QStringLiteral("--drive")}, "Missing value after '--drive'"},
        {{QStringLiteral("--drive"), QStringLiteral("1=/dev/null")}, "D to Z"},
        {{QStringLiteral("--drive"), QStringLiteral("B=/dev/null")}, "D to Z"},
        {{QStringLiteral("--drive=E=")}, "drive"},
        {{QStringLiteral("--lang")}, "Missing value after '--lang'"},
        {{QStringLiteral("--lang"), QStringLiteral("de")}, "zh or en"},
        {{QStringLiteral("--lang=")}, "zh or en"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        QProcess process;
        process.start(program, c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2);
        const QByteArray errors = process.readAllStandardError();
        EXPECT_NE(errors.indexOf(c.message), -1) << errors.constData();
        EXPECT_NE(errors.indexOf("Try 'orvanta-client --help'"), -1) << errors.constData();
    }
    // Help and version need no display and end with status 0.
    const struct {
        const char* flag;
        const char* shows;
    } answers[] = {{"--help", "--drive <L=PATH>"}, {"-h", "--lang <zh|en>"}, {"--version", "orvanta-client "}};
    for (const auto& a : answers) {
        SCOPED_TRACE(a.flag);
        QProcess process;
        process.start(program, {QString::fromLatin1(a.flag)});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0);
        EXPECT_NE(process.readAllStandardOutput().indexOf(a.shows), -1);
    }
}

// An error after the picture tool has started its loopback server (here a bad
// --time) ends with a message and status 2, as any bad argument does, not with
// an abort.
TEST(WindowShotProgram, AnErrorAfterTheServerStartedEndsCleanly) {
    const char* binDir = std::getenv("ORVANTA_BIN_DIR");
    const QString program = QString::fromLocal8Bit(binDir ? binDir : "") + QStringLiteral("/orvanta-window-shot");
    if (binDir == nullptr || !QFileInfo(program).isExecutable()) GTEST_SKIP() << "orvanta-window-shot is not built";
    QProcess process;
    process.start(program, {QStringLiteral("--out"), QDir::temp().filePath(QStringLiteral("never.png")),
                            QStringLiteral("--time"), QStringLiteral("not a time")});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_NE(process.readAllStandardError().indexOf("--time needs"), -1);
}

}  // namespace
}  // namespace orvanta
