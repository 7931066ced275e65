// THisForm: the tray history menu on a desktop middle click (through the
// hook library Orvandel.dll) and the window's three global hot keys.
#include "app/history/His.h"

#include <cwctype>

#include "app/Tray.h"
#include "app/history/HisJump.h"
#include "app/history/Launch.h"
#include "gui/Application.h"
#include "hooklib/Hook.h"
#include "toolkit/QuorvinShortCut.h"
#include "toolkit/QuorvinWindows.h"

void THisForm::Proc_CheckHook() {
    if (!MDLL || (TrayForm && TrayForm->FPopUpL)) return;
    bool wanted = false;
    if (Lists.Settings.CHKHookDesktop) {
        const std::wstring cls = WindowClassName(GetCaptionedAncestor(GetWindowUnderCursor()));
        wanted = cls == L"Progman" || cls == L"WorkerW";
    }
    if (wanted == FHook) return;
    FHook = wanted;
    if (wanted) {
        Func_InstallMHook(Handle());
        Proc_SetHookKey();
    } else {
        Func_UnInstallMHook();
    }
}

void THisForm::Proc_SetHookKey() {
    if (!MDLL) return;
    switch (Lists.Settings.ComboBoxHook) {
        case 1: Func_SetKey(1, 0); break;
        case 2: Func_SetKey(0, 1); break;
        default: Func_SetKey(0, 0); break;
    }
}

namespace {

// The hot-key texts in the order of their indexes 1, 2, 3.
const std::wstring* HotKeyTexts(const THisSettings& s, int index) {
    switch (index) {
        case 1: return &s.EditHTKShow;
        case 2: return &s.EditHTKMenu;
        case 3: return &s.EditHTKLaunch;
        default: return nullptr;
    }
}

}  // namespace

void THisForm::Proc_AddHotKeys() {
    if (!HookHotKey) return;
    // A key another program holds is refused silently.
    for (int index = 1; index <= 3; ++index)
        if (const std::wstring* text = HotKeyTexts(Lists.Settings, index); text && !text->empty())
            HookHotKey->Add(index, TextToShortCut(*text));
}

void THisForm::Proc_DeleteHotKeys() {
    if (!HookHotKey) return;
    for (int index = 1; index <= 3; ++index)
        if (const std::wstring* text = HotKeyTexts(Lists.Settings, index); text && !text->empty())
            HookHotKey->Delete(index);
}

void THisForm::HookHotKeyHotKey(int index) {
    switch (index) {
        case 1: {
            HWND w = Handle();
            if (!Visible()) Show();
            else if (::IsIconic(w)) ::ShowWindow(w, SW_RESTORE);
            else ForceForegroundWindow(w);
            break;
        }
        case 2: {
            if (!TrayForm) return;
            if (TrayForm->FPopUpL) {
                TrayForm->Proc_CancelPopUpMenu();
                TrayForm->FPopUpL = false;
                return;
            }
            POINT pt{};
            bool atCaret = false;
            if (HWND focus = GetForegroundFocusWindow()) {
                std::wstring cls = WindowClassName(focus);
                for (auto& ch : cls) ch = static_cast<wchar_t>(std::towupper(ch));
                if (cls.find(L"EDIT") != std::wstring::npos || cls.find(L"TEXT") != std::wstring::npos)
                    atCaret = GetForegroundCaretPos(pt);
            }
            if (!atCaret) ::GetCursorPos(&pt);
            if (gui::Application) ForceForegroundWindow(gui::Application->Handle());
            ForceForegroundWindow(Handle());
            // The menu's pop-up event marks it open; it is closed when Popup returns.
            TrayForm->PPLMenu->Popup(pt.x, pt.y, TrayForm->Handle());
            TrayForm->FPopUpL = false;
            break;
        }
        case 3:
            if (LaunchForm) LaunchForm->Proc_ToggleLauncher();
            break;
        default:
            break;
    }
}
