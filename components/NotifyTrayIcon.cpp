#include "components/NotifyTrayIcon.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <unordered_set>

#include "gui/Application.h"
#include "gui/Callback.h"
#include "gui/UtilWindow.h"
#include "gui/WinControl.h"

static_assert(offsetof(TNotifyIconDataEx, hIcon) == 20);
static_assert(offsetof(TNotifyIconDataEx, szTip) == 24);
static_assert(offsetof(TNotifyIconDataEx, dwState) == 280);
static_assert(offsetof(TNotifyIconDataEx, szInfo) == 288);
static_assert(offsetof(TNotifyIconDataEx, TimeoutOrVersion) == 800);
static_assert(offsetof(TNotifyIconDataEx, szInfoTitle) == 804);
static_assert(offsetof(TNotifyIconDataEx, dwInfoFlags) == 932);

namespace {

constexpr UINT kBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7

// "TaskbarCreated" exists from common controls 4.71 on.
UINT RegisterTaskbarCreated() {
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    if (!comctl) comctl = ::LoadLibraryW(L"comctl32.dll");
    auto getVersion = comctl ? reinterpret_cast<DLLGETVERSIONPROC>(
                                   reinterpret_cast<void*>(::GetProcAddress(comctl, "DllGetVersion")))
                             : nullptr;
    if (!getVersion) return 0;
    DLLVERSIONINFO info{sizeof(info)};
    if (FAILED(getVersion(&info))) return 0;
    if (info.dwMajorVersion < 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion < 71)) return 0;
    return ::RegisterWindowMessageW(L"TaskbarCreated");
}

// Copies at most max characters and ends them with NUL; the rest of the
// field is zeroed.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::wstring& text, size_t max) {
    std::memset(field, 0, sizeof(field));
    size_t n = std::min({text.size(), max, N - 1});
    std::memcpy(field, text.data(), n * sizeof(wchar_t));
}

gui::TWinControl* WindowedOwner(gui::TComponent* owner) {
    return dynamic_cast<gui::TWinControl*>(owner);
}

}  // namespace

UINT WM_TASKBARCREATED = RegisterTaskbarCreated();

// The window every tray icon of the process shares. It keeps the live icons,
// so a callback for an icon that is gone (or a message anybody posted with a
// made-up id) never reaches a freed object.
class TTrayIconHandler {
public:
    TTrayIconHandler()
        : FWindow(L"TTrayIconHandler", [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
              return HandleIconMessage(msg, wp, lp, result);
          }) {}

    HWND FHandle() const noexcept { return FWindow.Handle(); }
    void Add(TNotifyTrayIcon* icon) {
        FIcons.insert(icon);
        ++RefCount;
    }
    unsigned Remove(TNotifyTrayIcon* icon) {
        FIcons.erase(icon);
        if (RefCount > 0) --RefCount;
        return RefCount;
    }

private:
    bool HandleIconMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        switch (msg) {
            case WM_DESTROY:
            case WM_CLOSE:
            case WM_QUERYENDSESSION:
            case WM_QUIT:
            case WM_ENDSESSION:
            case WM_NCDESTROY:
                result = 1;
                return true;
            case WM_TRAYNOTIFY: {
                result = 0;
                auto* icon = reinterpret_cast<TNotifyTrayIcon*>(wp);
                if (FIcons.count(icon)) icon->HandleNotify(lp);
                return true;
            }
            default:
                return false;
        }
    }

    unsigned RefCount = 0;
    std::unordered_set<TNotifyTrayIcon*> FIcons;
    gui::TUtilWindow FWindow;
};

namespace {
std::unique_ptr<TTrayIconHandler> TrayIconHandler;
}

// ---------------------------------------------------------------------------
// Construction

