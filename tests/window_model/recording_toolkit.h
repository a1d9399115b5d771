// A platform without any windowing system: its native windows and controls record what the window
// model tells them, and a test plays the person by calling the callbacks they were given. Proves
// that the window model, the windows and the run procedures run without Qt.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace heatx::ui::testing {

struct RecordedControl {
    std::string kind;  // "button", "label", "list"
    std::string name;
    PixelRect geometry;
    bool visible = true;
    bool enabled = true;
    std::string caption;
    Color backColor = 0;
    std::vector<std::string> lines;
    int selected = -1;
    std::function<void()> callback;  // a click or a chosen line
};

// One window's record, kept after the native window is destroyed.
struct RecordedWindow {
    std::string name;
    std::string title;
    PixelRect geometry;
    bool visible = false;
    bool destroyed = false;
    bool destroyedLater = false;
    WindowEvents* events = nullptr;
    // The picture's operations, in order: "clear #RRGGBB", "fill l,t,w,h #RRGGBB", "outline ...",
    // "text x,y #RRGGBB TEXT", "clear-texts".
    std::vector<std::string> picture;
    std::vector<std::shared_ptr<RecordedControl>> controls;
};

class RecordingToolkit : public Toolkit {
  public:
    NativeWindow* CreateWindow(const std::string& name, WindowEvents& events) override;
    double LogicalDpiX() const override { return 96.0; }
    double LogicalDpiY() const override { return 96.0; }
    int ScreenWidthPixels() const override { return 1024; }
    int ScreenHeightPixels() const override { return 768; }
    Color WindowColor() const override { return 0xC0C0C0; }
    void EndRun(int exitCode) override {
        ended = true;
        endCode = exitCode;
        for (const auto& window : windows) {
            window->visible = false;
        }
    }

    // The newest record of the window with this name.
    RecordedWindow& Window(const std::string& name);
    RecordedControl& Control(const std::string& window, const std::string& control);

    std::vector<std::shared_ptr<RecordedWindow>> windows;
    bool ended = false;
    int endCode = -1;
};

}  // namespace heatx::ui::testing
