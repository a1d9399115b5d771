#include "ui/web/web_toolkit.h"

#include <emscripten.h>

#include <algorithm>
#include <utility>

namespace heatx::ui::web {

// ---- The page's runtime (runtime.js), called by name -----------------------------------------------------
// Colours travel as numbers (red in the lowest byte), texts as UTF-8.

// clang-format off
EM_JS(int, hx_screen_width, (), { return heatx.screenWidth(); });
EM_JS(int, hx_screen_height, (), { return heatx.screenHeight(); });
EM_JS(int, hx_window_color, (), { return heatx.windowColor(); });
EM_JS(void, hx_end_run, (), { heatx.endRun(); });
EM_JS(void, hx_connect, (), {
    // A handler that waits in a modal box returns to the page at once; the page then waits for the
    // whole handler before it runs the next event.
    heatx.connect(function (kind, id, arg) {
        var result = _heatx_web_event(kind, id, arg);
        if (typeof Asyncify === "object" && Asyncify.currData) {
            return Asyncify.whenDone();
        }
        return Promise.resolve(result);
    });
});

EM_JS(int, hx_create_window, (const char* name), { return heatx.createWindow(UTF8ToString(name)); });
EM_JS(void, hx_destroy_window, (int id), { heatx.destroyWindow(id); });
EM_JS(void, hx_set_title, (int id, const char* title), { heatx.setTitle(id, UTF8ToString(title)); });
EM_JS(void, hx_set_geometry, (int id, int left, int top, int width, int height), {
    heatx.setGeometry(id, left, top, width, height);
});
EM_JS(void, hx_show, (int id), { heatx.show(id); });
EM_JS(void, hx_show_over, (int id, int owner), { heatx.showOver(id, owner); });
EM_JS(void, hx_make_dialog, (int id), { heatx.makeDialog(id); });
EM_JS(void, hx_hide, (int id), { heatx.hide(id); });
EM_JS(void, hx_window_font, (int id, const char* family, double points, int bold, int italic), {
    heatx.setWindowFont(id, UTF8ToString(family), points, bold, italic);
});
EM_JS(void, hx_settle_focus, (int id, int force), { heatx.settleFocus(id, !!force); });
EM_JS(void, hx_window_accessible_name, (int id, const char* name), {
    heatx.setWindowAccessibleName(id, UTF8ToString(name));
});
EM_JS(void, hx_window_role, (int id, int role), { heatx.setWindowRole(id, role); });
EM_JS(void, hx_announce, (int id, const char* text), { heatx.announce(id, UTF8ToString(text)); });
EM_JS(void, hx_on_window_close, (int id), { heatx.onWindowClose(id); });
EM_JS(void, hx_clear_picture, (int id, int color), { heatx.clearPicture(id, color); });
EM_JS(void, hx_fill_box, (int id, int left, int top, int width, int height, int color), {
    heatx.fillBox(id, left, top, width, height, color);
});
EM_JS(void, hx_outline_box, (int id, int left, int top, int width, int height, int color), {
    heatx.outlineBox(id, left, top, width, height, color);
});
EM_JS(void, hx_add_text, (int id, double x, double y, const char* text, int color), {
    heatx.addText(id, x, y, UTF8ToString(text), color);
});
EM_JS(void, hx_clear_texts, (int id), { heatx.clearTexts(id); });

EM_JS(int, hx_add_button, (int window, const char* name), { return heatx.addButton(window, UTF8ToString(name)); });
EM_JS(int, hx_add_label, (int window, const char* name), { return heatx.addLabel(window, UTF8ToString(name)); });
EM_JS(int, hx_add_list, (int window, const char* name, int rowPixels), {
    return heatx.addList(window, UTF8ToString(name), rowPixels);
});
EM_JS(void, hx_control_geometry, (int id, int left, int top, int width, int height), {
    heatx.setControlGeometry(id, left, top, width, height);
});
EM_JS(void, hx_control_visible, (int id, int visible), { heatx.setControlVisible(id, !!visible); });
EM_JS(void, hx_control_enabled, (int id, int enabled), { heatx.setControlEnabled(id, !!enabled); });
EM_JS(void, hx_control_tab_stop, (int id, int tabStop), { heatx.setControlTabStop(id, !!tabStop); });
EM_JS(void, hx_control_font, (int id, const char* family, double points, int bold, int italic), {
    heatx.setControlFont(id, UTF8ToString(family), points, bold, italic);
});
EM_JS(void, hx_control_focus, (int id), { heatx.setControlFocus(id); });
EM_JS(int, hx_control_has_focus, (int id), { return heatx.controlHasFocus(id) ? 1 : 0; });
EM_JS(void, hx_control_accessible_name, (int id, const char* name), {
    heatx.setControlAccessibleName(id, UTF8ToString(name));
});
EM_JS(void, hx_drop_callbacks, (int id), { heatx.dropCallbacks(id); });
EM_JS(void, hx_on_button, (int id), { heatx.onButton(id); });
EM_JS(void, hx_on_list, (int id), { heatx.onList(id); });
EM_JS(void, hx_button_caption, (int id, const char* caption), { heatx.setButtonCaption(id, UTF8ToString(caption)); });
EM_JS(void, hx_button_face, (int id, int color), { heatx.setButtonFace(id, color); });
EM_JS(void, hx_label_caption, (int id, const char* text), { heatx.setLabelCaption(id, UTF8ToString(text)); });
EM_JS(void, hx_label_colors, (int id, int fore, int back, int transparent), {
    heatx.setLabelColors(id, fore, back, !!transparent);
});
EM_JS(void, hx_label_wrap, (int id, int wrap), { heatx.setLabelWordWrap(id, !!wrap); });
EM_JS(void, hx_list_clear, (int id), { heatx.listClear(id); });
EM_JS(void, hx_list_insert, (int id, int index, const char* text), { heatx.listInsert(id, index, UTF8ToString(text)); });
EM_JS(void, hx_list_remove, (int id, int index), { heatx.listRemove(id, index); });
EM_JS(int, hx_list_selected, (int id), { return heatx.listSelected(id); });
EM_JS(void, hx_list_select, (int id, int index), { heatx.listSelect(id, index); });
EM_JS(void, hx_list_keyboard_line, (int id, int index), { heatx.listKeyboardLine(id, index); });
EM_JS(void, hx_list_line_name, (int id, int index, const char* name), {
    heatx.listLineName(id, index, UTF8ToString(name));
});
EM_JS(void, hx_list_row_pixels, (int id, int rowPixels), { heatx.listRowPixels(id, rowPixels); });
// clang-format on

namespace {

WebToolkit* current = nullptr;

int ColorArg(Color color) {
    return static_cast<int>(color & 0xFFFFFFu);
}

// ---- Controls
// ----------------------------------------------------------------------------------------------

template <class Interface>
class WebControl : public Interface {
  public:
    WebControl(WebToolkit& toolkit, int id) : toolkit_(toolkit), id_(id) {}
    ~WebControl() override { toolkit_.DropCallback(id_); }

