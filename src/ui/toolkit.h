// What a platform supplies beneath the window model: native windows with their background picture,
// native controls, the screen's metrics and the application's side of the end of the run.
//
// The window model (Form, the controls, Platform) keeps every property the windows read back and
// does all arithmetic of units: a native window or control is told pixels, colours, fonts and texts
// and only shows them. It calls back through plain callbacks; the model runs them under its guard,
// so a platform never sees a window's logic nor the end of the run's exception.
//
// A platform implements Toolkit once (the Qt platform in ui/qt, a browser's DOM in ui/web) and is
// handed to Platform when the run starts. Nothing here is tied to one windowing system.
#pragma once

#include <functional>
#include <string>

#include "ui/color.h"

namespace heatx::ui {

// A font as the windows name it; the platform maps the family to a face it has. points == 0 means
// the platform's default size (a window's font), or the window's font (a control without its own).
struct FontSpec {
    std::string family;
    double points = 0.0;
    bool bold = false;
    bool italic = false;
};

// A rectangle in pixels: the top-left corner and the size.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// ---- Controls ------------------------------------------------------------------------------------

// What every native control does. Geometry is relative to its window's inner area. A control belongs
// to its native window and goes with it.
class NativeControl {
  public:
    virtual ~NativeControl() = default;

    virtual void SetGeometry(const PixelRect& rect) = 0;
    // The geometry as it is now.
    virtual PixelRect Geometry() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // In the keyboard's tab order or not; out of it the control can still hold or be given the focus.
    virtual void SetTabStop(bool tabStop) = 0;
    virtual void SetFont(const FontSpec& font) = 0;
    // Gives the control the keyboard focus of its window (it shows when the window is active).
    virtual void SetFocus() = 0;
    // Whether the control is its window's focus control.
    virtual bool HasFocus() const = 0;
    // What a screen reader says for the control instead of its visible text ("" : the visible text).
    virtual void SetAccessibleName(const std::string& name) { (void)name; }
    // The window object above is going away: drop every callback given to this control. The native
    // control may outlive it by a moment and must then run nothing.
    virtual void DropCallbacks() = 0;
};

class NativeButton : public NativeControl {
  public:
    // Caption and accessible name. A caption wider than the button is set in a smaller size of its font.
    virtual void SetCaption(const std::string& caption) = 0;
    // An exact flat face of this colour with a bevelled border instead of the system's button.
    virtual void SetBackColor(Color color) = 0;
    // Runs when the person presses the button (pointer, Enter, Space).
    virtual void OnClicked(std::function<void()> callback) = 0;
};

class NativeLabel : public NativeControl {
  public:
    // Plain text, left aligned from the top; "\n" starts a new line (the model turns "\r\n" and "\r"
    // into "\n"). Nothing is cut off: text that does not fit is set closer or smaller.
    virtual void SetCaption(const std::string& text) = 0;
    // Text colour, and the background: opaque in backColor, or transparent over the window's picture.
    virtual void SetColors(Color foreColor, Color backColor, bool transparent) = 0;
    virtual void SetWordWrap(bool wrap) = 0;
};

// A list of text lines with at most one selected line. The keyboard moves a highlight without
// choosing; Enter or Space chooses. A disabled list stays readable (normal colours) and chooses
// nothing, but a screen reader's user can still move through its lines from the keyboard (a
// review): it keeps its place in the tab order without taking the focus of its own accord.
class NativeList : public NativeControl {
  public:
    virtual void Clear() = 0;
    // Inserts a line at index (0 <= index <= Count()).
    virtual void Insert(int index, const std::string& text) = 0;
    // Removes line index (0 <= index < Count()); selecting nothing if it was the selected line.
    virtual void Remove(int index) = 0;
    virtual int Count() const = 0;
    virtual std::string Line(int index) const = 0;
    // The selected line, -1 when none.
    virtual int Selected() const = 0;
    // Selects line index (-1: none) without running the callback.
    virtual void Select(int index) = 0;
    // Runs when the person chooses a line (a click on it, or Enter/Space on the keyboard's line),
    // after the line has been selected.
    virtual void OnChosen(std::function<void()> callback) = 0;
    // The height of every line, in pixels (a window drawn smaller has lower lines).
    virtual void SetRowPixels(int rowPixels) { (void)rowPixels; }
    // Puts the keyboard's place (the highlight a screen reader reads) on line index without choosing it.
    virtual void SetKeyboardLine(int index) { (void)index; }
    // What a screen reader says for line index instead of its text ("": the text); it goes with the line.
    virtual void SetLineAccessibleName(int index, const std::string& name) {
        (void)index;
        (void)name;
    }
};

// ---- Windows -------------------------------------------------------------------------------------

// What a native window tells its window.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    // The window is about to show its picture: the model may draw into it first (Form_Paint).
    virtual void BeforePaint() = 0;
    // The window manager's close button (the window stays; the model decides).
    virtual void CloseRequested() = 0;
};

