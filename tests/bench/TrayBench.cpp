// Measures the start-up of the main form and the cost of one heartbeat tick.
//   wine build/bin/TrayBench.exe [ticks]
// Prints: the time from process start to the start-up being done (the real
// program, start delay 0), the in-process creation of the main form (which
// ends with the CPU icon registered), the mean CPU time of one tick, and the
// share of one core the heartbeat takes while the program is idle.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using bench::Now;
using bench::ThreadCpuSeconds;

namespace {

void ProcessStart() {
    for (HWND w : FindTopWindows(L"TTrayForm")) ::PostMessageW(w, WM_CLOSE, 0, 0);
    ::Sleep(500);
    double t0 = Now();
    ChildProcess p = ChildProcess::Start(BinDir() + L"Orvandel.exe");
    bool up = WaitUntil(
        [&] {
            for (HWND w : FindTopWindows(L"TSPDirForm"))
                if (WindowProcessId(w) == p.Pid()) return true;
            return false;
        },
        20000, 1);
    double t1 = Now();
    std::printf("process start to start-up done: %s %.1f ms\n", up ? "" : "(timed out)", (t1 - t0) * 1000);
    for (HWND w : FindTopWindows(L"TTrayForm"))
        if (WindowProcessId(w) == p.Pid()) ::PostMessageW(w, WM_CLOSE, 0, 0);
    p.WaitExit(5000);
}

}  // namespace

int main(int argc, char** argv) {
    int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
    ProcessStart();

    ScratchDir dir;
    DataFolder = dir.Path();
    auto app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->ShowMainForm = false;
    double t0 = Now();
    app->CreateForm(TrayForm);
    double t1 = Now();
    std::printf("main form creation (in process): %.1f ms\n", (t1 - t0) * 1000);

    TrayForm->TimerMain->SetEnabled(false);
    double cpu0 = ThreadCpuSeconds(), w0 = Now();
    for (int i = 0; i < ticks; ++i) TrayForm->TimerMainTimer();
    double cpu1 = ThreadCpuSeconds(), w1 = Now();
    TrayForm->TimerMain->SetEnabled(false);
    const double tickCpu = (cpu1 - cpu0) / ticks;
    std::printf("heartbeat tick: %.1f us CPU, %.1f us wall (mean of %d, every fifth one slow)\n", tickCpu * 1e6,
                (w1 - w0) * 1e6 / ticks, ticks);
    // Four ticks a second are what the idle program does.
    const double idleShare = tickCpu * 4 * 100;
    std::printf("idle CPU from the heartbeat: %.3f %% of one core (goal at most 0.1 %%: %s)\n", idleShare,
                idleShare <= 0.1 ? "met" : "NOT met");
    app.reset();
    return 0;
}