    void SetGeometry(const PixelRect& rect) override {
        geometry_ = rect;
        hx_control_geometry(id_, rect.left, rect.top, rect.width, rect.height);
    }
    PixelRect Geometry() const override { return geometry_; }
    void SetVisible(bool visible) override { hx_control_visible(id_, visible ? 1 : 0); }
    void SetEnabled(bool enabled) override { hx_control_enabled(id_, enabled ? 1 : 0); }
    void SetTabStop(bool tabStop) override { hx_control_tab_stop(id_, tabStop ? 1 : 0); }
    void SetFont(const FontSpec& font) override {
        hx_control_font(id_, font.family.c_str(), font.points, font.bold ? 1 : 0, font.italic ? 1 : 0);
    }
    void SetFocus() override { hx_control_focus(id_); }
    bool HasFocus() const override { return hx_control_has_focus(id_) != 0; }
    void SetAccessibleName(const std::string& name) override {
        hx_control_accessible_name(id_, name.c_str());
    }
    void DropCallbacks() override {
        toolkit_.DropCallback(id_);
        hx_drop_callbacks(id_);
    }

  protected:
    WebToolkit& toolkit_;
    const int id_;

  private:
    PixelRect geometry_;
};

class WebButton final : public WebControl<NativeButton> {
  public:
    using WebControl::WebControl;
    void SetCaption(const std::string& caption) override { hx_button_caption(id_, caption.c_str()); }
    void SetBackColor(Color color) override { hx_button_face(id_, ColorArg(color)); }
    void OnClicked(std::function<void()> callback) override {
        toolkit_.RegisterCallback(id_, [callback = std::move(callback)](int) {
            if (callback) {
                callback();
            }
        });
        hx_on_button(id_);
    }
};

class WebLabel final : public WebControl<NativeLabel> {
  public:
    using WebControl::WebControl;
    void SetCaption(const std::string& text) override { hx_label_caption(id_, text.c_str()); }
    void SetColors(Color foreColor, Color backColor, bool transparent) override {
        hx_label_colors(id_, ColorArg(foreColor), ColorArg(backColor), transparent ? 1 : 0);
    }
    void SetWordWrap(bool wrap) override { hx_label_wrap(id_, wrap ? 1 : 0); }
};

// The lines are kept here as well, so that reading them back asks nothing of the page.
class WebList final : public WebControl<NativeList> {
  public:
    using WebControl::WebControl;
    void Clear() override {
        lines_.clear();
        hx_list_clear(id_);
    }
    void Insert(int index, const std::string& text) override {
        const int at = std::clamp(index, 0, Count());
        lines_.insert(lines_.begin() + at, text);
        hx_list_insert(id_, at, text.c_str());
    }
    void Remove(int index) override {
        if (index < 0 || index >= Count()) {
            return;
        }
        lines_.erase(lines_.begin() + index);
        hx_list_remove(id_, index);
    }
    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Line(int index) const override {
        return index >= 0 && index < Count() ? lines_[static_cast<std::size_t>(index)] : std::string();
    }
    int Selected() const override { return hx_list_selected(id_); }
    void Select(int index) override { hx_list_select(id_, index >= 0 && index < Count() ? index : -1); }
    void SetRowPixels(int rowPixels) override { hx_list_row_pixels(id_, rowPixels); }
    void SetKeyboardLine(int index) override {
        if (index >= 0 && index < Count()) {
            hx_list_keyboard_line(id_, index);
        }
    }
    void SetLineAccessibleName(int index, const std::string& name) override {
        if (index >= 0 && index < Count()) {
            hx_list_line_name(id_, index, name.c_str());
        }
    }
    void OnChosen(std::function<void()> callback) override {
        toolkit_.RegisterCallback(id_, [callback = std::move(callback)](int) {
            if (callback) {
                callback();
            }
        });
        hx_on_list(id_);
    }

