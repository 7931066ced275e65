// Measures Orvandel's memory beside a bare tray program (BareTray: one
// hidden window, one tray icon, a 250 ms timer, one thread waiting on a
// folder's change notification) under the same Wine.
//   wine build/bin/MemoryBench.exe [idle seconds, default 60] [detail]
// Prints private bytes and working set after start with empty lists, with
// full lists (every history and favourites list at 100 entries, the
// clipboard texts 1 KB each) and again after the idle time, with the goal:
// private bytes at most the bare program's + 5 MB with full lists. Then,
// with full lists, the private bytes of both programs by region (their own
// images and each library's written pages, the main thread's stack, the
// other threads' stacks, thread blocks, heaps, the rest) and each thread's
// stack, committed and touched; with "detail" also the regions no kind
// claims and the mapped files. The idle CPU share is TrayBench's: this Wine
// reports no CPU time of another process. Uses the settings folder of the
// prefix it runs in: run it in a scratch prefix (scripts/bench does).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "tests/bench/BenchLists.h"
#include "tests/bench/ProcessRegions.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"

using namespace testing_support;

namespace {

struct Figures {
    double privateMB = 0, workingMB = 0;
};

double MB(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

Figures MemoryOf(HANDLE process) {
    Figures f;
    f.privateMB = MB(bench::RegionsOf(process).privateBytes);
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof(c);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof(c)))
        f.workingMB = MB(c.WorkingSetSize);
    return f;
}

// Each program's own image is one row, whatever its name.
std::wstring RowName(const std::wstring& kind, const wchar_t* exe) {
    return kind == std::wstring(L"image ") + exe ? L"image of the program itself" : kind;
}

// Private bytes by kind of region, Orvandel beside the bare program; with
// detail also each thread's stack and the regions no kind claims.
void PrintRegions(HANDLE bareProcess, HANDLE orvProcess, bool detail) {
    const bench::ProcessRegions bare = bench::RegionsOf(bareProcess), orv = bench::RegionsOf(orvProcess);
    std::map<std::wstring, std::pair<SIZE_T, SIZE_T>> rows;
    for (const auto& [kind, bytes] : bare.byKind) rows[RowName(kind, L"BareTray.exe")].first += bytes;
    for (const auto& [kind, bytes] : orv.byKind) rows[RowName(kind, L"Orvandel.exe")].second += bytes;
    std::printf("private bytes by region (KB)           bare   Orvandel  difference\n");
    SIZE_T smallBare = 0, smallOrv = 0;
    for (const auto& [kind, both] : rows) {
        if (both.first < 64 * 1024 && both.second < 64 * 1024) {
            smallBare += both.first;
            smallOrv += both.second;
            continue;
        }
        std::printf("  %-34s %8.0f %9.0f %+10.0f\n", gui::WideToUtf8(kind).c_str(), both.first / 1024.0,
                    both.second / 1024.0, (static_cast<double>(both.second) - both.first) / 1024.0);
    }
    std::printf("  %-34s %8.0f %9.0f %+10.0f\n", "the rest, each below 64 KB", smallBare / 1024.0, smallOrv / 1024.0,
                (static_cast<double>(smallOrv) - smallBare) / 1024.0);
    std::printf("  %-34s %8.0f %9.0f %+10.0f\n", "total", bare.privateBytes / 1024.0, orv.privateBytes / 1024.0,
                (static_cast<double>(orv.privateBytes) - bare.privateBytes) / 1024.0);
    SIZE_T mappedBare = 0, mappedOrv = 0;
    for (const auto& [name, bytes] : bare.mapped) mappedBare += bytes;
    for (const auto& [name, bytes] : orv.mapped) mappedOrv += bytes;
    std::printf("  %-34s %8.0f %9.0f %+10.0f\n", "mapped files (shared, not counted)", mappedBare / 1024.0,
                mappedOrv / 1024.0, (static_cast<double>(mappedOrv) - mappedBare) / 1024.0);
    for (const auto* p : {&bare, &orv}) {
        std::printf("%s threads:\n", p == &bare ? "bare program's" : "Orvandel's");
        for (const bench::ThreadStack& t : p->stacks)
            std::printf("  thread %5lu%s from %-14s stack committed %6.0f KB, touched %5.0f KB\n", t.id,
                        t.main ? " (main)" : "       ", gui::WideToUtf8(t.startModule).c_str(), t.committed / 1024.0,
                        t.touched / 1024.0);
    }
    if (!detail) return;
    for (const auto* p : {&bare, &orv}) {
        std::printf("%s other private regions:\n", p == &bare ? "bare program's" : "Orvandel's");
        for (const auto& [what, bytes] : p->others)
            std::printf("  %8.0f KB %s\n", bytes / 1024.0, gui::WideToUtf8(what).c_str());
        std::printf("%s mapped files:\n", p == &bare ? "bare program's" : "Orvandel's");
        for (const auto& [name, bytes] : p->mapped)
            std::printf("  %8.0f KB %s\n", bytes / 1024.0, gui::WideToUtf8(name).c_str());
    }
}

