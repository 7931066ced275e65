// The taskbar buttons of the program's windows. The application window is
// hidden, so shown windows add their own button through one shell
// taskbar-list object and remove it when they close. One flag for all
// windows: while one button stands, further adds do nothing.
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include "gui/Handles.h"

extern gui::ComPtr<ITaskbarList> TaskBarIntf;
extern bool TaskBarTabAdded;

void TaskBarInit();
void TaskBarFree();
void TaskBarAddTab(HWND wnd);
void TaskBarDeleteTab(HWND wnd);
// When the window now stands on another monitor than `monitor`, its button
// moves to that monitor's taskbar and `monitor` names the new one.
void TaskBarFollowMonitor(HWND wnd, int& monitor);
