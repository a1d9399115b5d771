#include "recording_toolkit.h"

#include <cstdio>
#include <stdexcept>

namespace heatx::ui::testing {

namespace {

std::string Hex(Color color) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", RedOf(color), GreenOf(color), BlueOf(color));
    return text;
}

std::string Rect(const PixelRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height);
}

template <class Base>
class Recorded : public Base {
  public:
    explicit Recorded(std::shared_ptr<RecordedControl> record) : record_(std::move(record)) {}
    void SetGeometry(const PixelRect& rect) override { record_->geometry = rect; }
    PixelRect Geometry() const override { return record_->geometry; }
    void SetVisible(bool visible) override { record_->visible = visible; }
    void SetEnabled(bool enabled) override { record_->enabled = enabled; }
    void SetTabStop(bool) override {}
    void SetFont(const FontSpec&) override {}
    void SetFocus() override {}
    bool HasFocus() const override { return false; }
    void DropCallbacks() override { record_->callback = nullptr; }

  protected:
    std::shared_ptr<RecordedControl> record_;
};

class Button : public Recorded<NativeButton> {
  public:
    using Recorded::Recorded;
    void SetCaption(const std::string& caption) override { record_->caption = caption; }
    void SetBackColor(Color color) override { record_->backColor = color; }
    void OnClicked(std::function<void()> callback) override { record_->callback = std::move(callback); }
};

class Label : public Recorded<NativeLabel> {
  public:
    using Recorded::Recorded;
    void SetCaption(const std::string& text) override { record_->caption = text; }
    void SetColors(Color, Color backColor, bool) override { record_->backColor = backColor; }
    void SetWordWrap(bool) override {}
};

class List : public Recorded<NativeList> {
  public:
    using Recorded::Recorded;
    void Clear() override {
        record_->lines.clear();
        record_->selected = -1;
    }
    void Insert(int index, const std::string& text) override {
        record_->lines.insert(record_->lines.begin() + index, text);
    }
    void Remove(int index) override {
        record_->lines.erase(record_->lines.begin() + index);
        if (record_->selected == index) {
            record_->selected = -1;
        }
    }
    int Count() const override { return static_cast<int>(record_->lines.size()); }
    std::string Line(int index) const override { return record_->lines.at(static_cast<std::size_t>(index)); }
    int Selected() const override { return record_->selected; }
    void Select(int index) override { record_->selected = index; }
    void OnChosen(std::function<void()> callback) override { record_->callback = std::move(callback); }
};

class FakeWindow : public NativeWindow {
  public:
    explicit FakeWindow(std::shared_ptr<RecordedWindow> record) : record_(std::move(record)) {}
    void SetTitle(const std::string& title) override { record_->title = title; }
    void SetGeometry(const PixelRect& rect) override { record_->geometry = rect; }
    PixelRect Geometry() const override { return record_->geometry; }
    void Show() override { record_->visible = true; }
    void ShowOver(NativeWindow&) override { record_->visible = true; }
    void MakeDialog() override {}
    void Hide() override { record_->visible = false; }
    bool IsVisible() const override { return record_->visible; }
    void SetFont(const FontSpec&) override {}
    void SettleFocus(bool) override {}
    void ClearPicture(Color color) override { record_->picture.push_back("clear " + Hex(color)); }
    void FillBox(const PixelRect& rect, Color color) override {
        record_->picture.push_back("fill " + Rect(rect) + " " + Hex(color));
    }
    void OutlineBox(const PixelRect& rect, Color color) override {
        record_->picture.push_back("outline " + Rect(rect) + " " + Hex(color));
    }
    void AddText(double x, double y, const std::string& text, Color color) override {
        record_->picture.push_back("text " + std::to_string(static_cast<int>(x)) + "," +
                                   std::to_string(static_cast<int>(y)) + " " + Hex(color) + " " + text);
    }
    void ClearTexts() override { record_->picture.push_back("clear-texts"); }
    void RequestRepaint() override {}
    void RepaintNow() override {}
    NativeButton& AddButton(const std::string& name) override { return Add<Button>("button", name); }
    NativeLabel& AddLabel(const std::string& name) override { return Add<Label>("label", name); }
    NativeList& AddList(const std::string& name, int) override { return Add<List>("list", name); }
    void Destroy(bool later) override {
        for (const auto& control : record_->controls) {
            control->callback = nullptr;
        }
        record_->visible = false;
        record_->destroyed = true;
        record_->destroyedLater = later;
        record_->events = nullptr;
        delete this;
    }

  private:
    template <class T>
    T& Add(const std::string& kind, const std::string& name) {
        auto record = std::make_shared<RecordedControl>();
        record->kind = kind;
        record->name = name;
        record_->controls.push_back(record);
        controls_.push_back(std::make_unique<T>(record));
        return static_cast<T&>(*controls_.back());
    }

    std::shared_ptr<RecordedWindow> record_;
    std::vector<std::unique_ptr<NativeControl>> controls_;
};

}  // namespace

NativeWindow* RecordingToolkit::CreateWindow(const std::string& name, WindowEvents& events) {
    auto record = std::make_shared<RecordedWindow>();
    record->name = name;
    record->title = name;
    record->events = &events;
    windows.push_back(record);
    return new FakeWindow(record);
}

RecordedWindow& RecordingToolkit::Window(const std::string& name) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->name == name) {
            return **it;
        }
    }
    throw std::out_of_range("no window " + name);
}

RecordedControl& RecordingToolkit::Control(const std::string& window, const std::string& control) {
    for (const auto& record : Window(window).controls) {
        if (record->name == control) {
            return *record;
        }
    }
    throw std::out_of_range("no control " + control);
}

}  // namespace heatx::ui::testing
