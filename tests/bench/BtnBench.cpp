// Measures one step of the button watch with ten registered entries and
// nothing to press, the foreground window unchanged (the heartbeat runs it
// four times a second):
//   wine build/bin/BtnBench.exe [steps]
// Prints the mean CPU and wall time of one step, and, for comparison, of
// one step that scans every window (as after a change of the foreground).
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/monitors/Btn.h"
#include "gui/Application.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using bench::Now;
using bench::ThreadCpuSeconds;

int main(int argc, char** argv) {
    int steps = argc > 1 ? std::atoi(argv[1]) : 2000;
    ScratchDir dir;
    DataFolder = dir.Path();
    auto app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->ShowMainForm = false;
    app->CreateForm(TrayForm);
    TrayForm->TimerMain->SetEnabled(false);

    for (int i = 0; i < 10; ++i) {
        TBtnEntry e;
        e[bfProgram] = L"NOPROGRAM" + std::to_wstring(i) + L".EXE";
        e[bfCaption] = L"確認";
        e[bfClass] = L"#32770";
        e[bfButtonCaption] = L"OK";
        e[bfButtonClass] = L"Button";
        BtnForm->ListList.push_back(e);
    }
    BtnForm->MListListC = 10;

    HWND fg = ::GetForegroundWindow();
    BtnForm->Proc_TimerBtn(fg, true);  // the foreground window is finished with
    for (bool changed : {false, true}) {
        int n = changed ? steps / 10 + 1 : steps;
        double cpu0 = ThreadCpuSeconds(), w0 = Now();
        for (int i = 0; i < n; ++i) BtnForm->Proc_TimerBtn(fg, changed);
        double cpu1 = ThreadCpuSeconds(), w1 = Now();
        std::printf("Proc_TimerBtn, 10 entries, %s: %.1f us CPU, %.1f us wall (mean of %d)\n",
                    changed ? "foreground changed (full scan)" : "foreground unchanged",
                    (cpu1 - cpu0) * 1e6 / n, (w1 - w0) * 1e6 / n, n);
    }
    app.reset();
    return 0;
}
