#include "gui/Component.h"

#include <algorithm>
#include <windows.h>

#include "gui/Callback.h"

namespace gui {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    *alive_ = false;
    // Tell those linked with this one, each once, before the owned ones go.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other),
                            freeNotifies_.end());
        auto& back = other->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        GuardCallback([&] { other->Notification(this, TOperation::opRemove); });
    }
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

// A link is kept once per request on both sides, so one side dropping its
// own reference leaves a link the other side asked for in place.
void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    freeNotifies_.push_back(other);
    other->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other) noexcept {
    if (!other) return;
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), other);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    auto& back = other->freeNotifies_;
    auto jt = std::find(back.begin(), back.end(), this);
    if (jt != back.end()) back.erase(jt);
}

void TComponent::Free(TComponent* c) noexcept {
    if (c) delete c;
}

void TComponent::operator delete(TComponent* c, std::destroying_delete_t) noexcept {
    if (!c->beforeDestructionDone_) {
        c->beforeDestructionDone_ = true;
        *c->alive_ = false;
        GuardCallback([c] { c->BeforeDestruction(); });
    }
    c->~TComponent();
    ::operator delete(c);
}

void TComponent::DestroyComponents() noexcept {
    while (!components_.empty()) Free(components_.back());
}

}  // namespace gui
