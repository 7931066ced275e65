// What the tests of acting on entries share: the program's history window
// and address jump made as the program makes them, the ActTarget helper that
// plays the window the user was in, and a way to put windows just below the
// program's own in Z order.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/history/AdrJump.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/Named.h"
#include "tests/support/PrefixGuard.h"
#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"

namespace acting {

// Waits for a newly shown window of another program to take the
// foreground, and a little longer: this Wine may activate a new window
// again a moment later, which would lift it above windows arranged meanwhile.
inline void Settle(HWND wnd) {
    testing_support::WaitUntil([&] { return ::GetForegroundWindow() == wnd; }, 2000);
    testing_support::PumpMessages(200);
}

// A run of ActTarget in one of its modes (see tests/helpers/ActTarget.cpp).
class Target {
public:
    bool Start(const std::wstring& mode, const std::wstring& arg = L"") {
        log_ = dir_ / L"log.txt";
        std::wstring args = mode + L" \"" + log_ + L"\"";
        if (!arg.empty()) args += L" \"" + arg + L"\"";
        process_ = testing_support::ChildProcess::Start(testing_support::BinDir() + L"ActTarget.exe", args);
        if (!process_.Started()) {
            failure_ = "ActTarget.exe did not start, error " + std::to_string(::GetLastError());
            return false;
        }
        std::wstring out = log_ + L".out";
        auto ready = [&] { return ::GetFileAttributesW(out.c_str()) != INVALID_FILE_ATTRIBUTES; };
        testing_support::WaitUntil([&] { return ready() || !process_.Running(); }, 15000);
        if (!ready()) {
            failure_ = process_.Running() ? "ActTarget.exe wrote no handles within 15 s"
                                          : "ActTarget.exe ended with code " + std::to_string(process_.ExitCode());
            return false;
        }
        std::string bytes = testing_support::ReadBytes(out);
        for (size_t pos = 0; pos < bytes.size();) {
            size_t end = bytes.find('\n', pos);
            if (end == std::string::npos) end = bytes.size();
            windows_.push_back(reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(bytes.substr(pos, end - pos)))));
            pos = end + 1;
        }
        if (windows_.empty()) {
            failure_ = "ActTarget.exe wrote \"" + bytes + "\"";
            return false;
        }
        Settle(windows_[0]);
        return true;
    }
    HWND operator[](size_t i) const { return windows_.at(i); }
    DWORD Pid() const { return process_.Pid(); }
    // Why Start gave false, for the failure's message.
    const std::string& Failure() const { return failure_; }

    // The events logged so far, one a line.
    std::vector<std::wstring> Log() const {
        std::wstring text = gui::Utf8ToWide(testing_support::ReadBytes(log_));
        std::vector<std::wstring> lines;
        for (size_t pos = 0; pos < text.size();) {
            size_t end = text.find(L'\n', pos);
            if (end == std::wstring::npos) end = text.size();
            lines.push_back(text.substr(pos, end - pos));
            pos = end + 1;
        }
        return lines;
    }
    // The logged events that start with the word.
    std::vector<std::wstring> Events(const std::wstring& word) const {
        std::vector<std::wstring> found;
        for (const auto& l : Log())
            if (l.compare(0, word.size() + 1, word + L" ") == 0 || l == word) found.push_back(l);
        return found;
    }
    void ClearLog() { ::DeleteFileW(log_.c_str()); }

private:
    testing_support::ScratchDir dir_;
    testing_support::ChildProcess process_;
    std::wstring log_;
    std::vector<HWND> windows_;
    std::string failure_;
};

// The recorder's report once it is complete: the file may be seen before
// its text can be read.
inline helper_windows::Record WaitForStart(const helper_windows::RecordFile& file, DWORD ms = 10000) {
    helper_windows::Record r;
    testing_support::WaitUntil([&] {
        r = helper_windows::WaitForRecord(file.Path(), 0);
        return r.found && !r.commandLine.empty();
    }, ms);
    return r;
}

// The text of another program's window.
inline std::wstring TextOf(HWND wnd) { return testing_support::WindowTextOf(wnd); }

// A key held down for the lifetime of a scope, as the user holds it. This
// Wine takes the modifier keys' state from the X server whenever the window
// in front changes, which lets go of a key pressed by an event; so the key
// is pressed until it stays down for a while.
class HeldKey {
public:
    explicit HeldKey(BYTE vk) : vk_(vk) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            ::keybd_event(vk_, 0, 0, 0);
            testing_support::WaitUntil([&] { return Down(); }, 1000);
            testing_support::PumpMessages(200);
            if (Down()) return;
        }
    }
    ~HeldKey() {
        ::keybd_event(vk_, 0, KEYEVENTF_KEYUP, 0);
        testing_support::WaitUntil([&] { return !Down(); }, 2000);
    }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    bool Down() const { return (::GetAsyncKeyState(vk_) & 0x8000) != 0; }

