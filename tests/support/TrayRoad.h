// What the road tests, which drive the whole program from outside, share:
// finding the CPU icon in the taskbar's notification area, counting the
// program's open menus, and a copied text whose readers are known.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Handles.h"

namespace testing_support {

// The CPU icon in the taskbar's notification area: its frame is drawn in
// aqua, and as the first icon the program adds it stands rightmost of the
// program's icons. {-1, -1} while it does not show.
POINT CPUIconPoint(HWND taskbar);

// Icons left by programs that ended without taking them away stay in the
// notification area until the pointer passes over them, as on Windows: the
// pointer is moved along the right half of the taskbar until the area looks
// the same twice in a row, then moved off the taskbar.
void SweepNotificationArea(HWND taskbar);

// The visible top-level windows from the top of the Z order down, one line
// each: handle, class, process and title; what a failure is read against.
std::string VisibleWindowsInZOrder();

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
