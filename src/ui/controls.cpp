#include "ui/controls.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "ui/accessibility.h"
#include "ui/desktop.h"
#include "ui/form.h"
#include "ui/platform.h"
#include "ui/qt_convert.h"

namespace heatx::ui {

namespace {

// Default sizes of new controls, in twips.
constexpr double kButtonWidth = 1215.0;
constexpr double kButtonHeight = 495.0;
constexpr double kLabelWidth = 1215.0;
constexpr double kLabelHeight = 255.0;
constexpr double kListWidth = 1215.0;
constexpr double kListHeight = 1035.0;

// A push button that sets a caption wider than itself in a smaller size of its font. The fitting is
// done when the button is shown or changes while shown, so that building a window measures no text.
class FittingButton : public QPushButton {
  public:
    explicit FittingButton(QWidget* parent) : QPushButton(parent) {}

    // The point size the caption is set in when it fits (0: the application's font size).
    void SetBasePoints(double points) { basePoints_ = points; }

    void Fit() {
        if (!isVisible()) {
            return;
        }
        constexpr double kMinimumPoints = 5.0;
        constexpr int kFrame = 6;  // border and a little air on both sides, pixels
        double points = basePoints_ > 0.0 ? basePoints_ : QApplication::font(this).pointSizeF();
        if (points <= 0.0) {
            return;
        }
        QFont fitted = font();
        fitted.setPointSizeF(points);
        const QString caption = text();
        const double room = width() - kFrame;
        const double needed = QFontMetricsF(fitted).horizontalAdvance(caption);
        if (needed > room && needed > 0.0) {
            // Text width grows in proportion to the size: one step to the size that fits, rounded
            // down to a quarter point.
            points = std::max(kMinimumPoints, std::floor(points * room / needed * 4.0) / 4.0);
            fitted.setPointSizeF(points);
        }
        if (fitted != font()) {
            setFont(fitted);
        }
    }

    // An exact flat face of this colour with a two-pixel bevel, instead of the style's button.
    void SetFace(const QColor& face) {
        face_ = face;
        hasFace_ = true;
        update();
    }

  protected:
    // A coloured button paints its own flat face. Otherwise the style's own focus look (a shade or an
    // outline) is replaced by a dotted mark inside the border, so that the face keeps its exact
    // colour everywhere outside the mark.
    void paintEvent(QPaintEvent*) override {
        if (hasFace_) {
            PaintFlatFace();
            return;
        }
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const bool focused = (option.state & QStyle::State_HasFocus) != 0;
        option.state &= ~QStyle::State_HasFocus;
        painter.drawControl(QStyle::CE_PushButton, option);
        if (focused) {
            const QColor face = face_.isValid() ? face_ : palette().color(QPalette::Button);
            DrawFocusMark(painter, rect().adjusted(kMarkInset, kMarkInset, -kMarkInset, -kMarkInset), face);
        }
    }

    // Enter and keypad Enter press the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            event->accept();
            if (!event->isAutoRepeat() && isEnabled() && isVisible()) {
                click();
            }
            return;
        }
        QPushButton::keyPressEvent(event);
    }

    void showEvent(QShowEvent* event) override {
        QPushButton::showEvent(event);
        Fit();
    }
    void resizeEvent(QResizeEvent* event) override {
        QPushButton::resizeEvent(event);
        Fit();
    }

  private:
    // Border (2 px) and one pixel of air.
    static constexpr int kMarkInset = 3;
    // The face in its colour, the bevel raised (lit above and left, in the face's shadow below and
    // right) or sunk while pressed, the caption centred, the focus mark inside the bevel. Drawn
    // here rather than through a style sheet, which would cost the start screen a style of its own
    // for its three buttons.
    void PaintFlatFace() {
        QPainter painter(this);
        const int w = width();
        const int h = height();
        painter.fillRect(rect(), face_);
        const QColor shadow = face_.darker(200);
        // Half as bright again as the shadow, each channel rounded down.
        const auto brighter = [](int channel) { return std::min(255, channel * 3 / 2); };
        const QColor lit(brighter(shadow.red()), brighter(shadow.green()), brighter(shadow.blue()));
        const bool sunk = isDown() || isChecked();
        const QColor topLeft = sunk ? shadow : lit;
        const QColor bottomRight = sunk ? lit : shadow;
        constexpr int kBevel = kMarkInset - 1;
        painter.fillRect(0, 0, w, kBevel, topLeft);
        painter.fillRect(0, 0, kBevel, h, topLeft);
        painter.fillRect(0, h - kBevel, w, kBevel, bottomRight);
        painter.fillRect(w - kBevel, 0, kBevel, h, bottomRight);
        painter.setFont(font());
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextShowMnemonic, text());
        if (hasFocus()) {
            DrawFocusMark(painter, rect().adjusted(kMarkInset, kMarkInset, -kMarkInset, -kMarkInset), face_);
        }
    }

    double basePoints_ = 0.0;
    QColor face_;
    bool hasFace_ = false;
};

