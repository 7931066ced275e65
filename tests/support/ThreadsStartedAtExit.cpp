// Linked into every test program. Wine ends a process's other threads at its
// exit; a thread that is still starting at that moment takes the whole
// process down with a segmentation fault, after every case has passed. The
// test framework starts such threads itself (one that watches each thread
// reporting a result), so at its exit the program first waits until every
// thread it has has started.
#include <windows.h>
#include <tlhelp32.h>

#include <atomic>

#include "gui/Handles.h"

namespace {

// The threads running: the one the program began with, and each that has
// started and has not ended.
std::atomic<LONG> started{1};

void NTAPI ThreadNotice(PVOID, DWORD reason, PVOID) {
    if (reason == DLL_THREAD_ATTACH) ++started;
    else if (reason == DLL_THREAD_DETACH) --started;
}

// The threads the system holds for this process, those still starting too.
LONG ThreadsOfThisProcess() {
    const gui::Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    LONG n = 0;
    for (BOOL ok = ::Thread32First(snapshot.get(), &entry); ok; ok = ::Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++n;
    return n;
}

// Destroyed after main has returned, before the process ends.
struct WaitForStartingThreads {
    ~WaitForStartingThreads() {
        const ULONGLONG end = ::GetTickCount64() + 5000;
        while (ThreadsOfThisProcess() > started && ::GetTickCount64() < end) ::Sleep(5);
    }
} waitAtExit;

}  // namespace

// The loader calls the executable's thread-local-storage callbacks in every
// thread as it starts and ends.
extern "C" __attribute__((used, section(".CRT$XLB"))) const PIMAGE_TLS_CALLBACK orvThreadNotice = ThreadNotice;
