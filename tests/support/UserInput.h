// A user at the mouse and keyboard of a window of the test's own process:
// synthesized clicks on controls, list rows, tool buttons and tabs, made
// with the input of SyntheticInput.h, and a scenario run inside a modal
// window's loop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Form.h"
#include "gui/StdCtrls.h"
#include "gui/Timer.h"
#include "gui/WinControl.h"
#include "tests/support/ModalScenario.h"
#include "tests/support/SyntheticInput.h"

namespace testing_support {

// Waits until this thread's queue holds no input, posted or sent message
// any more and the application has handled what it held: the input sent
// before has been handled, with what it set off at once.
inline bool InputHandled() {
    return WaitApp([] { return HIWORD(::GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0; },
                   5000);
}

// A left click (or double click) at a screen point, handled by the
// application before it returns. The system makes a double click of two
// clicks on one spot within the double-click time, so a single click on the
// spot of the click before waits until that time has passed.
inline void ClickScreen(POINT pt, bool dbl = false) {
    struct LastClick {
        POINT pt{-10000, -10000};
        ULONGLONG at = 0;
    };
    static LastClick last;
    const bool sameSpot = std::abs(pt.x - last.pt.x) <= ::GetSystemMetrics(SM_CXDOUBLECLK) &&
                          std::abs(pt.y - last.pt.y) <= ::GetSystemMetrics(SM_CYDOUBLECLK);
    const ULONGLONG apart = last.at + ::GetDoubleClickTime() + 50;
    if (sameSpot) WaitApp([&] { return ::GetTickCount64() > apart; }, ::GetDoubleClickTime() + 100);
    ClickAt(pt, dbl);
    last = {pt, ::GetTickCount64()};
    InputHandled();
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

// The screen point at the centre of a tool button.
inline POINT ToolButtonPoint(const gui::TToolButton* b) {
    RECT r{};
    ::SendMessageW(b->ToolBar()->Handle(), TB_GETRECT, b->Command(), reinterpret_cast<LPARAM>(&r));
    return ScreenCentre(b->ToolBar()->Handle(), r);
}

inline void ClickToolButton(gui::TToolButton* b) { ClickScreen(ToolButtonPoint(b)); }

// The screen point in the middle of a list box row.
inline POINT RowPoint(const gui::TListBox* list, int row) { return ScreenCentre(list->Handle(), list->ItemRect(row)); }

// Brings the form to the front and waits until it is there. A window of
// another program that was just shown may take the front back a moment
// later, so the form is brought forward again until it stays.
inline bool BringToFront(HWND form) {
    return WaitApp(
        [&] {
            if (::GetForegroundWindow() != form) ::SetForegroundWindow(form);
            return WaitApp([&] { return ::GetForegroundWindow() == form; }, 500);
        },
        10000);
}

inline void ClickTab(gui::TTabControl* tabs, int index) {
    RECT r{};
    ::SendMessageW(tabs->Handle(), TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    ClickScreen(ScreenCentre(tabs->Handle(), r));
}

// Runs `scenario` once inside the modal loop of the window `form` that
// `open` shows (a menu item's click, as a rule), then closes the window if
// the scenario left it open, so a failed check cannot hang the test. A
// failed ASSERT in the scenario ends it there, and the case once the loop
// has returned.
inline void WhileModal(gui::TForm* form, const std::function<void()>& open, const std::function<void()>& scenario) {
    ModalScenario run;
    auto* runner = new gui::TTimer(nullptr);
    runner->SetInterval(100);
    runner->OnTimer = [&](gui::TTimer* t) {
        if (!form->Visible() || !form->InModal()) return;
        t->SetEnabled(false);
        run.Run(scenario);
        if (form->InModal() && form->ModalResult == gui::mrNone) form->Close();
    };
    runner->SetEnabled(true);
    open();
    gui::TComponent::Free(runner);
    run.EndCaseIfFailed();
}

}  // namespace testing_support
