// The floor a resident tray program stands on: one hidden window, one tray
// icon, a 250 ms timer that does nothing, and one worker thread waiting on a
// change notification of a folder (the temporary folder), as a folder
// watcher does. Its stack is reserved at 256 KB, as Orvandel's watcher's is.
// The benchmarks measure Orvandel beside it, under the same Wine.
#include <windows.h>
#include <shellapi.h>

namespace {

HANDLE StopEvent = nullptr;

DWORD WINAPI Watch(void* change) {
    HANDLE waits[2] = {StopEvent, change};
    while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        if (!::FindNextChangeNotification(change)) break;
    return 0;
}

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareTray";
    if (!::RegisterClassW(&wc)) return 1;
    HWND wnd = ::CreateWindowExW(0, L"BareTray", L"BareTray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                 nullptr);
    if (!wnd) return 1;

    wchar_t folder[MAX_PATH];
    if (!::GetTempPathW(MAX_PATH, folder)) return 1;
    HANDLE change = ::FindFirstChangeNotificationW(folder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME |
                                                                      FILE_NOTIFY_CHANGE_DIR_NAME |
                                                                      FILE_NOTIFY_CHANGE_LAST_WRITE);
    StopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (change == INVALID_HANDLE_VALUE || !StopEvent) return 1;
    HANDLE worker = ::CreateThread(nullptr, 256 * 1024, Watch, change, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!worker) return 1;

    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = wnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpyW(icon.szTip, L"BareTray");
    ::Shell_NotifyIconW(NIM_ADD, &icon);
    ::SetTimer(wnd, 1, 250, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    ::SetEvent(StopEvent);
    ::WaitForSingleObject(worker, INFINITE);
    ::CloseHandle(worker);
    ::FindCloseChangeNotification(change);
    ::CloseHandle(StopEvent);
    return 0;
}
