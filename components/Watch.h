// TDirectoryWatcher: reports changes inside one folder (not its subfolders)
// through OnChange on the GUI thread. A worker thread, TWatchThread, waits on
// the system's change notification and posts WM_FOLDERCHANGED to the
// watcher's hidden window. With Delay, a burst of changes is reported once,
// DelayTime ms after the last one.
#pragma once

#include <windows.h>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "gui/Component.h"
#include "gui/Handles.h"
#include "gui/Timer.h"

const UINT WM_FOLDERCHANGED = WM_USER + 256;

class TDirectoryWatcher;
using TDirectoryChangeEvent =
    std::function<void(TDirectoryWatcher* sender, const std::wstring& directory)>;

// The worker for one folder. It holds its own copies of the folder and the
// window to post to, and lives (shared with the watcher) until its thread
// has ended, so a watcher may stop and forget it while it waits. It touches
// no window beyond posting, and takes no lock but its own stop lock.
class TWatchThread : public std::enable_shared_from_this<TWatchThread> {
public:
    TWatchThread(HWND target, std::wstring directory);
    ~TWatchThread();
    TWatchThread(const TWatchThread&) = delete;
    TWatchThread& operator=(const TWatchThread&) = delete;

    // Runs the thread at idle priority; false when it could not be made.
    bool Start();
    // Marks it terminated and wakes it; from then on it posts nothing more
    // and ends on its own. Does not wait for it.
    void Stop();

private:
    static unsigned __stdcall ThreadEntry(void* arg);
    void Execute();
    // Posts one WM_FOLDERCHANGED unless Stop came first.
    void PostChange();

    HWND FTarget;
    std::wstring FDirectory;
    gui::Handle FTerminateEvent;
    std::atomic<bool> terminated_{false};
    // Held while the worker posts and while Stop marks it terminated, so no
    // post can follow Stop.
    SRWLOCK stopLock_ = SRWLOCK_INIT;
};

class TDirectoryWatcher : public gui::TComponent {
public:
    explicit TDirectoryWatcher(gui::TComponent* owner);
    ~TDirectoryWatcher() override;

    const std::wstring& Directory() const noexcept { return FDirectory; }
    // Another folder (compared without case) replaces the worker; '' watches nothing.
    void SetDirectory(const std::wstring& value);
    UINT DelayTime() const noexcept;
    void SetDelayTime(UINT ms);

    bool Delay = true;
    TDirectoryChangeEvent OnChange;

protected:
    virtual void DoChange();

private:
    static LRESULT CALLBACK WatcherWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    void FolderChanged();
    void OnFolderChangedTimer(gui::TTimer* sender);
    void StartThread();
    void StopThread() noexcept;

    std::wstring FDirectory;
    HWND FWindowHandle = nullptr;
    gui::TTimer* FTimer = nullptr;
    std::shared_ptr<TWatchThread> FThread;
    // The worker for the program folder waits for the message loop, so a
    // watcher given its folder right after creation starts one worker only.
    bool FStartPending = false;
};
