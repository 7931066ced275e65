// Program-wide globals, set once by the program entry.
#pragma once

#include <windows.h>
#include <string>

// The settings folder, with a trailing backslash; every settings, list and
// log file of the program lives there.
extern std::wstring DataFolder;
// The companion folder tool's program, empty when it is not installed.
extern std::wstring BrackwenExe;
// The Windows folder joined with "Explorer.exe"; set by the main form.
extern std::wstring ExplorerPath;
// The single-instance mutex.
extern HANDLE MutexHandle;