// What a window is to a screen reader: a plain window, a dialog, or an alert whose message is read
// as it opens.
enum class WindowRole { Window, Dialog, Alert };

// A top-level window: a title, a geometry in pixels (the inner area), its controls, and a
// persistent background picture that the platform shows beneath the controls, with printed texts
// on top of the picture.
class NativeWindow {
  public:
    // ---- Window ----
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetGeometry(const PixelRect& rect) = 0;
    // The geometry as it is now (a window manager or the person may have moved it).
    virtual PixelRect Geometry() const = 0;
    // Shows the window, raises it and gives it the keyboard focus (its focus settled, see SettleFocus).
    virtual void Show() = 0;
    // Shows the window as a dialog over owner: kept above it and focused.
    virtual void ShowOver(NativeWindow& owner) = 0;
    // Makes the window a dialog window (before it is first shown).
    virtual void MakeDialog() = 0;
    // The name a screen reader says for the window ("": the title) and its role.
    virtual void SetAccessibleName(const std::string& name) { (void)name; }
    virtual void SetRole(WindowRole role) { (void)role; }
    // Has a screen reader say text now, without moving the focus (new results on the window).
    virtual void Announce(const std::string& text) { (void)text; }
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // The window's font: printed text and controls without a font of their own.
    virtual void SetFont(const FontSpec& font) = 0;
    // When the window has no usable focus control (or force), the focus goes to the first visible,
    // enabled control in the tab order (the order of creation); without one it rests on the window.
    virtual void SettleFocus(bool force) = 0;

    // ---- The picture (pixels of the inner area) ----
    // Clears the whole picture to a colour; it is also the colour of picture area that a larger
    // window uncovers later.
    virtual void ClearPicture(Color color) = 0;
    // An opaque box, every pixel of rect.
    virtual void FillBox(const PixelRect& rect, Color color) = 0;
    // A one-pixel outline on the pixels just inside rect.
    virtual void OutlineBox(const PixelRect& rect, Color color) = 0;
    // A text whose top-left corner is at (x, y), in the window's font as it is now, in a colour.
    virtual void AddText(double x, double y, const std::string& text, Color color) = 0;
    // Removes every printed text.
    virtual void ClearTexts() = 0;
    // Repaints soon (once the handler returns) / at once.
    virtual void RequestRepaint() = 0;
    virtual void RepaintNow() = 0;

    // ---- Controls, created in the order of the tab chain; owned by the window ----
    virtual NativeButton& AddButton(const std::string& name) = 0;
    virtual NativeLabel& AddLabel(const std::string& name) = 0;
    // rowPixels: the height of every line.
    virtual NativeList& AddList(const std::string& name, int rowPixels) = 0;

    // ---- Lifetime ----
    // The window object is going away: stop calling events, drop the controls' callbacks, hide, and
    // destroy this native window with its controls now or, with later, once control has returned to
    // the event loop (a handler of the window may still be running).
    virtual void Destroy(bool later) = 0;

  protected:
    // Only Destroy ends a native window.
    virtual ~NativeWindow() = default;
};

// ---- The platform's application side ---------------------------------------------------------------

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // A new hidden window named name (for tests and assistive tools) that reports to events.
    virtual NativeWindow* CreateWindow(const std::string& name, WindowEvents& events) = 0;

    // The primary screen's logical dots per inch and size in pixels.
    virtual double LogicalDpiX() const = 0;
    virtual double LogicalDpiY() const = 0;
    virtual int ScreenWidthPixels() const = 0;
    virtual int ScreenHeightPixels() const = 0;
    // The part of the primary screen a window may take (without panels), in pixels.
    virtual PixelRect AvailableArea() const {
        return PixelRect{0, 0, ScreenWidthPixels(), ScreenHeightPixels()};
    }
    // The size of the platform's default font (a window's font when it names none), 0 when unknown.
    virtual double DefaultFontPoints() const { return 0.0; }
    // The system's window background colour (new windows and labels).
    virtual Color WindowColor() const = 0;

    // The end of the run: hides every window and leaves the running event loop with exitCode.
    virtual void EndRun(int exitCode) = 0;
};

}  // namespace heatx::ui