  private:
    std::vector<std::string> lines_;
};

}  // namespace

// ---- Windows
// -----------------------------------------------------------------------------------------------

class WebWindow final : public NativeWindow {
  public:
    WebWindow(WebToolkit& toolkit, const std::string& name, WindowEvents& events)
        : toolkit_(toolkit), id_(hx_create_window(name.c_str())), events_(&events) {
        toolkit_.RegisterWindow(id_, this);
        toolkit_.RegisterCallback(id_, [this](int) {
            if (events_ != nullptr) {
                events_->CloseRequested();
            }
        });
        hx_on_window_close(id_);
    }
    ~WebWindow() override {
        controls_.clear();
        toolkit_.DropCallback(id_);
        toolkit_.ForgetWindow(id_);
        hx_destroy_window(id_);
    }

    void SetTitle(const std::string& title) override { hx_set_title(id_, title.c_str()); }
    void SetGeometry(const PixelRect& rect) override {
        geometry_ = rect;
        hx_set_geometry(id_, rect.left, rect.top, std::max(1, rect.width), std::max(1, rect.height));
    }
    PixelRect Geometry() const override { return geometry_; }
    void Show() override {
        visible_ = true;
        hx_show(id_);
        toolkit_.AskRepaint(this);
    }
    void ShowOver(NativeWindow& owner) override {
        visible_ = true;
        hx_show_over(id_, static_cast<WebWindow&>(owner).id_);
        toolkit_.AskRepaint(this);
    }
    void MakeDialog() override { hx_make_dialog(id_); }
    void SetAccessibleName(const std::string& name) override { hx_window_accessible_name(id_, name.c_str()); }
    void SetRole(WindowRole role) override {
        hx_window_role(id_, role == WindowRole::Alert ? 2 : role == WindowRole::Dialog ? 1 : 0);
    }
    void Announce(const std::string& text) override { hx_announce(id_, text.c_str()); }
    void Hide() override {
        visible_ = false;
        hx_hide(id_);
    }
    bool IsVisible() const override { return visible_ && !toolkit_.Ended(); }
    void SetFont(const FontSpec& font) override {
        hx_window_font(id_, font.family.c_str(), font.points, font.bold ? 1 : 0, font.italic ? 1 : 0);
    }
    void SettleFocus(bool force) override { hx_settle_focus(id_, force ? 1 : 0); }

    void ClearPicture(Color color) override { hx_clear_picture(id_, ColorArg(color)); }
    void FillBox(const PixelRect& rect, Color color) override {
        hx_fill_box(id_, rect.left, rect.top, rect.width, rect.height, ColorArg(color));
    }
    void OutlineBox(const PixelRect& rect, Color color) override {
        hx_outline_box(id_, rect.left, rect.top, rect.width, rect.height, ColorArg(color));
    }
    void AddText(double x, double y, const std::string& text, Color color) override {
        hx_add_text(id_, x, y, text.c_str(), ColorArg(color));
    }
    void ClearTexts() override { hx_clear_texts(id_); }
    // The picture and texts are on the page as soon as they are drawn; a repaint only lets the window
    // draw its picture anew (a window that paints its background on every repaint).
    void RequestRepaint() override { toolkit_.AskRepaint(this); }
    void RepaintNow() override { Paint(); }

