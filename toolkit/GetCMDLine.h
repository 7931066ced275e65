// The command line of the program that owns a window: read from the other
// process's memory through its process environment block (32-bit layout),
// or, when that gives nothing, asked of WMI's Win32_Process class. Nothing
// here throws; every failure gives ''.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

// The arguments part of the command line of wnd's process: the command line
// without its leading program path exeName (and the quotes around it).
std::wstring GetCMDLineOptions(HWND wnd, const std::wstring& exeName);
// The arguments part of a whole command line, as GetCMDLineOptions cuts it.
std::wstring CutCMDLineOptions(const std::wstring& cmdLine, const std::wstring& exeName);

void GetCMDLineByPEB(HWND wnd, std::wstring& cmdLine);
// The address of the process environment block; 0 when it cannot be read.
uintptr_t QueryProcessPEB(HANDLE process);
void GetCMDLineByWMI(HWND wnd, std::wstring& cmdLine);
void GetCMDLineWMIQuery(DWORD processId, std::wstring& cmdLine);
