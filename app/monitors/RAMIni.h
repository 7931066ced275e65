// TRAMIni: the values "RAM.ini" holds, each starting at the value a missing
// key gives. The file keeps two groups at different times: the settings
// window's when it is confirmed, and the tray menu's at close.
#pragma once

#include "gui/IniTable.h"

struct TRAMIni {
    int Value = 50;       // the cleaning level, 1..100 %
    int Auto = 100;       // the load that cleans by itself, 0..100 %
    int Time = 0;         // minutes between cleanings, 0..120
    int TrayWClick = 0;   // what a double click on the tray icon does, 0..2
    bool Stop = false;    // the monitor stopped
    int Disp = 0;         // the tray icon's look, 0..3

    enum class TKeys { Settings, Menu };
    // The group's keys, as the file's one table lists them: every key once,
    // in the order a new file holds them, held to their ranges.
    gui::TIniTable Table(TKeys keys);
};
