// What the road tests, which drive the whole program from outside, share:
// finding the CPU icon in the taskbar's notification area by its tip, what
// a failure prints, counting the program's open menus, and a copied text
// whose readers are known.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace testing_support {

// The point of the first icon of the taskbar's notification area whose
// tool tip isIcon accepts, found as a user finds it: the pointer rests on
// each icon from the right end until the icon's tip shows. Icons left by
// programs that have ended go away as the pointer passes over them, as on
// Windows. {-1, -1} when no icon shows such a tip; `tips`, when given, gets
// the tips read, in brackets, for a failure's message.
POINT TrayIconWithTip(HWND taskbar, const std::function<bool(const std::wstring&)>& isIcon,
                      std::wstring* tips = nullptr);

// The CPU icon in the taskbar's notification area, known by its tip.
// {-1, -1} while it does not show.
bool IsCPUIconTip(const std::wstring& tip);
POINT CPUIconPoint(HWND taskbar);

// Rests the pointer on every icon of the notification area, so icons left
// by programs that have ended go away, then moves it off the taskbar.
void SweepNotificationArea(HWND taskbar);

// The visible top-level windows from the top of the Z order down, one line
// each: handle, class, process and title; what a failure is read against.
std::string VisibleWindowsInZOrder();

// What a road's failure is read against: the icon point the road used, the
// window in front, and the visible windows in Z order.
std::string RoadState(POINT icon);

// Visible pop-up menu windows of that process.
int MenuWindowsOf(DWORD pid);

// The visible history window of that process, or nullptr. With the first
// start's settings the program shows it as the last step of its start, so a
// road waits for it before the user goes on.
HWND HistoryWindowOf(DWORD pid);

// A text put on the clipboard by delayed rendering, as many programs copy:
// the text is handed out when a program asks for it, so the test knows which
// program read the clipboard, and when.
class DelayedClipboardText {
public:
    explicit DelayedClipboardText(std::wstring text);
    bool Put() const { return put_; }
    // The processes that asked for the text, in order.
    const std::vector<DWORD>& Readers() const { return readers_; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void Render();

    std::wstring text_;
    gui::OwnedWindow owner_;
    bool put_ = false;
    std::vector<DWORD> readers_;
};

}  // namespace testing_support
