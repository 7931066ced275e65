#include "toolkit/CPUUsage.h"

#include <windows.h>
#include <cmath>

void* CPUUsageQuery = nullptr;
void* CPUUsageCounter = nullptr;

namespace {

struct FmtCounterValue {  // PDH_FMT_COUNTERVALUE with a double
    DWORD CStatus;
    double doubleValue;
};

using OpenQueryFn = LONG(WINAPI*)(LPCWSTR, DWORD_PTR, void**);
using AddCounterFn = LONG(WINAPI*)(void*, LPCWSTR, DWORD_PTR, void**);
using CollectFn = LONG(WINAPI*)(void*);
using FormattedFn = LONG(WINAPI*)(void*, DWORD, DWORD*, FmtCounterValue*);
using CloseQueryFn = LONG(WINAPI*)(void*);

const DWORD kFmtDouble = 0x200;

// pdh.dll's functions, loaded on first use and kept for the process.
struct Pdh {
    OpenQueryFn open = nullptr;
    AddCounterFn add = nullptr;
    CollectFn collect = nullptr;
    FormattedFn formatted = nullptr;
    CloseQueryFn close = nullptr;
    bool ok() const { return open && add && collect && formatted && close; }
};

template <class F>
F Bind(HMODULE m, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m, name)));
}

const Pdh& PdhFunctions() {
    static const Pdh pdh = [] {
        Pdh p;
        if (HMODULE m = ::LoadLibraryW(L"pdh.dll")) {
            p.open = Bind<OpenQueryFn>(m, "PdhOpenQueryW");
            p.add = Bind<AddCounterFn>(m, "PdhAddCounterW");
            p.collect = Bind<CollectFn>(m, "PdhCollectQueryData");
            p.formatted = Bind<FormattedFn>(m, "PdhGetFormattedCounterValue");
            p.close = Bind<CloseQueryFn>(m, "PdhCloseQuery");
        }
        return p;
    }();
    return pdh;
}

}  // namespace

void CPUUsageOpen() {
    const Pdh& pdh = PdhFunctions();
    if (!pdh.ok()) return;
    CPUUsageClose();
    if (pdh.open(nullptr, 0, &CPUUsageQuery) != 0) {
        CPUUsageQuery = nullptr;
        return;
    }
    if (pdh.add(CPUUsageQuery, L"\\Processor(_Total)\\% Processor Time", 0, &CPUUsageCounter) != 0)
        return;
    pdh.collect(CPUUsageQuery);  // a rate counter needs two samples
}

int CPUUsageGet() {
    const Pdh& pdh = PdhFunctions();
    if (!CPUUsageQuery || !pdh.ok()) return -1;
    pdh.collect(CPUUsageQuery);
    FmtCounterValue value{};
    if (pdh.formatted(CPUUsageCounter, kFmtDouble, nullptr, &value) != 0) return -1;
    return static_cast<int>(std::nearbyint(value.doubleValue));  // ties to even
}

void CPUUsageClose() {
    if (!CPUUsageQuery) return;
    if (const Pdh& pdh = PdhFunctions(); pdh.ok()) pdh.close(CPUUsageQuery);
    // A closed query handle is never used again, nor closed twice.
    CPUUsageQuery = nullptr;
    CPUUsageCounter = nullptr;
}
