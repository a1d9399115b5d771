// Runs the window tests with real Qt widgets. Without a display the offscreen platform is used
// (test discovery runs the binary without the environment that ctest gives the tests).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

#include "ui/qt/desktop.h"
#include "ui/qt/qt_services.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    heatx::ui::ConfigureApplication(app);
    // Most window tests click a window right after showing it; the press guard's own tests turn it on.
    heatx::ui::SetNewWindowPressGuard(false);
    return RUN_ALL_TESTS();
}
