// TTrayIcon: the GUI layer's own notification-area icon, for the windows
// that keep one icon with a hint, a pop-up menu and click events (the
// launcher). It comes back by itself when the taskbar is made anew.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>
#include <string>

#include "gui/Component.h"
#include "gui/Graphics.h"

namespace gui {

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
    TPopupMenu* PopupMenu = nullptr;
    std::function<void(TTrayIcon* sender)> OnClick;
    std::function<void(TTrayIcon* sender)> OnDblClick;

    // The window the shell sends the icon's messages to.
    HWND WindowHandle() const noexcept;

private:
    bool Notify(DWORD message);
    bool HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    std::unique_ptr<TUtilWindow> window_;
    TIcon icon_;
    std::wstring hint_;
    bool visible_ = false;
    UINT id_;
};

}  // namespace gui