private:
    BYTE vk_;
};

// A default value under HKEY_CLASSES_ROOT for the test; the keys it made go
// again and a key that was there gets its values back, also after a killed
// run.
class ClassKey {
public:
    ClassKey(const std::wstring& key, const std::wstring& value) {
        // The first part of the path that does not exist is put back whole.
        std::wstring keep = key;
        for (size_t pos = 0; pos != std::wstring::npos;) {
            const size_t end = key.find(L'\\', pos);
            const std::wstring path = key.substr(0, end);
            HKEY h = nullptr;
            if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
                keep = path;
                break;
            }
            ::RegCloseKey(h);
            pos = end == std::wstring::npos ? end : end + 1;
        }
        keep_ = std::make_unique<testing_support::RegKeyRestore>(HKEY_CLASSES_ROOT, keep);
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    ClassKey(const ClassKey&) = delete;
    ClassKey& operator=(const ClassKey&) = delete;

private:
    std::unique_ptr<testing_support::RegKeyRestore> keep_;
};

// Runs act while the key is held, and again (up to four times in all) when
// this Wine let go of the key before act was over; true once act ran with
// the key held throughout.
// prepare runs before the key goes down (what changes the window in front
// belongs there: this Wine lets go of the key at such a change), and settle
// after the key is let go (waiting for what act started, whose window may
// come to the front), both in every attempt.
inline bool RunWithKeyHeld(BYTE vk, const std::function<void()>& prepare, const std::function<void()>& act,
                           const std::function<void()>& settle) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (prepare) prepare();
        bool held = false;
        {
            HeldKey key(vk);
            act();
            held = key.Down();
        }
        if (settle) settle();
        if (held) return true;
    }
    return false;
}

inline bool RunWithKeyHeld(BYTE vk, const std::function<void()>& act) { return RunWithKeyHeld(vk, {}, act, {}); }

// The program's application object, history window and address jump.
class ActingTest : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        // The hidden address jump stands in for the program's main form, so
        // closing the history window only hides it, as in the program.
        app_.CreateForm(AdrJumpForm);
        app_.CreateForm(HisForm);
        His().Lists.Settings.UDWait = 0;
        oldExplorer_ = ExplorerPath;
    }
    void TearDown() override {
        ExplorerPath = oldExplorer_;
        app_.DestroyForms();
        HisForm = nullptr;
        AdrJumpForm = nullptr;
    }
    THisForm& His() { return *HisForm; }
    HWND ProgramWindow() { return app_.Handle(); }

    // The program's window on top of the Z order, and the windows given
    // below it in that order, so the first is the one "below ours".
    void StackBelowProgram(const std::vector<HWND>& windows) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
        ::SetWindowPos(app_.Handle(), HWND_TOP, 0, 0, 0, 0, flags);
        HWND above = app_.Handle();
        for (HWND w : windows) {
            ::SetWindowPos(w, above, 0, 0, 0, 0, flags);
            above = w;
        }
    }

    // The window shows the current tab's history (list 0) or favourites (1)
    // as they are now, and row `row` of it is selected.
    void SelectRow(int list, int row) {
        gui::TListBox* box = list == 0 ? testing_support::Named<gui::TListBox>(His(), L"ListBoxHis") : testing_support::Named<gui::TListBox>(His(), L"ListBoxFav");
        const gui::TStringList& entries = His().Lists.MFileList[list * kHisCategories + His().Category()];
        box->Clear();
        for (int i = 0; i < entries.Count(); ++i) box->Add(entries[i]);
        box->SetItemIndex(row);
    }

    // Acts on entry row of the current tab's history list through the main button.
    void ExecuteHistoryRow(int row, int action = 0) {
        for (gui::TToolButton* b : {testing_support::Named<gui::TToolButton>(His(), L"TBexe"), testing_support::Named<gui::TToolButton>(His(), L"TBUpExp"), testing_support::Named<gui::TToolButton>(His(), L"TBUpFol")}) b->SetEnabled(true);
        SelectRow(0, row);
        His().Proc_Execute(0, action);
    }

    gui::ComScope com_;
    gui::TApplication app_;
    std::wstring oldExplorer_;
};

}  // namespace acting
