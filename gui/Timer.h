// TTimer: a window timer with an interval, an enabled switch and one event.
// Switching it on again, or giving it a new interval, restarts the count.
// It fires inside modal loops and menus like any window timer.
#pragma once

#include <windows.h>
#include <functional>

#include "gui/Component.h"

namespace gui {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    UINT Interval() const noexcept { return interval_; }
    void SetInterval(UINT ms);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);

    std::function<void(TTimer* sender)> OnTimer;

private:
    static LRESULT CALLBACK TimerWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void Update();

    HWND wnd_ = nullptr;
    UINT interval_ = 1000;
    bool enabled_ = true;
    bool running_ = false;
};

}  // namespace gui
