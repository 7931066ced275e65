// THisCapture: the history capture. Every heartbeat it looks at the
// foreground window, the Recent folder and the clipboard and records what
// the user works with into the history lists. With it, what it decides from
// texts alone: where a Recent shortcut goes in a list kept newest first, and
// which program paths the program recorder keeps.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class THisLists;
class TDirectoryWatcher;

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

// What the capture needs from the window it records for.
struct THisCaptureLinks {
    // The foreground window changed: the target window is chosen again.
    std::function<void(HWND foreground)> ForegroundChanged;
    // Puts the text first in history list c and refills that category of the
    // tray history menu; returns the index the text had before, -1 if new.
    std::function<int(int c, const std::wstring& text)> Record;
    // Refills category c of the tray history menu.
    std::function<void(int c)> FillMenu;
    // The window's history list shows category c again when it shows it now.
    std::function<void(int c)> ShowAgain;
    // Explorer windows have tabs: the folder is read from the tab's title.
    std::function<bool()> ExplorerTabs;
};

class THisCapture {
public:
    THisCapture(THisLists& lists, THisCaptureLinks links);
    ~THisCapture();
    THisCapture(const THisCapture&) = delete;
    THisCapture& operator=(const THisCapture&) = delete;

    // One poll of the heartbeat, given the foreground window and whether it
    // changed since the previous poll: on a change the target window is
    // chosen again; then, unless the tray menu's PPHisStop is checked, the
    // recorders run: the newest Recent document, the foreground program, the
    // folder of a file dialog, of a two-pane and of a single-pane Explorer
    // window, and the clipboard text.
    void Proc_TimerHis(HWND foreground, bool changed);
    // Finds the Recent folder and watches it (250 ms after a burst of
    // changes); Proc_StopRecentWatch ends the watch.
    void Proc_StartRecentWatch();
    void Proc_StopRecentWatch();
    // The watcher of MRecentDir, nullptr while none runs.
    const TDirectoryWatcher* DirectoryWatcher() const { return watcher_.get(); }

    HWND MExe = nullptr;        // foreground window the program recorder saw last
    std::wstring MDlgAdrB;      // folder last read from a file dialog's address bar
    std::wstring MExpDir;       // folder last recorded from an Explorer window
    std::wstring MClipB;        // clipboard text last recorded
    std::wstring MRecentDir;    // the user's Recent folder with "\", '' when unusable
    bool FRecentFile = false;   // the Recent folder changed since the last poll

private:
    void Proc_CaptureRecent();
    void Proc_CaptureExe(HWND wnd);
    void Proc_CaptureDialogDir(HWND wnd);
    void Proc_CaptureExplorerDir(HWND wnd, int c);
    void Proc_CaptureClip();
    // The window's list shows category c again after a recording that moved
    // an entry from index old (a text already first changes nothing).
    void Proc_RefreshRecorded(int c, int old);

    THisLists& lists_;
    THisCaptureLinks links_;
    // The clipboard as last judged: its sequence number and the size limit
    // then, so an unchanged clipboard is not read again.
    DWORD FClipSequence = 0;
    int FClipSequenceLimit = -1;
    // Last, so it goes first: its change event writes the fields above.
    std::unique_ptr<TDirectoryWatcher> watcher_;
};
