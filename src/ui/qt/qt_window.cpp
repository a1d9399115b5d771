#include "ui/qt/qt_toolkit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/desktop.h"
#include "ui/qt/qt_convert.h"
#include "ui/qt/startup_probe.h"

namespace heatx::ui {

namespace {

constexpr double kFallbackDpi = 96.0;

// Marks a list under review (disabled in the window model): it never takes the focus by itself.
constexpr const char* kReviewOnlyProperty = "heatxReviewOnly";

QScreen* PrimaryScreen() {
    if (QGuiApplication::instance() == nullptr) {
        return nullptr;
    }
    return QGuiApplication::primaryScreen();
}

QFont QtFont(const FontSpec& font) {
    return MakeFont(font.family, font.points, font.bold, font.italic);
}

QRect ToQRect(const PixelRect& rect) {
    return QRect(rect.left, rect.top, rect.width, rect.height);
}

// Runs a callback from a copy: the callback may end the object that holds it.
void RunCallback(const std::function<void()>& callback) {
    const std::function<void()> copy = callback;
    if (copy) {
        copy();
    }
}

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
        // A screen reader hears of the list's focus first and of its keyboard line only when the
        // line changes: the line is told again once the focus has settled, so that it is read.
        QTimer::singleShot(0, this, [this] { AnnounceKeyboardLine(); });
    }

