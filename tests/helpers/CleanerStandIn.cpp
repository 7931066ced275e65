// Stands in for the sibling memory cleaner: records how it was started (its
// command line and working folder, one a line in UTF-8) into the file that
// ORV_RECORD_FILE names, then waits until the event that ORV_RELEASE_EVENT
// names is set (at most 30 s) and ends. Without a release event it ends at
// once. It asks for its messages once, so it counts as idle for input.
#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/FileIO.h"

int main() {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    wchar_t target[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"ORV_RECORD_FILE", target, MAX_PATH)) return 2;
    wchar_t dir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, dir);
    std::string text = gui::WideToUtf8(::GetCommandLineW()) + "\n" + gui::WideToUtf8(dir) + "\n";
    if (!gui::WriteWholeFile(target, text)) return 3;
    wchar_t release[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"ORV_RELEASE_EVENT", release, MAX_PATH)) {
        HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, release);
        if (event) {
            ::WaitForSingleObject(event, 30000);
            ::CloseHandle(event);
        }
    }
    return 0;
}
