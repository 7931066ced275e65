#include "components/SimpleTimer.h"

#include <memory>
#include <unordered_set>

#include "gui/UtilWindow.h"

// The window all timers share. It keeps the set of live timers, so a
// WM_TIMER still queued for a timer that has since been destroyed (or one
// posted by anybody with a made-up id) never reaches a freed object.
class TSimpleTimerHandler {
public:
    TSimpleTimerHandler()
        : FWindow(L"TSimpleTimerHandler",
                  [this](UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
                      return WndProc(msg, wp, lp, result);
                  }) {}

    HWND FWindowHandle() const noexcept { return FWindow.Handle(); }

    void AddTimer(TSimpleTimer* timer) {
        FTimers.insert(timer);
        ++RefCount;
    }
    // Returns the count left.
    unsigned RemoveTimer(TSimpleTimer* timer) {
        FTimers.erase(timer);
        if (RefCount > 0) --RefCount;
        return RefCount;
    }

private:
    bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        if (msg != WM_TIMER) return false;
        result = 0;
        auto* timer = reinterpret_cast<TSimpleTimer*>(wp);
        if (!FTimers.count(timer)) return true;
        if (timer->FAutoDisable) timer->Stop(true);
        if (timer->FOnTimer) {
            auto handler = timer->FOnTimer;  // the handler may destroy the timer
            handler(timer);
        }
        return true;
    }

    unsigned RefCount = 0;
    std::unordered_set<TSimpleTimer*> FTimers;
    gui::TUtilWindow FWindow;
};

namespace {
// The one shared handler (null while no timer exists).
std::unique_ptr<TSimpleTimerHandler> SimpleTimerHandler;

TSimpleTimerHandler& AcquireHandler() {
    if (!SimpleTimerHandler) SimpleTimerHandler = std::make_unique<TSimpleTimerHandler>();
    return *SimpleTimerHandler;
}
}  // namespace

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, nullptr) {}

TSimpleTimer::TSimpleTimer(UINT interval, TNotifyEvent onTimer)
    : FId(reinterpret_cast<UINT_PTR>(this)), FInterval(interval) {
    SetOnTimer(std::move(onTimer));
    AcquireHandler().AddTimer(this);
}

TSimpleTimer::~TSimpleTimer() {
    if (FEnabled) Stop(true);
    if (SimpleTimerHandler && SimpleTimerHandler->RemoveTimer(this) == 0) SimpleTimerHandler.reset();
}

HWND TSimpleTimer::HandlerWindow() noexcept {
    return SimpleTimerHandler ? SimpleTimerHandler->FWindowHandle() : nullptr;
}

void TSimpleTimer::SetEnabled(bool value) {
    if (value)
        Start();
    else
        Stop(true);
}

void TSimpleTimer::SetInterval(UINT value) {
    if (value == FInterval) return;
    FInterval = value;
    if (!FEnabled) return;
    if (FInterval != 0)
        Start();
    else
        Stop(false);
}

void TSimpleTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    if (!FOnTimer && FEnabled) Stop(false);
}

bool TSimpleTimer::Start() {
    if (FInterval == 0) return false;
    if (FEnabled) Stop(true);
    HWND wnd = HandlerWindow();
    bool ok = wnd && ::SetTimer(wnd, FId, FInterval, nullptr) != 0;
    if (ok) FEnabled = true;
    return ok;
}

bool TSimpleTimer::Stop(bool disable) {
    if (disable) FEnabled = false;
    HWND wnd = HandlerWindow();
    return wnd && ::KillTimer(wnd, FId);
}
