// TTrayMenus: the main form's two tray menus. It builds the history menu
// (a sub-menu of 40 entries per category and the display options) and the
// settings menu into the form's popup menus, opens them on clicks on the CPU
// icon, and handles their items. The items other forms read, and the ones
// "Config.ini" holds, are the form's; the others are its own.
#pragma once

#include <array>

#include "components/MakeShortCut.h"
#include "gui/Input.h"
#include "gui/Menus.h"
#include "gui/Timer.h"

class TTrayForm;

class TTrayMenus {
public:
    explicit TTrayMenus(TTrayForm& form) : Form(form) {}
    TTrayMenus(const TTrayMenus&) = delete;
    TTrayMenus& operator=(const TTrayMenus&) = delete;

    // Builds both menus, all but the history entries, and the timer that
    // tells a single click from a double click.
    void Create();
    // The history menu's 200 entries and the separators before the
    // favourites, laid out as PPMenuWide says.
    void BuildHistoryEntries();

    // Clicks on the CPU icon: a single left click opens the history menu
    // once the double-click time has passed, a double click shows the
    // history window.
    void TrayIconMouseDown(gui::TMouseButton button);
    void TrayIconMouseUp();
    void TrayIconDblClick();

    // The radio items of the choices the form holds, each tagged with its index.
    std::array<gui::TMenuItem*, 6> MPPStartDelay{};
    std::array<gui::TMenuItem*, 5> MPPCPUDisp{};
    std::array<gui::TMenuItem*, 3> MPPTrayPanel{};
    std::array<gui::TMenuItem*, 6> MPPCPUs{};
    // The separators before each category's favourites.
    std::array<gui::TMenuItem*, 5> MPPMenuSepa{};

private:
    void TimerWClickTimer();
    void FreeHistoryEntries();
    void PPLMenuPopup();
    void PPRMenuPopup();

    // History menu handlers.
    void PPListClick(gui::TMenuItem* item);
    void PPWindowClick();
    void PPIconMenuClick();
    void PPMenuFavClick();
    void PPMenuNarrowClick();
    void PPMenuWideClick();

    // Settings menu handlers.
    void PPHisClick();
    void PPBtnStopClick();
    void PPBtnCursorClick();
    void PPRAMStopClick();
    void PPRecentClearClick();
    void PPIMEExeClick();
    void PPTaskmanClick();
    void PPTrayPanelClick(gui::TMenuItem* item);
    void PPLaunchClick();
    void PPStartDelayClick(gui::TMenuItem* item);
    void PPStartUpClick();
    void PPVerClick();
    void PPHelpClick();
    void PPCloseClick();

    TTrayForm& Form;
    gui::TTimer* TimerWClick = nullptr;
    // Writes the start-up folder's shortcut.
    TMakeShortCut* MakeShortCut = nullptr;
    gui::TMenuItem *PPCPUDisp = nullptr, *PPCPUReset = nullptr, *CPU100S1 = nullptr;
    gui::TMenuItem *PPHis = nullptr, *PPRecentClear = nullptr, *PPBtn = nullptr, *PPDrive = nullptr;
    gui::TMenuItem *PPIME = nullptr, *PPIMEIconDisp = nullptr, *PPIMEWave = nullptr, *PPIMEExe = nullptr;
    gui::TMenuItem *PPTaskman = nullptr, *PPTrash = nullptr, *PPTrashOpen = nullptr, *PPTrashEmpty = nullptr;
    gui::TMenuItem *PPWindows = nullptr, *PPSPDir = nullptr, *PPTrayPanel = nullptr, *PPStartDelay = nullptr;
    gui::TMenuItem *PPStartUp = nullptr, *PPVer = nullptr, *PPHelp = nullptr, *PPClose = nullptr;
};
