#include "toolkit/QuorvinWindows.h"

#include <psapi.h>

#include "gui/Callback.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/TextHelpers.h"

std::wstring FindChildClassName;
HWND FoundChildWnd = nullptr;
HWND DesktopViewHostWnd = nullptr;
HWND TaskbarWnd = nullptr;

namespace {

const int kBuf = 260;

std::wstring WindowText(HWND wnd) {
    wchar_t buf[kBuf] = {};
    ::GetWindowTextW(wnd, buf, kBuf);
    return buf;
}

std::wstring ClassNameOf(HWND wnd) {
    wchar_t buf[kBuf] = {};
    ::GetClassNameW(wnd, buf, kBuf);
    return buf;
}

bool HasDirectChild(HWND wnd, const wchar_t* className) {
    return ::FindWindowExW(wnd, nullptr, className, nullptr) != nullptr;
}

DWORD WindowThread(HWND wnd) { return ::GetWindowThreadProcessId(wnd, nullptr); }

bool IsForeground(HWND wnd) { return ::GetForegroundWindow() == wnd; }

// Windows 2000 and later, or the 9x family from 98 on, keep other programs
// from taking the foreground; older systems let anyone have it.
bool HasForegroundLock() {
    OSVERSIONINFOW vi{sizeof(vi)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&vi)) return true;
#pragma GCC diagnostic pop
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) return vi.dwMajorVersion >= 5;
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return vi.dwMajorVersion > 4 || (vi.dwMajorVersion == 4 && vi.dwMinorVersion > 0);
    return false;
}

void BringToFront(HWND wnd) {
    ::BringWindowToTop(wnd);
    ::SetForegroundWindow(wnd);
}

// "\Device\HarddiskVolume2\dir\x.exe" with the device of a drive letter
// replaced by that letter: "C:\dir\x.exe".
std::wstring DeviceToDrivePath(const std::wstring& path) {
    DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        wchar_t drive[3] = {static_cast<wchar_t>(L'A' + i), L':', 0};
        wchar_t device[kBuf + 1] = {};
        if (!::QueryDosDeviceW(drive, device, kBuf)) continue;
        std::wstring prefix = std::wstring(device) + L"\\";
        if (path.size() >= prefix.size() &&
            ::_wcsnicmp(path.c_str(), prefix.c_str(), prefix.size()) == 0)
            return std::wstring(drive) + path.substr(prefix.size() - 1);
    }
    return path;
}

// The process image name in device form, through the system folder's
// Psapi.dll, for processes whose modules a 32-bit caller cannot list.
std::wstring ProcessImageFileName(HANDLE process) {
    std::wstring sys;
    GetSystemDir(sys);
    if (sys.empty()) return L"";
    gui::Module psapi(::LoadLibraryW((sys + L"Psapi.dll").c_str()));
    if (!psapi) return L"";
    using Fn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(psapi.get(), "GetProcessImageFileNameW")));
    if (!fn) return L"";
    wchar_t buf[kBuf + 1] = {};
    if (!fn(process, buf, kBuf)) return L"";
    return DeviceToDrivePath(buf);
}

struct RejectedShellWindow {
    const wchar_t* title;
    const wchar_t* className;
    bool explorerOnly;
};

// Parts of the shell that look like program windows.
const RejectedShellWindow kRejected[] = {
    {L"表示スライダー コントロール", L"ViewControlClass", false},
    {L"Drag", L"SysDragImage", false},
    {L"スタート", L"Button", true},
    {L"スタート メニュー", L"DV2ControlHost", false},
    {L"View Available Networks (Tooltip)", L"VANUITooltip", false},
    {L"ジャンプ リスト", L"DV2ControlHost", false},
};

}  // namespace

bool ForceForegroundWindow(HWND wnd) {
    if (IsForeground(wnd)) return true;
    if (!HasForegroundLock()) {
        BringToFront(wnd);
        return IsForeground(wnd);
    }
    DWORD fgThread = WindowThread(::GetForegroundWindow());
    DWORD wndThread = WindowThread(wnd);
    bool inFront = false;
    if (::AttachThreadInput(wndThread, fgThread, TRUE)) {
        BringToFront(wnd);
        ::AttachThreadInput(wndThread, fgThread, FALSE);
        inFront = IsForeground(wnd);
    }
    if (!inFront) {
        // With the lock time-out at 0 the system lets the call through.
        DWORD timeout = 0;
        ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
        ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        BringToFront(wnd);
        ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                reinterpret_cast<PVOID>(static_cast<UINT_PTR>(timeout)),
                                SPIF_SENDCHANGE);
    }
    return IsForeground(wnd);
}

