#include "app/SingleInstance.h"

#include <windows.h>

#include "gui/Application.h"
#include "gui/Handles.h"

const wchar_t kInstanceMutexName[] = L"Orvandel/Quorvin";

namespace {

// Up to 50 steps of 100 ms while the window still exists.
void WaitWhileWindow(HWND wnd) {
    for (int i = 0; i < 50; ++i) {
        bool gone = !::IsWindow(wnd);
        ::Sleep(100);
        if (gone) break;
    }
}

}  // namespace

int CloseRunningInstance() {
    HWND wnd = ::FindWindowW(L"TTrayForm", L"Orvandel");
    if (!wnd) return 1;
    // The main form is owned by its application window; the close request
    // goes to the top of that chain, as a user's close would.
    for (HWND up = ::GetParent(wnd); up; up = ::GetParent(up)) wnd = up;
    ::SendMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    WaitWhileWindow(wnd);
    if (::IsWindow(wnd)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        gui::Handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
        if (process) ::TerminateProcess(process.get(), 0);
        WaitWhileWindow(wnd);
    }
    if (::IsWindow(wnd)) {
        ::MessageBoxW(gui::Application ? gui::Application->Handle() : nullptr,
                      L"前回起動したプロセスを終了できませんでした\r\nタスクマネージャーで終了させてください",
                      L"Orvandel", MB_ICONERROR);
        return 0;
    }
    return 0;
}
