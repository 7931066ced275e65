// TTrayIcon: the GUI layer's own notification-area icon, for the windows
// that keep one icon with a hint, a pop-up menu and click events (the
// launcher). It comes back by itself when the taskbar is made anew. Its
// picture is a single icon or an image of an image list; with Animate on,
// the list's images follow one another.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>

#include "gui/Component.h"
#include "gui/Graphics.h"
#include "gui/Input.h"

namespace gui {

class TImageList;
class TPopupMenu;
class TUtilWindow;

class TTrayIcon : public TComponent {
public:
    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    // The icon keeps its own copy.
    void SetIcon(HICON icon);
    const std::wstring& Hint() const noexcept { return hint_; }
    void SetHint(const std::wstring& hint);
    bool Visible() const noexcept { return visible_; }
    // Adds or removes the icon; false when the shell refused.
    bool SetVisible(bool visible);

    // Popped up on a right click (when its AutoPopup is on).
    TComponentRef<TPopupMenu> PopupMenu;
    std::function<void(TTrayIcon* sender)> OnClick;
    std::function<void(TTrayIcon* sender)> OnDblClick;
    // A mouse button went down on the icon.
    std::function<void(TTrayIcon* sender, TMouseButton button)> OnMouseDown;

    // The list the icon's pictures come from (nullptr: none); the list stays
    // its owner's, and the icon lets go of it when it is freed.
    TImageList* Icons() const noexcept { return icons_; }
    void SetIcons(TImageList* icons);
    // Shows image `index` of the list (an index outside it leaves the picture).
    int IconIndex() const noexcept { return iconIndex_; }
    void SetIconIndex(int index);
    // With Animate on, the next image of the list is shown every
    // AnimateInterval milliseconds, from the last back to the first.
    bool Animate() const noexcept { return animate_; }
    void SetAnimate(bool animate);
    UINT AnimateInterval() const noexcept { return animateInterval_; }
    void SetAnimateInterval(UINT ms);

    // The window the shell sends the icon's messages to.
    HWND WindowHandle() const noexcept;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool Notify(DWORD message);
    void ShowListIcon();
    void StartAnimation();
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    std::unique_ptr<TUtilWindow> window_;
    TIcon icon_;
    std::wstring hint_;
    bool visible_ = false;
    UINT id_;
    TImageList* icons_ = nullptr;
    int iconIndex_ = 0;
    bool animate_ = false;
    UINT animateInterval_ = 1000;
};

}  // namespace gui
