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

int Form::PixelsX(double twips) const {
    return platform_.TwipsToPixelsX(twips * scale_);
}
int Form::PixelsY(double twips) const {
    return platform_.TwipsToPixelsY(twips * scale_);
}
double Form::TwipsX(int pixels) const {
    return platform_.PixelsToTwipsX(pixels) / scale_;
}
double Form::TwipsY(int pixels) const {
    return platform_.PixelsToTwipsY(pixels) / scale_;
}

FontSpec Form::Scaled(const FontSpec& font) const {
    FontSpec scaled = font;
    if (scale_ < 1.0) {
        const double points = font.points > 0.0 ? font.points : platform_.toolkit().DefaultFontPoints();
        if (points > 0.0) {
            // Quarter points: a size a font engine takes as it is.
            scaled.points = std::max(1.0, std::floor(points * scale_ * 4.0) / 4.0);
        }
    }
    return scaled;
}

double Form::FitFor(double width, double height) const {
    const PixelRect area = platform_.AvailableArea();
    const double roomX = area.width - kFrameAllowanceX;
    const double roomY = area.height - kFrameAllowanceY;
    const double wantX = width * platform_.LogicalDpiX() / 1440.0;
    const double wantY = height * platform_.LogicalDpiY() / 1440.0;
    double scale = 1.0;
    if (wantX > roomX && wantX > 0.0 && roomX > 0.0) {
        scale = std::min(scale, roomX / wantX);
    }
    if (wantY > roomY && wantY > 0.0 && roomY > 0.0) {
        scale = std::min(scale, roomY / wantY);
    }
    return scale;
}

void Form::Rescale() {
    for (auto& control : controls_) {
        control->Apply(control->left_.twips, control->top_.twips, control->width_.twips,
                       control->height_.twips);
        if (control->hasFont_) {
            control->native_->SetFont(Scaled(control->font_));
        }
        if (auto* list = dynamic_cast<ListBox*>(control.get())) {
            list->list_.SetRowPixels(PixelsY(ListBox::kRowTwips));
        }
    }
    if (window_ == nullptr) {
        return;
    }
    // A window without a font of its own gets the default size at its scale, and back again.
    if (hasFont_ || scale_ < 1.0 || defaultFontScaled_) {
        window_->SetFont(Scaled(font_));
        defaultFontScaled_ = !hasFont_ && scale_ < 1.0;
    }
    window_->ClearTexts();
    for (const PrintedText& printed : printedInfo_) {
        window_->AddText(PixelsXExact(printed.xTwips), PixelsYExact(printed.yTwips), printed.text,
                         printed.color);
    }
    window_->RequestRepaint();
}

double Form::Left() const {
    return window_ ? Read(left_, window_->Geometry().left, true) : left_.twips;
}
double Form::Top() const {
    return window_ ? Read(top_, window_->Geometry().top, false) : top_.twips;
}
double Form::Width() const {
    if (window_ == nullptr || window_->Geometry().width == width_.pixels) {
        return width_.twips;
    }
    return TwipsX(window_->Geometry().width);
}
double Form::Height() const {
    if (window_ == nullptr || window_->Geometry().height == height_.pixels) {
        return height_.twips;
    }
    return TwipsY(window_->Geometry().height);
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
    const double scale = FitFor(width, height);
    const bool rescaled = scale != scale_;
    scale_ = scale;
    width_ = {width, std::max(1, PixelsX(width))};
    height_ = {height, std::max(1, PixelsY(height))};
    // Positions are places on the screen (of the window's frame), not scaled; a window whose place
    // would push it past the available area's right or bottom edge moves back onto it.
    int leftPixels = platform_.TwipsToPixelsX(left);
    int topPixels = platform_.TwipsToPixelsY(top);
    {
        const PixelRect area = platform_.AvailableArea();
        leftPixels = std::max(
            area.left, std::min(leftPixels, area.left + area.width - kFrameAllowanceX - width_.pixels));
        topPixels = std::max(area.top,
                             std::min(topPixels, area.top + area.height - kFrameAllowanceY - height_.pixels));
    }
    left_ = {left, leftPixels};
    top_ = {top, topPixels};
    if (window_ != nullptr) {
        window_->SetGeometry(PixelRect{left_.pixels, top_.pixels, width_.pixels, height_.pixels});
    }
    if (rescaled) {
        Rescale();
    }
}

double Form::ScaleWidth() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        // Pixels of the design: a window drawn smaller has as many as at full size.
        const int pixels = window_ ? window_->Geometry().width : width_.pixels;
        return scale_ < 1.0 ? ToScaleX(Width()) : pixels;
    }
    return Width();
}

double Form::ScaleHeight() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        const int pixels = window_ ? window_->Geometry().height : height_.pixels;
        return scale_ < 1.0 ? ToScaleY(Height()) : pixels;
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
    return scaleMode_ == ScaleMode::Pixels ? static_cast<int>(std::lround(value * scale_)) : PixelsX(value);
}
int Form::ScaleToPixelY(double value) const {
    return scaleMode_ == ScaleMode::Pixels ? static_cast<int>(std::lround(value * scale_)) : PixelsY(value);
}
double Form::PixelsXExact(double twips) const {
    return twips * scale_ * platform_.LogicalDpiX() / 1440.0;
}
double Form::PixelsYExact(double twips) const {
    return twips * scale_ * platform_.LogicalDpiY() / 1440.0;
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
        window_->AddText(PixelsXExact(currentXTwips_), PixelsYExact(currentYTwips_), text, foreColor_);
    }
    printedInfo_.push_back(PrintedText{currentXTwips_, currentYTwips_, text, foreColor_});
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
    font_ = FontSpec{family, points, bold, italic};
    hasFont_ = true;
    if (window_ != nullptr) {
        window_->SetFont(Scaled(font_));
    }
}

// ---- Screen reader --------------------------------------------------------------------------------

void Form::SetAccessibleName(const std::string& name) {
    accessibleName_ = name;
    if (window_ != nullptr) {
        window_->SetAccessibleName(name);
    }
}

void Form::SetAccessibleRole(WindowRole role) {
    if (window_ != nullptr) {
        window_->SetRole(role);
    }
}

void Form::Announce(const std::string& text) {
    if (window_ != nullptr && !text.empty()) {
        window_->Announce(text);
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
    auto* list = new ListBox(*this, name, window_->AddList(name, PixelsY(ListBox::kRowTwips)));
    controls_.emplace_back(list);
    return *list;
}

}  // namespace heatx::ui
