#include "app/monitors/RAMIni.h"

gui::TIniTable TRAMIni::Table(TKeys keys) {
    gui::TIniTable table = {
        gui::IniInt(L"RAM", L"Value", Value, Value, {1, 100}),
        gui::IniInt(L"RAM", L"Auto", Auto, Auto, {0, 100}),
        gui::IniInt(L"RAM", L"Time", Time, Time, {0, 120}),
        gui::IniInt(L"RAM", L"TrayWClick", TrayWClick, TrayWClick, {0, 2}),
        gui::IniBool(L"RAM", L"Stop", Stop, Stop),
        gui::IniInt(L"RAM", L"Disp", Disp, Disp, {0, 3}),
    };
    const auto menu = table.begin() + 4;  // the settings window's keys come first
    if (keys == TKeys::Settings) table.erase(menu, table.end());
    else table.erase(table.begin(), menu);
    return table;
}
