// TThread: a worker thread with a termination event on the GUI thread.
// Execute runs on the new thread and should return soon after Terminated()
// becomes true. When it has returned, OnTerminate runs on the thread that
// made the object (through its message loop); an exception that left
// Execute goes to the application's exception handler there. Freeing the
// object asks the thread to end and waits for it.
#pragma once

#include <windows.h>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>

#include "gui/Handles.h"

namespace gui {

class TUtilWindow;

class TThread {
public:
    TThread();
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts Execute on a new thread (once); throws gui::Exception on failure.
    void Start();
    void Terminate() noexcept { terminated_ = true; }
    bool Terminated() const noexcept { return terminated_; }
    bool Finished() const noexcept { return finished_; }
    // Waits until Execute has returned (OnTerminate may still be queued).
    void WaitFor() noexcept;

    std::function<void(TThread* sender)> OnTerminate;

protected:
    virtual void Execute() = 0;

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Terminated_GuiThread();

    std::unique_ptr<TUtilWindow> window_;
    Handle thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::exception_ptr error_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace gui
