// TRAMForm: the RAM usage tray icon and memory cleaning. Its text tray icon
// shows the physical memory load in one of four styles; on every RAM tick
// (every fifth heartbeat tick) it redraws when the load changed and starts a
// cleaning at the load threshold or when the period has passed. A cleaning
// trims memory in process on 32-bit Windows and runs the sibling cleaner
// "Murvel.exe" on a worker thread on 64-bit Windows; while it runs the icons
// show a busy picture and the cleaning menus are disabled. Its window is the
// settings window of the monitor and cleaner ("RAM.ini", "RAM.lst"), shown
// modally by the main form.
#pragma once

#include <windows.h>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/MaxMems.h"
#include "components/NumEdit.h"
#include "components/RAMCleanX64.h"
#include "components/TextTrayIcon.h"
#include "gui/ComCtrls.h"
#include "gui/Form.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/StringList.h"

class TRAMForm : public gui::TForm {
public:
    explicit TRAMForm(gui::TComponent* owner);
    ~TRAMForm() override;

    // --- components --------------------------------------------------------
    TTextTrayIcon* TrayIcon;
    gui::TPopupMenu* PPMenu;
    gui::TMenuItem *PPStop, *PPRAMDisp, *PPRAMValue, *PPRAMClean, *PPRAM;
    TMaxMems* MaxMems;

    // --- fields ---------------------------------------------------------------
    int MRAMDisp = 0;  // 0 text, 1 digital, 2 number icon, 3 level meter
    std::array<gui::TMenuItem*, 4> MPPRAMDisp{};
    // PPRAMValue1 to PPRAMValue9 (10 % to 90 %), tags 1 to 9.
    std::array<gui::TMenuItem*, 9> MPPRAMValue{};
    int MTime = 0;        // periodic interval in RAM ticks (0 off)
    int MTimeC = 0;       // RAM ticks counted towards it
    int MTimeStop = 60;   // cool-down in RAM ticks
    bool FMemWork = false;
    int64_t MTotalRAM = 0;
    int MRAMCleanX64Value = 0;

    // --- settings ("RAM.ini", "RAM.lst") -----------------------------------
    // The values in effect; the window's controls show them and give them
    // new values on OK.
    int UDRAMAuto = 100;   // automatic threshold, load percent (0 off)
    int UDRAMValue = 50;   // amount to clean, percent of the total
    int UDRAMTime = 0;     // periodic interval in minutes (0 off)
    int RGTrayWClick = 0;  // double click: 0 nothing, 1 clean, 2 stop
    // The stop list: program file names, shown by ListBoxStop. Additions and
    // deletions in the window take effect at once.
    gui::TStringList ListBox;

    // --- the settings window's controls ------------------------------------
    gui::TGroupBox* GroupClean = nullptr;
    gui::TLabel *LBLRAMAuto = nullptr, *LBLRAMValue = nullptr, *LBLRAMTime = nullptr;
    // The up-downs (components named "UDRAMAuto", "UDRAMValue", "UDRAMTime")
    // and their read-only numeric displays.
    gui::TUpDown *UpDownAuto = nullptr, *UpDownValue = nullptr, *UpDownTime = nullptr;
    TNumEdit *NumAuto = nullptr, *NumValue = nullptr, *NumTime = nullptr;
    gui::TGroupBox* GroupStop = nullptr;
    gui::TListBox* ListBoxStop = nullptr;  // component named "ListBox"
    gui::TButton *BtnAdd = nullptr, *BtnDel = nullptr;
    gui::TRadioGroup* RadioTrayWClick = nullptr;  // component named "RGTrayWClick"
    gui::TButton *BtnCancel = nullptr, *BtnOK = nullptr;
    // The monitor the window was last seen on.
    int MMonNo = -1;
    // Picks the program that BtnAdd adds (the open dialog by default);
    // empty when nothing was picked.
    std::function<std::wstring()> PickProgram;

    // --- where the monitor looks ----------------------------------------------
    // The memory load in percent (the system's status by default).
    std::function<int()> RAMUsageSource;
    // Whether cleaning takes the 64-bit road (the program runs under WOW64 by default).
    std::function<bool()> Wow64Source;
    // Whether a program of that file name has a window (any top-level window by default).
    std::function<bool(const std::wstring&)> ExeRunningSource;
    // The folder of "Murvel.exe", with a trailing backslash: the program's own.
    std::wstring ProgramFolder;

    // --- operations -------------------------------------------------------------
    void Proc_TimerRAM();
    void Proc_DispRAM();
    void PPStopClick();
    void PPRAMDispClick(gui::TMenuItem* item);
    void PPMenuPopup();
    void RGTrayWClickClick();
    void PPRAMCleanClick();
    void PPRAMValueClick(gui::TMenuItem* item);
    bool Func_StopExeRunning();
    void Proc_BeginClean();
    void Proc_EndClean();
    void Proc_CleanX64(int megabytes);
    void MaxMemsBeforeDefrag();
    void MaxMemsAfterDefrag();
    // The latest cleaner thread, or nullptr.
    TRAMCleanX64* CleanThread() const noexcept { return FCleanThread.get(); }

    void Proc_LoadIni();
    // Writes the values and the stop list; gives the files it could not
    // write (one that could not be read is never written over).
    std::vector<std::wstring> Proc_SaveIni();
    void Proc_LoadStop();
    void Proc_SaveStop();

    // The settings window's handlers.
    void UDRAMAutoClick();
    void UDRAMValueClick();
    void UDRAMTimeClick();
    void ListBoxClick();
    void BtnAddClick();
    void BtnDelClick();
    void RGTrayWClickControlClick();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateComponents();
    void CreateMenu();
    void CreateSettingsControls();
    // The values in effect shown by the window's controls.
    void ShowSettings();
    void FillStopList();
    void SetRAMImageList();
    // Cleans by megabytes, on the road of this system.
    void CleanBy(int megabytes);
    int TotalMB() const;

    std::unique_ptr<TRAMCleanX64> FCleanThread;
    // "RAM.lst" existed but could not be read: it is never written over.
    bool FStopListUnreadable = false;
};

extern TRAMForm* RAMForm;
