// Looking at, comparing and acting on the top-level windows of other
// programs: the foreground window and its focus and caret, window texts and
// program files, the filters that decide which windows count as program
// windows or file dialogs, Explorer's address bar, the desktop and the
// taskbar. Texts and class names are read into 260-character buffers cut at
// the first NUL; nothing here throws. The searches keep their state in the
// unit globals below and are not reentrant (GUI thread only).
#pragma once

#include <windows.h>
#include <string>

// Class searched for by FindChildWindowByClass.
extern std::wstring FindChildClassName;
// Result of the last child search.
extern HWND FoundChildWnd;
// The last window found to hold the desktop's icon view.
extern HWND DesktopViewHostWnd;
// The last taskbar window found.
extern HWND TaskbarWnd;

// Brings the window to the foreground against the foreground lock; true
// when it is in front afterwards.
bool ForceForegroundWindow(HWND wnd);
// SetFocus with the calling thread's input attached to the foreground thread.
void SetFocusAcrossThreads(HWND wnd);
// The focus window of the foreground thread; 0 when it cannot be read.
HWND GetForegroundFocusWindow();
// The caret of the foreground window's focused control, in screen
// coordinates; false for the program's own foreground window.
bool GetForegroundCaretPos(POINT& pt);

// GetWindowRect, false for a minimised window parked at -32000, -32000.
bool GetWindowRectUnlessMinimized(HWND wnd, RECT& r);
// Position and size from GetWindowRectUnlessMinimized; outputs untouched on false.
bool GetWindowBounds(HWND wnd, int& x, int& y, int& w, int& h);

// Title, class and long program path of a visible, titled window; all empty otherwise.
void GetWindowTitleClassExe(HWND wnd, std::wstring& title, std::wstring& className,
                            std::wstring& exePath);
HWND GetWindowUnderCursor();
// The window under the cursor and, when there is one, its text and class.
HWND GetWindowUnderCursorInfo(std::wstring& title, std::wstring& className);

// The window reached by following GetParent (parent or owner) to the end.
HWND GetTopLevelWindow(HWND wnd);
// The window itself or its nearest ancestor that is visible and has a
// caption; a window without a parent ends the search.
HWND GetCaptionedAncestor(HWND wnd);

// The program file of the window's process; '' when it cannot be read.
void GetWindowExePath(HWND wnd, std::wstring& path);
bool CanQueryWindowProcess(HWND wnd);
// A store app's core window, or its frame without the core window in it.
bool IsBareUwpWindow(HWND wnd, const std::wstring& className);
// The next visible window below wnd in Z order; 0 at the end.
HWND GetNextVisibleWindow(HWND wnd);

// The first descendant of parent whose class is exactly className; 0 when none.
HWND FindChildWindowByClass(HWND parent, const std::wstring& className);
BOOL CALLBACK FindChildClassEnumProc(HWND wnd, LPARAM data);

// Visible, titled, not minimised, not the desktop; with onScreenOnly also
// on a monitor unless maximised.
bool IsNormalAppWindow(HWND wnd, bool onScreenOnly);
// Whether the window may stand in a list of running program windows. The
// outputs are filled whenever the window has passed the size tests.
bool IsListableAppWindow(HWND wnd, std::wstring& exePath, std::wstring& title,
                         std::wstring& className);
bool IsFileDialogWindow(HWND wnd);
// The existing folder shown in an Explorer window's address bar; '' otherwise.
void GetExplorerAddressBarPath(HWND explorerWnd, std::wstring& path);

// The first "Progman" or "WorkerW" window holding a "SHELLDLL_DefView"
// (also stored in DesktopViewHostWnd); 0 when none.
HWND FindDesktopViewHostWindow();
BOOL CALLBACK FindDesktopViewEnumProc(HWND wnd, LPARAM data);
// "Shell_TrayWnd" (also stored in TaskbarWnd).
HWND FindTaskbarWindow();
