// THisForm: the history window. It owns the ten history and favourites lists
// with their rules and files (THisLists, HisFiles), loads them when it is
// created and saves them on every close. The window itself is still a
// hidden frame: its controls, menus and capture come later, so the settings
// they will show are plain values in Lists.Settings today.
#pragma once

#include <windows.h>

#include <string>

#include "app/history/HisCapture.h"
#include "app/history/HisLists.h"
#include "components/Watch.h"
#include "gui/Form.h"

class THisForm : public gui::TForm {
public:
    explicit THisForm(gui::TComponent* owner);

    // The heartbeat's steps; the hook check and the CPU caption do nothing yet.
    void Proc_CheckHook() {}
    void Proc_DispCPU() {}
    // Fill the tray history menu's category and show the lists; nothing yet.
    void Proc_PPListSet(int category) {}
    void Proc_DispHis() {}
    void Proc_DispFav() {}
    // Acts on the tray history menu's entry with that tag; nothing yet.
    void Proc_PPListClick(int tag) {}

    // The lists, their settings and their rules.
    THisLists Lists;
    // MFileList[k*5 + c]: k 0 history, 1 favourites; c the category.
    gui::TStringList (&MFileList)[kHisListCount] = Lists.MFileList;
    // History lengths by category.
    std::array<int, kHisCategories>& MHisListNum = Lists.Settings.MHisListNum;

    // Most recent first into history list c, then that category of the tray
    // history menu is rebuilt. Returns the index the text had before, -1 if new.
    int RecordHistoryEntry(int c, const std::wstring& text);
    void Proc_DeleteFileHis(int c) { Lists.Proc_DeleteFileHis(c); }
    // Cuts favourites list c to 100 entries, with a warning when it had more.
    void Proc_DeleteFileFav(int c) { Lists.Proc_DeleteFileFav(c); }
    void Proc_PruneList(int c) { Lists.Proc_PruneList(c); }

    // "His.ini" and the list files in DataFolder; nothing without one.
    void Proc_LoadIni();
    bool Proc_SaveIni();
    void Proc_LoadLists();
    bool Proc_SaveLists();

    // Set while the history menu is being rebuilt.
    bool FPPLSet = false;
    // The launcher was visible when the program last ended.
    bool& FLaunchVisible = Lists.Settings.FLaunchVisible;

    // --- history capture (HisCapture.cpp) ------------------------------------
    // One poll of the heartbeat, given the foreground window and whether it
    // changed since the previous poll: on a change the target window is
    // chosen again; then, unless the tray menu's PPHisStop is checked, the
    // recorders run: the newest Recent document, the foreground program, the
    // folder of a file dialog, of a two-pane and of a single-pane Explorer
    // window, and the clipboard text.
    void Proc_TimerHis(HWND foreground, bool changed);

    HWND MExe = nullptr;        // foreground window the program recorder saw last
    std::wstring MDlgAdrB;      // folder last read from a file dialog's address bar
    std::wstring MExpDir;       // folder last recorded from an Explorer window
    std::wstring MClipB;        // clipboard text last recorded
    std::wstring MRecentDir;    // the user's Recent folder with "\", '' when unusable
    bool FRecentFile = false;   // the Recent folder changed since the last poll
    // Watches MRecentDir (250 ms after a burst of changes); lives with the window.
    TDirectoryWatcher* DirectoryWatcher = nullptr;
    // Explorer windows have tabs; set from the Windows build at creation.
    bool FWindows11_22H2Moment4 = false;
    // Chooses the window that entries act on; that comes with acting on
    // entries, so today it chooses nothing.
    void Proc_GetTarget() {}

private:
    void Proc_StartRecentWatch();
    void Proc_CaptureRecent();
    void Proc_CaptureExe(HWND wnd);
    void Proc_CaptureDialogDir(HWND wnd);
    void Proc_CaptureExplorerDir(HWND wnd, int c);
    void Proc_CaptureClip();
    // The window's list shows category c again after a recording that moved
    // an entry from index old (a text already first changes nothing).
    void Proc_RefreshRecorded(int c, int old);
    // The clipboard as last judged: its sequence number and the size limit
    // then, so an unchanged clipboard is not read again.
    DWORD FClipSequence = 0;
    int FClipSequenceLimit = -1;
    // --- end of history capture -----------------------------------------------

protected:
    void CreateParams(gui::TCreateParams& params) override;
    // Loads "His.ini", then the lists, and starts watching the Recent folder.
    void FormCreate() override;
    // Stops the Recent watcher.
    void FormDestroy() override;
    // Saves "His.ini" and the lists; unless the program is shutting down the
    // lists are read back from what was written. Closing is always allowed.
    void FormCloseQuery(bool& canClose) override;
};

extern THisForm* HisForm;
