// TIMENotices: the main form's IME-on notices. Its heartbeat step watches the
// input method of the window in front; once per window, when the IME turns
// on there, it shows the IME icon beside the window, plays the chosen sound
// and shows the "IME ON" hint near the mouse cursor. It also holds the
// position and sound chosen in the settings menu.
#pragma once

#include <windows.h>

#include <array>
#include <functional>

#include "gui/HintWindow.h"
#include "gui/Menus.h"
#include "gui/StringList.h"

class TTrayForm;

class TIMENotices {
public:
    explicit TIMENotices(TTrayForm& form);
    TIMENotices(const TIMENotices&) = delete;
    TIMENotices& operator=(const TIMENotices&) = delete;

    // Whether the input method is open for a focus window (never asked for
    // none); by default the window's IME window is asked.
    std::function<bool(HWND focus)> IMEOpenSource;
    // Plays the named wave resource of the program asynchronously, or stops
    // any sound for nullptr.
    std::function<void(const wchar_t* wave)> IMESoundPlayer;

    // The icon position's radio items and choice (0 none, 1-4 a corner or edge).
    std::array<gui::TMenuItem*, 5> MPPIME{};
    int MPPIMEC = 0;
    // The sound's radio items and choice (0 none).
    std::array<gui::TMenuItem*, 4> MPPIMEWave{};
    int MPPIMEWaveC = 0;
    // The heartbeat ticks the "IME ON" hint stays.
    int MIMEHintDispC = 0;
    // The windows already told that their IME is on (decimal handles, newest first).
    gui::TStringList ListBoxIME;
    // The window looked at last, its rectangle, and where the icon goes.
    HWND MIMEActWin = nullptr;
    RECT MIMEActRect{};
    int MIMEActLeft = 0, MIMEActTop = 0;
    // Owned by the form; made with the other forms at its creation.
    gui::THintWindow* MIMEHintWindow = nullptr;

    void CreateHintWindow();
    // Some notice is chosen, so the heartbeat runs the check.
    bool Wanted() const;
    // The heartbeat step.
    void Proc_IMECheck();
    // Puts a shown icon back on top at its place.
    void RaiseIcon();

    // Menu: the icon position or the sound of a radio item (its tag).
    void PPIMEClick(gui::TMenuItem* item);
    void PPIMEWaveClick(gui::TMenuItem* item);

private:
    // The parts of a notice.
    void NotifySound();
    void ShowIcon();
    void ShowHint();
    void HideHint();
    void HideIcon();

    TTrayForm& Form;
};
