#include "toolkit/FindExe.h"

#include <algorithm>
#include <set>

#include "gui/Callback.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

std::wstring FindExePath;
HWND FindExeWnd = nullptr;

namespace {

BOOL CALLBACK FindByExeProc(HWND wnd, LPARAM) {
    return gui::GuardCallback(FALSE, [&]() -> BOOL {
        if (GetTopLevelWindow(wnd) != wnd) return TRUE;
        std::wstring title, className, exe;
        GetWindowTitleClassExe(wnd, title, className, exe);
        if (!exe.empty() && SameText(exe, FindExePath)) {
            FindExeWnd = wnd;
            return FALSE;
        }
        return TRUE;
    });
}

BOOL CALLBACK CollectNamesProc(HWND wnd, LPARAM data) {
    return gui::GuardCallback(FALSE, [&]() -> BOOL {
        auto& names = *reinterpret_cast<std::set<std::wstring>*>(data);
        std::wstring path;
        GetWindowExePath(wnd, path);
        if (!path.empty()) names.insert(UpperCase(path.substr(path.find_last_of(L"\\/") + 1)));
        return TRUE;
    });
}

}  // namespace

HWND FindWindowByExe(const std::wstring& exePath) {
    FindExePath = exePath;
    FindExeWnd = nullptr;
    Wow64RedirectionOff off;
    ::EnumWindows(FindByExeProc, 0);
    return FindExeWnd;
}

bool IsExeRunning(const std::wstring& exeName) {
    std::set<std::wstring> names;
    ::EnumWindows(CollectNamesProc, reinterpret_cast<LPARAM>(&names));
    return names.count(UpperCase(exeName)) > 0;
}
