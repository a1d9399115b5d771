// Controls placed on a window: command buttons, labels and list boxes. They are created by the
// window's constructor (its design) with Form::AddButton, AddLabel and AddList and belong to the
// window. Positions and sizes are in twips relative to the window's inner area, whatever the
// window's drawing scale.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/color.h"

class QObject;
class QWidget;
class QPushButton;
class QLabel;
class QListWidget;

namespace heatx::ui {

class Form;
class Platform;

class Control {
  public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The control's name ("Command3", "List1", "L0"); also the Qt objectName.
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

    // The Qt widget (tests only).
    QWidget* Widget() const { return widget_; }

  protected:
    Control(Form& form, std::string name, QWidget* widget);
    Platform& platform() const;
    Form& form() const { return form_; }
    // The context of every handler this control connects to its widget's signals (the receiver
    // argument of QObject::connect): Detach cuts exactly these connections and no others.
    QObject* HandlerContext() const { return handlerContext_.get(); }

  private:
    friend class Form;
    // Geometry in twips as last set, with the pixels it gave: reading back gives the twips set as
    // long as the widget still has those pixels.
    struct Axis {
        double twips = 0.0;
        int pixels = 0;
    };
    double Read(const Axis& axis, int pixels, bool horizontal) const;
    void Apply(double left, double top, double width, double height);
    // The control's size or font changed (a button fits its caption again).
    virtual void LayoutChanged() {}
    // The window's object is going away: the handlers are disconnected from the widget, which
    // itself goes with the window's widget. Only the control's own connections are cut: Qt's
    // accessibility bridge learns through the widget's own "destroyed" signal that the widget is
    // gone, and a widget that never tells it leaves its accessible object behind, which a later
    // widget at the same address inherits, dead, and is then missing on the bus.
    void Detach();
    // Called by Detach: a control drops the handlers its widget holds itself.
    virtual void DetachHandlers() {}

    // Whether the control is its window's focus control: a control that is hidden or disabled while
    // it has the focus passes it on (Form::SettleFocus).
    bool HoldsWindowFocus() const;

    Form& form_;
    std::string name_;
    QWidget* widget_;
    std::unique_ptr<QObject> handlerContext_;
    Axis left_, top_, width_, height_;
    bool visible_ = true;
    bool enabled_ = true;
    bool tabStop_ = true;
    bool detached_ = false;

  protected:
    // Point size asked by SetFont (0: the window's font).
    double fontPoints_ = 0.0;
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
    Button(Form& form, std::string name);
    // A caption wider than the button is set in a smaller size of the same font, so that it is
    // read whole (the substitutes of the old screen fonts are wider than the originals).
    void LayoutChanged() override;

    QPushButton* button_;
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
    Label(Form& form, std::string name);
    void ApplyColors();

    QLabel* label_;
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

    // Height of one line in twips (195: the rows of lines printed on a window).
    static constexpr double kRowTwips = 195.0;

  private:
    friend class Form;
    ListBox(Form& form, std::string name);
    void RunClick();
    void KeepReadableWhenDisabled();
    void DetachHandlers() override;

    QListWidget* list_;
    std::function<void()> onClick_;
};

}  // namespace heatx::ui
