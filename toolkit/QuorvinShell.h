// Starting documents and programs through the shell, the program associated
// with a file, icons out of files, a picture for a menu item, the hot-key
// edit's key handler, window styles, a list box's scroll range and playing a
// wave file. Icons returned belong to the caller, who destroys them.
#pragma once

#include <windows.h>
#include <string>

#include "gui/Handles.h"
#include "toolkit/QuorvinShortCut.h"

namespace gui {
class TMenuItem;
}

// ShellExecuteW with the main form's window as owner and the default verb;
// the result is not looked at. A string longer than 260 characters starts
// nothing, so a cut path never starts a different file.
void ShellExecuteFile(const std::wstring& fileName, const std::wstring& params,
                      const std::wstring& dir, int showCmd);
// ShellExecuteW with the default verb; its result (above 32 is success).
int ShellExecuteOwned(HWND owner, const std::wstring& fileName, const std::wstring& params,
                      const std::wstring& dir, int showCmd);
// An elevated start ("runas"); whether it was started.
bool ShellExecuteRunAs(HWND owner, const std::wstring& fileName, const std::wstring& params);

// The existing program that opens the file; '' when there is none. A bare
// program name is taken to be in the Windows folder.
void FindExecutableFor(const std::wstring& fileName, std::wstring& exePath);

// The icon of the file itself or of the program associated with it; 0 for
// none and for a path that does not fit the 260-character buffer.
HICON GetAssociatedIcon(const std::wstring& fileName, WORD index);
// Icon number index of the file; index -1 gives the number of icons instead.
// 0 when there is none (also for a file that holds no icons at all).
HICON ExtractFileIcon(const std::wstring& fileName, int index);

// Puts the icon on the menu item as its picture: a bitmap of the icon's size
// filled with the menu colour (so its bottom-left pixel, the transparent
// colour, is the menu colour) with the icon drawn at 0, 0. The item owns the
// bitmap and frees it with itself or the next picture; the icon stays the
// caller's. No icon removes the picture.
void SetMenuItemIcon(gui::TMenuItem* item, HICON icon);

// Key-down handler of a hot-key edit: shows the shortcut text of the key
// with the held modifiers (empty for a modifier alone, Esc, a key without a
// modifier or without a name), puts the caret at the end and sets key to 0.
void HotKeyEditKeyDown(HWND edit, WORD& key, TShiftState shift);

// The window gets no taskbar button.
void SetToolWindowStyle(HWND wnd);
bool SetWindowTopMost(HWND wnd, bool topMost);
// The horizontal scroll range: twice the width of the widest item in the list box's font.
void SetListBoxHorizontalExtent(HWND listBox);
// Plays an existing wave file asynchronously; nothing is reported.
void PlayWaveFile(const std::wstring& fileName);
