// Measures Orvandel's memory and idle cost beside a bare tray program (one
// hidden window, one tray icon, a 250 ms timer) under the same Wine.
//   wine build/bin/MemoryBench.exe [idle seconds, default 60] [detail]
// Prints private bytes and working set after start with empty lists, with
// full lists (every history and favourites list at 100 entries, the
// clipboard texts 1 KB each) and again after the idle time, with the goal:
// private bytes at most the bare program's + 5 MB with full lists. With
// "detail", where the private bytes lie and the program's threads. The idle
// CPU share is TrayBench's: this Wine reports no CPU time of another
// process. Uses the settings folder of the prefix it runs in: run it in a
// scratch prefix (scripts/bench does).
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/history/HisFiles.h"
#include "app/history/HisLists.h"
#include "gui/Exception.h"
#include "tests/bench/BenchClock.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"

using namespace testing_support;

namespace {

struct Figures {
    double privateMB = 0, workingMB = 0;
};

// Private bytes are counted from the process's address space: committed
// private regions and the written (copy-on-write) pages of mapped images,
// which is what Windows reports as private bytes. This Wine's own counter
// stays at 0 when the program runs through an emulator, and its working set
// holds the emulator's memory too.
// The private bytes by where they lie: heaps and other private regions, and
// each image's written pages, largest first.
void PrintPrivateBreakdown(const char* what, HANDLE process) {
    std::map<std::wstring, SIZE_T> by;
    MEMORY_BASIC_INFORMATION mbi{};
    for (char* at = nullptr; ::VirtualQueryEx(process, at, &mbi, sizeof(mbi)) == sizeof(mbi);) {
        if (mbi.State == MEM_COMMIT) {
            const bool written = mbi.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE);
            if (mbi.Type == MEM_PRIVATE) {
                wchar_t base[64];
                ::swprintf(base, 64, L"private allocation at %p", mbi.AllocationBase);
                by[base] += mbi.RegionSize;
            } else if (mbi.Type == MEM_IMAGE && written) {
                wchar_t name[MAX_PATH] = L"(image)";
                ::GetModuleFileNameExW(process, static_cast<HMODULE>(mbi.AllocationBase), name, MAX_PATH);
                std::wstring n = name;
                by[n.substr(n.find_last_of(L'\\') + 1)] += mbi.RegionSize;
            }
        }
        char* next = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= at) break;
        at = next;
    }
    // The threads, by the module their start address lies in.
    using QueryThread = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te{};
    te.dwSize = sizeof(te);
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te)) {
        if (te.th32OwnerProcessID != ::GetProcessId(process)) continue;
        HANDLE t = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
        void* start = nullptr;
        if (t && query) query(t, 9, &start, sizeof(start), nullptr);  // ThreadQuerySetWin32StartAddress
        if (t) ::CloseHandle(t);
        wchar_t name[MAX_PATH] = L"?";
        MEMORY_BASIC_INFORMATION m{};
        if (start && ::VirtualQueryEx(process, start, &m, sizeof(m)))
            ::GetModuleFileNameExW(process, static_cast<HMODULE>(m.AllocationBase), name, MAX_PATH);
        std::printf("  thread %lu starts at %p in %s\n", te.th32ThreadID, start, gui::WideToUtf8(name).c_str());
    }
    ::CloseHandle(snap);
    std::vector<std::pair<SIZE_T, std::wstring>> sorted;
    for (const auto& [name, bytes] : by) sorted.emplace_back(bytes, name);
    std::sort(sorted.rbegin(), sorted.rend());
    std::printf("%s, private bytes by place:\n", what);
    for (const auto& [bytes, name] : sorted)
        if (bytes >= 64 * 1024)
            std::printf("  %8.1f KB  %s\n", static_cast<double>(bytes) / 1024.0, gui::WideToUtf8(name).c_str());
}

Figures MemoryOf(HANDLE process) {
    Figures f;
    SIZE_T privateBytes = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    for (char* at = nullptr; ::VirtualQueryEx(process, at, &mbi, sizeof(mbi)) == sizeof(mbi);) {
        if (mbi.State == MEM_COMMIT) {
            const bool written = mbi.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE);
            if (mbi.Type == MEM_PRIVATE || (mbi.Type == MEM_IMAGE && written)) privateBytes += mbi.RegionSize;
        }
        char* next = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= at) break;
        at = next;
    }
    f.privateMB = static_cast<double>(privateBytes) / (1024.0 * 1024.0);
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof(c);
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof(c)))
        f.workingMB = static_cast<double>(c.WorkingSetSize) / (1024.0 * 1024.0);
    return f;
}

// Lets a started program finish what it does at start before it is measured.
void Settle() { ::Sleep(5000); }

void ClearSettings() {
    const std::wstring folder = SettingsFolder();
    WIN32_FIND_DATAW fd{};
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + fd.cFileName).c_str());
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}

// Every history and favourites list at 100 entries that pass the lists'
// pruning: real files, folders and programs in a scratch folder, and
// clipboard texts of 1 KB.
void WriteFullLists(const ScratchDir& dir) {
    THisLists lists;
    for (int i = 0; i < 100; ++i) {
        const std::wstring n = std::to_wstring(i);
        const std::wstring file = dir / (L"文書" + n + L".txt"), folder = dir / (L"フォルダ" + n);
        const std::wstring program = dir / (L"道具" + n + L".exe");
        WriteBytes(file, "x");
        WriteBytes(program, "MZ");
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int k = 0; k < 2; ++k) {
            const int base = k * kHisCategories;
            std::wstring text(1024, static_cast<wchar_t>(L'あ' + i % 80));
            text += L" " + n + L" " + std::to_wstring(k);
            lists.MFileList[base + 0].Add(text);
            lists.MFileList[base + 1].Add(file);
            lists.MFileList[base + 2].Add(program);
            lists.MFileList[base + 3].Add(folder);
            lists.MFileList[base + 4].Add(folder + L"\\");
        }
    }
    for (int c = 0; c < kHisCategories; ++c) lists.Settings.MHisListNum[c] = 100;
    ::CreateDirectoryW(SettingsFolder().c_str(), nullptr);
    SaveHisLists(SettingsFolder(), lists);
    SaveHisIni(HisIniFileName(SettingsFolder()), lists.Settings);
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
    if (!bare.Started()) {
        std::printf("BareTray.exe did not start\n");
        return 1;
    }
    Settle();
    const Figures bareStart = MemoryOf(bare.Get());

    ClearSettings();
    Run empty = StartOrvandel();
    if (!empty.up) {
        std::printf("Orvandel did not start\n");
        return 1;
    }
    Settle();
    const Figures emptyStart = MemoryOf(empty.process.Get());
    Close(empty);

    ScratchDir dir;
    ClearSettings();
    WriteFullLists(dir);
    Run full = StartOrvandel();
    if (!full.up) {
        std::printf("Orvandel did not start with full lists\n");
        return 1;
    }
    Settle();
    const Figures fullStart = MemoryOf(full.process.Get());
    const Figures bareNow = MemoryOf(bare.Get());

    // Memory again after an idle time shows what the heartbeat gathers.
    ::Sleep(static_cast<DWORD>(idleSeconds * 1000));
    const Figures fullIdle = MemoryOf(full.process.Get());
    if (detail) {
        PrintPrivateBreakdown("bare tray program", bare.Get());
        PrintPrivateBreakdown("Orvandel with full lists", full.process.Get());
    }
    Close(full);
    ClearSettings();

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
