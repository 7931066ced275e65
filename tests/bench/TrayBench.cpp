// Measures the start-up beside the bare tray program, the creation of the
// main form and the cost of one heartbeat tick.
//   wine build/bin/TrayBench.exe [ticks, default 2000] [rounds, default 3]
// Prints, for each round, from process creation (start delay 0, every
// history and favourites list full) to the tray icons being registered and
// to the last form being created, for BareTray and for Orvandel, with the
// goal: Orvandel's start to its icons at most twice the bare program's
// start to its icon in the same round. Then the in-process creation of the
// main form and the time its pictures take to draw, the mean CPU time of
// one tick, and the share of one core the heartbeat takes while idle. Uses
// the settings folder of the prefix it runs in: run it in a scratch prefix
// (scripts/bench does).
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/CPUPictures.h"
#include "app/Globals.h"
#include "app/Tray.h"
#include "app/UsageIcon.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "tests/bench/BenchClock.h"
#include "tests/bench/BenchLists.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using bench::Now;
using bench::ThreadCpuSeconds;

namespace {

// The taskbar makes one tooltip window of its own for each tray icon.
int TrayIconCount() {
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    int n = 0;
    for (HWND w : FindTopWindows(L"tooltips_class32"))
        if (taskbar && ::GetWindow(w, GW_OWNER) == taskbar) ++n;
    return n;
}

bool HasWindow(const wchar_t* cls, DWORD pid) {
    for (HWND w : FindTopWindows(cls))
        if (WindowProcessId(w) == pid) return true;
    return false;
}

struct StartTimes {
    bool ok = false;
    int icons = 0;
    double iconsMs = 0;      // to the last of its icons
    double firstIconMs = 0;  // to its first icon
    std::vector<double> windowMs;  // to each window class's first window
    double LastFormMs() const { return windowMs.empty() ? 0 : windowMs.back(); }
};

// Starts the program and clocks, from just before its creation, each new
// tray icon and the first window of each class, in the order the program
// makes them; the last class is its last form, made after the icons.
StartTimes TimeStart(const std::wstring& exe, const std::vector<const wchar_t*>& windows, ChildProcess& p) {
    StartTimes t;
    t.windowMs.assign(windows.size(), 0);
    const int before = TrayIconCount();
    int seen = before;
    size_t next = 0;
    const double t0 = Now();
    p = ChildProcess::Start(exe);
    t.ok = p.Started() && WaitUntil(
                              [&] {
                                  const int n = TrayIconCount();
                                  const double at = (Now() - t0) * 1000;
                                  if (n > seen) {
                                      if (seen == before) t.firstIconMs = at;
                                      t.iconsMs = at;
                                      seen = n;
                                  }
                                  while (next < windows.size() && HasWindow(windows[next], p.Pid()))
                                      t.windowMs[next++] = at;
                                  return next == windows.size() && seen > before;
                              },
                              30000, 1);
    t.icons = seen - before;
    return t;
}

// Closes it as a user would and waits until it has ended. The taskbar keeps
// the tooltip window of a removed icon: each start counts from the number
// there is before it.
void CloseAndWait(ChildProcess& p, HWND window) {
    if (window) SendClose(window);
    if (!p.WaitExit(30000)) p.Terminate();
}

HWND WindowOf(const wchar_t* cls, DWORD pid) {
    for (HWND w : FindTopWindows(cls))
        if (WindowProcessId(w) == pid) return w;
    return nullptr;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The windows Orvandel makes at start, in their order: the application
// window, the main form, the forms the main form makes, then the two the
// program entry makes after it.
const std::vector<const wchar_t*> kOrvandelWindows = {
    L"TApplication", L"TTrayForm",    L"TPanelForm", L"TRAMForm",   L"THisForm",     L"TLaunchForm",
    L"TBtnForm",     L"TDriveForm",   L"TIMEIconForm", L"TExeCmdForm", L"TSPDirForm", L"TIMEExeForm",
    L"TAdrJumpForm"};

void ProcessStarts(int rounds) {
    for (HWND w : FindTopWindows(L"TTrayForm")) SendClose(w);
    ScratchDir dir;
    bench::ClearSettings();
    bench::WriteFullLists(dir);
    std::vector<double> ratios;
    std::vector<std::vector<double>> windowMs(kOrvandelWindows.size());
    std::vector<double> iconsMs;
    for (int r = 0; r < rounds; ++r) {
        ChildProcess bare, orv;
        const StartTimes b = TimeStart(BinDir() + L"BareTray.exe", {L"BareTray"}, bare);
        CloseAndWait(bare, WindowOf(L"BareTray", bare.Pid()));
        const StartTimes o = TimeStart(BinDir() + L"Orvandel.exe", kOrvandelWindows, orv);
        CloseAndWait(orv, WaitForTrayForm(orv.Pid(), 5000));
        if (!b.ok || !o.ok) {
            std::printf("round %d: %s did not start\n", r + 1, b.ok ? "Orvandel" : "BareTray");
            continue;
        }
        std::printf("round %d: bare: icon %.0f ms, window %.0f ms; Orvandel: first icon %.0f ms, %d icons %.0f ms, "
                    "last form %.0f ms; icons / bare icon %.2f\n",
                    r + 1, b.iconsMs, b.LastFormMs(), o.firstIconMs, o.icons, o.iconsMs, o.LastFormMs(),
                    o.iconsMs / b.iconsMs);
        ratios.push_back(o.iconsMs / b.iconsMs);
        iconsMs.push_back(o.iconsMs);
        for (size_t i = 0; i < kOrvandelWindows.size(); ++i) windowMs[i].push_back(o.windowMs[i]);
    }
    bench::ClearSettings();
    // Where Orvandel's start goes: each step ends where the next window
    // appears (a form's window is made before its create event runs); the
    // icons are registered at the end of the main form's create event.
    std::printf("Orvandel's start by step (medians, ms from process creation):\n");
    double from = 0;
    for (size_t i = 0; i < kOrvandelWindows.size(); ++i) {
        const double at = Median(windowMs[i]);
        std::printf("  %-13s window at %6.0f  (+%4.0f)\n", gui::WideToUtf8(kOrvandelWindows[i]).c_str(), at,
                    at - from);
        from = at;
        if (i + 1 < kOrvandelWindows.size() && std::wstring(kOrvandelWindows[i + 1]) == L"TIMEExeForm") {
            const double icons = Median(iconsMs);
            std::printf("  %-13s          %6.0f  (+%4.0f)\n", "tray icons", icons, icons - from);
            from = icons;
        }
    }
    const double ratio = Median(ratios);
    std::printf("start to tray icons, median of %zu rounds: %.2f x the bare program's (goal at most 2: %s)\n",
                ratios.size(), ratio, !ratios.empty() && ratio <= 2.0 ? "met" : "NOT met");
}

// The pictures the main form draws for the tray icons, drawn again.
void PictureTimes() {
    gui::TImageList num(nullptr, 32, 32), cpu(nullptr, 16, 16), ram(nullptr, 16, 16), level(nullptr, 32, 32),
        mirt(nullptr, 32, 32);
    gui::TIcon still;
    const double t0 = Now();
    cpu_pictures::FillDigital(num);
    const double t1 = Now();
    cpu_pictures::FillNumbers(cpu, gui::clLime);
    cpu_pictures::FillNumbers(ram, gui::clAqua);
    const double t2 = Now();
    cpu_pictures::FillLevel(level);
    cpu_pictures::FillClassic(mirt);
    cpu_pictures::DrawClassicStill(still);
    const double t3 = Now();
    std::printf("pictures: digital %.1f ms, numbers (two lists) %.1f ms, level and classic %.1f ms\n",
                (t1 - t0) * 1000, (t2 - t1) * 1000, (t3 - t2) * 1000);
}

}  // namespace

// The set-up of a text tray icon as both tray icons get it at start, before
// they are shown, and one change of a shown-nowhere icon sent to the shell.
void TextIconTimes() {
    TTextTrayIcon first(nullptr), second(nullptr);
    const double t0 = Now();
    usage_icon::SetUpTextIcon(first);
    const double t1 = Now();
    usage_icon::SetUpTextIcon(second);
    const double t2 = Now();
    const int n = 20;
    for (int i = 0; i < n; ++i) second.Refresh();
    const double t3 = Now();
    std::printf("text icon set-up: %.1f ms the first time, %.1f ms the second; one change sent to the shell: "
                "%.2f ms\n",
                (t1 - t0) * 1000, (t2 - t1) * 1000, (t3 - t2) * 1000 / n);
}

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    ProcessStarts(rounds);

    ScratchDir dir;
    DataFolder = dir.Path();
    auto app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->ShowMainForm = false;
    double t0 = Now();
    app->CreateForm(TrayForm);
    double t1 = Now();
    std::printf("main form creation (in process): %.1f ms\n", (t1 - t0) * 1000);
    PictureTimes();
    TextIconTimes();

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