TNotifyTrayIcon::TNotifyTrayIcon(gui::TComponent* owner) : TComponent(owner) {
    if (!TrayIconHandler) TrayIconHandler = std::make_unique<TTrayIconHandler>();
    TrayIconHandler->Add(this);
    try {
        FIconID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(this));
        FIcon.OnChange = [this](gui::TIcon*) { IconChanged(); };
        std::memset(&IconData, 0, sizeof(IconData));
        IconData.cbSize = sizeof(IconData);
        IconData.hWnd = TrayIconHandler->FHandle();
        IconData.uID = FIconID;
        IconData.uFlags = kBaseFlags;
        IconData.uCallbackMessage = WM_TRAYNOTIFY;
        CycleTimer = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer*) { CycleTimerTick(); });
        ClickTimer = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer*) { ClickTimerTick(); });
        ExitTimer = std::make_unique<TSimpleTimer>(20, [this](TSimpleTimer*) { ExitTimerTick(); });
        HookApplication();
        HookOwner();
    } catch (...) {
        UnhookOwner();
        UnhookApplication();
        if (TrayIconHandler && TrayIconHandler->Remove(this) == 0) TrayIconHandler.reset();
        throw;
    }
}

TNotifyTrayIcon::~TNotifyTrayIcon() {
    gui::GuardCallback([this] { SetIconVisible(false); });
    CycleTimer.reset();
    ClickTimer.reset();
    ExitTimer.reset();
    FIcon.OnChange = nullptr;
    gui::GuardCallback([this] { FIcon.Clear(); });
    UnhookApplication();
    UnhookOwner();
    if (TrayIconHandler && TrayIconHandler->Remove(this) == 0) TrayIconHandler.reset();
}

void TNotifyTrayIcon::Loaded() {
    HookOwner();
    if (WindowedOwner(Owner())) {
        bool show = true;
        if (OnStartup) OnStartup(this, show);
        if (!show) {
            if (gui::Application) gui::Application->ShowMainForm = false;
            HideMainForm();
        }
    }
    ModifyTrayIcon();
    SetIconVisible(FIconVisible);
    SetCycleIcons(FCycleIcons);
    SetWantEnterExitEvents(FWantEnterExitEvents);
    SetBehavior(FBehavior);
}

void TNotifyTrayIcon::Notification(gui::TComponent* component, gui::TOperation operation) {
    if (operation != gui::TOperation::opRemove) return;
    if (component == FIconList) {
        FIconList = nullptr;
        SetIconList(nullptr);
    }
    if (component == FPopupMenu) FPopupMenu = nullptr;
}

// ---------------------------------------------------------------------------
// Properties

void TNotifyTrayIcon::SetIconList(gui::TImageList* list) {
    if (list != FIconList) {
        if (FIconList) RemoveFreeNotification(FIconList);
        if (list) FreeNotification(list);
    }
    FIconList = list;
    SetIconIndex(0);
}

void TNotifyTrayIcon::SetCycleIcons(bool value) {
    FCycleIcons = value;
    if (value) {
        SetIconIndex(0);
        CycleTimer->SetInterval(FCycleInterval);
        CycleTimer->SetEnabled(true);
    } else {
        CycleTimer->SetEnabled(false);
    }
}

void TNotifyTrayIcon::SetCycleInterval(UINT value) {
    if (value == FCycleInterval) return;
    FCycleInterval = value;
    SetCycleIcons(FCycleIcons);
}

void TNotifyTrayIcon::SetHint(const std::wstring& value) {
    FHint = value;
    ModifyTrayIcon();
}

void TNotifyTrayIcon::SetShowHint(bool value) {
    FShowHint = value;
    ModifyTrayIcon();
}

void TNotifyTrayIcon::SetIcon(const gui::TIcon& value) {
    auto notify = std::move(FIcon.OnChange);
    FIcon.OnChange = nullptr;
    FIcon.Assign(value);
    FIcon.OnChange = std::move(notify);
    ModifyTrayIcon();
}

void TNotifyTrayIcon::SetIconVisible(bool value) {
    if (value)
        AddTrayIcon();
    else
        DeleteTrayIcon();
}

void TNotifyTrayIcon::SetIconIndex(int value) {
    if (FIconList) {
        FIconIndex = value;
        if (FIconIndex > FIconList->Count() - 1) FIconIndex = FIconList->Count() - 1;
        // The icon's own change notice would tell the shell once more.
        auto notify = std::move(FIcon.OnChange);
        FIcon.OnChange = nullptr;
        FIconList->GetIcon(FIconIndex, FIcon);
        FIcon.OnChange = std::move(notify);
    } else {
        FIconIndex = 0;
    }
    ModifyTrayIcon();
}

