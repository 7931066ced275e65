// Where the heartbeat's time goes: the mean wall time of each step of the
// main form's tick, over many ticks of the idle program (empty settings).
//   wine build/bin/TickStepsBench.exe [ticks, default 1000]
// The tick's own work outside the steps (the timer's restart, the foreground
// query) is the difference between the whole tick and the steps' sum.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/Tray.h"
#include "gui/Application.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using bench::Now;

namespace {

struct StepTime {
    const char* name;
    double seconds = 0;
    long calls = 0;
};

// Puts a timing wrapper around one step.
template <typename R, typename... A>
void Time(std::function<R(A...)>& step, StepTime& into) {
    std::function<R(A...)> inner = step;
    step = [inner, &into](A... a) -> R {
        const double t0 = Now();
        struct Done {
            StepTime& t;
            double t0;
            ~Done() {
                t.seconds += Now() - t0;
                ++t.calls;
            }
        } done{into, t0};
        return inner(a...);
    };
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 1000;
    ScratchDir dir;
    DataFolder = dir.Path();
    auto app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->ShowMainForm = false;
    app->CreateForm(TrayForm);
    TrayForm->TimerMain->SetEnabled(false);

    std::vector<StepTime> times = {{"IMECheck"},  {"TrashCheck"}, {"CheckHook"}, {"TimerCPU"},
                                   {"TimerRAM"},  {"DispCPU"},    {"AutoMinimize"}, {"TimerHis"},
                                   {"TimerBtn"},  {"CursorWin"},  {"PPLSet"}};
    auto& s = TrayForm->Steps;
    Time(s.IMECheck, times[0]);
    Time(s.TrashCheck, times[1]);
    Time(s.CheckHook, times[2]);
    Time(s.TimerCPU, times[3]);
    Time(s.TimerRAM, times[4]);
    Time(s.DispCPU, times[5]);
    Time(s.AutoMinimize, times[6]);
    Time(s.TimerHis, times[7]);
    Time(s.TimerBtn, times[8]);
    Time(s.CursorWin, times[9]);
    Time(s.PPLSet, times[10]);

    // A few ticks first, so that one-time work at the first tick is not counted.
    for (int i = 0; i < 10; ++i) TrayForm->TimerMainTimer();
    for (auto& t : times) t = StepTime{t.name};
    const double cpu0 = bench::ThreadCpuSeconds(), w0 = Now();
    for (int i = 0; i < ticks; ++i) TrayForm->TimerMainTimer();
    const double cpu1 = bench::ThreadCpuSeconds(), w1 = Now();
    TrayForm->TimerMain->SetEnabled(false);

    double sum = 0;
    for (const auto& t : times) {
        sum += t.seconds;
        std::printf("  %-13s %8.1f us per tick (%ld calls)\n", t.name, t.seconds * 1e6 / ticks, t.calls);
    }
    std::printf("  %-13s %8.1f us per tick\n", "(outside)", ((w1 - w0) - sum) * 1e6 / ticks);
    std::printf("whole tick: %.1f us wall, %.1f us CPU (mean of %d)\n", (w1 - w0) * 1e6 / ticks,
                (cpu1 - cpu0) * 1e6 / ticks, ticks);
    // What the single calls the steps make cost here.
    auto cost = [ticks](const char* what, const std::function<void()>& f) {
        const double t0 = Now();
        for (int i = 0; i < ticks; ++i) f();
        std::printf("  %-28s %8.1f us\n", what, (Now() - t0) * 1e6 / ticks);
    };
    std::printf("single calls:\n");
    POINT pt{};
    cost("GetCursorPos", [&] { ::GetCursorPos(&pt); });
    cost("WindowFromPoint", [&] { ::WindowFromPoint(pt); });
    cost("GetForegroundWindow", [] { ::GetForegroundWindow(); });
    cost("FindWindowW", [] { ::FindWindowW(L"Shell_TrayWnd", nullptr); });
    cost("GetClassNameW", [] {
        wchar_t b[64];
        ::GetClassNameW(::GetForegroundWindow(), b, 64);
    });
    cost("IsWindowVisible", [] { ::IsWindowVisible(TrayForm->Handle()); });
    cost("GetWindowTextW", [] {
        wchar_t b[64];
        ::GetWindowTextW(::GetForegroundWindow(), b, 64);
    });
    cost("KillTimer+SetTimer", [] {
        TrayForm->TimerMain->SetEnabled(true);
        TrayForm->TimerMain->SetEnabled(false);
    });
    app.reset();
    return 0;
}
