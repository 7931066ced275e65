// TRAMCleanX64: the worker thread that runs the sibling memory cleaner
// "Murvel.exe" from the program folder with the number of megabytes to free
// as its one argument, and waits until it ends, so the GUI thread stays
// responsive. It starts when made; OnTerminate runs on the thread that made
// it (through its hidden window) once the worker has ended, also when the
// cleaner could not be started. Freeing the object does not wait for the
// worker, which keeps what it needs until it ends.
#pragma once

#include <windows.h>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "gui/UtilWindow.h"

class TRAMCleanX64 {
public:
    using TNotifyEvent = std::function<void(TRAMCleanX64* sender)>;

    // programFolder ends with a backslash.
    TRAMCleanX64(const std::wstring& programFolder, int megabytes, TNotifyEvent onTerminate);
    ~TRAMCleanX64();
    TRAMCleanX64(const TRAMCleanX64&) = delete;
    TRAMCleanX64& operator=(const TRAMCleanX64&) = delete;

    // The cleaner's command line: its quoted path, a blank, the megabytes.
    static std::wstring CommandLine(const std::wstring& programFolder, int megabytes);

    // Asks the thread to end; the wait for the cleaner is not shortened.
    void Terminate();
    bool Terminated() const;
    // The worker has ended and OnTerminate has run.
    bool Finished() const noexcept { return FFinished; }
    // What ended the worker early (the start failure), or empty.
    std::exception_ptr FatalException() const;

    TNotifyEvent OnTerminate;

private:
    struct Shared;
    static unsigned __stdcall ThreadEntry(void* arg);
    bool WindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    std::shared_ptr<Shared> FShared;
    std::unique_ptr<gui::TUtilWindow> FWindow;
    bool FFinished = false;
};