void TNotifyTrayIcon::SetPopupMenu(gui::TPopupMenu* menu) {
    if (menu != FPopupMenu) {
        if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
        if (menu) FreeNotification(menu);
    }
    FPopupMenu = menu;
}

void TNotifyTrayIcon::SetWantEnterExitEvents(bool value) {
    FWantEnterExitEvents = value;
    ExitTimer->SetEnabled(value);
}

void TNotifyTrayIcon::SetBehavior(TBehavior value) {
    FBehavior = value;
    IconData.TimeoutOrVersion = value == TBehavior::bhWin2000 ? NOTIFYICON_VERSION : 0;
    ShellNotifyIcon(NIM_SETVERSION);
}

void TNotifyTrayIcon::IconChanged() { ModifyTrayIcon(); }

// ---------------------------------------------------------------------------
// Shell calls

bool TNotifyTrayIcon::ShellNotifyIcon(DWORD message) {
    return ::Shell_NotifyIconW(message, reinterpret_cast<NOTIFYICONDATAW*>(&IconData)) != FALSE;
}

bool TNotifyTrayIcon::PrepareIconData() {
    IconData.hIcon = FIcon.Handle();
    if (!FHint.empty() && FShowHint)
        CopyField(IconData.szTip, FHint, 126);
    else
        std::memset(IconData.szTip, 0, sizeof(IconData.szTip));
    return true;
}

bool TNotifyTrayIcon::AddTrayIcon() {
    FIconVisible = true;
    return PrepareIconData() && ShellNotifyIcon(NIM_ADD);
}

bool TNotifyTrayIcon::DeleteTrayIcon() {
    FIconVisible = false;
    return PrepareIconData() && ShellNotifyIcon(NIM_DELETE);
}

bool TNotifyTrayIcon::ModifyTrayIcon() { return PrepareIconData() && ShellNotifyIcon(NIM_MODIFY); }

bool TNotifyTrayIcon::HideBalloonHint() {
    IconData.uFlags |= NIF_INFO;
    std::memset(IconData.szInfo, 0, sizeof(IconData.szInfo));
    bool ok = ModifyTrayIcon();
    // Later changes of the icon or tip must not carry the balloon flag.
    IconData.uFlags = kBaseFlags;
    return ok;
}

bool TNotifyTrayIcon::ShowBalloonHint(const std::wstring& title, const std::wstring& text,
                                      TBalloonHintIcon iconType, TBalloonHintTimeOut timeoutSecs) {
    HideBalloonHint();
    IconData.uFlags |= NIF_INFO;
    CopyField(IconData.szInfo, text, 255);
    CopyField(IconData.szInfoTitle, title, 63);
    IconData.TimeoutOrVersion = static_cast<UINT>(std::clamp(timeoutSecs, 10, 60)) * 1000;
    IconData.dwInfoFlags = static_cast<DWORD>(iconType);
    bool ok = ModifyTrayIcon();
    IconData.uFlags = kBaseFlags;
    return ok;
}

bool TNotifyTrayIcon::SetFocus() { return ShellNotifyIcon(NIM_SETFOCUS); }

// ---------------------------------------------------------------------------
// Icon cycling

void TNotifyTrayIcon::CycleTimerTick() {
    if (!FIconList) return;
    FIconList->GetIcon(FIconIndex, FIcon);
    CycleIcon();
    if (!FIconList) return;  // the handler may have taken the list away
    SetIconIndex(FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0);
}

void TNotifyTrayIcon::CycleIcon() {
    if (!OnCycle) return;
    int next = 0;
    if (FIconList) next = FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0;
    OnCycle(this, next);
}

// ---------------------------------------------------------------------------
// Mouse input

