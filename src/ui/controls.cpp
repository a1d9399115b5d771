#include "ui/controls.h"

#include <algorithm>
#include <cmath>

#include "ui/form.h"
#include "ui/platform.h"

namespace heatx::ui {

namespace {

// Default sizes of new controls, in twips.
constexpr double kButtonWidth = 1215.0;
constexpr double kButtonHeight = 495.0;
constexpr double kLabelWidth = 1215.0;
constexpr double kLabelHeight = 255.0;
constexpr double kListWidth = 1215.0;
constexpr double kListHeight = 1035.0;

// A caption's line breaks ("\r\n", "\r" or "\n") as "\n".
std::string LabelText(const std::string& caption) {
    std::string text;
    text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '\r') {
            text.push_back('\n');
            if (i + 1 < caption.size() && caption[i + 1] == '\n') {
                ++i;
            }
        } else {
            text.push_back(caption[i]);
        }
    }
    return text;
}

}  // namespace

// ---- Control ----------------------------------------------------------------------------------

Control::Control(Form& form, std::string name, NativeControl* native)
    : form_(form), name_(std::move(name)), native_(native) {}

Control::~Control() = default;

void Control::Detach() {
    if (!detached_) {
        detached_ = true;
        native_->DropCallbacks();
    }
}

Platform& Control::platform() const {
    return form_.platform();
}

void Control::SetVisible(bool visible) {
    const bool passFocus = !visible && HoldsWindowFocus();
    visible_ = visible;
    native_->SetVisible(visible);
    if (passFocus) {
        form_.SettleFocus(true);
    }
}

void Control::SetEnabled(bool enabled) {
    const bool passFocus = !enabled && HoldsWindowFocus();
    enabled_ = enabled;
    native_->SetEnabled(enabled);
    if (passFocus) {
        form_.SettleFocus(true);
    }
}

void Control::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    native_->SetTabStop(tabStop);
}

void Control::SetFocus() {
    native_->SetFocus();
}

bool Control::HasFocus() const {
    return HoldsWindowFocus();
}

bool Control::HoldsWindowFocus() const {
    return native_->HasFocus();
}

double Control::Read(const Axis& axis, int pixels, bool horizontal) const {
    if (pixels == axis.pixels) {
        return axis.twips;
    }
    return horizontal ? form_.TwipsX(pixels) : form_.TwipsY(pixels);
}

double Control::Left() const {
    return Read(left_, native_->Geometry().left, true);
}
double Control::Top() const {
    return Read(top_, native_->Geometry().top, false);
}
double Control::Width() const {
    return Read(width_, native_->Geometry().width, true);
}
double Control::Height() const {
    return Read(height_, native_->Geometry().height, false);
}

void Control::SetLeft(double twips) {
    Apply(twips, Top(), Width(), Height());
}
void Control::SetTop(double twips) {
    Apply(Left(), twips, Width(), Height());
}
void Control::SetWidth(double twips) {
    Apply(Left(), Top(), twips, Height());
}
void Control::SetHeight(double twips) {
    Apply(Left(), Top(), Width(), twips);
}
void Control::Move(double left, double top) {
    Apply(left, top, Width(), Height());
}
void Control::Move(double left, double top, double width, double height) {
    Apply(left, top, width, height);
}

void Control::Apply(double left, double top, double width, double height) {
    left_ = {left, form_.PixelsX(left)};
    top_ = {top, form_.PixelsY(top)};
    width_ = {width, std::max(0, form_.PixelsX(width))};
    height_ = {height, std::max(0, form_.PixelsY(height))};
    native_->SetGeometry(PixelRect{left_.pixels, top_.pixels, width_.pixels, height_.pixels});
}

void Control::SetFont(const std::string& family, double points, bool bold, bool italic) {
    font_ = FontSpec{family, points, bold, italic};
    hasFont_ = true;
    native_->SetFont(form_.Scaled(font_));
}

void Control::SetAccessibleName(const std::string& name) {
    accessibleName_ = name;
    native_->SetAccessibleName(name);
}

