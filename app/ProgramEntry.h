// The program entry of Orvandel.exe: settings folder, single instance, the
// program-wide globals, the first forms, the Explorer path prompts and the
// message loop.
#pragma once

#include <string>

// The first command-line argument, or empty.
std::wstring ParamStr1();

// The companion folder tool's program named in "Brackwen.ini" in the folder
// "Brackwen" beside the settings folder; empty when anything is missing.
std::wstring ReadBrackwenExe(const std::wstring& dataFolder);

int RunOrvandel();
