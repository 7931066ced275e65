// Answers the history window's next open dialog of this process, as a user
// types a file name into it and presses OK.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/TestSupport.h"

namespace history_window {

// Answers the page's next open dialog ("Orvandel") with the file typed into
// its file-name box and OK, on its own thread.
class OpenDialogAnswer {
public:
    explicit OpenDialogAnswer(std::wstring file) : file_(std::move(file)), thread_([this] { Run(); }) {}
    ~OpenDialogAnswer() { thread_.join(); }
    bool Done() const { return done_; }

private:
    void Run() {
        HWND dlg = nullptr;
        testing_support::WaitUntil([&] {
            dlg = ::FindWindowW(L"#32770", L"Orvandel");
            return dlg && ::IsWindowVisible(dlg);
        }, 30000);
        HWND edit = nullptr;
        if (dlg) testing_support::WaitUntil([&] {
            HWND combo = ::FindWindowExW(::GetDlgItem(dlg, 1148), nullptr, L"ComboBox", nullptr);
            edit = combo ? ::FindWindowExW(combo, nullptr, L"Edit", nullptr) : ::GetDlgItem(dlg, 1152);
            return edit != nullptr;
        }, 10000);
        if (edit) {
            ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file_.c_str()));
            ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            testing_support::WaitUntil([&] { return !::IsWindow(dlg); }, 10000);
        }
        done_ = true;
    }
    std::wstring file_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace history_window
