#include "toolkit/AppExecute.h"

#include <vector>

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinWindows.h"

HWND ExecuteMainWnd = nullptr;
HWND ExecuteSecondWnd = nullptr;

namespace {

const DWORD kIdleWaitMs = 60000;

struct WindowSearch {
    DWORD pid;
    HWND found = nullptr;
    bool visibleUnownedOnly;
};

BOOL CALLBACK FindProcessWindowProc(HWND wnd, LPARAM data) {
    return gui::GuardCallback(FALSE, [&]() -> BOOL {
        auto& s = *reinterpret_cast<WindowSearch*>(data);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        if (pid != s.pid) return TRUE;
        if (s.visibleUnownedOnly && (!::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER)))
            return TRUE;
        s.found = wnd;
        return FALSE;
    });
}

HWND FindProcessWindow(DWORD pid, bool visibleUnownedOnly) {
    WindowSearch s{pid, nullptr, visibleUnownedOnly};
    ::EnumWindows(FindProcessWindowProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring ClassOf(HWND wnd) {
    wchar_t buf[261] = {};
    ::GetClassNameW(wnd, buf, 261);
    return buf;
}

// The top of the window's parent chain; a program of our own GUI library
// has its hidden application window there, so the window just below it
// (its visible form) stands in for it.
HWND PlacementWindow(HWND first) {
    HWND below = first;
    HWND top = first;
    for (HWND up = ::GetParent(top); up; up = ::GetParent(top)) {
        below = top;
        top = up;
    }
    return ClassOf(top) == L"TApplication" ? below : top;
}

void PlaceWindow(HWND main, HWND target, int showCmd, int placeMode, int x, int y, int width,
                 int height) {
    RECT r{};
    if (!GetWindowRectUnlessMinimized(target, r)) return;
    if (r.right - r.left <= 1 || r.bottom - r.top <= 1) return;
    switch (showCmd) {
        case SW_SHOWMAXIMIZED:
            if (!::IsZoomed(target)) ::ShowWindow(target, SW_SHOWMAXIMIZED);
            break;
        case SW_MINIMIZE:
            if (!::IsIconic(target)) ::ShowWindow(main, SW_MINIMIZE);
            break;
        case SW_SHOWDEFAULT: {
            if (::IsZoomed(target) || ::IsIconic(target)) {
                ::ShowWindow(main, SW_RESTORE);
                ::GetWindowRect(target, &r);
            }
            const int w = r.right - r.left, h = r.bottom - r.top;
            const bool moved = r.left != x || r.top != y;
            const bool sized = w != width || h != height;
            if (placeMode == epPosition && moved)
                ::MoveWindow(target, x, y, w, h, TRUE);
            else if (placeMode == epSize && sized)
                ::MoveWindow(target, r.left, r.top, width, height, TRUE);
            else if (placeMode == epPositionSize && (moved || sized))
                ::MoveWindow(target, x, y, width, height, TRUE);
            break;
        }
        default:
            break;
    }
}

}  // namespace

void ExecuteProgram(const std::wstring& cmdLine, const std::wstring& workDir, int showCmd,
                    DWORD creationFlags, int placeMode, int x, int y, int width, int height,
                    bool wait) {
    ExecuteMainWnd = nullptr;
    ExecuteSecondWnd = nullptr;

    STARTUPINFOW si{};
    ::GetStartupInfoW(&si);
    si.cb = sizeof(si);
    si.wShowWindow = static_cast<WORD>(showCmd);
    // Our own standard handles and runtime data are not handed on, since
    // no handle is inherited.
    si.dwFlags &= ~STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nullptr;
    si.cbReserved2 = 0;
    si.lpReserved2 = nullptr;
    switch (placeMode) {
        case epPosition:
            si.dwX = static_cast<DWORD>(x);
            si.dwY = static_cast<DWORD>(y);
            si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USEPOSITION;
            break;
        case epSize:
            si.dwXSize = static_cast<DWORD>(width);
            si.dwYSize = static_cast<DWORD>(height);
            si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE;
            break;
        case epPositionSize:
            si.dwX = static_cast<DWORD>(x);
            si.dwY = static_cast<DWORD>(y);
            si.dwXSize = static_cast<DWORD>(width);
            si.dwYSize = static_cast<DWORD>(height);
            si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION;
            break;
        default:
            break;
    }
    si.lpReserved = nullptr;
    si.lpDesktop = nullptr;
    si.lpTitle = nullptr;

    std::vector<wchar_t> line(cmdLine.begin(), cmdLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                          creationFlags | CREATE_DEFAULT_ERROR_MODE, nullptr,
                          workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        throw gui::Exception(cmdLine + L"を起動できません。");
    gui::Handle process(pi.hProcess), thread(pi.hThread);

    if (::WaitForInputIdle(pi.hProcess, kIdleWaitMs) == 0)
        ExecuteMainWnd = FindProcessWindow(pi.dwProcessId, true);

    if (placeMode != epNone || showCmd != SW_SHOWDEFAULT) {
        if (::WaitForInputIdle(pi.hProcess, kIdleWaitMs) == 0) {
            HWND first = FindProcessWindow(pi.dwProcessId, false);
            HWND candidate = first ? PlacementWindow(first) : nullptr;
            if (candidate && candidate != ExecuteMainWnd) ExecuteSecondWnd = candidate;
        }
    }

    if (ExecuteMainWnd)
        PlaceWindow(ExecuteMainWnd, ExecuteSecondWnd ? ExecuteSecondWnd : ExecuteMainWnd, showCmd,
                    placeMode, x, y, width, height);

    if (wait) {
        // Until the program ends, this thread's own messages keep flowing.
        HANDLE h = pi.hProcess;
        while (::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
}