// Lets a started program finish what it does at start before it is
// measured: until its private bytes have held still for two seconds (at the
// most 30 s; a program still growing then is measured as it is, and said so).
void Settle(HANDLE process) {
    SIZE_T last = 0;
    int same = 0;
    const bool still = WaitUntil(
        [&] {
            const SIZE_T now = bench::RegionsOf(process).privateBytes;
            same = now == last ? same + 1 : 0;
            last = now;
            return same >= 4;
        },
        30000, 500);
    if (!still) std::printf("(private bytes still changing after 30 s)\n");
}

struct Run {
    ChildProcess process;
    bool up = false;
};

Run StartOrvandel() {
    Run r;
    r.process = ChildProcess::Start(BinDir() + L"Orvandel.exe");
    r.up = r.process.Started() && WaitForTrayForm(r.process.Pid(), 60000) != nullptr;
    return r;
}

void Close(Run& r) {
    if (HWND form = WaitForTrayForm(r.process.Pid(), 1000)) SendClose(form);
    if (!r.process.WaitExit(30000)) r.process.Terminate();
}

void Print(const char* what, const Figures& f, const Figures& bare) {
    std::printf("%-34s private %7.1f MB (bare %6.1f, +%5.1f)  working set %7.1f MB (bare %6.1f, +%5.1f)\n", what,
                f.privateMB, bare.privateMB, f.privateMB - bare.privateMB, f.workingMB, bare.workingMB,
                f.workingMB - bare.workingMB);
}

}  // namespace

int main(int argc, char** argv) {
    const double idleSeconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const bool detail = argc > 2 && std::string(argv[2]) == "detail";
    ChildProcess bare = ChildProcess::Start(BinDir() + L"BareTray.exe");
    const bool bareUp = bare.Started() && WaitUntil(
                                              [&] {
                                                  for (HWND w : FindTopWindows(L"BareTray"))
                                                      if (WindowProcessId(w) == bare.Pid()) return true;
                                                  return false;
                                              },
                                              30000);
    if (!bareUp) {
        std::printf("BareTray.exe did not start\n");
        return 1;
    }
    Settle(bare.Get());
    const Figures bareStart = MemoryOf(bare.Get());

    bench::ClearSettings();
    Run empty = StartOrvandel();
    if (!empty.up) {
        std::printf("Orvandel did not start\n");
        return 1;
    }
    Settle(empty.process.Get());
    const Figures emptyStart = MemoryOf(empty.process.Get());
    Close(empty);

    ScratchDir dir;
    bench::ClearSettings();
    bench::WriteFullLists(dir);
    Run full = StartOrvandel();
    if (!full.up) {
        std::printf("Orvandel did not start with full lists\n");
        return 1;
    }
    Settle(full.process.Get());
    const Figures fullStart = MemoryOf(full.process.Get());
    const Figures bareNow = MemoryOf(bare.Get());

    // Memory again after an idle time shows what the heartbeat gathers.
    ::Sleep(static_cast<DWORD>(idleSeconds * 1000));
    const Figures fullIdle = MemoryOf(full.process.Get());
    PrintRegions(bare.Get(), full.process.Get(), detail);
    Close(full);
    bench::ClearSettings();

    Print("after start, empty lists", emptyStart, bareStart);
    Print("after start, full lists", fullStart, bareNow);
    Print("full lists, after the idle time", fullIdle, MemoryOf(bare.Get()));
    const bool memoryOk = fullStart.privateMB <= bareNow.privateMB + 5.0;
    std::printf("goal: private bytes at most bare + 5 MB with full lists: %s\n", memoryOk ? "met" : "NOT met");
    for (HWND w : FindTopWindows(L"BareTray"))
        if (WindowProcessId(w) == bare.Pid()) ::PostMessageW(w, WM_CLOSE, 0, 0);
    bare.WaitExit(10000);
    return 0;
}
