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

int GetRAMUsage() {
    const MEMORYSTATUSEX s = ReadStatus();
    if (s.dwMemoryLoad <= 100) return static_cast<int>(s.dwMemoryLoad);
    // Some systems report a load beyond any percentage; the share of
    // physical memory in use is what the load stands for. When more is said
    // to be available than there is in all, nothing is known to be in use.
    if (s.ullTotalPhys == 0 || s.ullAvailPhys > s.ullTotalPhys) return 0;
    return static_cast<int>((s.ullTotalPhys - s.ullAvailPhys) * 100 / s.ullTotalPhys);
}

int64_t GetTotalRAM() { return static_cast<int64_t>(ReadStatus().ullTotalPhys); }
