// THisTarget: choosing the target window, acting on an entry for it, and
// pasting into it with synthesized keys.
#include "app/history/HisTarget.h"

#include "app/Globals.h"
#include "app/history/AdrJump.h"
#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "app/history/HisSettings.h"
#include "app/history/Launch.h"
#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"
#include "toolkit/TextHelpers.h"

namespace {

bool KeyHeld(int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; }

// W itself when it is a window that may take a paste or a folder, else 0.
HWND TargetCandidate(HWND w) {
    if (!w) return nullptr;
    std::wstring exe, title, cls;
    if (!IsListableAppWindow(w, exe, title, cls)) return nullptr;
    // This program's own windows, also those of a second copy of it.
    if (SameText(FileNameOfPath(exe), FileNameOfPath(ProgramFilePath()))) return nullptr;
    if (IsBareUwpWindow(w, cls) || !CanQueryWindowProcess(w)) return nullptr;
    if (cls == L"TApplication") return nullptr;
    RECT r{};
    if (!::GetWindowRect(w, &r) || r.right - r.left <= 0 || r.bottom - r.top <= 0) return nullptr;
    const LONG kChildClip = WS_CHILD | WS_CLIPCHILDREN;
    if ((::GetWindowLongW(w, GWL_STYLE) & kChildClip) == kChildClip) return nullptr;
    if (HWND parent = ::GetParent(w); parent && WindowClassName(parent) == L"MDIClient") return nullptr;
    return w;
}

// The window below the program's own that may take a paste or a folder; 0
// when that window is not one. The taskbar is passed over whatever its
// always-on-top setting says: one that stays on top can never lie below the
// program's window, and one that does not (or a shell that reports it as on
// top while ordering it like any window) stands where a click left it.
HWND TargetBelow(HWND own) {
    if (!own) return nullptr;
    HWND w = GetNextVisibleWindow(own);
    if (w && WindowClassName(w) == L"Shell_TrayWnd") w = GetNextVisibleWindow(w);
    return TargetCandidate(w);
}

// Whether window A stands above window B in the Z order.
bool StandsAbove(HWND a, HWND b) {
    for (HWND w = ::GetWindow(a, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (w == b) return true;
    return false;
}

// The paste keys as keyboard events (scan code 0), in order.
void SendPasteKeys(int paste) {
    if (paste == 0) {
        ::keybd_event(VK_CONTROL, 0, 0, 0);
        ::keybd_event('V', 0, 0, 0);
        ::keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    } else if (paste == 1) {
        ::keybd_event(VK_SHIFT, 0, KEYEVENTF_EXTENDEDKEY, 0);
        ::keybd_event(VK_INSERT, 0, KEYEVENTF_EXTENDEDKEY, 0);
        ::keybd_event(VK_INSERT, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_SHIFT, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    }
}

// Whether the focus of the window's thread lies in the window or below it.
bool FocusInside(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &info) || !info.hwndFocus)
        return false;
    return info.hwndFocus == wnd || ::IsChild(wnd, info.hwndFocus);
}

}  // namespace

THisTarget::THisTarget(const THisSettings& settings, THisTargetLinks links)
    : FWindows11_22H2Moment4(IsWindows11_22H2Moment4()), settings_(settings), links_(std::move(links)) {}

void THisTarget::Proc_RememberFront(HWND foreground) {
    DWORD pid = 0;
    if (!foreground || !::GetWindowThreadProcessId(foreground, &pid)) return;
    if (pid == ::GetCurrentProcessId() || WindowClassName(foreground) == L"Shell_TrayWnd") return;
    MFrontWin = foreground;
}

void THisTarget::Proc_GetTarget() {
    const HWND own = gui::Application ? gui::Application->Handle() : nullptr;
    HWND target = TargetBelow(own);
    // Bringing the program's hidden window to the front does not always
    // raise it above the window the user was in (the taskbar click that
    // opens a tray menu may reorder the windows again). Then the walk finds
    // nothing, or it starts from wherever the hidden window was left and
    // finds some older window below the user's. In both cases the window
    // last seen in front is taken, if it still may take a paste or a folder.
    // A window that stays on top stands above the program's window anyway
    // and says nothing about where the walk started.
    const HWND front = TargetCandidate(MFrontWin);
    const bool ownNotRaised = front && own && front != target &&
                              !(::GetWindowLongW(front, GWL_EXSTYLE) & WS_EX_TOPMOST) && StandsAbove(front, own);
    if (!target || ownNotRaised) target = front;
    MClipHandle = target;
    if (target == MClipHandleB) return;
    MClipHandleB = target;
    links_.TargetChanged(target);
}

void THisTarget::Proc_Paste() {
    Proc_GetTarget();
    HWND target = MClipHandle;
    ForceForegroundWindow(target);
    bool inFront = false;
    for (int round = 0; round < 10 && !inFront; ++round) {
        ForceForegroundWindow(target);
        // A target that closed or hid gets nothing.
        if (!::IsWindow(target) || !::IsWindowVisible(target)) return;
        HWND foreground = ::GetForegroundWindow();
        ::Sleep(500);
        inFront = foreground == target;
    }
    if (!inFront) return;
    if (settings_.UDWait > 0) ::Sleep(static_cast<DWORD>(settings_.UDWait));
    ForceForegroundWindow(target);
    // The control the user was typing in keeps the focus; the window itself
    // gets it only when the focus is elsewhere.
    if (!FocusInside(target)) SetFocusAcrossThreads(target);
    SendPasteKeys(settings_.RadioGroupPaste);
}

void THisTarget::Proc_CopyAndPaste(const std::wstring& text) {
    if (!SetClipboardTextRetry(text)) return;
    Proc_GetTarget();
    if (MClipHandle) Proc_Paste();
}

bool THisTarget::Proc_AddressJump(const std::wstring& folder) {
    if (!AdrJumpForm) return false;
    AdrJumpForm->MTargetHandle = MClipHandle;
    return AdrJumpForm->Func_JumpExp(folder);
}

void THisTarget::Proc_ExecuteEntry(int c, std::wstring s, int action) {
    HWND owner = links_.OwnWindow();
    auto open = [&](const std::wstring& x, const std::wstring& dir) {
        ShellExecuteOwned(owner, x, L"", dir, SW_SHOWNORMAL);
    };
    auto startProgram = [&](const std::wstring& x) {
        ShellExecuteNoRedirect(owner, x, L"", FolderOfPath(x), SW_SHOWNORMAL);
    };
    auto explorer = [&](const std::wstring& params) {
        ShellExecuteOwned(owner, ExplorerPath, params, L"", SW_SHOWNORMAL);
    };
    auto targetClass = [&] { return WindowClassName(MClipHandle); };
    const bool shift = KeyHeld(VK_SHIFT);

    // The folder actions of the file and program tabs: d is the folder.
    auto folderUpExp = [&](const std::wstring& d) {
        Proc_GetTarget();
        if (targetClass() != L"ExploreWClass") explorer(L" /e," + Quoted(d));
        else Proc_JumpExplorer(d);
    };
    auto folderUpFol = [&](const std::wstring& d) {
        Proc_GetTarget();
        if (targetClass() != L"CabinetWClass" || FWindows11_22H2Moment4) {
            if (!Proc_AddressJump(d)) open(d, d);
        } else {
            Proc_JumpExplorer(d);
        }
    };

    switch (c * 3 + action) {
        case 0 * 3 + 0:
            Proc_CopyAndPaste(s);
            break;
        case 1 * 3 + 0: {
            startProgram(s);
            if (s.find(L"\\\\") == std::wstring::npos) {
                std::wstring longPath;
                GetLongPathNameStr(s, longPath);
                s = longPath;
            }
            // To the top of the file history, also when it came from the
            // favourites; the tray menu follows, so its items show the lists.
            links_.Record(1, s);
            break;
        }
        case 1 * 3 + 1:
            folderUpExp(FolderOfPath(s));
            break;
        case 1 * 3 + 2:
            if (shift) open(FolderOfPath(s), FolderOfPath(s));
            else folderUpFol(FolderOfPath(s));
            break;
        case 2 * 3 + 0:
            if (KeyHeld(VK_CONTROL) || FExeCtrlKey) {
                if (LaunchForm) LaunchForm->Func_ExeCmdDlg(s);
            } else {
                startProgram(s);
            }
            FExeCtrlKey = false;
            break;
        case 2 * 3 + 1:
            folderUpExp(ParentOfPath(s));
            break;
        case 2 * 3 + 2:
            if (shift) open(FolderOfPath(s), FolderOfPath(s));
            else folderUpFol(ParentOfPath(s));
            break;
        case 3 * 3 + 0:
            Proc_GetTarget();
            if (shift) {
                open(s, s);
            } else if (targetClass() == L"CabinetWClass" && !FWindows11_22H2Moment4) {
                Proc_JumpExplorer(s);
            } else if (IsFileDialogWindow(MClipHandle)) {
                Proc_PasteDialogPath(s);
            } else if (!Proc_AddressJump(s)) {
                open(s, s);
            }
            break;
        case 4 * 3 + 0:
            Proc_GetTarget();
            if (shift) explorer(L" /e," + Quoted(s));
            else if (targetClass() == L"ExploreWClass") Proc_JumpExplorer(s);
            else if (IsFileDialogWindow(MClipHandle)) Proc_PasteDialogPath(s);
            else explorer(L" /e," + Quoted(s));
            break;
        case 3 * 3 + 1:
        case 4 * 3 + 1: {
            Proc_GetTarget();
            const std::wstring t = IsDriveRootPath(s) ? kThisPCPath : s;
            if (targetClass() != L"ExploreWClass") explorer(L" /e,/select," + Quoted(t));
            else Proc_JumpExplorer(ParentOfPath(s));
            break;
        }
        case 3 * 3 + 2:
        case 4 * 3 + 2: {
            if (shift) {
                open(FolderOfPath(s), FolderOfPath(s));
                break;
            }
            Proc_GetTarget();
            const std::wstring t = IsDriveRootPath(s) ? kThisPCPath : s;
            if (targetClass() != L"CabinetWClass" || FWindows11_22H2Moment4) {
                if (!Proc_AddressJump(FolderOfPath(t))) explorer(L" /select," + Quoted(t));
            } else {
                Proc_JumpExplorer(ParentOfPath(s));
            }
            break;
        }
        default:
            break;
    }
}