// A label whose text does not fit it is drawn so that nothing is cut off: lines that do not all fit
// its height are set closer together (the characters keep their size, so that columns of
// fixed-pitch text still line up with the labels above and below), and a line wider than the label
// sets the whole text in a smaller size (the substitute fonts are a little wider than the originals).
class CompactLabel : public QLabel {
  public:
    explicit CompactLabel(QWidget* parent) : QLabel(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (wordWrap()) {
            QLabel::paintEvent(event);
            return;
        }
        const QStringList lines = text().split(QLatin1Char('\n'));
        QFont drawn = font();
        QFontMetricsF metrics(drawn);
        double widest = 0.0;
        for (const QString& line : lines) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
        }
        const bool tooWide = widest > width();
        const bool tooHigh = lines.size() > 1 && lines.size() * metrics.lineSpacing() > height() + 0.5;
        if (!tooWide && !tooHigh) {
            QLabel::paintEvent(event);
            return;
        }
        if (tooWide) {
            // On screen sizes come in whole pixels: step down in pixels until the widest line fits.
            int pixels = QFontInfo(drawn).pixelSize();
            while (pixels > 6 && widest > width()) {
                drawn.setPixelSize(--pixels);
                metrics = QFontMetricsF(drawn);
                widest = 0.0;
                for (const QString& line : lines) {
                    widest = std::max(widest, metrics.horizontalAdvance(line));
                }
            }
        }
        const double pitch = lines.size() * metrics.lineSpacing() > height() + 0.5
                                 ? std::max(static_cast<double>(height()) / lines.size(), metrics.ascent())
                                 : metrics.lineSpacing();
        QPainter painter(this);
        painter.setFont(drawn);
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        for (int i = 0; i < lines.size(); ++i) {
            painter.drawText(QPointF(0.0, i * pitch + metrics.ascent()), lines.at(i));
        }
    }
};

// A list driven by the keyboard as well as by the pointer: the arrow keys, Home, End, Page Up and
// Page Down move the highlight and run nothing; Enter, keypad Enter and Space choose the line under
// the keyboard's place, as a click on it does. After the program has cleared the selection, the
// keyboard goes on from the line chosen last.
class KeyList : public QListWidget {
  public:
    explicit KeyList(QWidget* parent) : QListWidget(parent) {
        QObject::connect(this, &QListWidget::currentRowChanged, [this](int row) {
            if (row >= 0) {
                resumeRow_ = row;
            }
        });
    }

    // Runs when a line is chosen from the keyboard.
    std::function<void(int)> onChoose;

    // The line the keyboard is on: the current line, or the one chosen last.
    int KeyboardRow() const {
        const int row = currentRow();
        if (row >= 0) {
            return row;
        }
        return resumeRow_ >= 0 && resumeRow_ < count() ? resumeRow_ : -1;
    }
    void NoteChosen(int row) { resumeRow_ = row; }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (!plain || count() == 0) {
            QListWidget::keyPressEvent(event);
            return;
        }
        const int from = KeyboardRow();
        const int page = std::max(1, viewport()->height() / std::max(1, sizeHintForRow(0)) - 1);
        int to = -2;  // not a key of the list
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                event->accept();
                if (!event->isAutoRepeat() && from >= 0 && onChoose) {
                    onChoose(from);
                }
                return;
            // The highlight moves by whole lines; nothing runs.
            case Qt::Key_Up:
                to = from < 0 ? 0 : from - 1;
                break;
            case Qt::Key_Down:
                to = from < 0 ? 0 : from + 1;
                break;
            case Qt::Key_Home:
                to = 0;
                break;
            case Qt::Key_End:
                to = count() - 1;
                break;
            case Qt::Key_PageUp:
                to = from < 0 ? 0 : from - page;
                break;
            case Qt::Key_PageDown:
                to = from < 0 ? 0 : from + page;
                break;
            default:
                break;
        }
        if (to == -2) {
            QListWidget::keyPressEvent(event);
            return;
        }
        event->accept();
        to = std::clamp(to, 0, count() - 1);
        setCurrentRow(to, QItemSelectionModel::ClearAndSelect);
        scrollToItem(item(to));
    }

    void focusInEvent(QFocusEvent* event) override {
        ResumeKeyboardRow();
        QListWidget::focusInEvent(event);
    }

  private:
    void ResumeKeyboardRow() {
        if (currentRow() < 0 && KeyboardRow() >= 0) {
            selectionModel()->setCurrentIndex(model()->index(KeyboardRow(), 0),
                                              QItemSelectionModel::NoUpdate);
        }
    }

    int resumeRow_ = -1;
};