    // The window has just become the active one: a screen reader presents the window and then the focus
    // in it; the keyboard's line is told again once it has, so that it is read in either order.
    void changeEvent(QEvent* event) override {
        QListWidget::changeEvent(event);
        if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
            window()->focusWidget() == this) {
            QTimer::singleShot(150, this, [this] { AnnounceKeyboardLine(); });
        }
    }

    void AnnounceKeyboardLine() {
        const QModelIndex current = currentIndex();
        if (!hasFocus() || !current.isValid() || !QAccessible::isActive()) {
            return;
        }
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(current.row());
        QAccessible::updateAccessibility(&focus);
    }

    // A list without the focus has no current line: its lines then never tell the accessibility bus
    // that they are focused while another control is. The keyboard's line comes back with the focus.
    void focusOutEvent(QFocusEvent* event) override {
        QListWidget::focusOutEvent(event);
        if (currentRow() >= 0) {
            resumeRow_ = currentRow();
            const QSignalBlocker blocker(this);
            selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
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
    void SetRowPixels(int rowPixels) { rowPixels_ = rowPixels; }
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

// ---- Controls -------------------------------------------------------------------------------------

// What the three native controls share: a Qt widget of class W that is also a NativeControl of kind N.
template <class W, class N>
class QtControl : public W, public N {
  public:
    QtControl(QWidget* parent, const std::string& name) : W(parent) { this->setObjectName(ToQt(name)); }

    void SetGeometry(const PixelRect& rect) override {
        this->setGeometry(ToQRect(rect));
        LayoutChanged();
    }
    PixelRect Geometry() const override {
        return PixelRect{this->x(), this->y(), this->width(), this->height()};
    }
    void SetVisible(bool visible) override { this->setVisible(visible); }
    void SetEnabled(bool enabled) override { this->setEnabled(enabled); }
    void SetTabStop(bool tabStop) override {
        this->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void SetFont(const FontSpec& font) override {
        fontPoints_ = font.points;
        this->setFont(QtFont(font));
        LayoutChanged();
    }
    void SetAccessibleName(const std::string& name) override {
        accessibleName_ = ToQt(name);
        this->setAccessibleName(accessibleName_);
        LayoutChanged();
    }
    void SetFocus() override { this->setFocus(Qt::OtherFocusReason); }
    bool HasFocus() const override {
        const QWidget* focus = this->window()->focusWidget();
        return focus != nullptr && (focus == this || this->isAncestorOf(focus));
    }

  protected:
    // The control's size or font changed (a button fits its caption again).
    virtual void LayoutChanged() {}
    // Point size asked by SetFont (0: the window's font).
    double fontPoints_ = 0.0;
    // The spoken name set by the window ("": the visible text).
    QString accessibleName_;
};

// A caption wider than the button is set in a smaller size of the same font, so that it is read
// whole (the substitutes of the old screen fonts are wider than the originals).
class QtButton : public QtControl<FittingButton, NativeButton> {
  public:
    QtButton(QWidget* parent, const std::string& name) : QtControl(parent, name) {
        setAutoDefault(false);
        // The callback is dropped, never disconnected: Qt's accessibility bridge learns through the
        // widget's own "destroyed" signal that the widget is gone, and a widget that never tells it
        // leaves its accessible object behind, which a later widget at the same address inherits, dead,
        // and is then missing on the bus.
        QObject::connect(this, &QPushButton::clicked, this, [this] { RunCallback(onClicked_); });
    }
    void SetCaption(const std::string& caption) override {
        setText(ToQt(caption));
        setAccessibleName(accessibleName_.isEmpty() ? ToQt(caption) : accessibleName_);
        LayoutChanged();
    }
    void SetBackColor(Color color) override { SetFace(ToQColor(color)); }
    void OnClicked(std::function<void()> callback) override { onClicked_ = std::move(callback); }
    void DropCallbacks() override { onClicked_ = nullptr; }

  private:
    void LayoutChanged() override {
        SetBasePoints(fontPoints_);
        Fit();
    }
    std::function<void()> onClicked_;
};

class QtLabel : public QtControl<CompactLabel, NativeLabel> {
  public:
    QtLabel(QWidget* parent, const std::string& name) : QtControl(parent, name) {
        setTextFormat(Qt::PlainText);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setWordWrap(false);
        setMargin(0);
        setIndent(0);
    }
    void SetCaption(const std::string& text) override { setText(ToQt(text)); }
    // A label with a spoken name says that instead of its text; without, its text.
    void SetAccessibleName(const std::string& name) override {
        setAccessibleName(ToQt(name));
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    void SetColors(Color foreColor, Color backColor, bool transparent) override {
        QPalette colors = palette();
        colors.setColor(QPalette::WindowText, ToQColor(foreColor));
        colors.setColor(QPalette::Window, ToQColor(backColor));
        setPalette(colors);
        setAutoFillBackground(!transparent);
    }
    void SetWordWrap(bool wrap) override { setWordWrap(wrap); }
    void DropCallbacks() override {}
};

class QtList : public QtControl<KeyList, NativeList> {
  public:
    QtList(QWidget* parent, const std::string& name, int rowPixels) : QtControl(parent, name) {
        setSelectionMode(QAbstractItemView::SingleSelection);
        setUniformItemSizes(true);
        setTextElideMode(Qt::ElideNone);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        delegate_ = new RowDelegate(rowPixels, this);
        setItemDelegate(delegate_);
        KeepReadableWhenDisabled();
        QObject::connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem*) {
            if (chooses_) {
                RunCallback(onChosen_);
            }
        });
        // Enter or Space on a line: selected, and chosen as a click chooses it.
        onChoose = [this](int row) {
            if (!chooses_) {
                return;
            }
            {
                const QSignalBlocker blocker(this);
                setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            }
            RunCallback(onChosen_);
        };
    }

    void Clear() override {
        for (int row = count() - 1; row >= 0; --row) {
            AnnounceLineRemoving(this, row);
        }
        clear();
    }
    void Insert(int index, const std::string& text) override {
        insertItem(index, ToQt(text));
        AnnounceLineAdded(this, index);
    }
    void Remove(int index) override {
        const bool wasSelected = Selected() == index;
        const QSignalBlocker blocker(this);
        AnnounceLineRemoving(this, index);
        delete takeItem(index);
        if (wasSelected) {
            clearSelection();
            setCurrentRow(-1);
        }
    }
    int Count() const override { return count(); }
    std::string Line(int index) const override {
        const QListWidgetItem* line = item(index);
        return line != nullptr ? FromQt(line->text()) : std::string();
    }
    int Selected() const override {
        const QList<QListWidgetItem*> selected = selectedItems();
        return selected.isEmpty() ? -1 : row(selected.front());
    }
    void Select(int index) override {
        const QSignalBlocker blocker(this);
        if (index < 0 || index >= count()) {
            clearSelection();
            setCurrentRow(-1);
            return;
        }
        setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        NoteChosen(index);
    }
    void OnChosen(std::function<void()> callback) override { onChosen_ = std::move(callback); }
    // A disabled list is one to review: it stays enabled for the keyboard (a screen reader's user moves
    // through its lines) and in the tab order, but chooses nothing and never takes the focus by itself.
    void SetEnabled(bool enabled) override {
        chooses_ = enabled;
        setEnabled(true);
        setProperty(kReviewOnlyProperty, !enabled);
    }
    void SetRowPixels(int rowPixels) override {
        delegate_->SetRowPixels(rowPixels);
        doItemsLayout();
    }
    void SetKeyboardLine(int index) override {
        if (index < 0 || index >= count()) {
            return;
        }
        NoteChosen(index);
        if (window()->focusWidget() == this) {
            selectionModel()->setCurrentIndex(model()->index(index, 0), QItemSelectionModel::NoUpdate);
        }
        scrollToItem(item(index));
    }
    void SetLineAccessibleName(int index, const std::string& name) override {
        if (QListWidgetItem* line = item(index)) {
            line->setData(Qt::AccessibleTextRole, name.empty() ? QVariant() : QVariant(ToQt(name)));
        }
    }
    // The widget may outlive the window's object by a moment (deleteLater): it then chooses nothing.
    void DropCallbacks() override {
        onChosen_ = nullptr;
        onChoose = nullptr;
    }

  private:
    void KeepReadableWhenDisabled() {
        // A disabled list still shows data the student reads (the review of the source data): its
        // lines keep the normal text colour on the normal background; being disabled it takes no input.
        QPalette colors = palette();
        for (const QPalette::ColorRole role :
             {QPalette::Base, QPalette::Text, QPalette::Window, QPalette::WindowText, QPalette::Highlight,
              QPalette::HighlightedText}) {
            colors.setColor(QPalette::Disabled, role, colors.color(QPalette::Active, role));
        }
        setPalette(colors);
    }
    std::function<void()> onChosen_;
    RowDelegate* delegate_ = nullptr;
    bool chooses_ = true;
};

// ---- Windows --------------------------------------------------------------------------------------

// The top-level widget of a window. It paints the window's picture and printed text and passes the
// repaint and the close button on to the window. It may outlive its window's object by a moment
// (deleteLater), detached.
class QtWindow : public QWidget, public NativeWindow {
  public:
    QtWindow(const std::string& name, WindowEvents& events) : QWidget(nullptr, Qt::Window), events_(&events) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setObjectName(ToQt(name));
        setWindowTitle(ToQt(name));
        background_ = QApplication::palette().color(QPalette::Window);
    }

    void SetTitle(const std::string& title) override {
        setWindowTitle(ToQt(title));
        ApplyWindowTitle(this);
    }
    void SetGeometry(const PixelRect& rect) override {
        move(rect.left, rect.top);
        resize(rect.width, rect.height);
    }
    PixelRect Geometry() const override { return PixelRect{x(), y(), width(), height()}; }
    void Show() override {
        show();
        ApplyWindowTitle(this);
        SettleFocus(false);
        NoteProgramWindowShown(this);
        TakeKeyboardFocus(this);
    }
    void ShowOver(NativeWindow& owner) override {
        auto* ownerWindow = dynamic_cast<QtWindow*>(&owner);
        // Transient for the owner's window: only dialog windows carry the owner to the window manager.
        MakeDialog();
        winId();
        if (ownerWindow != nullptr) {
            ownerWindow->winId();
            if (windowHandle() != nullptr && ownerWindow->windowHandle() != nullptr) {
                windowHandle()->setTransientParent(ownerWindow->windowHandle());
            }
        }
        Show();
    }
    void MakeDialog() override {
        if ((windowFlags() & Qt::WindowType_Mask) != Qt::Dialog) {
            setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
        }
    }
    void SetAccessibleName(const std::string& name) override { setAccessibleName(ToQt(name)); }
    void SetRole(WindowRole role) override { role_ = role; }
    WindowRole Role() const { return role_; }
    void Announce(const std::string& text) override { AnnounceOnWindow(this, ToQt(text)); }
    void Hide() override { hide(); }
    bool IsVisible() const override { return isVisible(); }
    void SetFont(const FontSpec& font) override { setFont(QtFont(font)); }

    void SettleFocus(bool force) override {
        QWidget* current = focusWidget();
        const bool usable = current != nullptr && current != this && current->isVisibleTo(this) &&
                            current->isEnabled() &&
                            (!force || !current->property(kReviewOnlyProperty).toBool());
        if (usable && !force) {
            return;
        }
        // The tab order is the focus chain of the window's widgets (the order of the design).
        int steps = 0;
        for (QWidget* w = nextInFocusChain(); w != nullptr && w != this && steps < 10000;
             w = w->nextInFocusChain(), ++steps) {
            if (w->window() == this && (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() &&
                w->isVisibleTo(this) && !w->property(kReviewOnlyProperty).toBool()) {
                w->setFocus(Qt::TabFocusReason);
                return;
            }
        }
        if (current != nullptr && current != this) {
            setFocus(Qt::OtherFocusReason);
        }
    }

    void ClearPicture(Color color) override {
        background_ = ToQColor(color);
        Canvas().fill(background_);
    }

    void FillBox(const PixelRect& rect, Color color) override {
        // An opaque fill of whole pixels: each covered pixel takes the colour as it stands, so the
        // rows are written directly. The start screen's background is hundreds of boxes one pixel
        // wide, which a painter would fill one pixel at a time.
        QImage& canvas = Canvas();
        const QRect covered = ToQRect(rect) & canvas.rect();
        const QRgb pixel = ToQColor(color).rgb();
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

    void OutlineBox(const PixelRect& rect, Color color) override {
        QPainter painter(&Canvas());
        painter.setPen(QPen(ToQColor(color), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(ToQRect(rect).adjusted(0, 0, -1, -1));
    }

    void AddText(double x, double y, const std::string& text, Color color) override {
        texts_.push_back(TextItem{QPointF(x, y), ToQt(text), font(), ToQColor(color)});
    }
    void ClearTexts() override { texts_.clear(); }
    void RequestRepaint() override { update(); }
    void RepaintNow() override { repaint(); }

    NativeButton& AddButton(const std::string& name) override { return *new QtButton(this, name); }
    NativeLabel& AddLabel(const std::string& name) override { return *new QtLabel(this, name); }
    NativeList& AddList(const std::string& name, int rowPixels) override {
        return *new QtList(this, name, rowPixels);
    }

    void Destroy(bool later) override {
        events_ = nullptr;
        for (QObject* child : children()) {
            if (auto* control = dynamic_cast<NativeControl*>(child)) {
                control->DropCallbacks();
            }
        }
        hide();
        if (later) {
            deleteLater();
        } else {
            delete this;
        }
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (events_ == nullptr) {
            painter.fillRect(event->rect(), palette().color(QPalette::Window));
            return;
        }
        events_->BeforePaint();
        // The repaint's handler may have destroyed an unloaded window.
        if (events_ == nullptr) {
            painter.fillRect(event->rect(), palette().color(QPalette::Window));
            return;
        }
        Paint(painter, event->region());
        NoteWindowPainted();
    }

    void closeEvent(QCloseEvent* event) override {
        // The window stays; what happens is the window's decision.
        event->ignore();
        if (events_ != nullptr) {
            events_->CloseRequested();
        }
    }

  private:
    struct TextItem {
        QPointF position;  // pixels, top-left corner of the text
        QString text;
        QFont font;
        QColor color;
    };

    // The picture, as large as the window, keeping what is drawn.
    QImage& Canvas() {
        if (canvas_.size() != size()) {
            QImage fresh(size(), QImage::Format_RGB32);
            fresh.fill(background_);
            if (!canvas_.isNull()) {
                QPainter painter(&fresh);
                painter.drawImage(0, 0, canvas_);
            }
            canvas_ = std::move(fresh);
        }
        return canvas_;
    }

    void Paint(QPainter& painter, const QRegion& region) {
        // The region to paint is the window less its opaque controls: several rectangles. An image
        // drawn through such a region is blended line by line, handed out to the thread pool; drawn
        // into one rectangle at a time it is a plain copy of the rows.
        const QImage& canvas = Canvas();
        for (const QRect& part : region) {
            painter.setClipRect(part);
            painter.drawImage(part.topLeft(), canvas, part);
        }
        painter.setClipping(false);
        for (const auto& item : texts_) {
            painter.setFont(item.font);
            painter.setPen(item.color);
            const QFontMetricsF metrics(item.font, this);
            painter.drawText(item.position + QPointF(0.0, metrics.ascent()), item.text);
        }
    }

    WindowEvents* events_;
    WindowRole role_ = WindowRole::Window;
    QImage canvas_;
    QColor background_;
    std::vector<TextItem> texts_;
};

// A window to a screen reader: its role (a plain window, a dialog, or an alert whose labels are read
// as it opens) and its spoken name, the title when it has none.
class WindowAccessible : public QAccessibleWidget {
  public:
    explicit WindowAccessible(QtWindow* window) : QAccessibleWidget(window, QAccessible::Window) {}
    QAccessible::Role role() const override {
        const auto* window = dynamic_cast<const QtWindow*>(widget());
        return window != nullptr ? RoleOf(window->Role()) : QAccessible::Window;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty()) {
            return widget()->accessibleName();
        }
        return QAccessibleWidget::text(t);
    }

  private:
    static QAccessible::Role RoleOf(WindowRole role) {
        switch (role) {
            case WindowRole::Dialog:
                return QAccessible::Dialog;
            case WindowRole::Alert:
                return QAccessible::AlertMessage;
            case WindowRole::Window:
                break;
        }
        return QAccessible::Window;
    }
};

QAccessibleInterface* WindowAccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QWidget")) {
        if (auto* window = dynamic_cast<QtWindow*>(object)) {
            return new WindowAccessible(window);
        }
    }
    return nullptr;
}

}  // namespace

// ---- The toolkit ----------------------------------------------------------------------------------

NativeWindow* QtToolkit::CreateWindow(const std::string& name, WindowEvents& events) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(WindowAccessibleFactory);
        return true;
    }();
    (void)factoryInstalled;
    return new QtWindow(name, events);
}

