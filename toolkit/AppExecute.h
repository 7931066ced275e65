// Starting a program from a full command line with a working folder and a
// show command, optionally placing its main window (position, size or both),
// and optionally waiting until it ends. The window handles of one call are
// kept in unit globals, so calls must not overlap.
#pragma once

#include <windows.h>
#include <string>

// Placement modes.
enum : int { epNone = 0, epPosition = 1, epSize = 2, epPositionSize = 3 };

// The started program's first visible unowned top-level window, and the
// other window found through the parent chain when that differs from it.
extern HWND ExecuteMainWnd;
extern HWND ExecuteSecondWnd;

// Throws gui::Exception with the message cmdLine + "を起動できません。" when
// the program cannot be started.
void ExecuteProgram(const std::wstring& cmdLine, const std::wstring& workDir, int showCmd,
                    DWORD creationFlags, int placeMode, int x, int y, int width, int height,
                    bool wait);
