// TControlHook puts its own message handling in front of the window
// procedure of a control, or of the form that owns it, and follows the
// control's window being destroyed and created again: the new window is
// hooked as it is created.
#pragma once

#include <windows.h>

#include "gui/Component.h"
#include "gui/WinControl.h"

enum THookTarget { htControl = 0, htForm = 1 };

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

class TControlHook : public gui::TComponent {
public:
    explicit TControlHook(gui::TComponent* owner);
    ~TControlHook() override;

    gui::TWinControl* Control() const noexcept { return FControl; }
    void SetControl(gui::TWinControl* value);
    THookTarget Target() const noexcept { return FTargetType; }
    void SetTarget(THookTarget value);

    // The hooked window; 0 when none, kCreating while it is being created.
    HWND HookedWindow() const noexcept { return FHWndHookTarget; }
    static inline const HWND kCreating = reinterpret_cast<HWND>(-1);

    // Hooks again once the owner has set everything up.
    virtual void Loaded();

protected:
    void Notification(gui::TComponent* component, gui::TOperation operation) override;
    // Kind 1: the window was destroyed; any other kind: it (re)appeared.
    virtual void HandleChanged(int kind);
    // Every message of the hooked window; the default passes it on.
    virtual void HookWndProc(TMessage& message);

    gui::TWinControl* FHookTarget = nullptr;
    HWND FHWndHookTarget = nullptr;

private:
    gui::TWinControl* FindHookTarget();
    void Hook();
    void Unhook();
    bool Subclass(HWND wnd);
    void WatchRecreation(bool on);
    void HandleMessage(HWND wnd, TMessage& message);

    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR data);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp);

    gui::TWinControl* FControl = nullptr;
    THookTarget FTargetType = htControl;
    HWND subclassed_ = nullptr;  // the window our procedure sits on
    HWND callWnd_ = nullptr;     // the window of the message being handled
    bool watching_ = false;
};
