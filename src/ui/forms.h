// The registry of loaded windows.
//
// Each window type exists at most once. Get<T>() creates it on first reference: it constructs T
// (the design: controls, captions, colours) and runs its Form_Load at that moment, then returns it.
// Unload destroys a window, so that the next Get<T>() creates it afresh and runs Form_Load again.
// Hence "unload, then hide" written as
//     Forms().Unload<Form11>();
//     Forms().Get<Form11>().Hide();
// leaves Form11 loaded again, hidden, freshly created and the newest in the list.
//
// A window is often unloaded from inside one of its own handlers, which then goes on running. Unload
// therefore takes the window out of the list and hides it at once, but destroys the object only when
// no guarded handler is running any more (or on CollectUnloaded(), or with the registry). Until then
// the old object stays usable, but it is no longer "the" window: reach windows through Get<T>().
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace heatx {
struct RunContext;
}

namespace heatx::ui {

class Form;
class Platform;

class FormRegistry {
  public:
    explicit FormRegistry(Platform& platform);
    ~FormRegistry();
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;

    // The window of type T, created (constructor, then Form_Load) if it is not loaded.
    // T derives from Form and is constructed as T(RunContext&), with the context of the run the
    // registry serves (AttachContext), or, for a window that needs nothing of the run, as T(Platform&).
    template <class T>
    T& Get() {
        static_assert(std::is_base_of_v<Form, T>, "windows derive from Form");
        Form& form = GetOrCreate(std::type_index(typeid(T)), [this]() -> std::unique_ptr<Form> {
            if constexpr (std::is_constructible_v<T, Platform&>) {
                return std::make_unique<T>(platform_);
            } else {
                return std::make_unique<T>(Context());
            }
        });
        return static_cast<T&>(form);
    }

    // The context of the run whose windows these are (set by the context itself; nullptr detaches).
    void AttachContext(heatx::RunContext* context) { context_ = context; }
    // The attached context; a window of the run asked for without one is a programming fault
    // (std::logic_error).
    heatx::RunContext& Context() const;

    template <class T>
    bool IsLoaded() const {
        return Find(std::type_index(typeid(T))) != nullptr;
    }

    // Unloads the window of type T if it is loaded.
    template <class T>
    void Unload() {
        if (Form* form = Find(std::type_index(typeid(T)))) {
            Unload(*form);
        }
    }
    // Takes the window out of the list and hides it; destroys it later (see above). Does nothing
    // for a window that is no longer loaded.
    void Unload(Form& form);

    // The loaded windows in the order of their creation.
    int Count() const { return static_cast<int>(loaded_.size()); }
    Form& At(int index);
    bool IsLoaded(const Form& form) const;

    // Unloads the earliest-created windows until one remains; nothing happens with one or none.
    void CloseOtherForms();

    // Destroys every window, loaded or unloaded, the newest first. Safe only outside handlers.
    void DestroyAll();

    // Destroys the windows unloaded so far. Safe only when none of them is running a handler.
    void CollectUnloaded();
    // Same, for the end of a guarded handler that the toolkit is still inside: the native windows
    // are released once the event loop has them again (NativeWindow::Destroy(later)).
    void CollectUnloadedLater();
    // Unloaded windows not destroyed yet.
    int PendingDestruction() const { return static_cast<int>(unloaded_.size()); }

  private:
    struct Entry {
        std::type_index type;
        std::unique_ptr<Form> form;
    };

    Form& GetOrCreate(std::type_index type, const std::function<std::unique_ptr<Form>()>& create);
    Form* Find(std::type_index type) const;
    void Collect(bool later);

    Platform& platform_;
    heatx::RunContext* context_ = nullptr;
    std::vector<Entry> loaded_;
    std::vector<std::unique_ptr<Form>> unloaded_;
};

}  // namespace heatx::ui
