#include "ui/qt/desktop.h"

#include <QtGui/qguiapplication_platform.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <cstdlib>

#ifdef HEATX_WITH_XCB
#include <xcb/xcb.h>
#endif

namespace heatx::ui {

namespace {

bool pressGuardOn = true;

// The property of a top-level widget that holds the moment it was last shown, in milliseconds of
// the program's monotonic clock.
constexpr const char* kShownAtProperty = "heatxShownAtMs";

QElapsedTimer& MonotonicClock() {
    static QElapsedTimer clock;
    if (!clock.isValid()) {
        clock.start();
    }
    return clock;
}

QPointer<QWidget>& LastProgramWindow() {
    static QPointer<QWidget> window;
    return window;
}

bool Offscreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

// Notes when each top-level window appears, and swallows the pointer presses (and their releases and
// double clicks) that reach a window within the double-click interval after it appeared.
class PressGuardFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) {
            return false;
        }
        switch (event->type()) {
            case QEvent::Show: {
                auto* widget = static_cast<QWidget*>(watched);
                if (widget->isWindow()) {
                    widget->setProperty(kShownAtProperty, MonotonicClock().elapsed());
                }
                return false;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseButtonRelease: {
                if (!pressGuardOn) {
                    return false;
                }
                const QWidget* window = static_cast<QWidget*>(watched)->window();
                const QVariant shownAt = window != nullptr ? window->property(kShownAtProperty) : QVariant();
                if (!shownAt.isValid()) {
                    return false;
                }
                const qint64 age = MonotonicClock().elapsed() - shownAt.toLongLong();
                return age >= 0 && age < QApplication::doubleClickInterval();
            }
            default:
                return false;
        }
    }
};

// Gives a modal box the keyboard focus as soon as it is shown.
class FocusOnShow : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            TakeKeyboardFocus(static_cast<QWidget*>(watched));
        }
        return false;
    }
};

}  // namespace

void InstallDesktopBehaviour(QApplication& app) {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    MonotonicClock();
    app.installEventFilter(new PressGuardFilter(&app));
}

void SetNewWindowPressGuard(bool on) {
    pressGuardOn = on;
}

bool NewWindowPressGuard() {
    return pressGuardOn;
}

#ifdef HEATX_WITH_XCB
namespace {

xcb_connection_t* XConnection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(qstrlen(name)), name), nullptr);
    const xcb_atom_t value = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// Whether a window manager has announced itself on the root window.
bool WindowManagerRunning(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (screen == nullptr || check == XCB_ATOM_NONE) {
        return false;
    }
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, screen->root, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    const bool running = reply != nullptr && xcb_get_property_value_length(reply) > 0;
    std::free(reply);
    return running;
}

}  // namespace
#endif

#ifdef HEATX_WITH_XCB
namespace {

// Without a window manager an activation is an X focus request stamped with the time of the last
// event the program saw; when a window has just gone (a box, or this window hidden and shown again)
// the server's focus changed later than that and the request is ignored. So the window is given the
// focus at the current time as soon as it is on the screen, unless another window of the program
// has come up meanwhile.
void FocusAtCurrentTime(const QPointer<QWidget>& window, int attempts) {
    if (window == nullptr || !window->isVisible()) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    const bool stillWanted =
        modal != nullptr ? modal == window.data()
                         : window->windowModality() != Qt::NonModal || LastProgramWindow() == window.data();
    if (!stillWanted) {
        return;
    }
    xcb_connection_t* connection = XConnection();
    if (connection == nullptr) {
        return;
    }
    if (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()) {
        if (attempts > 0) {
            QTimer::singleShot(10, window, [window, attempts] { FocusAtCurrentTime(window, attempts - 1); });
        }
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const bool managed = WindowManagerRunning(connection);
    if (!managed) {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
    // A window hidden and shown again may not hear of the focus it got back: the program's own idea
    // of the active window follows the server's.
    if (QApplication::activeWindow() == window.data()) {
        return;
    }
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    const bool focused = reply != nullptr && reply->focus == id;
    std::free(reply);
    if (focused) {
        QApplication::setActiveWindow(window);
    } else if (managed && attempts > 0) {
        // The window manager gives the focus in its own time.
        QTimer::singleShot(10, window, [window, attempts] { FocusAtCurrentTime(window, attempts - 1); });
    }
}

}  // namespace
#endif

void TakeKeyboardFocus(QWidget* window) {
    if (window == nullptr || Offscreen()) {
        return;
    }
    window->raise();
    window->activateWindow();
#ifdef HEATX_WITH_XCB
    // After the events of a window hidden and shown again in the same handler.
    const QPointer<QWidget> target(window);
    QTimer::singleShot(20, window, [target] { FocusAtCurrentTime(target, 100); });
#endif
}

void NoteProgramWindowShown(QWidget* window) {
    LastProgramWindow() = window;
}

QWidget* WindowBelowBoxes() {
    QWidget* window = LastProgramWindow();
    return window != nullptr && window->isVisible() ? window : nullptr;
}

BoxFocus::BoxFocus(QWidget* box) {
    QWidget* active = QApplication::activeWindow();
    previous_ = active != nullptr && active->isVisible() ? active : nullptr;
    box->installEventFilter(new FocusOnShow(box));
}

BoxFocus::~BoxFocus() {
    QWidget* target = previous_ != nullptr && previous_->isVisible() ? previous_.data() : WindowBelowBoxes();
    TakeKeyboardFocus(target);
}

void DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& background) {
    if (rect.width() < 2 || rect.height() < 2) {
        return;
    }
    const QColor ink = qGray(background.rgb()) >= 96 ? QColor(0, 0, 0) : QColor(255, 255, 255);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(ink, 0);
    pen.setDashPattern({1.0, 1.0});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void ApplyWindowTitle(QWidget* window) {
#ifdef HEATX_WITH_XCB
    // Only an empty caption needs help: the windowing layer replaces an empty title by the program's
    // name, and window managers show an empty name as a placeholder of their own (in English). The
    // title properties are set to one blank, which every title bar shows as nothing.
    if (window == nullptr || !window->windowTitle().isEmpty() ||
        !window->testAttribute(Qt::WA_WState_Created)) {
        return;
    }
    xcb_connection_t* connection = XConnection();
    if (connection == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t netName = Atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    constexpr char kBlank[] = " ";
    if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netName, utf8, 8, 1, kBlank);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 1,
                        kBlank);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

void ChoosePlatformPlugin() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || !set("WAYLAND_DISPLAY")) {
        return;
    }
    ::setenv("QT_QPA_PLATFORM", set("DISPLAY") ? "xcb" : "wayland", 1);
}

}  // namespace heatx::ui
