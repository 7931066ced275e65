#include "app/history/HisJump.h"

#include <string>

#include "app/history/HisSettings.h"
#include "app/history/HisTarget.h"
#include "toolkit/PostKeyEx.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"

namespace {

// Messages to another program's window give up on a program that hangs, so
// the history window is not held by it.
const UINT kSendTimeoutMs = 3000;

LRESULT SendTo(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

void SetText(HWND wnd, const std::wstring& text) {
    SendTo(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// At most 260 characters, cut at the first NUL.
std::wstring ReadText(HWND wnd) {
    wchar_t buf[260] = {};
    SendTo(wnd, WM_GETTEXT, 260, reinterpret_cast<LPARAM>(buf));
    buf[259] = 0;
    return buf;
}

// The first direct child of that class; 0 also when there is no parent,
// where the search would otherwise run over the top-level windows.
HWND FirstChild(HWND parent, const wchar_t* className) {
    if (!parent) return nullptr;
    return ::FindWindowExW(parent, nullptr, className, nullptr);
}

}  // namespace

std::wstring WindowClassName(HWND wnd) {
    if (!wnd) return L"";
    wchar_t buf[260] = {};
    ::GetClassNameW(wnd, buf, 260);
    return buf;
}

DWORD PasteStepDelay(int timing) {
    switch (timing) {
        case 1: return 200;
        case 2: return 300;
        case 3: return 50;
        case 4: return 25;
        default: return 100;
    }
}

HWND FindDialogEdit(HWND dialog) { return FindChildWindowByClass(dialog, L"Edit"); }

HWND FindExplorerView(HWND explorerWnd) {
    HWND view = FindChildWindowByClass(explorerWnd, L"SHELLDLL_DefView");
    if (!view) return nullptr;
    if (HWND w = FirstChild(view, L"DirectUIHWND")) return w;
    if (HWND w = FirstChild(view, L"SysListView32")) return w;
    return FindChildWindowByClass(view, L"SysListView32");
}

void THisTarget::Proc_PasteDialogPath(const std::wstring& folder) {
    MDlgEdit = FindDialogEdit(MClipHandle);
    HWND edit = MDlgEdit;
    if (!edit) return;
    const DWORD d = PasteStepDelay(settings_.CBPasteDir);
    // Exactly one trailing backslash: the box then takes the text as a
    // folder to go to, not as a file name.
    std::wstring path;
    StripTrailingBackslash(folder, path);
    path += L"\\";

    ForceForegroundWindow(MClipHandle);
    SetFocusAcrossThreads(edit);
    SendTo(edit, WM_CLEAR, 0, 0);
    ::Sleep(d);
    SetText(edit, path);
    ::Sleep(d);
    SetText(edit, path);
    ::Sleep(d);

    std::wstring text = ReadText(edit);
    if (text.empty()) text = ReadText(edit);
    // A box that changed or cut the text is not confirmed: Enter would then
    // choose some other file or folder.
    if (!text.empty() && text == path) {
        SetFocusAcrossThreads(edit);
        ForceForegroundWindow(edit);
        ::Sleep(d);
        PostKeyWithShift(edit, VK_RETURN, 0, false);
        ::Sleep(d);
    }
    ForceForegroundWindow(MClipHandle);
    SetFocusAcrossThreads(edit);
}

void THisTarget::Proc_JumpExplorer(const std::wstring& folder) {
    Proc_GetTarget();
    HWND target = MClipHandle;
    const DWORD d = PasteStepDelay(settings_.CBPasteDir);
    HWND bar = FirstChild(FirstChild(target, L"WorkerW"), L"ReBarWindow32");

    if (IsVistaOrLater()) {
        // The address bar shows a breadcrumb; a click on it turns it into
        // the edit box that takes a typed path.
        HWND progress = FirstChild(FirstChild(bar, L"Address Band Root"), L"msctls_progress32");
        HWND crumbs = FirstChild(FirstChild(progress, L"Breadcrumb Parent"), L"ToolbarWindow32");
        if (!crumbs) return;
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ForceForegroundWindow(target);
        SetFocusAcrossThreads(crumbs);
        ::Sleep(d);

        ::SetCapture(links_.OwnWindow());
        RECT r{};
        ::GetWindowRect(crumbs, &r);
        ::SetCursorPos(r.right, r.top);
        SendTo(crumbs, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendTo(crumbs, WM_LBUTTONUP, 0, 0);
        ::SetCursorPos(cursor.x, cursor.y);

        HWND combo = nullptr;
        for (int look = 0; look < 9 && !combo; ++look) {
            ::Sleep(500);
            combo = FirstChild(progress, L"ComboBoxEx32");
        }
        if (!combo) ::Sleep(500);
        ::ReleaseCapture();
        if (!combo) return;
        bar = progress;
    }

    HWND edit = FirstChild(FirstChild(FirstChild(bar, L"ComboBoxEx32"), L"ComboBox"), L"Edit");
    if (!edit) return;
    ForceForegroundWindow(target);
    SetText(edit, folder);
    SetFocusAcrossThreads(edit);
    ::Sleep(d);
    if (ReadText(edit) == folder) {
        PostKeyWithShift(edit, VK_RETURN, 0, false);
        ::Sleep(d);
    }

    ForceForegroundWindow(target);
    HWND view = FindExplorerView(target);
    if (view) SetFocusAcrossThreads(view);
    ::Sleep(d);
    if (view) {
        // The pointer rests in the view that now shows the folder.
        RECT r{};
        ::GetWindowRect(view, &r);
        ::SetCursorPos(r.left, r.top);
    }
}
