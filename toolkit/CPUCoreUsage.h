// Per-core processor usage: one performance-counter query holding
// "\Processor(*/*)\% Processor Time" expanded to every processor instance,
// the total ("_Total") last. pdh.dll is bound at run time.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

struct TCPUCounter {
    std::wstring Path;  // the full counter path as expanded
    void* Handle;       // PDH_HCOUNTER
    int CPU;            // last value in percent, rounded
};

extern void* CPUCoreQuery;                  // PDH_HQUERY; 0 while no query is open
extern std::vector<TCPUCounter> CPUCounters;  // expansion order, the total last
extern bool CPUCoreError;                   // no query, no expansion or no counter

// Opens the query (closing one that is open), adds one counter per
// instance and takes the first sample.
void CPUCoreOpen();
// Takes a sample; a counter whose value cannot be read keeps its last one.
void CPUCoreCollect();
// Closes the query and forgets its counters.
void CPUCoreClose();

// The performance functions the unit calls. Normally bound from pdh.dll on
// first use; a test may put its own in place (nullptr restores pdh.dll).
struct CPUCorePdhFunctions {
    LONG(WINAPI* OpenQuery)(LPCWSTR source, DWORD_PTR user, void** query);
    LONG(WINAPI* ExpandWildCardPath)(LPCWSTR source, LPCWSTR pattern, LPWSTR buffer,
                                     DWORD* length, DWORD flags);
    LONG(WINAPI* AddCounter)(void* query, LPCWSTR path, DWORD_PTR user, void** counter);
    LONG(WINAPI* CollectQueryData)(void* query);
    LONG(WINAPI* GetFormattedCounterValue)(void* counter, DWORD format, DWORD* type,
                                           void* value);  // PDH_FMT_COUNTERVALUE
    LONG(WINAPI* CloseQuery)(void* query);
};
void CPUCoreSetPdhFunctions(const CPUCorePdhFunctions* functions);
