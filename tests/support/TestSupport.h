// Helpers shared by the test programs: scratch folders, starting and
// watching programs, waiting for windows while pumping messages.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace testing_support {

// The folder of the running test program (where every built program lies), with "\".
std::wstring BinDir();

// A new empty folder under %TEMP%, removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::wstring& Path() const { return path_; }  // with trailing "\"
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

void RemoveTree(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// A started program; terminated at the end unless it has ended.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;
    ~ChildProcess();

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Pid() const { return pid_; }
    HANDLE Get() const { return process_.get(); }
    bool WaitExit(DWORD ms);  // true when it has ended within ms
    bool Running();
    DWORD ExitCode();
    void Terminate();

    static ChildProcess Start(const std::wstring& exe, const std::wstring& args = L"");

private:
    gui::Handle process_;
    DWORD pid_ = 0;
};

// Polls cond every stepMs (handling this thread's messages) until it holds
// or timeoutMs passed; returns its last value.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD stepMs = 20);
void PumpMessages(DWORD ms);

// Top-level windows of that class (and title, when given), hidden ones too.
std::vector<HWND> FindTopWindows(const std::wstring& cls, const std::wstring* title = nullptr);
DWORD WindowProcessId(HWND wnd);
// The open pop-up menu window ("#32768") of this process, or nullptr.
HWND OpenMenuWindow();
// The clipboard's Unicode text (up to 10 tries to open it); "<not opened>" when it cannot be opened.
std::wstring ClipboardText();

}  // namespace testing_support

namespace testing_support {

// Presses the default button (or the button given) of every message box this
// process shows while it exists, and keeps their texts: for code under test
// that asks the user. `beforeAnswer` runs on the answering thread with each
// box while it is still open.
class DialogAutoCloser {
public:
    DialogAutoCloser();
    explicit DialogAutoCloser(WORD button, std::function<void(HWND box)> beforeAnswer = {});
    ~DialogAutoCloser();
    DialogAutoCloser(const DialogAutoCloser&) = delete;
    DialogAutoCloser& operator=(const DialogAutoCloser&) = delete;
    // Texts of the boxes closed so far.
    std::vector<std::wstring> Texts();

private:
    static DWORD WINAPI Run(void* self);
    WORD button_ = 0;  // 0: the default button
    std::function<void(HWND)> beforeAnswer_;
    gui::Handle stop_;
    gui::Handle thread_;
    CRITICAL_SECTION lock_;
    std::vector<std::wstring> texts_;
};

}  // namespace testing_support
