// GoogleTest main for the window tests: one QApplication for the whole run, on
// the offscreen platform unless another is asked for.
#include <unistd.h>

#include <cstdlib>

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The browser engine's sandbox cannot run as root; for other users it stays on.
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    // Quiet the engine's own logging of GPU fallbacks on a machine without one.
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --log-level=3", 0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
