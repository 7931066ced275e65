// A stand-in for the system calls of TExitWin that records every call and
// answers as told. The real calls end the whole session, so no test may
// reach them: every TExitWin under test gets this in place of its System.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "components/ExitWin32.h"

struct ExitWinFake {
    bool privilegeOk = true;
    bool exitOk = true;
    bool allowed = true;
    bool powerOk = true;
    // "privilege", "exit <flags>", "query <name>", "power <suspend> <force>".
    std::vector<std::string> calls;

    void Install(TExitWin& exitWin) {
        exitWin.System.EnableShutdownPrivilege = [this] {
            calls.push_back("privilege");
            return privilegeOk;
        };
        exitWin.System.ExitWindowsEx = [this](UINT flags, DWORD reason) {
            calls.push_back("exit " + std::to_string(flags) + (reason ? " reason" : ""));
            if (!exitOk) ::SetLastError(ERROR_ACCESS_DENIED);
            return exitOk;
        };
        exitWin.System.PowerQuery = [this](const char* name) {
            calls.push_back(std::string("query ") + name);
            return allowed;
        };
        exitWin.System.SetSystemPowerState = [this](bool suspend, bool force) {
            calls.push_back("power " + std::to_string(suspend) + " " + std::to_string(force));
            if (!powerOk) ::SetLastError(ERROR_ACCESS_DENIED);
            return powerOk;
        };
    }
};
