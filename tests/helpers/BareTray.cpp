// The floor a resident tray program stands on: one hidden window, one tray
// icon and a 250 ms timer that does nothing. The memory benchmark measures
// Orvandel beside it, under the same Wine.
#include <windows.h>
#include <shellapi.h>

namespace {

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
    return 0;
}
