#include "components/CTLHOOK.h"

#include <commctrl.h>
#include <algorithm>
#include <vector>

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/Form.h"

namespace {

// Hooks whose target's window was destroyed while the target lives on; a
// thread-local creation hook catches the target's next window. GUI thread only.
std::vector<TControlHook*>& Watchers() {
    static std::vector<TControlHook*> watchers;
    return watchers;
}
HHOOK creationHook = nullptr;

}  // namespace

TControlHook::TControlHook(gui::TComponent* owner) : gui::TComponent(owner) {}

TControlHook::~TControlHook() {
    Unhook();
    WatchRecreation(false);
}

void TControlHook::SetControl(gui::TWinControl* value) {
    Unhook();
    if (FControl && FControl != value) RemoveFreeNotification(FControl);
    if (value && value != FControl) FreeNotification(value);
    FControl = value;
    Hook();
}

void TControlHook::SetTarget(THookTarget value) {
    Unhook();
    FTargetType = value;
    Hook();
}

void TControlHook::Loaded() {
    Unhook();
    Hook();
}

gui::TWinControl* TControlHook::FindHookTarget() {
    if (FTargetType == htControl) return FControl;
    for (gui::TComponent* c = FControl ? static_cast<gui::TComponent*>(FControl) : this; c;
         c = c->Owner()) {
        if (auto* form = dynamic_cast<gui::TForm*>(c)) return form;
        if (auto* control = dynamic_cast<gui::TWinControl*>(c)) {
            // The first visual control: the form its window belongs to.
            if (!control->HandleAllocated()) return nullptr;
            HWND root = ::GetAncestor(control->Handle(), GA_ROOT);
            return dynamic_cast<gui::TForm*>(gui::TWinControl::FromHandle(root));
        }
    }
    return nullptr;
}

void TControlHook::Hook() {
    gui::TWinControl* target = FindHookTarget();
    if (!target || !target->HandleAllocated()) {
        if (FTargetType == htForm) throw gui::Exception(L"フック先を特定できません。");
        return;
    }
    FHWndHookTarget = target->Handle();
    FHookTarget = target;
    if (target != FControl) FreeNotification(target);
    Subclass(FHWndHookTarget);
    // Lets a descendant apply its settings to the window now hooked, also
    // when the component was made in code and is never told it was loaded.
    HandleChanged(0);
}

void TControlHook::Unhook() {
    if (!FHookTarget) return;
    if (subclassed_) ::RemoveWindowSubclass(subclassed_, SubclassProc, reinterpret_cast<UINT_PTR>(this));
    subclassed_ = nullptr;
    WatchRecreation(false);
    if (FHookTarget != FControl) RemoveFreeNotification(FHookTarget);
    FHWndHookTarget = nullptr;
    FHookTarget = nullptr;
}

bool TControlHook::Subclass(HWND wnd) {
    if (!::SetWindowSubclass(wnd, SubclassProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this)))
        return false;
    subclassed_ = wnd;
    return true;
}

void TControlHook::WatchRecreation(bool on) {
    auto& w = Watchers();
    if (on == watching_) return;
    watching_ = on;
    if (on) {
        w.push_back(this);
        if (!creationHook)
            creationHook = ::SetWindowsHookExW(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    } else {
        w.erase(std::remove(w.begin(), w.end(), this), w.end());
        if (w.empty() && creationHook) {
            ::UnhookWindowsHookEx(creationHook);
            creationHook = nullptr;
        }
    }
}

LRESULT CALLBACK TControlHook::CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        gui::GuardCallback([&] {
            auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lp);
            void* object = create->lpcs ? create->lpcs->lpCreateParams : nullptr;
            // Our windowed controls pass themselves as the creation parameter.
            const std::vector<TControlHook*> watchers = Watchers();
            for (TControlHook* hook : watchers)
                if (hook->FHookTarget && object == hook->FHookTarget) {
                    hook->WatchRecreation(false);
                    hook->Subclass(reinterpret_cast<HWND>(wp));
                }
        });
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK TControlHook::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR data) {
    auto* self = reinterpret_cast<TControlHook*>(data);
    if (msg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(wnd, SubclassProc, reinterpret_cast<UINT_PTR>(self));
        if (self->subclassed_ == wnd) {
            self->subclassed_ = nullptr;
            // The target may get a new window; hook that one as it is made.
            if (self->FHookTarget) self->WatchRecreation(true);
        }
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }
    TMessage message{msg, wp, lp, 0};
    gui::GuardCallback([&] { self->HandleMessage(wnd, message); });
    return message.Result;
}

void TControlHook::HandleMessage(HWND wnd, TMessage& message) {
    switch (message.Msg) {
        case WM_CREATE:
            FHWndHookTarget = kCreating;
            break;
        case WM_DESTROY:
            HandleChanged(1);
            break;
        default:
            if (FHWndHookTarget == kCreating && FHookTarget && FHookTarget->HandleAllocated())
                HandleChanged(2);
            break;
    }
    HWND previous = callWnd_;
    callWnd_ = wnd;
    try {
        HookWndProc(message);
    } catch (...) {
        callWnd_ = previous;
        throw;
    }
    callWnd_ = previous;
}

void TControlHook::HandleChanged(int kind) {
    if (kind == 1)
        FHWndHookTarget = nullptr;
    else
        FHWndHookTarget = FHookTarget ? FHookTarget->Handle() : nullptr;
}

void TControlHook::HookWndProc(TMessage& message) {
    message.Result = ::DefSubclassProc(callWnd_, message.Msg, message.WParam, message.LParam);
}

void TControlHook::Notification(gui::TComponent* component, gui::TOperation operation) {
    gui::TComponent::Notification(component, operation);
    if (operation != gui::TOperation::opRemove) return;
    if (component == FHookTarget) {
        HandleChanged(1);
        WatchRecreation(false);
        if (subclassed_ && ::IsWindow(subclassed_))
            ::RemoveWindowSubclass(subclassed_, SubclassProc, reinterpret_cast<UINT_PTR>(this));
        subclassed_ = nullptr;
        FHookTarget = nullptr;
    }
    if (component == FControl) FControl = nullptr;
}
