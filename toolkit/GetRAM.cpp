#include "toolkit/GetRAM.h"

#include <windows.h>

namespace {

MEMORYSTATUSEX ReadStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);  // 64, the extended record
    if (!::GlobalMemoryStatusEx(&status)) {
        status = MEMORYSTATUSEX{};
        status.dwLength = sizeof(status);
    }
    return status;
}

}  // namespace

int RAMUsageOf(uint32_t reportedLoad, uint64_t totalPhys, uint64_t availPhys) {
    if (reportedLoad <= 100) return static_cast<int>(reportedLoad);
    // Some systems report a load beyond any percentage; the share of
    // physical memory in use is what the load stands for. When more is said
    // to be available than there is in all, nothing is known to be in use.
    if (totalPhys == 0 || availPhys > totalPhys) return 0;
    return static_cast<int>((totalPhys - availPhys) * 100 / totalPhys);
}

int GetRAMUsage() {
    const MEMORYSTATUSEX s = ReadStatus();
    return RAMUsageOf(s.dwMemoryLoad, s.ullTotalPhys, s.ullAvailPhys);
}

int64_t GetTotalRAM() { return static_cast<int64_t>(ReadStatus().ullTotalPhys); }
