// A console program that records how it was started: its command line and
// its working folder, one a line in UTF-8, into the file that the variable
// ORV_RECORD_FILE names; with ORV_RECORD_APPEND set, the two lines and a
// third, the moment the process was made (in 100 ns units, so that records
// written in any order tell the order of the starts), are added to what the
// file holds. Ends at once.
#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/FileIO.h"
#include "gui/Handles.h"

int main() {
    wchar_t target[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"ORV_RECORD_FILE", target, MAX_PATH)) return 2;
    wchar_t dir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, dir);
    std::string text = gui::WideToUtf8(::GetCommandLineW()) + "\n" + gui::WideToUtf8(dir) + "\n";
    if (::GetEnvironmentVariableW(L"ORV_RECORD_APPEND", nullptr, 0)) {
        FILETIME made{}, ended{}, kernel{}, user{};
        if (!::GetProcessTimes(::GetCurrentProcess(), &made, &ended, &kernel, &user)) return 3;
        text += std::to_string((static_cast<unsigned long long>(made.dwHighDateTime) << 32) | made.dwLowDateTime) +
                "\n";
        // Several starts may end at once: the file is opened for appending only.
        auto open = [&] {
            return gui::FileHandle(::CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_ALWAYS, 0, nullptr));
        };
        gui::FileHandle f = open();
        for (int i = 0; !f && i < 50; ++i) {
            ::Sleep(20);  // another start holds the file for its write
            f = open();
        }
        if (!f) return 3;
        DWORD written = 0;
        const bool ok = ::WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                        written == text.size();
        return ok ? 0 : 3;
    }
    return gui::WriteWholeFile(target, text) ? 0 : 3;
}
