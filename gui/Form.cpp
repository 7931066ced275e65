#include "gui/Form.h"

#include <cstdlib>
#include <vector>

#include "gui/Application.h"
#include "gui/Callback.h"

namespace gui {

namespace {

struct ModalScan {
    HWND self;
    std::vector<HWND> disabled;
};

BOOL CALLBACK CollectEnabledWindow(HWND w, LPARAM lp) {
    return GuardCallback(FALSE, [&] {
        auto* s = reinterpret_cast<ModalScan*>(lp);
        if (w != s->self && ::IsWindowVisible(w) && ::IsWindowEnabled(w)) s->disabled.push_back(w);
        return TRUE;
    });
}

// The styles of a border style; PopupStyle makes it a pop-up window where
// the system does not place it.
struct TFrameStyles {
    DWORD Style;
    DWORD PopupStyle;
    DWORD ExStyle;
};

TFrameStyles FrameStylesOf(TFormBorderStyle style) {
    switch (style) {
        case TFormBorderStyle::bsNone:
            return {WS_POPUP, 0, 0};
        case TFormBorderStyle::bsSingle:
            return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0};
        case TFormBorderStyle::bsSizeable:
            return {WS_OVERLAPPEDWINDOW, 0, 0};
        case TFormBorderStyle::bsDialog:
            return {WS_CAPTION | WS_SYSMENU, WS_POPUP | DS_MODALFRAME, WS_EX_DLGMODALFRAME};
        case TFormBorderStyle::bsToolWindow:
            return {WS_CAPTION | WS_SYSMENU, WS_POPUP, WS_EX_TOOLWINDOW};
        case TFormBorderStyle::bsSizeToolWin:
            return {WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_POPUP, WS_EX_TOOLWINDOW};
    }
    return {WS_OVERLAPPEDWINDOW, 0, 0};
}

}  // namespace

TForm::TForm(TComponent* owner, std::wstring className)
    : TWinControl(owner), className_(std::move(className)) {}

TForm::~TForm() {
    if (clearReference_) clearReference_();
}

