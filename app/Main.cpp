#include <windows.h>

#include "app/ProgramEntry.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunOrvandel(); }
