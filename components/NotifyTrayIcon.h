// TNotifyTrayIcon: one icon in the shell's notification area, with its image,
// tooltip, visibility, animation through an image list, balloon tips, the
// mouse events the shell reports, the pop-up menu, and hooks on the
// application window (minimise to tray, restore, re-adding the icon when the
// taskbar is re-created) and on the owner form's window.
//
// All icons of the process share one hidden window, TTrayIconHandler, which
// the shell calls back with WM_TRAYNOTIFY; it exists while at least one icon
// exists.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <functional>
#include <memory>
#include <string>

#include "components/SimpleTimer.h"
#include "gui/Canvas.h"
#include "gui/Component.h"
#include "gui/Graphics.h"
#include "gui/ImageList.h"
#include "gui/Input.h"
#include "gui/Menus.h"

// The tray icons' callback message.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 1024;
// "TaskbarCreated", registered when the unit starts (0 with a common-controls
// library older than 4.71).
extern UINT WM_TASKBARCREATED;

// The shell's version-5 notify-icon record, 936 bytes.
struct TNotifyIconDataEx {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    wchar_t szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    wchar_t szInfo[256];
    UINT TimeoutOrVersion;
    wchar_t szInfoTitle[64];
    DWORD dwInfoFlags;
};
static_assert(sizeof(TNotifyIconDataEx) == 936, "the shell reads 936 bytes");

enum class TBalloonHintIcon { bitNone, bitInfo, bitWarning, bitError, bitCustom };
// Whole seconds, 10 to 60.
using TBalloonHintTimeOut = int;
enum class TBehavior { bhWin95, bhWin2000 };

class TNotifyTrayIcon : public gui::TComponent {
public:
    using TNotifyEvent = std::function<void(TNotifyTrayIcon* sender)>;
    using TMouseEvent = std::function<void(TNotifyTrayIcon* sender, gui::TMouseButton button,
                                           gui::TShiftState shift, int x, int y)>;
    using TMouseMoveEvent =
        std::function<void(TNotifyTrayIcon* sender, gui::TShiftState shift, int x, int y)>;
    using TCycleEvent = std::function<void(TNotifyTrayIcon* sender, int nextIndex)>;
    using TStartupEvent = std::function<void(TNotifyTrayIcon* sender, bool& showMainForm)>;

    explicit TNotifyTrayIcon(gui::TComponent* owner);
    ~TNotifyTrayIcon() override;

    // After the owner has set the design-time properties, as a form resource
    // would: the startup decision, then the shell state re-applied.
    virtual void Loaded();

    // --- properties --------------------------------------------------------
    gui::TImageList* IconList() const noexcept { return FIconList; }
    void SetIconList(gui::TImageList* list);
    bool CycleIcons() const noexcept { return FCycleIcons; }
    void SetCycleIcons(bool value);
    UINT CycleInterval() const noexcept { return FCycleInterval; }
    void SetCycleInterval(UINT value);
    // While false every tray mouse message is ignored.
    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    const std::wstring& Hint() const noexcept { return FHint; }
    void SetHint(const std::wstring& value);
    bool ShowHint() const noexcept { return FShowHint; }
    void SetShowHint(bool value);
    // Changing the image through the returned icon reaches the shell too.
    gui::TIcon& Icon() noexcept { return FIcon; }
    void SetIcon(const gui::TIcon& value);
    bool IconVisible() const noexcept { return FIconVisible; }
    void SetIconVisible(bool value);
    int IconIndex() const noexcept { return FIconIndex; }
    void SetIconIndex(int value);
    gui::TPopupMenu* PopupMenu() const noexcept { return FPopupMenu; }
    void SetPopupMenu(gui::TPopupMenu* menu);
    bool LeftPopup() const noexcept { return FLeftPopup; }
    void SetLeftPopup(bool value) { FLeftPopup = value; }
    bool WantEnterExitEvents() const noexcept { return FWantEnterExitEvents; }
    void SetWantEnterExitEvents(bool value);
    bool MinimizeToTray() const noexcept { return FMinimizeToTray; }
    void SetMinimizeToTray(bool value) { FMinimizeToTray = value; }
    TBehavior Behavior() const noexcept { return FBehavior; }
    void SetBehavior(TBehavior value);
    // The shared window the shell calls back.
    HWND Handle() const noexcept { return IconData.hWnd; }
    const TNotifyIconDataEx& Data() const noexcept { return IconData; }

