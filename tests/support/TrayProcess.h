// The real Orvandel.exe run by a test: its settings folder, its main form
// once the start-up is done, and a close request as a user sends it.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinFiles.h"

namespace testing_support {

// The program's settings folder in this prefix, made when missing: a test
// that lays files there first must not depend on an earlier case (in the
// same world) having run the program.
inline std::wstring SettingsFolder() {
    std::wstring appdata;
    GetSpecialFolderPath(1, appdata);
    ::CreateDirectoryW((appdata + L"\\Quorvin").c_str(), nullptr);
    ::CreateDirectoryW((appdata + L"\\Quorvin\\Orvandel").c_str(), nullptr);
    return appdata + L"\\Quorvin\\Orvandel\\";
}

// The main form of that process once the start-up is done (the forms it
// creates come after "Config.ini" was read, the special-folder window last).
inline HWND WaitForTrayForm(DWORD pid, DWORD ms = 30000) {
    HWND found = nullptr;
    const std::wstring title = L"Orvandel";
    WaitUntil(
        [&] {
            bool last = false;
            for (HWND w : FindTopWindows(L"TSPDirForm")) last = last || WindowProcessId(w) == pid;
            if (!last) return false;
            for (HWND w : FindTopWindows(L"TTrayForm", &title))
                if (WindowProcessId(w) == pid) found = w;
            return found != nullptr;
        },
        ms);
    return found;
}

// A close request as another program (or a user) sends it.
inline void SendClose(HWND trayForm) {
    HWND top = trayForm;
    for (HWND up = ::GetParent(top); up; up = ::GetParent(up)) top = up;
    ::SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace testing_support