void SetFocusAcrossThreads(HWND wnd) {
    DWORD own = ::GetCurrentThreadId();
    DWORD fgThread = WindowThread(::GetForegroundWindow());
    if (!::AttachThreadInput(own, fgThread, TRUE)) {
        ::SetFocus(wnd);
        return;
    }
    ::SetFocus(wnd);
    ::AttachThreadInput(own, fgThread, FALSE);
}

HWND GetForegroundFocusWindow() {
    GUITHREADINFO info{};
    info.cbSize = 48;
    if (!::GetGUIThreadInfo(0, &info)) return nullptr;
    return info.hwndFocus;
}

bool GetForegroundCaretPos(POINT& pt) {
    HWND fg = ::GetForegroundWindow();
    if (!fg) return false;
    DWORD own = ::GetCurrentThreadId();
    DWORD fgThread = WindowThread(fg);
    if (fgThread == own || !::AttachThreadInput(own, fgThread, TRUE)) return false;
    bool ok = false;
    if (HWND focus = ::GetFocus()) {
        POINT p{};
        ok = ::GetCaretPos(&p) != FALSE;
        if (ok) {
            ::ClientToScreen(focus, &p);
            pt = p;
        }
    }
    ::AttachThreadInput(own, fgThread, FALSE);
    return ok;
}

bool GetWindowRectUnlessMinimized(HWND wnd, RECT& r) {
    RECT rc{};
    if (!::GetWindowRect(wnd, &rc)) return false;
    if (rc.left == -32000 && rc.top == -32000) return false;
    r = rc;
    return true;
}

bool GetWindowBounds(HWND wnd, int& x, int& y, int& w, int& h) {
    RECT r{};
    if (!GetWindowRectUnlessMinimized(wnd, r)) return false;
    x = r.left;
    y = r.top;
    w = r.right - r.left;
    h = r.bottom - r.top;
    return true;
}

void GetWindowTitleClassExe(HWND wnd, std::wstring& title, std::wstring& className,
                            std::wstring& exePath) {
    title.clear();
    className.clear();
    exePath.clear();
    if (!wnd || !::IsWindowVisible(wnd) || ::GetWindowTextLengthW(wnd) <= 0) return;
    CutAtNulTrimRight(WindowText(wnd), title);
    CutAtNulTrimRight(ClassNameOf(wnd), className);
    GetWindowExePath(wnd, exePath);
    if (FileExistsSafe(exePath)) {
        std::wstring longPath;
        GetLongPathNameStr(exePath, longPath);
        exePath = longPath;
    }
}

HWND GetWindowUnderCursor() {
    POINT pt{};
    if (!::GetCursorPos(&pt)) return nullptr;
    return ::WindowFromPoint(pt);
}

HWND GetWindowUnderCursorInfo(std::wstring& title, std::wstring& className) {
    HWND wnd = GetWindowUnderCursor();
    if (wnd) {
        title = WindowText(wnd);
        className = ClassNameOf(wnd);
    }
    return wnd;
}

HWND GetTopLevelWindow(HWND wnd) {
    while (HWND parent = ::GetParent(wnd)) wnd = parent;
    return wnd;
}

HWND GetCaptionedAncestor(HWND wnd) {
    const LONG kVisibleCaption = WS_VISIBLE | WS_CAPTION;
    while (wnd) {
        if ((::GetWindowLongW(wnd, GWL_STYLE) & kVisibleCaption) == kVisibleCaption) return wnd;
        HWND parent = ::GetParent(wnd);
        if (!parent) return wnd;
        wnd = parent;
    }
    return wnd;
}

void GetWindowExePath(HWND wnd, std::wstring& path) {
    path.clear();
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (!pid) return;
    gui::Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return;
    wchar_t buf[kBuf + 1] = {};
    if (::GetModuleFileNameExW(process.get(), nullptr, buf, kBuf)) {
        path = buf;
        return;
    }
    // A 64-bit process: its modules cannot be listed from a 32-bit one.
    path = ProcessImageFileName(process.get());
}

bool CanQueryWindowProcess(HWND wnd) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (!pid) return false;
    gui::Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    return static_cast<bool>(process);
}

bool IsBareUwpWindow(HWND wnd, const std::wstring& className) {
    if (className == L"Windows.UI.Core.CoreWindow") return true;
    if (className == L"ApplicationFrameWindow")
        return !HasDirectChild(wnd, L"Windows.UI.Core.CoreWindow");
    return false;
}

HWND GetNextVisibleWindow(HWND wnd) {
    HWND next = ::GetWindow(wnd, GW_HWNDNEXT);
    while (next && !(::GetWindowLongW(next, GWL_STYLE) & WS_VISIBLE)) next = ::GetWindow(next, GW_HWNDNEXT);
    return next;
}

