// What the history capture decides from texts alone: where a Recent
// shortcut goes in a list kept newest first, and which program paths the
// program recorder keeps. The capture itself (THisForm::Proc_TimerHis and
// its recorders) is in HisCapture.cpp.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A shortcut of the Recent folder with its last-write time.
struct TRecentShortcut {
    std::wstring Path;
    ULONGLONG Time = 0;  // FILETIME as one number
};

// Position for a shortcut of that time in a list ordered newest first:
// after every shortcut of the same or a newer time, so of two shortcuts of
// one time the one met first stays in front.
int Proc_InsertByTime(const std::vector<TRecentShortcut>& list, ULONGLONG time);

// The places the program recorder leaves out.
struct TProgramPlaces {
    std::wstring OwnFileName;     // this program's file name
    std::wstring WindowsDir;      // without a trailing "\"
    std::wstring WindowsAppsDir;  // the store apps' folder, with "\"
    bool Windows11 = false;
};

// The places of this system: the running program, the Windows folder, the
// boot drive's store-app folder and the Windows version.
TProgramPlaces CurrentProgramPlaces();

// True when the program's file name rules it out: this program itself, a
// name containing "setup", or "msiexec.exe" (all ignoring case).
bool IsSkippedProgramName(const std::wstring& path, const std::wstring& ownFileName);
// False when the path lies where the recorder records nothing (store apps,
// system apps, rundll32, the app frame host). On Windows 11 the store's
// Notepad is replaced by the Windows folder's, which is recorded.
bool AdmitProgramPlace(std::wstring& path, const TProgramPlaces& places);
