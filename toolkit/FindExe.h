// Running programs found by walking the top-level windows: the window of the
// program at a path, and whether a program of a name has any window at all.
// One search at a time, GUI thread only.
#pragma once

#include <windows.h>
#include <string>

// The searched path and the window found, for the enumeration callback.
extern std::wstring FindExePath;
extern HWND FindExeWnd;

// The first visible, titled top-level window whose program path equals
// exePath ignoring case; 0 when none.
HWND FindWindowByExe(const std::wstring& exePath);
// Whether any top-level window (hidden ones too) belongs to a program of
// that file name, compared ignoring case.
bool IsExeRunning(const std::wstring& exeName);
