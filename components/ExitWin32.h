// TExitWin: logs the user off, shuts down or restarts Windows, or puts the
// machine to sleep or into hibernation. Every refusal raises EExitError with
// a fixed Japanese message; nothing is retried.
//
// The calls that act on the session go through System, which holds the
// real system calls by default. Tests put recorders in their place, since
// the real ones end the whole session.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

#include "gui/Component.h"
#include "gui/Exception.h"
#include "toolkit/QuorvinVersion.h"

class EExitError : public gui::Exception {
public:
    using gui::Exception::Exception;
};

// The system calls TExitWin makes.
struct TExitWinSystem {
    std::function<bool(UINT flags, DWORD reason)> ExitWindowsEx;
    // Enables "SeShutdownPrivilege" in the process token; true on success.
    std::function<bool()> EnableShutdownPrivilege;
    // Calls the named query of "Powrprof.dll" ("IsPwrSuspendAllowed",
    // "IsPwrHibernateAllowed"); false without the library or the function.
    std::function<bool(const char* name)> PowerQuery;
    std::function<bool(bool suspend, bool force)> SetSystemPowerState;

    static TExitWinSystem Real();
};

class TExitWin : public gui::TComponent {
public:
    // Reads the Windows version first.
    explicit TExitWin(gui::TComponent* owner);

    TExitWinSystem System = TExitWinSystem::Real();
    // The Windows version read at construction.
    TWindowsVersion Version;

    void LogOffWindows();
    void PowerOffWindows();
    void ShutdownWindows();
    void RebootWindows();
    void RestartWindows();
    // Forced log off.
    void ForceWindows();
    // Ends hung programs while logging off (Windows 2000 and later).
    void ForceHungWindows();
    // Always refused: this system family has no MS-DOS mode.
    void ExitToDosMode();
    void Suspend();
    void Hibernate();

private:
    // The shutdown privilege, then ExitWindowsEx; message on failure.
    void ExitWith(UINT flags, bool privilege, const wchar_t* message);
    bool PowerAllowed(const char* query);
    // Refused (false) when the privilege or the call fails.
    bool SetPowerState(bool suspend);
};
