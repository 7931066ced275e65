// THisHook: the desktop middle click through the hook library (Orvandel.dll)
// and the history window's hot keys.
#include "app/history/HisHook.h"

#include <cwctype>

#include "app/Tray.h"
#include "app/history/HisJump.h"
#include "app/history/HisSettings.h"
#include "app/history/Launch.h"
#include "components/HookHotKey.h"
#include "gui/Application.h"
#include "hooklib/Hook.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShortCut.h"
#include "toolkit/QuorvinWindows.h"

THisHook::THisHook(const THisSettings& settings, THisHookLinks links) : settings_(settings), links_(std::move(links)) {}

THisHook::~THisHook() { Proc_FreeLibrary(); }

void THisHook::Proc_LoadLibrary() {
    std::wstring dll = ProgramFilePath();
    if (size_t dot = dll.find_last_of(L'.'); dot != std::wstring::npos && dot > dll.find_last_of(L'\\'))
        dll.erase(dot);
    MDLL.reset(::LoadLibraryW((dll + L".dll").c_str()));
}

void THisHook::Proc_FreeLibrary() {
    if (!MDLL) return;
    Func_UnInstallMHook();
    MDLL.reset();
}

void THisHook::Proc_RenewHook() {
    if (!settings_.CHKHookDesktop || !FHook || !MDLL) return;
    Func_UnInstallMHook();
    ::Sleep(500);
    Func_InstallMHook(links_.OwnWindow());
    Proc_SetHookKey();
}

void THisHook::Proc_CheckHook() {
    if (!MDLL || (TrayForm && TrayForm->FPopUpL)) return;
    bool wanted = false;
    if (settings_.CHKHookDesktop) {
        const std::wstring cls = WindowClassName(GetCaptionedAncestor(GetWindowUnderCursor()));
        wanted = cls == L"Progman" || cls == L"WorkerW";
    }
    if (wanted == FHook) return;
    FHook = wanted;
    if (wanted) {
        Func_InstallMHook(links_.OwnWindow());
        Proc_SetHookKey();
    } else {
        Func_UnInstallMHook();
    }
}

void THisHook::Proc_SetHookKey() {
    if (!MDLL) return;
    switch (settings_.ComboBoxHook) {
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

void THisHook::Proc_AddHotKeys() {
    THookHotKey* hotKeys = links_.HotKeys();
    if (!hotKeys) return;
    // A key another program holds is refused silently.
    for (int index = 1; index <= 3; ++index)
        if (const std::wstring* text = HotKeyTexts(settings_, index); text && !text->empty())
            hotKeys->Add(index, TextToShortCut(*text));
}

void THisHook::Proc_DeleteHotKeys() {
    THookHotKey* hotKeys = links_.HotKeys();
    if (!hotKeys) return;
    for (int index = 1; index <= 3; ++index)
        if (const std::wstring* text = HotKeyTexts(settings_, index); text && !text->empty())
            hotKeys->Delete(index);
}

void THisHook::HookHotKeyHotKey(int index) {
    switch (index) {
        case 1:
            links_.ShowWindow();
            break;
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
            ForceForegroundWindow(links_.OwnWindow());
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
