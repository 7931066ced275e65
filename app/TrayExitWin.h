// TExitCountdown: the main form's exit-Windows countdown. An item of the
// settings menu asks in a box whose caption counts down the seconds; the
// form's exit timer ticks once a second, and when the count runs out the box
// is answered with Yes and the chosen action (log off, power off, restart,
// sleep, hibernate) runs.
#pragma once

#include <array>
#include <string>

#include "components/ExitWin32.h"
#include "gui/Menus.h"
#include "gui/Timer.h"

class TTrayForm;

class TExitCountdown {
public:
    explicit TExitCountdown(TTrayForm& form) : Form(form) {}
    TExitCountdown(const TExitCountdown&) = delete;
    TExitCountdown& operator=(const TExitCountdown&) = delete;

    // Makes the one-second timer and the exit component, owned by the form.
    void Create();

    // The actions' items "PPExitWin0"-"4", each tagged with its action 0-4.
    std::array<gui::TMenuItem*, 5> MPPExitWin{};
    // The action chosen and the seconds left.
    int MExitWinM = 0, MExitWinC = 0;

    // Menu: asks about the item's action and starts the count.
    void PPExitWinClick(gui::TMenuItem* item);
private:
    void TimerExitWinTimer();

    TTrayForm& Form;
    gui::TTimer* TimerExitWin = nullptr;
    TExitWin* ExitWin = nullptr;
};

// The countdown's caption for the seconds left.
std::wstring ExitWinCaption(int seconds);
// The countdown's question for an action 0-4.
std::wstring ExitWinQuestion(int action);