BOOL CALLBACK FindChildClassEnumProc(HWND wnd, LPARAM) {
    return gui::GuardCallback(FALSE, [&] {
        if (ClassNameOf(wnd) != FindChildClassName) return TRUE;
        FoundChildWnd = wnd;
        return FALSE;
    });
}

HWND FindChildWindowByClass(HWND parent, const std::wstring& className) {
    FindChildClassName = className;
    FoundChildWnd = nullptr;
    // Without a parent the enumeration would cover every top-level window.
    if (!parent) return nullptr;
    ::EnumChildWindows(parent, FindChildClassEnumProc, 0);
    return FoundChildWnd;
}

bool IsNormalAppWindow(HWND wnd, bool onScreenOnly) {
    if (!wnd) return false;
    // The cheap questions first: reading another program's title is not.
    if (!::IsWindowVisible(wnd) || ::GetWindowTextLengthW(wnd) <= 0 || ::IsIconic(wnd) ||
        WindowText(wnd) == L"Program Manager")
        return false;
    if (onScreenOnly && !::IsZoomed(wnd)) {
        int x = 0, y = 0, w = 0, h = 0;
        if (!GetWindowBounds(wnd, x, y, w, h) || IsRectOffScreen(x, y, w, h)) return false;
    }
    return true;
}

bool IsListableAppWindow(HWND wnd, std::wstring& exePath, std::wstring& title,
                         std::wstring& className) {
    if (!IsNormalAppWindow(wnd, false) || !::IsWindowEnabled(wnd)) return false;
    RECT r{};
    if (!GetWindowRectUnlessMinimized(wnd, r)) return false;
    if (r.left < -9999 || r.left > 9999 || r.top < -9999 || r.top > 9999) return false;
    if (r.bottom - r.top < ::GetSystemMetrics(SM_CYSIZE) ||
        r.right - r.left < ::GetSystemMetrics(SM_CXSIZE))
        return false;
    GetWindowTitleClassExe(wnd, title, className, exePath);
    for (const auto& s : kRejected) {
        if (title != s.title || className != s.className) continue;
        // Explorer's own Start button; a button of that name elsewhere is a program's.
        if (s.explorerOnly && !SameText(FileNameOfPath(exePath), L"explorer.exe")) continue;
        return false;
    }
    return true;
}

bool IsFileDialogWindow(HWND wnd) {
    if (ClassNameOf(wnd) != L"#32770") return false;
    if (!HasDirectChild(wnd, L"SHELLDLL_DefView") && !HasDirectChild(wnd, L"DUIViewWndClassName"))
        return false;
    return ::GetDlgItem(wnd, IDOK) && ::GetDlgItem(wnd, IDCANCEL);
}

void GetExplorerAddressBarPath(HWND explorerWnd, std::wstring& path) {
    path.clear();
    static const wchar_t* const kChain[] = {L"WorkerW",           L"ReBarWindow32",
                                            L"Address Band Root", L"msctls_progress32",
                                            L"Breadcrumb Parent", L"ToolbarWindow32"};
    HWND wnd = explorerWnd;
    for (const wchar_t* cls : kChain) {
        wnd = ::FindWindowExW(wnd, nullptr, cls, nullptr);
        if (!wnd) return;
    }
    if (::SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0) <= 0) return;
    wchar_t buf[kBuf] = {};
    ::SendMessageW(wnd, WM_GETTEXT, kBuf, reinterpret_cast<LPARAM>(buf));
    // The bar's text is a label ("アドレス: ") followed by the path.
    std::wstring text = buf;
    text.erase(0, 6);
    DWORD attr = ::GetFileAttributesW(text.c_str());
    if (!text.empty() && attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY))
        path = text;
}

BOOL CALLBACK FindDesktopViewEnumProc(HWND wnd, LPARAM) {
    return gui::GuardCallback(FALSE, [&] {
        DesktopViewHostWnd = nullptr;
        std::wstring cls = ClassNameOf(wnd);
        if ((cls == L"Progman" || cls == L"WorkerW") && HasDirectChild(wnd, L"SHELLDLL_DefView")) {
            DesktopViewHostWnd = wnd;
            return FALSE;
        }
        return TRUE;
    });
}

HWND FindDesktopViewHostWindow() {
    DesktopViewHostWnd = nullptr;
    ::EnumWindows(FindDesktopViewEnumProc, 0);
    return DesktopViewHostWnd;
}

HWND FindTaskbarWindow() {
    TaskbarWnd = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    return TaskbarWnd;
}
