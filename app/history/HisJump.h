// Sending a folder to the window the user was in: typing it into a file
// dialog's file-name box, and typing it into an Explorer window's address
// bar (THisTarget::Proc_PasteDialogPath and Proc_JumpExplorer, in HisJump.cpp).
// Both work on other programs' windows with window messages and
// synthesized input only; these are the searches and the pace they share.
#pragma once

#include <windows.h>

#include <string>

// The window's class name; '' for none.
std::wstring WindowClassName(HWND wnd);

// The pause between the steps for the settings choice [Address] Timing:
// 0 100 ms, 1 200 ms, 2 300 ms, 3 50 ms, 4 25 ms; any other choice 100 ms.
DWORD PasteStepDelay(int timing);

// The first window of class "Edit" among all descendants of the dialog, in
// the order of child-window enumeration; 0 if none.
HWND FindDialogEdit(HWND dialog);

// The folder view of an Explorer window: the first "DirectUIHWND" or else
// "SysListView32" child of its first "SHELLDLL_DefView" descendant, or else
// the first "SysListView32" anywhere below that view; 0 if none.
HWND FindExplorerView(HWND explorerWnd);
