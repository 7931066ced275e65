#include "app/TrayExitWin.h"

#include <windows.h>

#include "app/Tray.h"
#include "gui/Application.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"

using gui::TMenuItem;

namespace {

constexpr int kCountdownSeconds = 10;

std::wstring IdeographicSpaces(int n) { return std::wstring(static_cast<size_t>(n), L'\u3000'); }

}  // namespace

std::wstring ExitWinCaption(int seconds) {
    return L"Orvandel - Windowsの終了 (" + std::to_wstring(seconds) + L"秒)";
}

std::wstring ExitWinQuestion(int action) {
    struct Question {
        const wchar_t* text;
        int trailing;
    };
    const Question questions[5] = {
        {L"ログオフしますか？", 13},
        {L"電源を切りますか？", 13},
        {L"再起動しますか？", 14},
        {IsVistaOrLater() ? L"スリープにしますか？" : L"スタンバイにしますか？", 11},
        {L"休止状態にしますか？", 12},
    };
    const Question& q = questions[action < 0 || action > 4 ? 0 : action];
    return IdeographicSpaces(7) + q.text + IdeographicSpaces(q.trailing);
}

void TExitCountdown::Create() {
    TimerExitWin = new gui::TTimer(&Form);
    TimerExitWin->Name = L"TimerExitWin";
    TimerExitWin->SetEnabled(false);
    TimerExitWin->OnTimer = [this](gui::TTimer*) { TimerExitWinTimer(); };
    ExitWin = new TExitWin(&Form);
    ExitWin->Name = L"ExitWin";
}

void TExitCountdown::PPExitWinClick(TMenuItem* item) {
    Form.FPopUpR = false;
    MExitWinM = item->Tag;
    MExitWinC = kCountdownSeconds;
    TimerExitWin->SetInterval(1000);
    TimerExitWin->SetEnabled(true);
    // The timer keeps ticking inside the box's own loop and retitles it.
    int answer = gui::Application->MessageBox(ExitWinQuestion(MExitWinM), ExitWinCaption(kCountdownSeconds),
                                              MB_YESNO | MB_ICONWARNING | MB_SYSTEMMODAL);
    if (answer == IDYES)
        MExitWinC = 0;  // the next tick acts
    else
        TimerExitWin->SetEnabled(false);
}

void TExitCountdown::TimerExitWinTimer() {
    HWND box = ::FindWindowW(L"#32770", ExitWinCaption(MExitWinC).c_str());
    if (!box && MExitWinC > 0) {
        // The box was answered with No or closed otherwise.
        TimerExitWin->SetEnabled(false);
        return;
    }
    --MExitWinC;
    if (box) ::SetWindowTextW(box, ExitWinCaption(MExitWinC).c_str());
    if (MExitWinC > 0) return;

    TimerExitWin->SetEnabled(false);
    if (box) {
        // Alt+Y answers the box with Yes, as the user would.
        ForceForegroundWindow(box);
        ::keybd_event(VK_MENU, 0, 0, 0);
        ::keybd_event('Y', 0, 0, 0);
        ::keybd_event('Y', 0, KEYEVENTF_KEYUP, 0);
        ::keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    }
    // A refusal raises EExitError and leaves the program running.
    switch (MExitWinM) {
        case 0: ExitWin->LogOffWindows(); break;
        case 1: ExitWin->PowerOffWindows(); break;
        case 2: ExitWin->RebootWindows(); break;
        case 3: ExitWin->Suspend(); return;
        case 4: ExitWin->Hibernate(); return;
        default: return;
    }
    Form.Close();  // the close query saves everything
}
