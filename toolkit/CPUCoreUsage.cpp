#include "toolkit/CPUCoreUsage.h"

#include <pdh.h>
#include <cmath>

void* CPUCoreQuery = nullptr;
std::vector<TCPUCounter> CPUCounters;
bool CPUCoreError = false;

namespace {

const wchar_t kPattern[] = L"\\Processor(*/*)\\% Processor Time";
const LONG kMoreData = static_cast<LONG>(0x800007D2);  // PDH_MORE_DATA

template <class F>
void Bind(HMODULE m, const char* name, F& fn) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m, name)));
}

const CPUCorePdhFunctions* PdhDll() {
    static const CPUCorePdhFunctions pdh = [] {
        CPUCorePdhFunctions p{};
        if (HMODULE m = ::LoadLibraryW(L"pdh.dll")) {
            Bind(m, "PdhOpenQueryW", p.OpenQuery);
            Bind(m, "PdhExpandWildCardPathW", p.ExpandWildCardPath);
            Bind(m, "PdhAddCounterW", p.AddCounter);
            Bind(m, "PdhCollectQueryData", p.CollectQueryData);
            Bind(m, "PdhGetFormattedCounterValue", p.GetFormattedCounterValue);
            Bind(m, "PdhCloseQuery", p.CloseQuery);
        }
        return p;
    }();
    const bool complete = pdh.OpenQuery && pdh.ExpandWildCardPath && pdh.AddCounter &&
                          pdh.CollectQueryData && pdh.GetFormattedCounterValue && pdh.CloseQuery;
    return complete ? &pdh : nullptr;
}

const CPUCorePdhFunctions* replaced = nullptr;

const CPUCorePdhFunctions* Pdh() { return replaced ? replaced : PdhDll(); }

bool IsTotal(const std::wstring& path) {
    return path.find(L"(_Total)") != std::wstring::npos ||
           path.find(L"(_total)") != std::wstring::npos;
}

// The zero-terminated paths of a list ended by an empty one, the total
// instance moved to the end.
std::vector<std::wstring> SplitPaths(const std::vector<wchar_t>& buffer) {
    std::vector<std::wstring> paths, totals;
    size_t i = 0;
    while (i < buffer.size() && buffer[i] != L'\0') {
        size_t end = i;
        while (end < buffer.size() && buffer[end] != L'\0') ++end;
        std::wstring path(buffer.data() + i, end - i);
        (IsTotal(path) ? totals : paths).push_back(std::move(path));
        i = end + 1;
    }
    paths.insert(paths.end(), totals.begin(), totals.end());
    return paths;
}

}  // namespace

void CPUCoreSetPdhFunctions(const CPUCorePdhFunctions* functions) { replaced = functions; }

void CPUCoreOpen() {
    CPUCoreClose();  // a second open starts afresh instead of adding the counters again
    CPUCoreError = false;
    const CPUCorePdhFunctions* pdh = Pdh();
    if (!pdh || pdh->OpenQuery(nullptr, 0, &CPUCoreQuery) != 0) {
        CPUCoreQuery = nullptr;
        CPUCoreError = true;
        return;
    }
    DWORD length = 0;
    if (pdh->ExpandWildCardPath(nullptr, kPattern, nullptr, &length, 0) == kMoreData) {
        std::vector<wchar_t> buffer(length + 1, L'\0');
        if (pdh->ExpandWildCardPath(nullptr, kPattern, buffer.data(), &length, 0) == 0) {
            // A path the query refuses is left out; the others keep their order.
            for (const std::wstring& path : SplitPaths(buffer)) {
                void* counter = nullptr;
                if (pdh->AddCounter(CPUCoreQuery, path.c_str(), 0, &counter) == 0)
                    CPUCounters.push_back({path, counter, 0});
            }
        }
    }
    if (CPUCounters.empty())
        CPUCoreError = true;
    else
        pdh->CollectQueryData(CPUCoreQuery);  // a rate counter needs two samples
}

void CPUCoreCollect() {
    const CPUCorePdhFunctions* pdh = Pdh();
    if (!CPUCoreQuery || !pdh) return;
    pdh->CollectQueryData(CPUCoreQuery);
    for (TCPUCounter& c : CPUCounters) {
        PDH_FMT_COUNTERVALUE value{};
        if (pdh->GetFormattedCounterValue(c.Handle, PDH_FMT_DOUBLE, nullptr, &value) == 0)
            c.CPU = static_cast<int>(std::nearbyint(value.doubleValue));  // ties to even
    }
}

void CPUCoreClose() {
    if (CPUCoreQuery)
        if (const CPUCorePdhFunctions* pdh = Pdh()) pdh->CloseQuery(CPUCoreQuery);
    // The counters die with their query; no stale handle is kept.
    CPUCoreQuery = nullptr;
    CPUCounters.clear();
}
