#include "gui/Timer.h"

#include "gui/Callback.h"
#include "gui/Exception.h"
#include "gui/WindowClass.h"

namespace gui {

namespace {
const wchar_t kTimerClass[] = L"TTimerWindow";
const UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = TimerWndProc;
    wc.lpszClassName = kTimerClass;
    RegisterWindowClass(wc);
    wnd_ = ::CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst,
                             nullptr);
    if (!wnd_) throw Exception(L"タイマーを作成できません");
    ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Update();
}

TTimer::~TTimer() {
    if (wnd_) {
        ::KillTimer(wnd_, kTimerId);
        ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(wnd_);
    }
}

void TTimer::SetInterval(UINT ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::Update() {
    ::KillTimer(wnd_, kTimerId);
    running_ = enabled_ && interval_ > 0;
    if (running_) ::SetTimer(wnd_, kTimerId, interval_, nullptr);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kTimerId) {
        auto* self = reinterpret_cast<TTimer*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && self->enabled_ && self->OnTimer)
            GuardCallback([self] { self->OnTimer(self); });
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace gui