// ---- Button -----------------------------------------------------------------------------------

Button::Button(Form& form, std::string name, NativeButton& native)
    : Control(form, name, &native), button_(native) {
    caption_ = name;
    button_.SetCaption(caption_);
    Move(0.0, 0.0, kButtonWidth, kButtonHeight);
    button_.OnClicked([this] {
        // A copy: the handler may unload the window and so destroy this button's object.
        const std::function<void()> handler = onClick_;
        if (handler) {
            platform().Guard(handler);
        }
    });
}

void Button::SetCaption(const std::string& caption) {
    caption_ = caption;
    button_.SetCaption(caption);
}

void Button::SetBackColor(Color color) {
    backColor_ = color;
    hasBackColor_ = true;
    button_.SetBackColor(color);
}

void Button::Click() {
    const std::function<void()> handler = onClick_;
    if (handler) {
        platform().Raise(handler);
    }
}

bool Button::Press() {
    if (!Visible() || !Enabled() || !form().Visible()) {
        return false;
    }
    Click();
    return true;
}

// ---- Label ------------------------------------------------------------------------------------

Label::Label(Form& form, std::string name, NativeLabel& native)
    : Control(form, name, &native), label_(native) {
    backColor_ = platform().toolkit().WindowColor();
    ApplyColors();
    Move(0.0, 0.0, kLabelWidth, kLabelHeight);
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    label_.SetCaption(LabelText(caption));
}

void Label::SetForeColor(Color color) {
    foreColor_ = color;
    ApplyColors();
}

void Label::SetBackColor(Color color) {
    backColor_ = color;
    transparent_ = false;
    ApplyColors();
}

void Label::SetTransparent(bool transparent) {
    transparent_ = transparent;
    ApplyColors();
}

void Label::SetWordWrap(bool wrap) {
    label_.SetWordWrap(wrap);
}

void Label::ApplyColors() {
    label_.SetColors(foreColor_, backColor_, transparent_);
}

// ---- ListBox ----------------------------------------------------------------------------------

ListBox::ListBox(Form& form, std::string name, NativeList& native)
    : Control(form, name, &native), list_(native) {
    Move(0.0, 0.0, kListWidth, kListHeight);
    // A click on a line, or Enter or Space on the keyboard's line: selected, and the click handler runs.
    list_.OnChosen([this] {
        Platform& p = platform();
        ListBox* self = this;
        p.Guard([self] { self->RunClick(); });
    });
}

void ListBox::RunClick() {
    // A copy: the handler may unload the window and so destroy this list's object.
    const std::function<void()> handler = onClick_;
    if (handler) {
        handler();
    }
}

void ListBox::Clear() {
    list_.Clear();
}

void ListBox::AddItem(const std::string& text) {
    list_.Insert(list_.Count(), text);
}

void ListBox::AddItem(const std::string& text, int index) {
    list_.Insert(std::clamp(index, 0, list_.Count()), text);
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= list_.Count()) {
        return;
    }
    list_.Remove(index);
}

int ListBox::ListCount() const {
    return list_.Count();
}

std::string ListBox::List(int index) const {
    return index >= 0 && index < list_.Count() ? list_.Line(index) : std::string();
}

int ListBox::ListIndex() const {
    return list_.Selected();
}

void ListBox::SetKeyboardLine(int index) {
    if (index >= 0 && index < list_.Count()) {
        list_.SetKeyboardLine(index);
    }
}

void ListBox::SetLineNote(int index, const std::string& note) {
    if (index >= 0 && index < list_.Count()) {
        list_.SetLineAccessibleName(index, note.empty() ? std::string() : list_.Line(index) + ". " + note);
    }
}

void ListBox::SetListIndex(int index) {
    if (index < 0 || index >= list_.Count()) {
        list_.Select(-1);
        return;
    }
    list_.Select(index);
    ListBox* self = this;
    platform().Raise([self] { self->RunClick(); });
}

}  // namespace heatx::ui
