#include "ui/form.h"

#include <algorithm>
#include <cmath>

#include "ui/platform.h"

namespace heatx::ui {

namespace {
constexpr double kDefaultLeft = 1440.0;
constexpr double kDefaultTop = 1440.0;
constexpr double kDefaultWidth = 4800.0;
constexpr double kDefaultHeight = 3600.0;
}  // namespace

Form::Form(Platform& platform, std::string name)
    : platform_(platform),
      name_(std::move(name)),
      caption_(name_),
      window_(platform.toolkit().CreateWindow(name_, *this)) {
    // The native window is created with the name as its title.
    backColor_ = platform.toolkit().WindowColor();
    ApplyGeometry(kDefaultLeft, kDefaultTop, kDefaultWidth, kDefaultHeight);
}

Form::~Form() {
    // Controls first: they disconnect their handlers from the widgets.
    for (auto& control : controls_) {
        control->Detach();
    }
    controls_.clear();
    if (window_ != nullptr) {
        ReleaseWindow(false);
    }
}

void Form::ReleaseWindow(bool later) {
    if (window_ == nullptr) {
        return;
    }
    for (auto& control : controls_) {
        control->Detach();
    }
    NativeWindow* window = window_;
    window_ = nullptr;
    window->Destroy(later);
}

void Form::BeforePaint() {
    if (autoRedraw_ || painting_) {
        return;
    }
    const std::weak_ptr<int> alive = alive_;
    painting_ = true;
    Platform& platform = platform_;
    platform.Guard([this] { Form_Paint(); });
    // The guard may have destroyed an unloaded window.
    if (!alive.expired()) {
        painting_ = false;
    }
}

void Form::CloseRequested() {
    // The window stays; what happens is the window's decision (by default the run ends).
    Form* form = this;
    platform_.Guard([form] { form->OnCloseButton(); });
}

void Form::OnCloseButton() {
    platform_.EndProgram();
}

FormRegistry& Form::Forms() const {
    return platform_.Forms();
}

void Form::Unload() {
    platform_.Forms().Unload(*this);
}

// ---- Window -----------------------------------------------------------------------------------

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_ != nullptr) {
        window_->SetTitle(caption);
    }
}

double Form::Read(const Axis& axis, int pixels, bool horizontal) const {
    if (pixels == axis.pixels) {
        return axis.twips;
    }
    return horizontal ? platform_.PixelsToTwipsX(pixels) : platform_.PixelsToTwipsY(pixels);
}

double Form::Left() const {
    return window_ ? Read(left_, window_->Geometry().left, true) : left_.twips;
}
double Form::Top() const {
    return window_ ? Read(top_, window_->Geometry().top, false) : top_.twips;
}
double Form::Width() const {
    return window_ ? Read(width_, window_->Geometry().width, true) : width_.twips;
}
double Form::Height() const {
    return window_ ? Read(height_, window_->Geometry().height, false) : height_.twips;
}

void Form::SetLeft(double twips) {
    ApplyGeometry(twips, Top(), Width(), Height());
}
void Form::SetTop(double twips) {
    ApplyGeometry(Left(), twips, Width(), Height());
}
void Form::SetWidth(double twips) {
    ApplyGeometry(Left(), Top(), twips, Height());
}
void Form::SetHeight(double twips) {
    ApplyGeometry(Left(), Top(), Width(), twips);
}
void Form::Move(double left, double top) {
    ApplyGeometry(left, top, Width(), Height());
}
void Form::Move(double left, double top, double width, double height) {
    ApplyGeometry(left, top, width, height);
}

void Form::ApplyGeometry(double left, double top, double width, double height) {
    left_ = {left, platform_.TwipsToPixelsX(left)};
    top_ = {top, platform_.TwipsToPixelsY(top)};
    width_ = {width, std::max(1, platform_.TwipsToPixelsX(width))};
    height_ = {height, std::max(1, platform_.TwipsToPixelsY(height))};
    if (window_ != nullptr) {
        window_->SetGeometry(PixelRect{left_.pixels, top_.pixels, width_.pixels, height_.pixels});
    }
}

double Form::ScaleWidth() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        return window_ ? window_->Geometry().width : width_.pixels;
    }
    return Width();
}

double Form::ScaleHeight() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        return window_ ? window_->Geometry().height : height_.pixels;
    }
    return Height();
}

void Form::SetScaleMode(ScaleMode mode) {
    scaleMode_ = mode;
}

double Form::ScreenWidth() const {
    return platform_.ScreenWidthTwips();
}
double Form::ScreenHeight() const {
    return platform_.ScreenHeightTwips();
}

void Form::Show() {
    if (window_ == nullptr) {
        return;
    }
    // Shown, raised and focused, the focus settled on its first usable control.
    window_->Show();
}

void Form::ShowOver(Form& owner) {
    if (window_ == nullptr || owner.window_ == nullptr) {
        Show();
        return;
    }
    window_->ShowOver(*owner.window_);
}

