// Controls placed on a window: command buttons, labels and list boxes. They are created by the
// window's constructor (its design) with Form::AddButton, AddLabel and AddList and belong to the
// window. Positions and sizes are in twips relative to the window's inner area, whatever the
// window's drawing scale.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/color.h"
#include "ui/toolkit.h"

namespace heatx::ui {

class Form;
class Platform;

class Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The control's name ("Command3", "List1", "L0"); also the native control's name.
    const std::string& Name() const { return name_; }

    // Visible is the control's own property: a control keeps it while its window is hidden.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Whether the control takes part in the keyboard tab order (buttons and lists do by default). A
    // control out of the tab order can still hold the focus (a click, or SetFocus).
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    // Gives the control the keyboard focus of its window (it shows when the window is active).
    void SetFocus();
    // Whether the control is its window's focus control.
    bool HasFocus() const;

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);

    // Font of this control. Without it the control uses the window's font (Form::SetFont).
    void SetFont(const std::string& family, double points, bool bold = false, bool italic = false);

    // What a screen reader says for the control instead of its visible text ("": the visible text).
    void SetAccessibleName(const std::string& name);
    const std::string& AccessibleName() const { return accessibleName_; }

    // The native control beneath (the platform's own tests reach their widgets through it).
    NativeControl* Native() const { return native_; }

  protected:
    Control(Form& form, std::string name, NativeControl* native);
    Platform& platform() const;
    Form& form() const { return form_; }

  private:
    friend class Form;
    // Geometry in twips as last set, with the pixels it gave: reading back gives the twips set as
    // long as the native control still has those pixels.
    struct Axis {
        double twips = 0.0;
        int pixels = 0;
    };
    double Read(const Axis& axis, int pixels, bool horizontal) const;
    void Apply(double left, double top, double width, double height);
    // The window's object is going away: the native control drops its callbacks; it goes itself with
    // the native window.
    void Detach();

    // Whether the control is its window's focus control: a control that is hidden or disabled while
    // it has the focus passes it on (Form::SettleFocus).
    bool HoldsWindowFocus() const;

    Form& form_;
    std::string name_;
    NativeControl* native_;
    Axis left_, top_, width_, height_;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = true;
    bool detached_ = false;
    FontSpec font_;
    bool hasFont_ = false;
    std::string accessibleName_;
};

class Button : public Control {
  public:
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    // Exact flat background colour (with a bevelled border).
    void SetBackColor(Color color);
    Color BackColor() const { return backColor_; }

    // The click handler; runs under the platform's guard on a real click.
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }
    // Runs the click handler as the program's own call of the handler would, whatever the button's
    // state (like calling Command1_Click).
    void Click();
    // Presses the button as the student would: runs the handler only when the button is visible and
    // enabled on a visible window. Returns whether it ran.
    bool Press();

  private:
    friend class Form;
    Button(Form& form, std::string name, NativeButton& native);

    NativeButton& button_;
    std::string caption_;
    Color backColor_ = 0;
    bool hasBackColor_ = false;
    std::function<void()> onClick_;
};

class Label : public Control {
  public:
    // Caption; a carriage return "\r" (or "\r\n", or "\n") starts a new line.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color);
    // An opaque background of this colour (the default is the system's window colour, opaque).
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    // A transparent label shows the window beneath its text.
    void SetTransparent(bool transparent);
    bool Transparent() const { return transparent_; }

    // Text is left aligned, from the top, clipped to the label. With word wrap long lines break at
    // blanks instead.
    void SetWordWrap(bool wrap);

  private:
    friend class Form;
    Label(Form& form, std::string name, NativeLabel& native);
    void ApplyColors();

    NativeLabel& label_;
    std::string caption_;
    Color foreColor_ = Rgb(0, 0, 0);
    Color backColor_ = 0;
    bool transparent_ = false;
};

class ListBox : public Control {
  public:
    void Clear();
    // Appends a line.
    void AddItem(const std::string& text);
    // Inserts a line at index (0 = first); an index beyond the end appends.
    void AddItem(const std::string& text, int index);
    // Removes line index; when it was the selected line, no line is selected afterwards.
    void RemoveItem(int index);
    int ListCount() const;
    // Text of line index ("" outside the list).
    std::string List(int index) const;

    // The selected line, -1 when none.
    int ListIndex() const;
    // Selects line index and runs the click handler at once, before returning. -1 clears the
    // selection without running the handler.
    void SetListIndex(int index);

    // The click handler: runs on a click on a line, and on SetListIndex.
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    // Puts the keyboard's place on line index without choosing it (a screen reader reads that line).
    void SetKeyboardLine(int index);
    // What a screen reader says for line index besides its text (e.g. its fault); it goes with the
    // line when the line is replaced.
    void SetLineNote(int index, const std::string& note);

    // Height of one line in twips (195: the rows of lines printed on a window).
    static constexpr double kRowTwips = 195.0;

  private:
    friend class Form;
    ListBox(Form& form, std::string name, NativeList& native);
    void RunClick();

    NativeList& list_;
    std::function<void()> onClick_;
};

}  // namespace heatx::ui