void TNotifyTrayIcon::HandleNotify(LPARAM code) {
    POINT pt{};
    auto mouse = [&pt] {
        ::GetCursorPos(&pt);
        return gui::AsyncShiftState();
    };
    using gui::TMouseButton;
    switch (static_cast<UINT>(code)) {
        case WM_MOUSEMOVE:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                if (FWantEnterExitEvents && FDidExit) {
                    MouseEnter();
                    FDidExit = false;
                }
                MouseMove(shift, pt.x, pt.y);
                LastMoveX = pt.x;
                LastMoveY = pt.y;
            }
            break;
        case WM_LBUTTONDOWN:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                if (OnDblClick) {
                    ClickTimer->SetInterval(::GetDoubleClickTime());
                    ClickTimer->SetEnabled(true);
                }
                MouseDown(TMouseButton::mbLeft, shift | gui::ssLeft, pt.x, pt.y);
                FClickStart = true;
                if (FLeftPopup && FPopupMenu && FPopupMenu->AutoPopup) {
                    ::SetForegroundWindow(Handle());
                    PopupAtCursor();
                }
            }
            break;
        case WM_LBUTTONUP:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                if (FClickStart) FClickReady = true;
                if (FClickStart && !ClickTimer->Enabled()) {
                    // No double click is waited for, or the press outlasted it.
                    FClickStart = false;
                    FClickReady = false;
                    Click();
                }
                FClickStart = false;
                MouseUp(TMouseButton::mbLeft, shift | gui::ssLeft, pt.x, pt.y);
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (!FEnabled) break;
            FClickReady = false;
            IsDblClick = true;
            DblClick();
            if (FPopupMenu && FPopupMenu->AutoPopup && !FLeftPopup) {
                gui::TMenuItem* root = FPopupMenu->Items();
                for (int i = 0; i < root->Count(); ++i)
                    if (root->Items(i)->Default()) {
                        root->Items(i)->Click();
                        break;
                    }
            }
            break;
        case WM_RBUTTONDOWN:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                MouseDown(TMouseButton::mbRight, shift | gui::ssRight, pt.x, pt.y);
                if (FPopupMenu && FPopupMenu->AutoPopup) {
                    ::SetForegroundWindow(Handle());
                    PopupAtCursor();
                }
            }
            break;
        case WM_RBUTTONUP:
            if (!FEnabled || FBehavior != TBehavior::bhWin95) break;
            {
                gui::TShiftState shift = mouse();
                MouseUp(TMouseButton::mbRight, shift | gui::ssRight, pt.x, pt.y);
            }
            break;
        case WM_MBUTTONDOWN:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                MouseDown(TMouseButton::mbMiddle, shift | gui::ssMiddle, pt.x, pt.y);
            }
            break;
        case WM_MBUTTONUP:
            if (!FEnabled) break;
            {
                gui::TShiftState shift = mouse();
                MouseUp(TMouseButton::mbMiddle, shift | gui::ssMiddle, pt.x, pt.y);
            }
            break;
        case WM_CONTEXTMENU:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            if (!FEnabled || FBehavior != TBehavior::bhWin2000) break;
            {
                gui::TShiftState shift = mouse();
                MouseUp(TMouseButton::mbRight, shift | gui::ssRight, pt.x, pt.y);
            }
            break;
        case NIN_BALLOONSHOW:
            if (OnBalloonHintShow) OnBalloonHintShow(this);
            break;
        case NIN_BALLOONHIDE:
            if (OnBalloonHintHide) OnBalloonHintHide(this);
            break;
        case NIN_BALLOONTIMEOUT:
            if (OnBalloonHintTimeout) OnBalloonHintTimeout(this);
            break;
        case NIN_BALLOONUSERCLICK:
            if (OnBalloonHintClick) OnBalloonHintClick(this);
            break;
        default:
            break;
    }
}

void TNotifyTrayIcon::ClickTimerTick() {
    ClickTimer->SetEnabled(false);
    if (!IsDblClick && FClickReady) {
        FClickReady = false;
        IsDblClick = false;
        Click();
        return;
    }
    IsDblClick = false;
}

void TNotifyTrayIcon::ExitTimerTick() {
    if (FDidExit) return;
    POINT pt{};
    if (!::GetCursorPos(&pt)) return;
    if (pt.x != LastMoveX || pt.y != LastMoveY) {
        FDidExit = true;
        MouseExit();
    }
}

void TNotifyTrayIcon::Click() {
    if (OnClick) OnClick(this);
}
void TNotifyTrayIcon::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TNotifyTrayIcon::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TNotifyTrayIcon::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TNotifyTrayIcon::MouseMove(gui::TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TNotifyTrayIcon::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}
void TNotifyTrayIcon::MouseExit() {
    if (OnMouseExit) OnMouseExit(this);
}