// Every line of a list is one row high, so that list lines and lines printed on the window agree. The
// keyboard's line of a focused list carries the dotted focus mark.
class RowDelegate : public QStyledItemDelegate {
  public:
    RowDelegate(int rowPixels, KeyList* list)
        : QStyledItemDelegate(list), rowPixels_(rowPixels), list_(list) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(rowPixels_);
        return size;
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (list_->hasFocus() && index.row() == list_->KeyboardRow()) {
            const bool selected = (option.state & QStyle::State_Selected) != 0;
            DrawFocusMark(*painter, option.rect,
                          option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        }
    }

  private:
    int rowPixels_;
    KeyList* list_;
};

QString LabelText(const std::string& caption) {
    QString text = ToQt(caption);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

// ---- Control ----------------------------------------------------------------------------------

Control::Control(Form& form, std::string name, QWidget* widget)
    : form_(form), name_(std::move(name)), widget_(widget), handlerContext_(std::make_unique<QObject>()) {
    widget_->setObjectName(ToQt(name_));
}

Control::~Control() = default;

void Control::Detach() {
    if (!detached_) {
        detached_ = true;
        // Deleting the context disconnects the handlers connected with it, and only them.
        handlerContext_.reset();
        DetachHandlers();
    }
}

Platform& Control::platform() const {
    return form_.platform();
}

void Control::SetVisible(bool visible) {
    const bool passFocus = !visible && HoldsWindowFocus();
    visible_ = visible;
    widget_->setVisible(visible);
    if (passFocus) {
        form_.SettleFocus(true);
    }
}

void Control::SetEnabled(bool enabled) {
    const bool passFocus = !enabled && HoldsWindowFocus();
    enabled_ = enabled;
    widget_->setEnabled(enabled);
    if (passFocus) {
        form_.SettleFocus(true);
    }
}

void Control::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    // Out of the tab order the control can still hold the focus it has, or be given it.
    widget_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void Control::SetFocus() {
    widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::HasFocus() const {
    return HoldsWindowFocus();
}

bool Control::HoldsWindowFocus() const {
    const QWidget* focus = widget_->window()->focusWidget();
    return focus != nullptr && (focus == widget_ || widget_->isAncestorOf(focus));
}

double Control::Read(const Axis& axis, int pixels, bool horizontal) const {
    if (pixels == axis.pixels) {
        return axis.twips;
    }
    return horizontal ? platform().PixelsToTwipsX(pixels) : platform().PixelsToTwipsY(pixels);
}

double Control::Left() const {
    return Read(left_, widget_->x(), true);
}
double Control::Top() const {
    return Read(top_, widget_->y(), false);
}
double Control::Width() const {
    return Read(width_, widget_->width(), true);
}
double Control::Height() const {
    return Read(height_, widget_->height(), false);
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
    const Platform& p = platform();
    left_ = {left, p.TwipsToPixelsX(left)};
    top_ = {top, p.TwipsToPixelsY(top)};
    width_ = {width, std::max(0, p.TwipsToPixelsX(width))};
    height_ = {height, std::max(0, p.TwipsToPixelsY(height))};
    widget_->setGeometry(left_.pixels, top_.pixels, width_.pixels, height_.pixels);
    LayoutChanged();
}

void Control::SetFont(const std::string& family, double points, bool bold, bool italic) {
    fontPoints_ = points;
    widget_->setFont(MakeFont(family, points, bold, italic));
    LayoutChanged();
}

// ---- Button -----------------------------------------------------------------------------------

Button::Button(Form& form, std::string name)
    : Control(form, name, new FittingButton(form.Widget())), button_(static_cast<QPushButton*>(Widget())) {
    button_->setAutoDefault(false);
    caption_ = name;
    button_->setText(ToQt(caption_));
    button_->setAccessibleName(ToQt(caption_));
    Move(0.0, 0.0, kButtonWidth, kButtonHeight);
    QObject::connect(button_, &QPushButton::clicked, HandlerContext(), [this] {
        // A copy: the handler may unload the window and so destroy this button's object.
        const std::function<void()> handler = onClick_;
        if (handler) {
            platform().Guard(handler);
        }
    });
}

void Button::SetCaption(const std::string& caption) {
    caption_ = caption;
    button_->setText(ToQt(caption));
    button_->setAccessibleName(ToQt(caption));
    LayoutChanged();
}

void Button::LayoutChanged() {
    auto* button = static_cast<FittingButton*>(button_);
    button->SetBasePoints(fontPoints_);
    button->Fit();
}

void Button::SetBackColor(Color color) {
    backColor_ = color;
    hasBackColor_ = true;
    static_cast<FittingButton*>(button_)->SetFace(ToQColor(color));
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

Label::Label(Form& form, std::string name)
    : Control(form, name, new CompactLabel(form.Widget())), label_(static_cast<QLabel*>(Widget())) {
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setWordWrap(false);
    label_->setMargin(0);
    label_->setIndent(0);
    backColor_ = FromQColor(QApplication::palette().color(QPalette::Window));
    ApplyColors();
    Move(0.0, 0.0, kLabelWidth, kLabelHeight);
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    label_->setText(LabelText(caption));
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
    label_->setWordWrap(wrap);
}

void Label::ApplyColors() {
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(foreColor_));
    palette.setColor(QPalette::Window, ToQColor(backColor_));
    label_->setPalette(palette);
    label_->setAutoFillBackground(!transparent_);
}

// ---- ListBox ----------------------------------------------------------------------------------

ListBox::ListBox(Form& form, std::string name)
    : Control(form, name, new KeyList(form.Widget())), list_(static_cast<QListWidget*>(Widget())) {
    auto* keyList = static_cast<KeyList*>(list_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setTextElideMode(Qt::ElideNone);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setItemDelegate(new RowDelegate(platform().TwipsToPixelsY(kRowTwips), keyList));
    KeepReadableWhenDisabled();
    Move(0.0, 0.0, kListWidth, kListHeight);
    QObject::connect(list_, &QListWidget::itemClicked, HandlerContext(), [this](QListWidgetItem*) {
        Platform& p = platform();
        ListBox* self = this;
        p.Guard([self] { self->RunClick(); });
    });
    // Enter or Space on a line: selected and its click handler run, as a click does.
    keyList->onChoose = [this](int row) {
        {
            const QSignalBlocker blocker(list_);
            list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        }
        Platform& p = platform();
        ListBox* self = this;
        p.Guard([self] { self->RunClick(); });
    };
}

void ListBox::DetachHandlers() {
    // The widget may outlive this object by a moment (deleteLater): its keys then choose nothing.
    static_cast<KeyList*>(list_)->onChoose = nullptr;
}

void ListBox::KeepReadableWhenDisabled() {
    // A disabled list still shows data the student reads (the review of the source data): its lines
    // keep the normal text colour on the normal background; being disabled it takes no input.
    QPalette palette = list_->palette();
    for (const QPalette::ColorRole role :
         {QPalette::Base, QPalette::Text, QPalette::Window, QPalette::WindowText, QPalette::Highlight,
          QPalette::HighlightedText}) {
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    }
    list_->setPalette(palette);
}

void ListBox::RunClick() {
    // A copy: the handler may unload the window and so destroy this list's object.
    const std::function<void()> handler = onClick_;
    if (handler) {
        handler();
    }
}

void ListBox::Clear() {
    for (int row = list_->count() - 1; row >= 0; --row) {
        AnnounceLineRemoving(list_, row);
    }
    list_->clear();
}

void ListBox::AddItem(const std::string& text) {
    list_->addItem(ToQt(text));
    AnnounceLineAdded(list_, list_->count() - 1);
}

void ListBox::AddItem(const std::string& text, int index) {
    const int at = std::clamp(index, 0, list_->count());
    list_->insertItem(at, ToQt(text));
    AnnounceLineAdded(list_, at);
}

void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= list_->count()) {
        return;
    }
    const bool wasSelected = ListIndex() == index;
    const QSignalBlocker blocker(list_);
    AnnounceLineRemoving(list_, index);
    delete list_->takeItem(index);
    if (wasSelected) {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
}

int ListBox::ListCount() const {
    return list_->count();
}

std::string ListBox::List(int index) const {
    const QListWidgetItem* item = list_->item(index);
    return item != nullptr ? FromQt(item->text()) : std::string();
}

int ListBox::ListIndex() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

void ListBox::SetListIndex(int index) {
    {
        const QSignalBlocker blocker(list_);
        if (index < 0 || index >= list_->count()) {
            list_->clearSelection();
            list_->setCurrentRow(-1);
            return;
        }
        list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        static_cast<KeyList*>(list_)->NoteChosen(index);
    }
    ListBox* self = this;
    platform().Raise([self] { self->RunClick(); });
}

}  // namespace heatx::ui
