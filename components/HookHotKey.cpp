#include "components/HookHotKey.h"

#include "gui/WinControl.h"
#include "toolkit/QuorvinShortCut.h"

namespace {

// The bits of a shortcut value below the modifiers.
const WORD kKeyMask = 0x1FFF;

}  // namespace

UINT HotKeyModifiers(WORD hotKey) {
    UINT mods = 0;
    if (hotKey & scAlt) mods |= MOD_ALT;
    if (hotKey & scCtrl) mods |= MOD_CONTROL;
    if (hotKey & scShift) mods |= MOD_SHIFT;
    return mods;
}

THookHotKey::THookHotKey(gui::TComponent* owner) : TComponent(owner) {
    FWindowHandle = std::make_unique<gui::TUtilWindow>(
        L"THookHotKeyWindow", [this](UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
            if (msg != WM_HOTKEY) return false;
            HotKeyPressed(static_cast<int>(wp));
            result = 0;
            return true;
        });
}

THookHotKey::~THookHotKey() = default;

bool THookHotKey::Add(int index, WORD hotKey) {
    return ::RegisterHotKey(Handle(), index, HotKeyModifiers(hotKey), hotKey & kKeyMask) != FALSE;
}

bool THookHotKey::Delete(int index) { return ::UnregisterHotKey(Handle(), index) != FALSE; }

bool THookHotKey::Change(int index, WORD hotKey) {
    // Both run: the new key is registered even when the index held none.
    bool deleted = Delete(index);
    bool added = Add(index, hotKey);
    return deleted && added;
}

bool THookHotKey::Apply(int index, WORD hotKey, bool doHook) {
    return doHook ? Change(index, hotKey) : Delete(index);
}

void THookHotKey::HotKeyPressed(int index) {
    if (!OnHotKey) return;
    if (Activate)
        if (auto* form = dynamic_cast<gui::TWinControl*>(Owner()); form && form->HandleAllocated())
            ::SetForegroundWindow(form->Handle());
    OnHotKey(this, index);
}