void TForm::CreateParams(TCreateParams& params) {
    const TFrameStyles frame = FrameStylesOf(BorderStyle);
    params.ClassName = className_;
    params.Caption = CreationCaption.empty() ? Name : CreationCaption;
    params.Style = frame.Style | WS_CLIPCHILDREN;
    if (Position != TPosition::poDefault) params.Style |= frame.PopupStyle;
    if (!BorderIcons.SystemMenu) params.Style &= ~WS_SYSMENU;
    if (!BorderIcons.Minimize) params.Style &= ~WS_MINIMIZEBOX;
    if (!BorderIcons.Maximize) params.Style &= ~WS_MAXIMIZEBOX;
    params.ExStyle = frame.ExStyle;
    if (ToolWindow) params.ExStyle |= WS_EX_TOOLWINDOW;
    if (AppWindow) params.ExStyle |= WS_EX_APPWINDOW;
    if (StayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    params.X = CreationLeft;
    params.Y = CreationTop;
    params.Width = CreationWidth;
    params.Height = CreationHeight;
    if (CreationClientWidth > 0 && CreationClientHeight > 0) {
        RECT r{0, 0, CreationClientWidth, CreationClientHeight};
        ::AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
        params.Width = r.right - r.left;
        params.Height = r.bottom - r.top;
    }
    params.WndParent = Application ? Application->Handle() : nullptr;
}

void TForm::Initialize() {
    TCreateParams params;
    CreateParams(params);
    CreateHandle(params);
    FontChanged();
    FormCreate();
    if (Position == TPosition::poScreenCenter) CenterOnScreen();
}

void TForm::CenterOnScreen() {
    if (!HandleAllocated()) return;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT r = BoundsRect();
    int w = r.right - r.left, h = r.bottom - r.top;
    ::SetWindowPos(Handle(), nullptr, work.left + (work.right - work.left - w) / 2,
                   work.top + (work.bottom - work.top - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState TForm::WindowState() const {
    if (!HandleAllocated()) return TWindowState::wsNormal;
    if (::IsIconic(Handle())) return TWindowState::wsMinimized;
    if (::IsZoomed(Handle())) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
    if (!HandleAllocated() || WindowState() == state) return;
    const int show = state == TWindowState::wsMaximized   ? SW_MAXIMIZE
                     : state == TWindowState::wsMinimized ? SW_MINIMIZE
                                                          : SW_RESTORE;
    ::ShowWindow(Handle(), show);
}

RECT TForm::RestoredBounds() const {
    if (!HandleAllocated() || WindowState() == TWindowState::wsNormal) return BoundsRect();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!::GetWindowPlacement(Handle(), &wp)) return BoundsRect();
    RECT r = wp.rcNormalPosition;
    // Given in workspace coordinates (from the work area's corner) unless
    // the window is a tool window.
    if (!(::GetWindowLongW(Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTOPRIMARY), &mi))
            ::OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
    }
    return r;
}

TFormPlacement TForm::Placement() const {
    TFormPlacement p;
    const TWindowState state = WindowState();
    if (state == TWindowState::wsMaximized) {
        p.Normal = false;
    } else if (state == TWindowState::wsMinimized) {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        p.Normal = !(::GetWindowPlacement(Handle(), &wp) && (wp.flags & WPF_RESTORETOMAXIMIZED));
    }
    const RECT r = RestoredBounds();
    p.Left = r.left;
    p.Top = r.top;
    p.Width = r.right - r.left;
    p.Height = r.bottom - r.top;
    return p;
}

void TForm::SetExStyleFlag(DWORD flag, bool on) {
    if (!HandleAllocated()) return;
    LONG ex = ::GetWindowLongW(Handle(), GWL_EXSTYLE);
    ex = on ? (ex | flag) : (ex & ~flag);
    ::SetWindowLongW(Handle(), GWL_EXSTYLE, ex);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::SetAlphaBlend(bool on, BYTE value) {
    SetExStyleFlag(WS_EX_LAYERED, on);
    if (on && HandleAllocated()) ::SetLayeredWindowAttributes(Handle(), 0, value, LWA_ALPHA);
}

void TForm::SetRegion(HRGN region) {
    if (!HandleAllocated()) {
        if (region) ::DeleteObject(region);
        return;
    }
    // The system owns the region from here on, also when it is replaced.
    if (!::SetWindowRgn(Handle(), region, TRUE) && region) ::DeleteObject(region);
}

void TForm::BeginMoveByBody() {
    if (!HandleAllocated()) return;
    ::ReleaseCapture();
    ::SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TForm::SetDefaultButton(TWinControl* button) {
    if (defaultButton_ && defaultButton_ != cancelButton_) RemoveFreeNotification(defaultButton_);
    defaultButton_ = button;
    if (button) FreeNotification(button);
}

void TForm::SetCancelButton(TWinControl* button) {
    if (cancelButton_ && cancelButton_ != defaultButton_) RemoveFreeNotification(cancelButton_);
    cancelButton_ = button;
    if (button) FreeNotification(button);
}

void TForm::Notification(TComponent* component, TOperation operation) {
    if (operation != TOperation::opRemove) return;
    if (component == defaultButton_) defaultButton_ = nullptr;
    if (component == cancelButton_) cancelButton_ = nullptr;
}

bool TForm::DialogKey(MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
    if (::GetKeyState(VK_MENU) < 0 || ::GetKeyState(VK_CONTROL) < 0) return false;
    // A control that takes the key itself (a multi-line edit, a list in
    // a combo box that is dropped down) keeps it.
    LRESULT code = ::SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    TWinControl* button = msg.wParam == VK_RETURN ? defaultButton_ : cancelButton_;
    if (msg.wParam == VK_RETURN && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
    if (!button || !button->HandleAllocated() || !::IsWindowEnabled(button->Handle()) ||
        !::IsWindowVisible(button->Handle()))
        return false;
    HWND wnd = button->Handle();
    ::SendMessageW(::GetParent(wnd), WM_COMMAND, MAKEWPARAM(button->ControlId(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(wnd));
    return true;
}

void TForm::SetVisible(bool visible) {
    if (!HandleAllocated()) return;
    if (visible == Visible()) return;
    ::ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
}

bool TForm::CloseQuery() {
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose;
}

void TForm::Close() {
    if (inModal_) {
        // A modal form closes by ending its loop; the close events still run.
        if (!CloseQuery()) return;
        TCloseAction action = TCloseAction::caHide;
        FormClose(action);
        if (action != TCloseAction::caNone && ModalResult == mrNone) ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
    FormClose(action);
    if (action == TCloseAction::caNone) return;
    if (isMain) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: ::ShowWindow(Handle(), SW_MINIMIZE); break;
        case TCloseAction::caFree: Release(); break;
        default: break;
    }
}

void TForm::Release() {
    if (Application) ::PostMessageW(Application->Handle(), kReleaseMessage, 0,
                                    reinterpret_cast<LPARAM>(this));
}

int TForm::ShowModal() {
    if (!HandleAllocated() || inModal_) return mrCancel;
    // Disable the other enabled top-level windows of this thread.
    ModalScan scan{Handle(), {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&scan));
    std::vector<HWND>& disabled = scan.disabled;
    for (HWND w : disabled) ::EnableWindow(w, FALSE);

    ModalResult = mrNone;
    inModal_ = true;
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    while (ModalResult == mrNone && Application && !Application->Terminated()) {
        if (!Application->HandleMessage()) break;
    }
    inModal_ = false;
    for (HWND w : disabled)
        if (::IsWindow(w)) ::EnableWindow(w, TRUE);
    if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
    return ModalResult == mrNone ? mrCancel : ModalResult;
}

int RunModal(TForm& form, const TModalSteps& steps) {
    if (form.InModal()) return mrCancel;
    struct After {
        const std::function<void()>& step;
        ~After() {
            if (step) step();
        }
    } after{steps.After};
    if (steps.Before) steps.Before();
    return form.ShowModal();
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SHOWWINDOW:
            if (wp) FormShow(); else FormHide();
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) FormDeactivate(); else FormActivate();
            break;
        case WM_HELP:
            return TRUE;  // no form opens the help file on F1
        case DM_GETDEFID:
            if (defaultButton_ && defaultButton_->HandleAllocated())
                return MAKELRESULT(defaultButton_->ControlId(), DC_HASDEFID);
            return 0;
        case WM_GETMINMAXINFO: {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
            if (MinWidth > 0) mmi->ptMinTrackSize.x = MinWidth;
            if (MinHeight > 0) mmi->ptMinTrackSize.y = MinHeight;
            if (MaxWidth > 0) mmi->ptMaxTrackSize.x = MaxWidth;
            if (MaxHeight > 0) mmi->ptMaxTrackSize.y = MaxHeight;
            return 0;
        }
        case WM_WINDOWPOSCHANGING:
            if (ScreenSnap && !(reinterpret_cast<WINDOWPOS*>(lp)->flags & SWP_NOMOVE))
                Snap(*reinterpret_cast<WINDOWPOS*>(lp));
            break;
        case WM_LBUTTONDOWN:
            if (MoveByBody) {
                BeginMoveByBody();
                return 0;
            }
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

void TForm::Snap(WINDOWPOS& pos) {
    RECT work{};
    HMONITOR mon = ::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi{sizeof(mi)};
    if (mon && ::GetMonitorInfoW(mon, &mi)) work = mi.rcWork;
    else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int w = pos.cx, h = pos.cy;
    if (pos.flags & SWP_NOSIZE) {
        RECT r{};
        ::GetWindowRect(Handle(), &r);
        w = r.right - r.left;
        h = r.bottom - r.top;
    }
    if (std::abs(pos.x - work.left) <= SnapBuffer) pos.x = work.left;
    else if (std::abs(pos.x + w - work.right) <= SnapBuffer) pos.x = work.right - w;
    if (std::abs(pos.y - work.top) <= SnapBuffer) pos.y = work.top;
    else if (std::abs(pos.y + h - work.bottom) <= SnapBuffer) pos.y = work.bottom - h;
}

void TForm::BeforeDestruction() {
    if (destroying_) return;
    destroying_ = true;
    FormDestroy();
    DestroyComponents();  // owned components go while the form still exists
    TWinControl::BeforeDestruction();
}

}  // namespace gui