    NativeButton& AddButton(const std::string& name) override {
        return Add(std::make_unique<WebButton>(toolkit_, hx_add_button(id_, name.c_str())));
    }
    NativeLabel& AddLabel(const std::string& name) override {
        return Add(std::make_unique<WebLabel>(toolkit_, hx_add_label(id_, name.c_str())));
    }
    NativeList& AddList(const std::string& name, int rowPixels) override {
        return Add(std::make_unique<WebList>(toolkit_, hx_add_list(id_, name.c_str(), rowPixels)));
    }

    void Destroy(bool later) override {
        events_ = nullptr;
        for (const auto& control : controls_) {
            control->DropCallbacks();
        }
        Hide();
        if (later) {
            toolkit_.DestroyLater(this);
        } else {
            delete this;
        }
    }

    // Lets the window draw before its picture is seen (once at a time).
    void Paint() {
        if (events_ == nullptr || painting_ || !IsVisible()) {
            return;
        }
        painting_ = true;
        events_->BeforePaint();
        painting_ = false;
    }
    bool Painting() const { return painting_; }

  private:
    template <class Control>
    Control& Add(std::unique_ptr<Control> control) {
        Control& added = *control;
        controls_.push_back(std::move(control));
        return added;
    }

    WebToolkit& toolkit_;
    const int id_;
    WindowEvents* events_;
    PixelRect geometry_;
    bool visible_ = false;
    bool painting_ = false;
    std::vector<std::unique_ptr<NativeControl>> controls_;
};

// ---- The toolkit
// ----------------------------------------------------------------------------------------------

WebToolkit::WebToolkit() {
    current = this;
    hx_connect();
}

WebToolkit::~WebToolkit() {
    Settle();
    if (current == this) {
        current = nullptr;
    }
}

WebToolkit* WebToolkit::Current() {
    return current;
}

NativeWindow* WebToolkit::CreateWindow(const std::string& name, WindowEvents& events) {
    return new WebWindow(*this, name, events);
}

int WebToolkit::ScreenWidthPixels() const {
    return hx_screen_width();
}

int WebToolkit::ScreenHeightPixels() const {
    return hx_screen_height();
}

Color WebToolkit::WindowColor() const {
    return static_cast<Color>(hx_window_color());
}

void WebToolkit::EndRun(int exitCode) {
    if (ended_) {
        return;
    }
    ended_ = true;
    exitCode_ = exitCode;
    hx_end_run();
}

void WebToolkit::RegisterCallback(int id, std::function<void(int)> callback) {
    callbacks_[id] = std::move(callback);
}

void WebToolkit::DropCallback(int id) {
    callbacks_.erase(id);
}

void WebToolkit::RegisterWindow(int id, WebWindow* window) {
    windows_[id] = window;
}

void WebToolkit::ForgetWindow(int id) {
    const auto found = windows_.find(id);
    if (found == windows_.end()) {
        return;
    }
    WebWindow* window = found->second;
    windows_.erase(found);
    std::erase(repaints_, window);
    std::erase(doomed_, window);
}

void WebToolkit::AskRepaint(WebWindow* window) {
    if (!window->Painting() && std::find(repaints_.begin(), repaints_.end(), window) == repaints_.end()) {
        repaints_.push_back(window);
    }
}

void WebToolkit::DestroyLater(WebWindow* window) {
    std::erase(repaints_, window);
    if (std::find(doomed_.begin(), doomed_.end(), window) == doomed_.end()) {
        doomed_.push_back(window);
    }
}

void WebToolkit::Dispatch(int kind, int id, int arg) {
    if (ended_) {
        return;
    }
    (void)kind;
    const auto found = callbacks_.find(id);
    if (found != callbacks_.end()) {
        // A copy: the handler may destroy the control or window it belongs to.
        const std::function<void(int)> callback = found->second;
        ++depth_;
        callback(arg);
        --depth_;
    }
    Settle();
}

void WebToolkit::Settle() {
    // Repaints: a window painted may ask again only for the next round.
    for (int rounds = 0; rounds < 4 && !repaints_.empty(); ++rounds) {
        std::vector<WebWindow*> now;
        now.swap(repaints_);
        for (WebWindow* window : now) {
            const bool alive = std::any_of(windows_.begin(), windows_.end(),
                                           [window](const auto& entry) { return entry.second == window; });
            if (alive) {
                window->Paint();
            }
        }
    }
    // Windows let go of during a handler go once no handler runs.
    if (depth_ == 0) {
        std::vector<WebWindow*> gone;
        gone.swap(doomed_);
        for (WebWindow* window : gone) {
            delete window;
        }
    }
}

}  // namespace heatx::ui::web

// The page's events: see WebToolkit::Dispatch.
extern "C" EMSCRIPTEN_KEEPALIVE void heatx_web_event(int kind, int id, int arg) {
    if (heatx::ui::web::WebToolkit* toolkit = heatx::ui::web::WebToolkit::Current()) {
        toolkit->Dispatch(kind, id, arg);
    }
}