    // --- events (raised only when assigned, the icon as sender) ----------
    TNotifyEvent OnClick, OnDblClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter, OnMouseExit;
    TCycleEvent OnCycle;
    TNotifyEvent OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;

    // --- shell calls -------------------------------------------------------
    virtual bool AddTrayIcon();
    virtual bool DeleteTrayIcon();
    // Sent whether or not the icon is shown.
    virtual bool ModifyTrayIcon();
    bool Refresh() { return ModifyTrayIcon(); }
    bool ShowBalloonHint(const std::wstring& title, const std::wstring& text,
                         TBalloonHintIcon iconType, TBalloonHintTimeOut timeoutSecs);
    bool ShowBalloonHintUnicode(const std::wstring& title, const std::wstring& text,
                                TBalloonHintIcon iconType, TBalloonHintTimeOut timeoutSecs) {
        return ShowBalloonHint(title, text, iconType, timeoutSecs);
    }
    bool HideBalloonHint();
    bool SetFocus();

    // --- menu and main form -----------------------------------------------
    void Popup(int x, int y);
    void PopupAtCursor();
    void ShowMainForm();
    void HideMainForm();
    void HideTaskbarIcon();
    void ShowTaskbarIcon();

    // --- helpers -----------------------------------------------------------
    // The bitmap put into a 16 x 16 image list masked by maskColor; image 0
    // becomes the icon.
    static bool BitmapToIcon(gui::TBitmap& bitmap, gui::TIcon& icon, gui::TColor maskColor);
    // The shell's tooltip / balloon window (0 when there is none).
    static HWND GetTooltipHandle();
    static HWND GetBalloonHintHandle();
    static POINT GetClientIconPos(int x, int y);

protected:
    void Notification(gui::TComponent* component, gui::TOperation operation) override;

    // The one place the shell is called; returns its answer.
    virtual bool ShellNotifyIcon(DWORD message);

    // Each raises its event when assigned.
    virtual void Click();
    virtual void DblClick();
    virtual void CycleIcon();
    virtual void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
    virtual void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y);
    virtual void MouseMove(gui::TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseExit();
    virtual void DoMinimizeToTray();

    TNotifyIconDataEx IconData;

private:
    friend class TTrayIconHandler;

    bool PrepareIconData();
    void IconChanged();
    void CycleTimerTick();
    void ClickTimerTick();
    void ExitTimerTick();
    void HandleNotify(LPARAM code);
    HWND OwnerWindow() const;
    void HookOwner();
    void UnhookOwner() noexcept;
    void HookApplication();
    void UnhookApplication() noexcept;
    bool ApplicationHook(UINT msg, WPARAM wp, LPARAM lp);
    bool OwnerHook(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    static LRESULT CALLBACK AppSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                            DWORD_PTR ref);
    static LRESULT CALLBACK OwnerSubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR ref);

    bool FEnabled = true;
    gui::TIcon FIcon;
    UINT FIconID = 0;
    bool FIconVisible = false;
    std::wstring FHint;
    bool FShowHint = true;
    gui::TPopupMenu* FPopupMenu = nullptr;
    bool FLeftPopup = false;
    bool FMinimizeToTray = false;
    bool FClickStart = false;
    bool FClickReady = false;
    bool IsDblClick = false;
    bool FDidExit = true;
    int LastMoveX = 0, LastMoveY = 0;
    bool FWantEnterExitEvents = false;
    TBehavior FBehavior = TBehavior::bhWin95;
    int FIconIndex = 0;
    gui::TImageList* FIconList = nullptr;
    bool FCycleIcons = false;
    UINT FCycleInterval = 0;
    bool SettingMDIForm = true;
    HWND FHookedApp = nullptr;    // the application window we hooked
    HWND FHookedOwner = nullptr;  // the owner window we subclassed
    std::unique_ptr<TSimpleTimer> CycleTimer, ClickTimer, ExitTimer;
};
