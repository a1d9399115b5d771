// Shared set-up of the window tests: the Qt platform with scripted dialogs, a counted beep, a logged
// keyboard, a fixed clock and a recording printer, and the context of a run on it; and running a
// scenario inside the event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "reports/clock.h"
#include "reports/printer.h"
#include "ui/form.h"
#include "ui/platform.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/run_context.h"
#include "ui/scripted/scripted_services.h"

namespace heatx::ui::testing {

// The date printed on test reports.
inline constexpr heatx::LocalDateTime kTestMoment{2024, 3, 15, 10, 30, 0};

struct TestPlatform {
    // The screen of the real-window roads (1280 x 1024): the offscreen platform's 800 x 600 screen is
    // too small for the evaporator windows, which would then be drawn smaller to fit.
    TestPlatform() { platform.OverrideScreen(1280, 1024); }
    QtToolkit toolkit;
    ScriptedDialogs dialogs;
    ScriptedSound sound;
    ScriptedKeyboard keyboard;
    heatx::FixedClock clock{kTestMoment};
    heatx::RecordingPrinter printer;
    Platform platform{toolkit, dialogs, sound, keyboard, clock, printer};
    heatx::RunContext run{platform};
};

// Runs the scenario as a handler inside QApplication::exec(), as the program's handlers run, and
// returns when the event loop has ended: after the scenario (and the events it left) when the run
// goes on, at once when the run ends (a run already ended runs no scenario). A scenario that runs longer than
// timeoutMs (e.g. a modal dialog that nobody closes) fails the test and is cut off. Returns the event loop's
// exit code.
inline int RunInEventLoop(Platform& platform, const std::function<void()>& scenario, int timeoutMs = 10000) {
    QObject context;
    bool timedOut = false;
    QTimer::singleShot(0, &context, [&platform, &scenario, &context] {
        platform.Guard(scenario);
        // After the events the scenario left behind. When the run has ended the loop is already
        // leaving and this never fires.
        QTimer::singleShot(0, &context, [] { QCoreApplication::exit(0); });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &context, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(-1);
    });
    watchdog.start(timeoutMs);
    const int code = QApplication::exec();
    EXPECT_FALSE(timedOut) << "the scenario did not finish within " << timeoutMs << " ms";
    return code;
}

// The colour of one pixel of a widget as drawn now.
inline QColor PixelOf(QWidget* widget, int x, int y) {
    return widget->grab().toImage().pixelColor(x, y);
}

// Base of window tests.
class WindowTest : public ::testing::Test {
  protected:
    TestPlatform services;
    Platform& platform = services.platform;
    heatx::RunContext& run = services.run;
    ScriptedDialogs& dialogs = services.dialogs;
};

}  // namespace heatx::ui::testing
