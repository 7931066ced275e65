// TComponent: the owner tree. A component is owned by the component given to
// its constructor, which frees it (newest first) when it is freed itself.
// Components have a name, found through their owner, and a tag. A component
// that keeps a reference to another asks to be told when that one is freed.
//
// Errors in gui/: what the program cannot go on without (a window, a window
// class, a control that cannot be made, a bad index into a list) throws
// gui::Exception, which reaches the application's exception handler through
// the callback boundary (gui/Callback.h). Queries and operations that may
// fail in normal use (finding a component, a file dialog the user cancels,
// an image that cannot be loaded) return false, -1 or nullptr and never throw.
// Nothing in gui/ throws out of a destructor or a Win32 callback.
//
// Freeing: TComponent::Free(c) and `delete c` are the same: both raise the
// component's BeforeDestruction while the whole object exists, then destroy it.
// Event handlers are single std::function members; the layer copies a
// handler before running it, so a handler may free its own component.
#pragma once

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gui {

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    std::wstring Name;
    int Tag = 0;

    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(std::wstring_view name) const;
    template <class T>
    T* Find(std::wstring_view name) const { return dynamic_cast<T*>(FindComponent(name)); }

    size_t ComponentCount() const noexcept { return components_.size(); }
    TComponent* Components(size_t i) const { return components_.at(i); }

    // Runs BeforeDestruction (while the whole object still exists), then
    // destroys the component; `delete c` does the same.
    static void Free(TComponent* c) noexcept;
    static void operator delete(TComponent* c, std::destroying_delete_t) noexcept;

    // False once the component's destruction has begun: code that ran a
    // handler keeps a copy and checks it before touching the component again.
    std::shared_ptr<const bool> AliveToken() const { return alive_; }

    // Links this component with `other`: whichever of the two is freed
    // first, the other gets Notification(it, opRemove). Each call is undone
    // by one RemoveFreeNotification.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other) noexcept;

protected:
    // A component that asked for it is being freed; only its identity may be
    // used, since its own destruction has already begun.
    virtual void Notification(TComponent* component, TOperation operation) {}

    // Called by Free before the destructors run; forms raise their destroy
    // event here, so derived members are still alive.
    virtual void BeforeDestruction() {}
    // Frees every owned component, newest first.
    void DestroyComponents() noexcept;

    // Runs a handler copy with the arguments; returns false when the
    // component was freed by it (the caller then must not touch it).
    template <class F, class... A>
    bool RunHandler(const F& handler, A&&... args) const {
        if (!handler) return true;
        F copy = handler;
        auto alive = alive_;
        copy(std::forward<A>(args)...);
        return *alive;
    }

private:
    TComponent* owner_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool beforeDestructionDone_ = false;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

// A reference from one component to another that clears itself when the
// other is freed first: a member of the component that keeps the reference,
// used as a pointer (assigned, compared, dereferenced). It links itself, not
// its holder, so the holder needs no Notification of its own for it.
template <class T>
class TComponentRef : private TComponent {
public:
    TComponentRef() = default;
    TComponentRef& operator=(T* target) {
        if (target == target_) return *this;
        if (linked_) RemoveFreeNotification(linked_);
        target_ = target;
        linked_ = target;
        if (linked_) FreeNotification(linked_);
        return *this;
    }
    T* get() const noexcept { return target_; }
    operator T*() const noexcept { return target_; }
    T* operator->() const noexcept { return target_; }

private:
    // Compared as a component, so T may be incomplete where the holder is declared.
    void Notification(TComponent* component, TOperation operation) override {
        if (operation == TOperation::opRemove && component == linked_) {
            target_ = nullptr;
            linked_ = nullptr;
        }
    }
    T* target_ = nullptr;
    TComponent* linked_ = nullptr;
};

}  // namespace gui
