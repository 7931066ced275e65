// Other programs' windows for the window tests: OrvWindowHost started with a
// description of the windows it is to make, its handles read back, and the
// program ended (by its process handle) when the host goes away. Also small
// windows of the test program itself and the recorder's report.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/TestSupport.h"

namespace helper_windows {

class WindowHost {
public:
    // Starts the host (or a copy of it under another name) with one window a line.
    bool Start(const std::vector<std::wstring>& lines, const std::wstring& exe = L"") {
        std::wstring desc = dir_ / L"windows.txt";
        std::wstring text;
        for (const auto& l : lines) text += l + L"\n";
        if (!testing_support::WriteBytes(desc, gui::WideToUtf8(text))) return false;
        exe_ = exe.empty() ? testing_support::BinDir() + L"OrvWindowHost.exe" : exe;
        process_ = testing_support::ChildProcess::Start(exe_, L"\"" + desc + L"\"");
        if (!process_.Started()) {
            ADD_FAILURE() << "the window host did not start, error " << ::GetLastError();
            return false;
        }
        std::wstring out = desc + L".out";
        auto ready = [&] { return ::GetFileAttributesW(out.c_str()) != INVALID_FILE_ATTRIBUTES; };
        // A host that could not make its windows ends at once.
        testing_support::WaitUntil([&] { return ready() || !process_.Running(); }, 15000);
        if (!ready()) {
            if (process_.Running())
                ADD_FAILURE() << "the window host made no windows within 15 s";
            else
                ADD_FAILURE() << "the window host ended with code " << process_.ExitCode()
                              << " before its windows stood";
            return false;
        }
        std::string bytes = testing_support::ReadBytes(out);
        size_t pos = 0;
        while (pos < bytes.size()) {
            size_t end = bytes.find('\n', pos);
            if (end == std::string::npos) end = bytes.size();
            windows_.push_back(reinterpret_cast<HWND>(
                static_cast<UINT_PTR>(std::stoull(bytes.substr(pos, end - pos)))));
            pos = end + 1;
        }
        if (windows_.size() != lines.size())
            ADD_FAILURE() << "the window host reported " << windows_.size() << " of " << lines.size() << " windows";
        return windows_.size() == lines.size();
    }
    // Waits until the host has settled after its start: its thread has
    // handled what its new windows set off (their activation, which may
    // come again a moment after they showed) and waits for input, and each
    // window answers a message sent now. False when it does not within 10 s.
    bool Settle() {
        if (::WaitForInputIdle(process_.Get(), 10000) != 0) return false;
        for (HWND w : windows_) {
            DWORD_PTR answer = 0;
            if (!::SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) return false;
        }
        return true;
    }
    HWND operator[](size_t i) const { return windows_.at(i); }
    DWORD Pid() const { return process_.Pid(); }
    const std::wstring& Exe() const { return exe_; }
    void Stop() { process_.Terminate(); }

private:
    testing_support::ScratchDir dir_;
    testing_support::ChildProcess process_;
    std::wstring exe_;
    std::vector<HWND> windows_;
};

inline LRESULT CALLBACK PlainWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

// A window of the test program itself, of a class of its own.
inline gui::OwnedWindow MakeWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h,
                                   HWND parent = nullptr, DWORD exStyle = 0) {
    static const wchar_t kClass[] = L"OrvTestWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = PlainWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClass;
        registered = ::RegisterClassExW(&wc) != 0;
    }
    return gui::OwnedWindow(::CreateWindowExW(exStyle, kClass, title, style, x, y, w, h, parent,
                                              nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

// The recorder's report: its command line and working folder.
struct Record {
    bool found = false;
    std::wstring commandLine, folder;
};

inline Record WaitForRecord(const std::wstring& file, DWORD ms = 10000) {
    Record r;
    if (!testing_support::WaitUntil(
            [&] { return ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, ms))
        return r;
    std::wstring text = gui::Utf8ToWide(testing_support::ReadBytes(file));
    size_t nl = text.find(L'\n');
    r.found = true;
    r.commandLine = text.substr(0, nl);
    if (nl != std::wstring::npos) {
        r.folder = text.substr(nl + 1);
        if (!r.folder.empty() && r.folder.back() == L'\n') r.folder.pop_back();
    }
    return r;
}

// Points the recorder at a report file for the programs this process starts.
class RecordFile {
public:
    explicit RecordFile(const std::wstring& path) : path_(path) {
        ::DeleteFileW(path_.c_str());
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", path_.c_str());
    }
    ~RecordFile() { ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", nullptr); }
    const std::wstring& Path() const { return path_; }
    Record Wait(DWORD ms = 10000) const { return WaitForRecord(path_, ms); }

private:
    std::wstring path_;
};

}  // namespace helper_windows
