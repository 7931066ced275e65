// A user at the mouse and keyboard of a window of the test's own process:
// synthesized clicks on controls, list rows, tool buttons and tabs, and
// waits that let the application handle the messages meanwhile (so the
// waits also work inside a modal window's loop).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Form.h"
#include "gui/Timer.h"
#include "gui/WinControl.h"

namespace testing_support {

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

inline void SendMouse(DWORD flags, POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(screen.x * 65535.0 / (::GetSystemMetrics(SM_CXSCREEN) - 1) + 0.5);
    in.mi.dy = static_cast<LONG>(screen.y * 65535.0 / (::GetSystemMetrics(SM_CYSCREEN) - 1) + 0.5);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &in, sizeof(in));
}

// A left click (or double click) at a screen point; the application handles
// the messages for a moment afterwards, so a second click is no double click.
inline void ClickScreen(POINT pt, bool dbl = false) {
    SendMouse(0, pt);
    for (int i = 0; i < (dbl ? 2 : 1); ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN, pt);
        SendMouse(MOUSEEVENTF_LEFTUP, pt);
    }
    WaitApp([] { return false; }, dbl ? 150 : ::GetDoubleClickTime() + 50);
}

// The centre of a rectangle in the window's client coordinates, on screen.
inline POINT ScreenCentre(HWND wnd, RECT r) {
    POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ::ClientToScreen(wnd, &pt);
    return pt;
}

inline void ClickControl(gui::TWinControl* c, bool dbl = false) {
    ClickScreen(ScreenCentre(c->Handle(), c->ClientRect()), dbl);
}

// A row of a report view, clicked in its first column.
inline void ClickRow(gui::TListView* view, int row, bool dbl = false) {
    RECT r{};
    r.left = LVIR_LABEL;
    ::SendMessageW(view->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    ClickScreen(ScreenCentre(view->Handle(), r), dbl);
}

inline void ClickToolButton(gui::TToolButton* b) {
    RECT r{};
    ::SendMessageW(b->ToolBar()->Handle(), TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
    ClickScreen(ScreenCentre(b->ToolBar()->Handle(), r));
}

inline void ClickTab(gui::TTabControl* tabs, int index) {
    RECT r{};
    ::SendMessageW(tabs->Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    ClickScreen(ScreenCentre(tabs->Handle(), r));
}

// Keys pressed in the order given and released in reverse, as one batch.
inline void PressKeyChord(std::initializer_list<WORD> keys) {
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

// Types the text into the focused control, character by character.
inline void TypeText(const std::wstring& text) {
    for (wchar_t ch : text) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = ch;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        ::SendInput(2, in, sizeof(INPUT));
    }
    WaitApp([] { return false; }, 100);
}

// Runs `scenario` once inside the modal loop of the window `form` that
// `open` shows (a menu item's click, as a rule), then closes the window if
// the scenario left it open, so a failed check cannot hang the test.
inline void WhileModal(gui::TForm* form, const std::function<void()>& open, const std::function<void()>& scenario) {
    auto* runner = new gui::TTimer(nullptr);
    runner->SetInterval(100);
    runner->OnTimer = [&](gui::TTimer* t) {
        if (!form->Visible() || !form->InModal()) return;
        t->SetEnabled(false);
        scenario();
        if (form->InModal() && form->ModalResult == gui::mrNone) form->Close();
    };
    runner->SetEnabled(true);
    open();
    gui::TComponent::Free(runner);
}

}  // namespace testing_support
