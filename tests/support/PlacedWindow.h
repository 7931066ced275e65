// A helper started from a command line written out whole (quoted or not),
// and the window of the PlacedWindow helper program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Handles.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

// A program started from a whole command line; ended at the end of the scope.
class RawChild {
public:
    explicit RawChild(const std::wstring& cmdLine) {
        std::vector<wchar_t> line(cmdLine.begin(), cmdLine.end());
        line.push_back(L'\0');
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ::CloseHandle(pi.hThread);
            process_.reset(pi.hProcess);
            pid_ = pi.dwProcessId;
        }
    }
    ~RawChild() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.get(), 0);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }
    bool Started() const { return static_cast<bool>(process_); }
    DWORD Pid() const { return pid_; }

private:
    gui::Handle process_;
    DWORD pid_ = 0;
};

// Ends the process that owns the window.
inline void EndWindowProcess(HWND wnd) {
    DWORD pid = WindowProcessId(wnd);
    gui::Handle p(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!p) return;
    ::TerminateProcess(p.get(), 0);
    ::WaitForSingleObject(p.get(), 5000);
}

// The helper's window of that process (hidden ones too), waiting up to 20 s.
inline HWND WaitPlacedWindow(DWORD pid) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : FindTopWindows(L"OrvPlacedWindow"))
                if (WindowProcessId(w) == pid) found = w;
            return found != nullptr;
        },
        20000);
    return found;
}

inline std::wstring PlacedExe() { return BinDir() + L"PlacedWindow.exe"; }

}  // namespace testing_support
