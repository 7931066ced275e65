// Measures the history capture's poll, which runs four times a second for
// the life of the program.
//   wine build/bin/CaptureBench.exe [calls]
// Prints the mean CPU and wall time of one Proc_TimerHis call with nothing
// new (the clipboard unchanged, the same foreground window) and with a new
// clipboard text of 32767 characters (the longest one the default limit of
// 32 x 1024 characters records), and the process's heap growth over the
// unchanged calls.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;
using bench::Now;
using bench::ThreadCpuSeconds;

namespace {

// Bytes in use on the process heap.
size_t HeapInUse() {
    size_t used = 0;
    PROCESS_HEAP_ENTRY e{};
    HANDLE heap = ::GetProcessHeap();
    ::HeapLock(heap);
    while (::HeapWalk(heap, &e))
        if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += e.cbData;
    ::HeapUnlock(heap);
    return used;
}

bool PutText(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    bool ok = false;
    if (::EmptyClipboard()) {
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            std::memcpy(::GlobalLock(mem), text.c_str(), bytes);
            ::GlobalUnlock(mem);
            ok = ::SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
            if (!ok) ::GlobalFree(mem);
        }
    }
    ::CloseClipboard();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    int calls = argc > 1 ? std::atoi(argv[1]) : 4000;
    if (calls < 10) calls = 10;

    ScratchDir dir;
    DataFolder = dir.Path();
    auto app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->ShowMainForm = false;
    app->CreateForm(TrayForm);
    TrayForm->TimerMain->SetEnabled(false);

    HWND fg = ::GetForegroundWindow();
    if (!PutText(L"start")) std::printf("the clipboard could not be set\n");
    HisForm->Capture.Proc_TimerHis(fg, true);  // takes the text and the window once

    size_t heap0 = HeapInUse();
    double cpu0 = ThreadCpuSeconds(), w0 = Now();
    for (int i = 0; i < calls; ++i) HisForm->Capture.Proc_TimerHis(fg, false);
    double cpu1 = ThreadCpuSeconds(), w1 = Now();
    size_t heap1 = HeapInUse();
    std::printf("nothing new: %.2f us CPU, %.2f us wall per call (mean of %d); heap %+ld bytes\n",
                (cpu1 - cpu0) * 1e6 / calls, (w1 - w0) * 1e6 / calls, calls,
                static_cast<long>(heap1) - static_cast<long>(heap0));

    const int newCalls = calls / 10;
    std::wstring text(32767, L'x');
    double cpu = 0, wall = 0;
    int recorded = 0;
    for (int i = 0; i < newCalls; ++i) {
        std::wstring n = std::to_wstring(i);
        text.replace(0, n.size(), n);
        if (!PutText(text)) continue;
        double c0 = ThreadCpuSeconds(), t0 = Now();
        HisForm->Capture.Proc_TimerHis(fg, false);
        cpu += ThreadCpuSeconds() - c0;
        wall += Now() - t0;
        const std::wstring& last = HisForm->Capture.MClipB;
        if (last.size() == text.size() && last.compare(0, n.size(), n) == 0) ++recorded;
    }
    std::printf("new 32767-character text: %.1f us CPU, %.1f us wall per call (mean of %d, %d recorded)\n",
                cpu * 1e6 / newCalls, wall * 1e6 / newCalls, newCalls, recorded);
    app.reset();
    return 0;
}