// ---------------------------------------------------------------------------
// Menu and main form

void TNotifyTrayIcon::Popup(int x, int y) {
    if (!FPopupMenu) return;
    // The menu closes on a click elsewhere only while our thread has the
    // foreground.
    ::SetForegroundWindow(Handle());
    if (gui::Application) gui::Application->ProcessMessages();
    if (!FPopupMenu) return;
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(x, y);
    // Lets the next menu of this thread open and close properly.
    if (HWND owner = OwnerWindow()) ::PostMessageW(owner, WM_NULL, 0, 0);
}

void TNotifyTrayIcon::PopupAtCursor() {
    POINT pt{};
    if (::GetCursorPos(&pt)) Popup(pt.x, pt.y);
}

void TNotifyTrayIcon::ShowMainForm() {
    if (!WindowedOwner(Owner()) || !gui::Application || !gui::Application->MainForm()) return;
    HWND app = gui::Application->Handle();
    if (app && ::IsIconic(app)) ::ShowWindow(app, SW_RESTORE);
    gui::TForm* main = gui::Application->MainForm();
    if (main->HandleAllocated() && ::IsIconic(main->Handle())) ::ShowWindow(main->Handle(), SW_RESTORE);
    main->Show();
    if (app) ::SetForegroundWindow(app);
}

void TNotifyTrayIcon::HideMainForm() {
    if (!WindowedOwner(Owner()) || !gui::Application || !gui::Application->MainForm()) return;
    gui::Application->MainForm()->Hide();
    HideTaskbarIcon();
}

void TNotifyTrayIcon::HideTaskbarIcon() {
    HWND app = gui::Application ? gui::Application->Handle() : nullptr;
    if (app && ::IsWindowVisible(app)) ::ShowWindow(app, SW_HIDE);
}

void TNotifyTrayIcon::ShowTaskbarIcon() {
    HWND app = gui::Application ? gui::Application->Handle() : nullptr;
    if (app && !::IsWindowVisible(app)) ::ShowWindow(app, SW_SHOW);
}

void TNotifyTrayIcon::DoMinimizeToTray() {
    HideMainForm();
    SetIconVisible(true);
}

// ---------------------------------------------------------------------------
// Window hooks

HWND TNotifyTrayIcon::OwnerWindow() const {
    gui::TWinControl* owner = WindowedOwner(Owner());
    return owner ? owner->Handle() : nullptr;
}

void TNotifyTrayIcon::HookApplication() {
    if (FHookedApp || !gui::Application || !gui::Application->Handle()) return;
    HWND app = gui::Application->Handle();
    if (::SetWindowSubclass(app, AppSubclassProc, reinterpret_cast<UINT_PTR>(this),
                            reinterpret_cast<DWORD_PTR>(this)))
        FHookedApp = app;
}

void TNotifyTrayIcon::UnhookApplication() noexcept {
    if (!FHookedApp) return;
    if (::IsWindow(FHookedApp))
        ::RemoveWindowSubclass(FHookedApp, AppSubclassProc, reinterpret_cast<UINT_PTR>(this));
    FHookedApp = nullptr;
}

void TNotifyTrayIcon::HookOwner() {
    HWND owner = OwnerWindow();
    if (FHookedOwner || !owner) return;
    if (::SetWindowSubclass(owner, OwnerSubclassProc, reinterpret_cast<UINT_PTR>(this),
                            reinterpret_cast<DWORD_PTR>(this)))
        FHookedOwner = owner;
}

void TNotifyTrayIcon::UnhookOwner() noexcept {
    if (!FHookedOwner) return;
    if (::IsWindow(FHookedOwner))
        ::RemoveWindowSubclass(FHookedOwner, OwnerSubclassProc, reinterpret_cast<UINT_PTR>(this));
    FHookedOwner = nullptr;
}

LRESULT CALLBACK TNotifyTrayIcon::AppSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                                  UINT_PTR id, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TNotifyTrayIcon*>(ref);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(wnd, AppSubclassProc, id);
        self->FHookedApp = nullptr;
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }
    gui::GuardCallback([&] { self->ApplicationHook(msg, wp, lp); });
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

