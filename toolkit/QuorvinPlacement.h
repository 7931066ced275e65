// Placing the program's own windows on the visible screen, the monitor a
// window is on, and the taskbar's position and state.
#pragma once

#include <windows.h>

// Taskbar edge codes of GetTaskbarEdge.
enum : int { TaskbarEdgeNone = -1, TaskbarEdgeTop = 0, TaskbarEdgeBottom = 1, TaskbarEdgeLeft = 2, TaskbarEdgeRight = 3 };

// Placement modes of PlaceWindowInWorkArea (the program itself centres only).
enum : int { PlaceCentre = 10 };

bool IsTaskbarAlwaysOnTop();
// The taskbar's rectangle into r and its edge code.
int GetTaskbarEdge(RECT& r);

// True when no corner and not the centre of the rectangle lies on a monitor.
bool IsRectOffScreen(int x, int y, int w, int h);
// Index in the screen's monitor list of the monitor nearest to the window; 0 when not listed.
int GetWindowMonitorIndex(HWND wnd);

// Centres a window that is not maximised on the primary work area when its
// bounds cannot be read or it lies off every monitor.
void EnsureWindowOnScreen(HWND wnd);
// Moves or sizes the window against the primary work area widened over the
// taskbar; mode 0-14, any other mode leaves it where it is.
void PlaceWindowInWorkArea(HWND wnd, int mode);
