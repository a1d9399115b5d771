// What the accessibility bridge learns from the windows: an unloaded window's controls let go of
// their widgets by their own handlers only, so that whoever else watches a widget, as the bridge's
// cache of accessible objects does, still hears that it is gone; and their handlers no longer run.
// (The lines a list announces are checked on the real bus: e2e.accessibility_probe.)
#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "window_test_support.h"

namespace heatx::ui::testing {
namespace {

class ControlsWindow : public Form {
  public:
    explicit ControlsWindow(Platform& platform) : Form(platform, "ControlsWindow") {
        Command1.SetCaption("ДАЛЕЕ");
        List1.Move(100, 600, 3000, 2000);
    }
    Button& Command1 = AddButton("Command1");
    Label& Label1 = AddLabel("Label1");
    ListBox& List1 = AddList("List1");
};

class AccessibilityTest : public WindowTest {};

// Whoever watches the widgets, as the accessibility cache does, through their "destroyed" signal.
std::vector<std::string> WatchDestruction(ControlsWindow& form, std::vector<std::string>& gone) {
    std::vector<std::string> names;
    for (QWidget* widget : {WidgetOf(form.Command1), WidgetOf(form.Label1), WidgetOf(form.List1)}) {
        const std::string name = widget->objectName().toStdString();
        names.push_back(name);
        QObject::connect(widget, &QObject::destroyed, [&gone, name] { gone.push_back(name); });
    }
    return names;
}

TEST_F(AccessibilityTest, UnloadedControlsTellTheirWatchersThatTheirWidgetsAreGone) {
    auto& form = platform.Forms().Get<ControlsWindow>();
    form.Show();
    std::vector<std::string> gone;
    const std::vector<std::string> names = WatchDestruction(form, gone);
    form.Unload();
    platform.Forms().CollectUnloaded();
    EXPECT_EQ(gone, names);
}

TEST_F(AccessibilityTest, AWindowUnloadedByItsOwnButtonTellsTheWatchersToo) {
    auto& form = platform.Forms().Get<ControlsWindow>();
    form.Command1.OnClick([&form] { form.Unload(); });
    form.Show();
    std::vector<std::string> gone;
    const std::vector<std::string> names = WatchDestruction(form, gone);
    auto* button = static_cast<QPushButton*>(WidgetOf(form.Command1));
    // The widgets go with deleteLater, after the handler: inside the event loop.
    RunInEventLoop(platform, [button] { QTimer::singleShot(0, button, [button] { button->click(); }); });
    EXPECT_EQ(gone, names);
}

TEST_F(AccessibilityTest, AnUnloadedWindowsHandlersNoLongerRun) {
    auto& form = platform.Forms().Get<ControlsWindow>();
    int clicks = 0;
    form.Command1.OnClick([&form, &clicks] {
        ++clicks;
        form.Unload();
    });
    form.Show();
    QPointer<QPushButton> button = static_cast<QPushButton*>(WidgetOf(form.Command1));
    RunInEventLoop(platform, [button, &clicks] {
        button->click();
        EXPECT_EQ(clicks, 1);
        // The window is released after this handler; its widget outlives its control for a
        // moment, and a click on it then runs nothing.
        QTimer::singleShot(0, [button, &clicks] {
            if (!button.isNull()) {
                button->click();
            }
            EXPECT_EQ(clicks, 1);
        });
    });
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace heatx::ui::testing
