// Registry access as the whole program does it: keys are opened with full
// access and never created; a key that cannot be opened counts as missing.
#pragma once

#include <windows.h>
#include <string>

#include "gui/Handles.h"

gui::RegKey OpenRegKeyFullAccess(HKEY root, const std::wstring& subKey);

// A REG_SZ or REG_EXPAND_SZ value (not expanded), cut at its first NUL.
bool ReadRegString(HKEY key, const std::wstring& name, std::wstring& value);
// A REG_DWORD value; false when missing or of another type.
bool ReadRegInteger(HKEY key, const std::wstring& name, int& value);
bool WriteRegInteger(HKEY key, const std::wstring& name, int value);
