// Total processor usage: one process-wide performance-counter query for
// "\Processor(_Total)\% Processor Time", bound to pdh.dll at run time.
#pragma once

// PDH_HQUERY / PDH_HCOUNTER; 0 while no query is open.
extern void* CPUUsageQuery;
extern void* CPUUsageCounter;

// (Re)opens the query and takes the first sample. Failures are silent.
void CPUUsageOpen();
// Percent since the previous sample, rounded (halves to even); -1 without a query.
int CPUUsageGet();
void CPUUsageClose();
