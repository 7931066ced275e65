#include "app/Globals.h"

std::wstring DataFolder;
std::wstring BrackwenExe;
std::wstring ExplorerPath;
HANDLE MutexHandle = nullptr;
