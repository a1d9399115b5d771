#include "ui/forms.h"

#include <algorithm>
#include <stdexcept>

#include "ui/form.h"
#include "ui/platform.h"

namespace heatx::ui {

FormRegistry::FormRegistry(Platform& platform) : platform_(platform) {}

heatx::RunContext& FormRegistry::Context() const {
    if (context_ == nullptr) {
        throw std::logic_error("a window of the run was asked for before the run had a context");
    }
    return *context_;
}

FormRegistry::~FormRegistry() {
    DestroyAll();
}

void FormRegistry::DestroyAll() {
    // Newest first, like a program closing its windows.
    while (!loaded_.empty()) {
        unloaded_.push_back(std::move(loaded_.back().form));
        loaded_.pop_back();
    }
    Collect(false);
}

Form& FormRegistry::GetOrCreate(std::type_index type, const std::function<std::unique_ptr<Form>()>& create) {
    if (Form* form = Find(type)) {
        return *form;
    }
    std::unique_ptr<Form> created = create();
    Form& form = *created;
    // In the list before Form_Load, so that Form_Load can refer to its own window.
    loaded_.push_back(Entry{type, std::move(created)});
    form.Form_Load();
    return form;
}

Form* FormRegistry::Find(std::type_index type) const {
    for (const auto& entry : loaded_) {
        if (entry.type == type) {
            return entry.form.get();
        }
    }
    return nullptr;
}

Form& FormRegistry::At(int index) {
    return *loaded_.at(static_cast<std::size_t>(index)).form;
}

bool FormRegistry::IsLoaded(const Form& form) const {
    return std::any_of(loaded_.begin(), loaded_.end(),
                       [&form](const Entry& entry) { return entry.form.get() == &form; });
}

void FormRegistry::Unload(Form& form) {
    auto it = std::find_if(loaded_.begin(), loaded_.end(),
                           [&form](const Entry& entry) { return entry.form.get() == &form; });
    if (it == loaded_.end()) {
        return;
    }
    std::unique_ptr<Form> gone = std::move(it->form);
    loaded_.erase(it);
    gone->Hide();
    unloaded_.push_back(std::move(gone));
}

void FormRegistry::CloseOtherForms() {
    while (Count() > 1) {
        Unload(At(0));
    }
}

void FormRegistry::CollectUnloaded() {
    Collect(false);
}

void FormRegistry::CollectUnloadedLater() {
    Collect(true);
}

void FormRegistry::Collect(bool later) {
    // A destructor could unload further windows: take the list first.
    while (!unloaded_.empty()) {
        std::vector<std::unique_ptr<Form>> batch;
        batch.swap(unloaded_);
        for (auto& form : batch) {
            form->ReleaseWindow(later);
            form.reset();
        }
    }
}

}  // namespace heatx::ui
