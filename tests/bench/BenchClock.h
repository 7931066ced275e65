// Clocks for the benchmark programs: wall time and this thread's CPU time.
#pragma once

#include <windows.h>

namespace bench {

inline double Seconds(const FILETIME& ft) {
    ULARGE_INTEGER u{{ft.dwLowDateTime, ft.dwHighDateTime}};
    return static_cast<double>(u.QuadPart) / 1e7;
}

inline double ThreadCpuSeconds() {
    FILETIME c, e, k, u;
    ::GetThreadTimes(::GetCurrentThread(), &c, &e, &k, &u);
    return Seconds(k) + Seconds(u);
}

inline double Now() {
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace bench
