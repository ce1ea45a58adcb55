// The main of test programs that need a QApplication (widgets, fonts, events). They run on the
// offscreen platform unless told otherwise, so they need no display; a platform theme could
// bring a native file dialog that hangs an offscreen run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    // Settings written by tests go to a test location, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
