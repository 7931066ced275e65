// Windows version tests, the WOW64 test, and Explorer's setting that shows a
// folder's full path. Each version test has a form on given version numbers,
// used by the plain form with the numbers GetVersionExW reports.
#pragma once

#include <windows.h>

struct TWindowsVersion {
    DWORD Major = 0;
    DWORD Minor = 0;
    DWORD Build = 0;
};

// What GetVersionExW reports (the manifest makes it tell the truth up to 11).
TWindowsVersion CurrentWindowsVersion();

bool IsVistaOrLater(const TWindowsVersion& v);
bool IsWindows7OrLater(const TWindowsVersion& v);
bool IsWindows8OrLater(const TWindowsVersion& v);
bool IsWindows2000(const TWindowsVersion& v);
bool IsWindows11(const TWindowsVersion& v);
bool IsWindows11Build22621OrLater(const TWindowsVersion& v);
bool IsWindows11Build22631OrLater(const TWindowsVersion& v);
// 0, 1 or 4 from the kernel file's revision (the fourth number of its version).
int GetWindows11_22H2MomentLevel(const TWindowsVersion& v, int kernelRevision);
bool IsWindows11_22H2Moment4(const TWindowsVersion& v, int kernelRevision);

bool IsVistaOrLater();
bool IsWindows7OrLater();
bool IsWindows8OrLater();
bool IsWindows2000();
bool IsWindows11();
bool IsWindows11Build22621OrLater();
bool IsWindows11Build22631OrLater();
int GetWindows11_22H2MomentLevel();
bool IsWindows11_22H2Moment4();

// The revision of "NTOSKRNL.EXE" in the system folder; -1 without version information.
int GetKernelFileRevision();

bool IsWow64();

// The CabinetState value: its value; -1 when the key cannot be opened; -2
// when the value is missing or not an integer.
int GetExplorerFullPathSetting();
// Writes 1 or 0 when the key opens; returns the setting read afterwards.
int SetExplorerFullPathSetting(bool enable);
