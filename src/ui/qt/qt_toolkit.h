// The Qt platform beneath the window model: every window is a top-level QWidget that keeps its
// background picture in a QImage, every control a Qt widget (ui/toolkit.h says what each does).
#pragma once

#include <string>

#include "ui/toolkit.h"

class QWidget;

namespace heatx::ui {

class Form;
class Control;

class QtToolkit : public Toolkit {
  public:
    NativeWindow* CreateWindow(const std::string& name, WindowEvents& events) override;
    // The primary screen's; 96 dpi and 800 x 600 pixels while no application runs.
    double LogicalDpiX() const override;
    double LogicalDpiY() const override;
    int ScreenWidthPixels() const override;
    int ScreenHeightPixels() const override;
    Color WindowColor() const override;
    // The primary screen's available geometry (without panels and docks).
    PixelRect AvailableArea() const override;
    // The application font's size.
    double DefaultFontPoints() const override;
    // Hides every top-level widget and leaves the running event loop (if one runs: exit() without
    // one would leave the quit flag for a later exec()).
    void EndRun(int exitCode) override;
};

// The Qt widget beneath a window or a control (tests of the Qt platform); nullptr when the window
// has been released or does not live on the Qt platform.
QWidget* WidgetOf(const Form& form);
QWidget* WidgetOf(const Control& control);

}  // namespace heatx::ui
