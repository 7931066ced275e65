// The physical memory load and total, each from a fresh GlobalMemoryStatusEx
// call; nothing is cached. A failed call counts as a zeroed status record.
#pragma once

#include <cstdint>

// The memory load in percent (0 to 100); when the system reports a load
// beyond 100, the share of physical memory in use instead.
int GetRAMUsage();
// The total physical memory in bytes.
int64_t GetTotalRAM();
// The percentage GetRAMUsage gives for a status record holding these values.
int RAMUsageOf(uint32_t reportedLoad, uint64_t totalPhys, uint64_t availPhys);
