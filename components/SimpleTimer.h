// TSimpleTimer: a small timer that is a plain object rather than a
// component, for the tray icons. All timers of the process share one hidden
// window (TSimpleTimerHandler) that receives WM_TIMER for each of them; the
// window exists exactly while at least one timer object exists.
#pragma once

#include <windows.h>
#include <functional>

class TSimpleTimer {
public:
    using TNotifyEvent = std::function<void(TSimpleTimer* sender)>;

    // Interval 1000 ms, no handler.
    TSimpleTimer();
    TSimpleTimer(UINT interval, TNotifyEvent onTimer);
    ~TSimpleTimer();
    TSimpleTimer(const TSimpleTimer&) = delete;
    TSimpleTimer& operator=(const TSimpleTimer&) = delete;

    // Meant to run. It can be true while no system timer is set: after
    // Interval := 0 or after the handler was removed (suspended).
    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    UINT Interval() const noexcept { return FInterval; }
    void SetInterval(UINT value);
    // Stops after the first tick.
    bool AutoDisable() const noexcept { return FAutoDisable; }
    void SetAutoDisable(bool value) { FAutoDisable = value; }
    const TNotifyEvent& OnTimer() const noexcept { return FOnTimer; }
    void SetOnTimer(TNotifyEvent handler);

    // Sets the system timer; false (and no change) with interval 0.
    bool Start();
    // Kills the system timer; with disable, Enabled becomes false too.
    bool Stop(bool disable);

    // The timer id: the object's own address, so WM_TIMER's wParam is it.
    UINT_PTR Id() const noexcept { return FId; }
    // The shared window, 0 while no timer exists.
    static HWND HandlerWindow() noexcept;

private:
    friend class TSimpleTimerHandler;

    UINT_PTR FId;
    bool FEnabled = false;
    UINT FInterval = 1000;
    bool FAutoDisable = false;
    TNotifyEvent FOnTimer;
};