PixelRect QtToolkit::AvailableArea() const {
    QScreen* screen = PrimaryScreen();
    if (screen == nullptr) {
        return PixelRect{0, 0, ScreenWidthPixels(), ScreenHeightPixels()};
    }
    const QRect area = screen->availableGeometry();
    return PixelRect{area.x(), area.y(), area.width(), area.height()};
}

double QtToolkit::DefaultFontPoints() const {
    return QApplication::instance() != nullptr ? QApplication::font().pointSizeF() : 0.0;
}

double QtToolkit::LogicalDpiX() const {
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchX() : kFallbackDpi;
}

double QtToolkit::LogicalDpiY() const {
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : kFallbackDpi;
}

int QtToolkit::ScreenWidthPixels() const {
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->geometry().width() : 800;
}

int QtToolkit::ScreenHeightPixels() const {
    QScreen* screen = PrimaryScreen();
    return screen != nullptr ? screen->geometry().height() : 600;
}

Color QtToolkit::WindowColor() const {
    return FromQColor(QApplication::palette().color(QPalette::Window));
}

void QtToolkit::EndRun(int exitCode) {
    if (QApplication::instance() != nullptr) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            widget->hide();
        }
        if (QThread::currentThread()->loopLevel() > 0) {
            QCoreApplication::exit(exitCode);
        }
    }
}

QWidget* WidgetOf(const Form& form) {
    return dynamic_cast<QWidget*>(form.Native());
}

QWidget* WidgetOf(const Control& control) {
    return dynamic_cast<QWidget*>(control.Native());
}

}  // namespace heatx::ui
