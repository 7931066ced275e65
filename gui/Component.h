// TComponent: the owner tree. A component is owned by the component given to
// its constructor, which frees it (newest first) when it is freed itself.
// Components have a name, found through their owner, and a tag. A component
// that keeps a reference to another asks to be told when that one is freed.
#pragma once

#include <string>
#include <string_view>
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

    // Runs BeforeDestruction (while the whole object still exists), then deletes.
    static void Free(TComponent* c) noexcept;

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

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};

}  // namespace gui
