// Plays the desktop's process for the mouse-hook tests: top-level windows of
// the desktop's classes (and look-alikes that must not count), side by side
// and topmost, so a test can click into each. Every window counts the
// WM_MBUTTONUP it receives; the message loop counts WM_DESKTOPMCLICK posted
// to the thread instead of a window. Both counts are read with SendMessage.
#include <windows.h>

#include "hooklib/Hook.h"

namespace {

constexpr UINT kQueryButtonUps = WM_APP + 1;     // this window's WM_MBUTTONUP count
constexpr UINT kQueryThreadPosts = WM_APP + 2;   // WM_DESKTOPMCLICK posted to the thread

LONG threadPosts = 0;

LRESULT CALLBACK FakeWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MBUTTONUP:
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, ::GetWindowLongPtrW(wnd, GWLP_USERDATA) + 1);
        return 0;
    case kQueryButtonUps:
        return ::GetWindowLongPtrW(wnd, GWLP_USERDATA);
    case kQueryThreadPosts:
        return threadPosts;
    case WM_CLOSE:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

void Register(const wchar_t* cls, int colour) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FakeWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(colour);
    wc.lpszClassName = cls;
    ::RegisterClassW(&wc);
}

HWND Top(const wchar_t* cls, const wchar_t* title, int slot) {
    return ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, title, WS_POPUP | WS_VISIBLE,
                             40 + slot * 240, 100, 200, 150, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

HWND Child(HWND parent, const wchar_t* cls, int y) {
    return ::CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE, 0, y, 200, 150 - y, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int main() {
    Register(L"Progman", COLOR_DESKTOP);
    Register(L"WorkerW", COLOR_DESKTOP);
    Register(L"SHELLDLL_DefView", COLOR_WINDOW);
    Register(L"TPlainView", COLOR_BTNFACE);
    Register(L"TShellFrame", COLOR_BTNFACE);
    Register(L"TOuterFrame", COLOR_BTNFACE);

    // The shell view leaves a strip of its desktop window free at the top,
    // so both can be clicked.
    Child(Top(L"Progman", L"desktop-progman", 0), L"SHELLDLL_DefView", 40);
    Child(Top(L"WorkerW", L"desktop-workerw", 1), L"SHELLDLL_DefView", 0);
    Child(Top(L"Progman", L"lone-progman", 2), L"TPlainView", 0);
    Child(Top(L"TShellFrame", L"shell-frame", 3), L"SHELLDLL_DefView", 0);
    Child(Child(Top(L"TOuterFrame", L"nested-frame", 4), L"Progman", 0), L"SHELLDLL_DefView", 0);

    // Looks at each message before taking it, as many programs do, so the
    // hook is also called for every message without removing it.
    for (;;) {
        MSG msg;
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
            continue;
        }
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
        if (msg.message == WM_QUIT) return 0;
        if (!msg.hwnd && msg.message == WM_DESKTOPMCLICK) ++threadPosts;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
