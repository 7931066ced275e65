#include "gui/Component.h"

#include <algorithm>
#include <windows.h>

#include "gui/Callback.h"

namespace gui {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
    for (TComponent* c : components_) {
        if (c->Name.size() == name.size() &&
            ::CompareStringOrdinal(c->Name.data(), static_cast<int>(c->Name.size()), name.data(),
                                   static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return c;
    }
    return nullptr;
}

void TComponent::Free(TComponent* c) noexcept {
    if (!c) return;
    GuardCallback([c] { c->BeforeDestruction(); });
    delete c;
}

void TComponent::DestroyComponents() noexcept {
    while (!components_.empty()) Free(components_.back());
}

}  // namespace gui
