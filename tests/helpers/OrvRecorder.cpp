// A console program that records how it was started: its command line and
// its working folder, one a line in UTF-8, into the file that the variable
// ORV_RECORD_FILE names. Ends at once.
#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/FileIO.h"

int main() {
    wchar_t target[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"ORV_RECORD_FILE", target, MAX_PATH)) return 2;
    wchar_t dir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, dir);
    std::string text = gui::WideToUtf8(::GetCommandLineW()) + "\n" + gui::WideToUtf8(dir) + "\n";
    return gui::WriteWholeFile(target, text) ? 0 : 3;
}
