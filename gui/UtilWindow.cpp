#include "gui/UtilWindow.h"

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/WindowClass.h"

namespace gui {

TUtilWindow::TUtilWindow(const std::wstring& className, Handler handler)
    : handler_(std::move(handler)) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WndProc;
    wc.lpszClassName = className.c_str();
    RegisterWindowClass(wc);
    // WS_POPUP and never shown: no taskbar button, no visible trace.
    wnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, className.c_str(), L"", WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, inst, this);
    if (!wnd_) throw Exception(L"ウィンドウを作成できません: " + className);
}

TUtilWindow::~TUtilWindow() {
    if (!wnd_) return;
    // No message reaches the handler while the window goes away.
    ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(wnd_);
}

LRESULT CALLBACK TUtilWindow::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<TUtilWindow*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && self->handler_) {
        // A copy: the handler may destroy the window's owner, and this object with it.
        Handler handler = self->handler_;
        LRESULT result = 0;
        bool handled = GuardCallback(false, [&] { return handler(msg, wp, lp, result); });
        if (handled) return result;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace gui
