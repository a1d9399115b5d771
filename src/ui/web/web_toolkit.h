// The browser platform beneath the window model: every native window and control is an element of the
// page, made and changed through the page's runtime (runtime.js). The page calls back through
// heatx_web_event; each call runs one handler of the program, which may wait in a modal box (the stack
// suspended by Asyncify) while the page goes on.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace heatx::ui::web {

class WebWindow;

class WebToolkit : public Toolkit {
  public:
    WebToolkit();
    ~WebToolkit() override;
    WebToolkit(const WebToolkit&) = delete;
    WebToolkit& operator=(const WebToolkit&) = delete;

    // The one toolkit of the page (the page's events reach the program through it).
    static WebToolkit* Current();

    NativeWindow* CreateWindow(const std::string& name, WindowEvents& events) override;
    double LogicalDpiX() const override { return 96.0; }
    double LogicalDpiY() const override { return 96.0; }
    int ScreenWidthPixels() const override;
    int ScreenHeightPixels() const override;
    Color WindowColor() const override;
    void EndRun(int exitCode) override;

    bool Ended() const { return ended_; }
    int ExitCode() const { return exitCode_; }

    // An event of the page: kind 1 a button pressed, 2 a list line chosen (arg: the line), 3 a window's
    // close button. Runs the callback, then the repaints asked for and the windows let go of meanwhile.
    void Dispatch(int kind, int id, int arg);
    // Repaints the windows that asked for it and destroys the windows let go of (after a handler, and
    // before a modal box shows the page to the student).
    void Settle();

    // ---- Used by the windows and controls ----
    void RegisterCallback(int id, std::function<void(int)> callback);
    void DropCallback(int id);
    void RegisterWindow(int id, WebWindow* window);
    void ForgetWindow(int id);
    void AskRepaint(WebWindow* window);
    void DestroyLater(WebWindow* window);

  private:
    std::map<int, std::function<void(int)>> callbacks_;
    std::map<int, WebWindow*> windows_;
    std::vector<WebWindow*> repaints_;
    std::vector<WebWindow*> doomed_;
    bool ended_ = false;
    int exitCode_ = 0;
    int depth_ = 0;
};

}  // namespace heatx::ui::web
