// Real input for the special-folder tests: mouse clicks, the wheel and keys
// made with SendInput, and waits that let the application handle messages
// (so the forms' handlers run as in the program).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"

namespace spdir_test {

// Waits for cond with a deadline while the application handles messages.
inline bool WaitApp(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        gui::Application->ProcessMessages();
        if (cond()) return true;
        if (::GetTickCount64() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// Lets queued input and paints be handled (after input whose effect is
// checked with a deadline, never as the synchronisation itself).
inline void PumpApp(DWORD ms) { WaitApp([] { return false; }, ms); }

inline void SendMouse(DWORD flags, POINT screen, DWORD data = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(screen.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    in.mi.dy = static_cast<LONG>(screen.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    in.mi.mouseData = data;
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &in, sizeof(in));
}

// The screen point at (x, y) in the control's client area.
inline POINT At(const gui::TWinControl* c, int x, int y) {
    POINT pt{x, y};
    ::ClientToScreen(c->Handle(), &pt);
    return pt;
}

inline void Click(POINT pt, bool dbl = false) {
    SendMouse(0, pt);
    for (int i = 0; i < (dbl ? 2 : 1); ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN, pt);
        SendMouse(MOUSEEVENTF_LEFTUP, pt);
    }
}

// One notch of the wheel at the point: toward the user (down) or away.
inline void Wheel(POINT pt, bool towardUser) {
    SendMouse(0, pt);
    SendMouse(MOUSEEVENTF_WHEEL, pt, static_cast<DWORD>(towardUser ? -WHEEL_DELTA : WHEEL_DELTA));
}

// Keys pressed in order and released in reverse, as one batch.
inline void Keys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> in;
    for (WORD vk : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        in.push_back(i);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// Types the text as characters, whatever the keyboard layout.
inline void Type(const std::wstring& text) {
    std::vector<INPUT> in;
    for (wchar_t ch : text)
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = ch;
            i.ki.dwFlags = KEYEVENTF_UNICODE | up;
            in.push_back(i);
        }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// The screen point at the centre of a tool button.
inline POINT ButtonPoint(const gui::TToolButton* b) {
    RECT r{};
    ::SendMessageW(b->ToolBar()->Handle(), TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
    return At(b->ToolBar(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The screen point in the middle of a list row.
inline POINT RowPoint(const gui::TListBox* list, int row) {
    const RECT r = list->ItemRect(row);
    return At(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Brings the form to the front and waits until it is there.
inline bool BringToFront(HWND form) {
    ::SetForegroundWindow(form);
    return WaitApp([&] { return ::GetForegroundWindow() == form; }, 10000);
}

}  // namespace spdir_test