void Form::MakeDialogWindow() {
    if (window_ != nullptr) {
        window_->MakeDialog();
    }
}

void Form::SettleFocus(bool force) {
    if (window_ != nullptr) {
        window_->SettleFocus(force);
    }
}

void Form::Hide() {
    if (window_ != nullptr) {
        window_->Hide();
    }
}

bool Form::Visible() const {
    return window_ != nullptr && window_->IsVisible();
}

void Form::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

void Form::Refresh() {
    if (window_ != nullptr && window_->IsVisible() && !painting_) {
        window_->RepaintNow();
    }
}

void Form::RequestUpdate() {
    if (window_ != nullptr && !painting_) {
        window_->RequestRepaint();
    }
}

// ---- Drawing ----------------------------------------------------------------------------------

double Form::ToScaleX(double twips) const {
    return scaleMode_ == ScaleMode::Pixels ? twips * platform_.LogicalDpiX() / 1440.0 : twips;
}
double Form::ToScaleY(double twips) const {
    return scaleMode_ == ScaleMode::Pixels ? twips * platform_.LogicalDpiY() / 1440.0 : twips;
}
double Form::FromScaleX(double value) const {
    return scaleMode_ == ScaleMode::Pixels ? value * 1440.0 / platform_.LogicalDpiX() : value;
}
double Form::FromScaleY(double value) const {
    return scaleMode_ == ScaleMode::Pixels ? value * 1440.0 / platform_.LogicalDpiY() : value;
}
int Form::ScaleToPixelX(double value) const {
    return scaleMode_ == ScaleMode::Pixels ? static_cast<int>(std::lround(value))
                                           : platform_.TwipsToPixelsX(value);
}
int Form::ScaleToPixelY(double value) const {
    return scaleMode_ == ScaleMode::Pixels ? static_cast<int>(std::lround(value))
                                           : platform_.TwipsToPixelsY(value);
}

void Form::SetBackColor(Color color) {
    backColor_ = color;
    if (window_ != nullptr) {
        window_->ClearPicture(color);
        window_->ClearTexts();
    }
    printedInfo_.clear();
    RequestUpdate();
}

void Form::SetForeColor(Color color) {
    foreColor_ = color;
}

void Form::SetAutoRedraw(bool on) {
    autoRedraw_ = on;
    RequestUpdate();
}

void Form::SetFillColor(Color color) {
    fillColor_ = color;
}

void Form::Box(double x1, double y1, double x2, double y2) {
    int left = ScaleToPixelX(x1);
    int right = ScaleToPixelX(x2);
    int top = ScaleToPixelY(y1);
    int bottom = ScaleToPixelY(y2);
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    // Both corners included.
    const PixelRect box{left, top, right - left + 1, bottom - top + 1};
    if (window_ != nullptr) {
        if (fillStyle_ == FillStyle::Solid) {
            window_->FillBox(box, fillColor_);
        }
        if (drawStyle_ == DrawStyle::Solid) {
            window_->OutlineBox(box, foreColor_);
        }
    }
    RequestUpdate();
}

// ---- Text on the window ---------------------------------------------------------------------------

double Form::CurrentX() const {
    return ToScaleX(currentXTwips_);
}
double Form::CurrentY() const {
    return ToScaleY(currentYTwips_);
}
void Form::SetCurrentX(double x) {
    currentXTwips_ = FromScaleX(x);
}
void Form::SetCurrentY(double y) {
    currentYTwips_ = FromScaleY(y);
}

void Form::Print(const std::string& text) {
    if (window_ != nullptr) {
        window_->AddText(currentXTwips_ * platform_.LogicalDpiX() / 1440.0,
                         currentYTwips_ * platform_.LogicalDpiY() / 1440.0, text, foreColor_);
    }
    printedInfo_.push_back(PrintedText{currentXTwips_, currentYTwips_, text});
    currentXTwips_ = 0.0;
    currentYTwips_ += kRowTwips;
    RequestUpdate();
}

void Form::Cls() {
    if (window_ != nullptr) {
        window_->ClearTexts();
    }
    printedInfo_.clear();
    currentXTwips_ = 0.0;
    currentYTwips_ = 0.0;
    RequestUpdate();
}

void Form::SetFont(const std::string& family, double points, bool bold, bool italic) {
    if (window_ != nullptr) {
        window_->SetFont(FontSpec{family, points, bold, italic});
    }
}

// ---- Controls -----------------------------------------------------------------------------------

Button& Form::AddButton(const std::string& name) {
    auto* button = new Button(*this, name, window_->AddButton(name));
    controls_.emplace_back(button);
    return *button;
}

Label& Form::AddLabel(const std::string& name) {
    auto* label = new Label(*this, name, window_->AddLabel(name));
    controls_.emplace_back(label);
    return *label;
}

ListBox& Form::AddList(const std::string& name) {
    auto* list =
        new ListBox(*this, name, window_->AddList(name, platform_.TwipsToPixelsY(ListBox::kRowTwips)));
    controls_.emplace_back(list);
    return *list;
}

}  // namespace heatx::ui
