// Helpers shared by the test programs: scratch folders, starting and
// watching programs, waiting for windows while pumping messages.
#pragma once

#include <windows.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
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
    // A running process given up by the assignment is terminated.
    ChildProcess& operator=(ChildProcess&& other) noexcept;
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
// The text of a window of any program (WM_GETTEXT, up to 4095 characters);
// empty when it does not answer within 5 s.
std::wstring WindowTextOf(HWND wnd);
// The clipboard's Unicode text (up to 10 tries to open it); "<not opened>" when it cannot be opened.
std::wstring ClipboardText();

}  // namespace testing_support

namespace testing_support {

// Answers the message boxes this process shows while it exists, each once:
// presses `button` (0: the box's default button) and keeps the box's text.
// `beforeAnswer` runs on the answering thread with each box while it is
// still open.
// A box is recognised by its message text (a static of id 0xFFFF in a
// "#32770" window), so other dialogs of the process are left alone. The
// answering thread has ended when the object is gone.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(WORD button = 0, std::function<void(HWND box)> beforeAnswer = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    // Texts of the boxes answered so far, in order.
    std::vector<std::wstring> Texts();
    size_t Count() { return Texts().size(); }

private:
    void Run();
    WORD button_;
    std::function<void(HWND)> beforeAnswer_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<std::wstring> texts_;
    std::vector<HWND> answered_;
    std::thread thread_;  // last: starts after every other member exists
};

}  // namespace testing_support
