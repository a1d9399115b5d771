// Desktop behaviour of the platform layer: what a person at the keyboard and the mouse expects of
// the windows besides what they draw.
//
// - A window, input box or message box that has just appeared ignores pointer presses for the
//   system's double-click interval, so that the second click of a double click on a button never
//   answers the window the first click opened.
// - Input and message boxes take the keyboard focus when they open and give it back to the window
//   below when they close (without a window manager nobody else does).
// - Focus marks: a dotted rectangle drawn inside a control's border.
// - A window whose caption is empty shows an empty title bar (the windowing layer would otherwise put
//   the program's name there, and a window manager its own placeholder).
#pragma once

#include <QPointer>
#include <QWidget>

class QApplication;
class QPainter;
class QRect;
class QColor;

namespace heatx::ui {

// Chooses the platform plugin before the application starts, unless QT_QPA_PLATFORM chooses it: in
// a Wayland session that also offers X11 (XWayland: WAYLAND_DISPLAY and DISPLAY both set) the X11
// plugin, so that windows and boxes open at the places they are designed for (Wayland leaves a
// window's place to the compositor); a Wayland session without X11 gets the Wayland plugin.
void ChoosePlatformPlugin();

// Installs the press guard on the application (done by ConfigureApplication).
void InstallDesktopBehaviour(QApplication& app);

// Whether newly shown windows ignore pointer presses (on by default). The window tests that click
// a window right after showing it switch it off.
void SetNewWindowPressGuard(bool on);
bool NewWindowPressGuard();

// Makes a top-level window the active one (raised, with the keyboard focus), as a window manager
// would on a new window. Does nothing on the offscreen platform, which has no stacking.
void TakeKeyboardFocus(QWidget* window);

// The window the keyboard focus goes back to when a box closes: the window most recently shown or
// activated by the program that is still visible.
void NoteProgramWindowShown(QWidget* window);
QWidget* WindowBelowBoxes();

// While it lives, a modal box: takes the focus when shown; on destruction gives the focus back to
// the window that had it (or the window below the boxes).
class BoxFocus {
  public:
    explicit BoxFocus(QWidget* box);
    ~BoxFocus();
    BoxFocus(const BoxFocus&) = delete;
    BoxFocus& operator=(const BoxFocus&) = delete;

  private:
    QPointer<QWidget> previous_;
};

// A dotted focus rectangle inside `rect`, black on a light background and white on a dark one.
void DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& background);

// Sets the window's title on the screen to its caption; an empty caption shows as a blank title.
void ApplyWindowTitle(QWidget* window);

}  // namespace heatx::ui
