#include "gui/TrayIcon.h"

#include <shellapi.h>

#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/UtilWindow.h"

namespace gui {

namespace {
const UINT kTrayCallback = WM_APP + 0x3F2;
const UINT_PTR kAnimateTimer = 1;

UINT TaskbarCreatedMessage() {
    static const UINT msg = ::RegisterWindowMessageW(L"TaskbarCreated");
    return msg;
}
}  // namespace

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner), id_(1) {
    window_ = std::make_unique<TUtilWindow>(L"TTrayIconWindow", [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& r) {
        return HandleMessage(msg, wp, lp, r);
    });
}

TTrayIcon::~TTrayIcon() {
    if (visible_) Notify(NIM_DELETE);
}

HWND TTrayIcon::WindowHandle() const noexcept { return window_->Handle(); }

bool TTrayIcon::Notify(DWORD message) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = window_->Handle();
    nid.uID = id_;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kTrayCallback;
    nid.hIcon = icon_.Handle();
    lstrcpynW(nid.szTip, hint_.c_str(), ARRAYSIZE(nid.szTip));
    return ::Shell_NotifyIconW(message, &nid) != FALSE;
}

void TTrayIcon::SetIcon(HICON icon) {
    icon_.AssignHandle(icon);
    if (visible_) Notify(NIM_MODIFY);
}

void TTrayIcon::SetHint(const std::wstring& hint) {
    hint_ = hint;
    if (visible_) Notify(NIM_MODIFY);
}

bool TTrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return true;
    bool ok = Notify(visible ? NIM_ADD : NIM_DELETE);
    if (ok || !visible) visible_ = visible;
    return ok;
}

void TTrayIcon::SetIcons(TImageList* icons) {
    if (icons == icons_) return;
    if (icons_) RemoveFreeNotification(icons_);
    icons_ = icons;
    if (icons_) FreeNotification(icons_);
    ShowListIcon();
}

void TTrayIcon::SetIconIndex(int index) {
    iconIndex_ = index;
    ShowListIcon();
}

void TTrayIcon::ShowListIcon() {
    if (!icons_ || iconIndex_ < 0 || iconIndex_ >= icons_->Count()) return;
    TIcon icon;
    if (icons_->GetIcon(iconIndex_, icon)) SetIcon(icon.Handle());
}

void TTrayIcon::SetAnimate(bool animate) {
    animate_ = animate;
    if (animate_) StartAnimation();
    else ::KillTimer(window_->Handle(), kAnimateTimer);
}

void TTrayIcon::SetAnimateInterval(UINT ms) {
    animateInterval_ = ms;
    if (animate_) StartAnimation();
}

void TTrayIcon::StartAnimation() { ::SetTimer(window_->Handle(), kAnimateTimer, animateInterval_, nullptr); }

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == icons_) icons_ = nullptr;
}

bool TTrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (msg == WM_TIMER && wp == kAnimateTimer) {
        if (animate_ && icons_ && icons_->Count() > 0) {
            int next = iconIndex_ + 1;
            SetIconIndex(next >= 0 && next < icons_->Count() ? next : 0);
        }
        return true;
    }
    if (msg == TaskbarCreatedMessage() && msg != 0) {
        if (visible_) Notify(NIM_ADD);
        return true;
    }
    if (msg != kTrayCallback || wp != id_) return false;
    switch (lp) {
        case WM_LBUTTONDOWN:
            RunHandler(OnMouseDown, this, TMouseButton::mbLeft);
            break;
        case WM_RBUTTONDOWN:
            RunHandler(OnMouseDown, this, TMouseButton::mbRight);
            break;
        case WM_MBUTTONDOWN:
            RunHandler(OnMouseDown, this, TMouseButton::mbMiddle);
            break;
        case WM_LBUTTONUP:
            RunHandler(OnClick, this);
            break;
        case WM_LBUTTONDBLCLK:
            RunHandler(OnDblClick, this);
            break;
        case WM_RBUTTONUP:
            if (PopupMenu && PopupMenu->AutoPopup) {
                POINT pt{};
                ::GetCursorPos(&pt);
                PopupMenu->SetPopupComponent(this);
                PopupMenu->Popup(pt.x, pt.y, window_->Handle());
            }
            break;
        default:
            break;
    }
    return true;
}

}  // namespace gui
