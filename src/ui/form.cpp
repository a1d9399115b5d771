#include "ui/form.h"
#include "ui/startup_probe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "ui/desktop.h"
#include "ui/platform.h"
#include "ui/qt_convert.h"

namespace heatx::ui {

namespace detail {

// The top-level widget of a window. It paints the window's picture and printed text and passes the
// close button on to the window. It may outlive its Form by a moment (deleteLater), detached.
class FormWindow : public QWidget {
  public:
    explicit FormWindow(Form* form) : QWidget(nullptr, Qt::Window), form_(form) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void Detach() { form_ = nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (form_ == nullptr) {
            painter.fillRect(event->rect(), palette().color(QPalette::Window));
            return;
        }
        if (!form_->autoRedraw_ && !form_->painting_) {
            Form* form = form_;
            form->painting_ = true;
            form->platform_.Guard([form] { form->Form_Paint(); });
            // The guard may have destroyed an unloaded window.
            if (form_ == nullptr) {
                painter.fillRect(event->rect(), palette().color(QPalette::Window));
                return;
            }
            form->painting_ = false;
        }
        form_->Paint(painter, event->region());
        NoteWindowPainted();
    }

    void closeEvent(QCloseEvent* event) override {
        // The window stays; what happens is the window's decision (by default the run ends).
        event->ignore();
        if (form_ == nullptr) {
            return;
        }
        Form* form = form_;
        Platform& platform = form->platform_;
        platform.Guard([form] { form->OnCloseButton(); });
    }

  private:
    Form* form_;
};

}  // namespace detail

struct Form::TextItem {
    QPointF position;  // pixels, top-left corner of the text
    QString text;
    QFont font;
    QColor color;
};

namespace {
constexpr double kDefaultLeft = 1440.0;
constexpr double kDefaultTop = 1440.0;
constexpr double kDefaultWidth = 4800.0;
constexpr double kDefaultHeight = 3600.0;
}  // namespace

Form::Form(Platform& platform, std::string name)
    : platform_(platform), name_(std::move(name)), caption_(name_), window_(new detail::FormWindow(this)) {
    window_->setObjectName(ToQt(name_));
    window_->setWindowTitle(ToQt(caption_));
    backColor_ = FromQColor(QApplication::palette().color(QPalette::Window));
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
    window_->Detach();
    window_->hide();
    if (later) {
        window_->deleteLater();
    } else {
        delete window_;
    }
    window_ = nullptr;
}

QWidget* Form::Widget() const {
    return window_;
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
        window_->setWindowTitle(ToQt(caption));
        ApplyWindowTitle(window_);
    }
}

double Form::Read(const Axis& axis, int pixels, bool horizontal) const {
    if (pixels == axis.pixels) {
        return axis.twips;
    }
    return horizontal ? platform_.PixelsToTwipsX(pixels) : platform_.PixelsToTwipsY(pixels);
}

double Form::Left() const {
    return window_ ? Read(left_, window_->x(), true) : left_.twips;
}
double Form::Top() const {
    return window_ ? Read(top_, window_->y(), false) : top_.twips;
}
double Form::Width() const {
    return window_ ? Read(width_, window_->width(), true) : width_.twips;
}
double Form::Height() const {
    return window_ ? Read(height_, window_->height(), false) : height_.twips;
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
        window_->move(left_.pixels, top_.pixels);
        window_->resize(width_.pixels, height_.pixels);
    }
}

double Form::ScaleWidth() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        return window_ ? window_->width() : width_.pixels;
    }
    return Width();
}

