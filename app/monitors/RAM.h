// TRAMForm: the RAM usage tray icon and memory cleaning. Its text tray icon
// shows the physical memory load in one of four styles; on every RAM tick
// (every fifth heartbeat tick) it redraws when the load changed and starts a
// cleaning at the load threshold or when the period has passed. A cleaning
// trims memory in process on 32-bit Windows and runs the sibling cleaner
// "Murvel.exe" on a worker thread on 64-bit Windows; while it runs the icons
// show a busy picture and the cleaning menus are disabled.
#pragma once

#include <windows.h>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "components/MaxMems.h"
#include "components/RAMCleanX64.h"
#include "components/TextTrayIcon.h"
#include "gui/Form.h"
#include "gui/Menus.h"
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
    int UDRAMAuto = 100;   // automatic threshold, load percent (0 off)
    int UDRAMValue = 50;   // amount to clean, percent of the total
    int UDRAMTime = 0;     // periodic interval in minutes (0 off)
    int RGTrayWClick = 0;  // double click: 0 nothing, 1 clean, 2 stop
    gui::TStringList ListBox;  // the stop list: program file names

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
    void Proc_LoadStop();
    void Proc_SaveStop();

protected:
    void CreateParams(gui::TCreateParams& params) override;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;

private:
    void CreateComponents();
    void CreateMenu();
    void SetRAMImageList();
    // Cleans by megabytes, on the road of this system.
    void CleanBy(int megabytes);
    int TotalMB() const;

    std::unique_ptr<TRAMCleanX64> FCleanThread;
};

extern TRAMForm* RAMForm;