bool TNotifyTrayIcon::ApplicationHook(UINT msg, WPARAM wp, LPARAM lp) {
    gui::TForm* main = gui::Application ? gui::Application->MainForm() : nullptr;
    switch (msg) {
        case WM_SIZE:
            if (wp == SIZE_MINIMIZED && FMinimizeToTray) DoMinimizeToTray();
            break;
        case WM_WINDOWPOSCHANGED:
            // The startup question is asked here only of a multiple-document
            // frame; the GUI layer has none, so the check just ends.
            if (SettingMDIForm && main) SettingMDIForm = false;
            break;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_RESTORE && main) {
                if (main->HandleAllocated() && ::IsIconic(main->Handle()))
                    ::ShowWindow(main->Handle(), SW_RESTORE);
                main->Show();
            }
            break;
        default:
            break;
    }
    if (WM_TASKBARCREATED != 0 && msg == WM_TASKBARCREATED && FIconVisible) AddTrayIcon();
    return false;
}

LRESULT CALLBACK TNotifyTrayIcon::OwnerSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                                    UINT_PTR id, DWORD_PTR ref) {
    auto* self = reinterpret_cast<TNotifyTrayIcon*>(ref);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(wnd, OwnerSubclassProc, id);
        self->FHookedOwner = nullptr;
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }
    LRESULT result = 0;
    bool handled = gui::GuardCallback(false, [&] { return self->OwnerHook(msg, wp, lp, result); });
    if (handled) return result;
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

bool TNotifyTrayIcon::OwnerHook(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_SHOWWINDOW && wp && lp == 0) {
        if (gui::Application && gui::Application->Handle())
            ::SetForegroundWindow(gui::Application->Handle());
        if (FHookedOwner) ::SetForegroundWindow(FHookedOwner);
        return false;
    }
    bool closingWithParent = msg == WM_SHOWWINDOW && !wp && lp == SW_PARENTCLOSING &&
                             !(gui::Application && gui::Application->Terminated());
    bool minimising = msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_MINIMIZE;
    if ((closingWithParent || minimising) && FMinimizeToTray && OnMinimizeToTray) {
        OnMinimizeToTray(this);
        DoMinimizeToTray();
        result = 1;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Helpers

bool TNotifyTrayIcon::BitmapToIcon(gui::TBitmap& bitmap, gui::TIcon& icon, gui::TColor maskColor) {
    gui::TImageList list(nullptr, 16, 16);
    list.AddMasked(bitmap, maskColor);
    list.GetIcon(0, icon);
    return true;
}

namespace {

struct TooltipScan {
    DWORD trayPid;
    bool balloon;
    HWND found;
};

BOOL CALLBACK FindShellTooltip(HWND wnd, LPARAM lp) {
    auto* scan = reinterpret_cast<TooltipScan*>(lp);
    wchar_t cls[64] = {};
    ::GetClassNameW(wnd, cls, 64);
    if (::lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != scan->trayPid) return TRUE;
    bool hasBit = (::GetWindowLongW(wnd, GWL_STYLE) & 0x02) != 0;
    if (hasBit == scan->balloon) {
        scan->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindTooltip(bool balloon) {
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!tray) return nullptr;
    TooltipScan scan{0, balloon, nullptr};
    ::GetWindowThreadProcessId(tray, &scan.trayPid);
    ::EnumWindows(FindShellTooltip, reinterpret_cast<LPARAM>(&scan));
    return scan.found;
}

}  // namespace

HWND TNotifyTrayIcon::GetTooltipHandle() { return FindTooltip(false); }

HWND TNotifyTrayIcon::GetBalloonHintHandle() { return FindTooltip(true); }

POINT TNotifyTrayIcon::GetClientIconPos(int x, int y) {
    POINT pt{x, y};
    if (HWND wnd = ::WindowFromPoint(pt)) ::ScreenToClient(wnd, &pt);
    int cell = ::GetSystemMetrics(SM_CYCAPTION) - 1;
    if (cell <= 0) return POINT{-1, -1};
    return POINT{pt.x % cell - 1, pt.y % cell - 1};
}