double Form::ScaleHeight() const {
    if (scaleMode_ == ScaleMode::Pixels) {
        return window_ ? window_->height() : height_.pixels;
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
    window_->show();
    ApplyWindowTitle(window_);
    SettleFocus();
    NoteProgramWindowShown(window_);
    TakeKeyboardFocus(window_);
}

void Form::ShowOver(Form& owner) {
    if (window_ == nullptr || owner.window_ == nullptr) {
        Show();
        return;
    }
    // Transient for the owner's window: only dialog windows carry the owner to the window manager.
    MakeDialogWindow();
    window_->winId();
    owner.window_->winId();
    if (window_->windowHandle() != nullptr && owner.window_->windowHandle() != nullptr) {
        window_->windowHandle()->setTransientParent(owner.window_->windowHandle());
    }
    Show();
}

void Form::MakeDialogWindow() {
    if (window_ != nullptr && (window_->windowFlags() & Qt::WindowType_Mask) != Qt::Dialog) {
        window_->setWindowFlags((window_->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    }
}

void Form::SettleFocus(bool force) {
    if (window_ == nullptr) {
        return;
    }
    QWidget* current = window_->focusWidget();
    const bool usable =
        current != nullptr && current != window_ && current->isVisibleTo(window_) && current->isEnabled();
    if (usable && !force) {
        return;
    }
    // The tab order is the focus chain of the window's widgets (the order of the design).
    int steps = 0;
    for (QWidget* w = window_->nextInFocusChain(); w != nullptr && w != window_ && steps < 10000;
         w = w->nextInFocusChain(), ++steps) {
        if (w->window() == window_ && (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() &&
            w->isVisibleTo(window_)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    if (current != nullptr && current != window_) {
        window_->setFocus(Qt::OtherFocusReason);
    }
}

void Form::Hide() {
    if (window_ != nullptr) {
        window_->hide();
    }
}

bool Form::Visible() const {
    return window_ != nullptr && window_->isVisible();
}

void Form::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

void Form::Refresh() {
    if (window_ != nullptr && window_->isVisible() && !painting_) {
        window_->repaint();
    }
}

void Form::RequestUpdate() {
    if (window_ != nullptr && !painting_) {
        window_->update();
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

QImage& Form::Canvas() {
    const QSize size = window_ ? window_->size() : QSize(width_.pixels, height_.pixels);
    if (!canvas_ || canvas_->size() != size) {
        auto fresh = std::make_unique<QImage>(size, QImage::Format_RGB32);
        fresh->fill(ToQColor(backColor_));
        if (canvas_) {
            QPainter painter(fresh.get());
            painter.drawImage(0, 0, *canvas_);
        }
        canvas_ = std::move(fresh);
    }
    return *canvas_;
}

void Form::SetBackColor(Color color) {
    backColor_ = color;
    Canvas().fill(ToQColor(color));
    printed_.clear();
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
    const QRect box(QPoint(left, top), QPoint(right, bottom));  // both corners included
    QImage& canvas = Canvas();
    if (fillStyle_ == FillStyle::Solid) {
        // An opaque fill of whole pixels: each covered pixel takes the colour as it stands, so the
        // rows are written directly. The start screen's background is hundreds of boxes one pixel
        // wide, which a painter would fill one pixel at a time.
        const QRect covered = box & canvas.rect();
        const QRgb pixel = ToQColor(fillColor_).rgb();
        if (!covered.isEmpty()) {
            // A 32-bit image's lines are whole pixels apart (bytesPerLine is a multiple of 4).
            const qsizetype stride = canvas.bytesPerLine() / qsizetype{sizeof(QRgb)};
            QRgb* at = reinterpret_cast<QRgb*>(canvas.bits()) + covered.top() * stride + covered.left();
            const int width = covered.width();
            for (int rows = covered.height(); rows > 0; --rows, at += stride) {
                if (width == 1) {
                    *at = pixel;
                } else {
                    std::fill_n(at, width, pixel);
                }
            }
        }
    }
    if (drawStyle_ == DrawStyle::Solid) {
        QPainter painter(&canvas);
        painter.setPen(QPen(ToQColor(foreColor_), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
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
    TextItem item;
    item.position = QPointF(currentXTwips_ * platform_.LogicalDpiX() / 1440.0,
                            currentYTwips_ * platform_.LogicalDpiY() / 1440.0);
    item.text = ToQt(text);
    item.font = window_ ? window_->font() : QApplication::font();
    item.color = ToQColor(foreColor_);
    printed_.push_back(std::move(item));
    printedInfo_.push_back(PrintedText{currentXTwips_, currentYTwips_, text});
    currentXTwips_ = 0.0;
    currentYTwips_ += kRowTwips;
    RequestUpdate();
}

void Form::Cls() {
    printed_.clear();
    printedInfo_.clear();
    currentXTwips_ = 0.0;
    currentYTwips_ = 0.0;
    RequestUpdate();
}

void Form::SetFont(const std::string& family, double points, bool bold, bool italic) {
    if (window_ != nullptr) {
        window_->setFont(MakeFont(family, points, bold, italic));
    }
}

void Form::Paint(QPainter& painter, const QRegion& region) {
    // The region to paint is the window less its opaque controls: several rectangles. An image
    // drawn through such a region is blended line by line, handed out to the thread pool; drawn
    // into one rectangle at a time it is a plain copy of the rows.
    const QImage& canvas = Canvas();
    for (const QRect& part : region) {
        painter.setClipRect(part);
        painter.drawImage(part.topLeft(), canvas, part);
    }
    painter.setClipping(false);
    for (const auto& item : printed_) {
        painter.setFont(item.font);
        painter.setPen(item.color);
        const QFontMetricsF metrics(item.font, window_);
        painter.drawText(item.position + QPointF(0.0, metrics.ascent()), item.text);
    }
}

// ---- Controls -----------------------------------------------------------------------------------

Button& Form::AddButton(const std::string& name) {
    auto* button = new Button(*this, name);
    controls_.emplace_back(button);
    return *button;
}

Label& Form::AddLabel(const std::string& name) {
    auto* label = new Label(*this, name);
    controls_.emplace_back(label);
    return *label;
}

ListBox& Form::AddList(const std::string& name) {
    auto* list = new ListBox(*this, name);
    controls_.emplace_back(list);
    return *list;
}

}  // namespace heatx::ui
