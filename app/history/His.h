// THisForm: the history window. It owns the ten history and favourites lists
// with their rules and files (THisLists, HisFiles), loads them when it is
// created and saves them on every close. It acts on entries for the window
// the user was in before (the target window, HisTarget.cpp): pastes texts,
// opens files and programs, types folders into file dialogs and Explorer
// windows (HisJump.cpp), fills and answers the tray history menu
// (HisMenu.cpp), and on every heartbeat records what the user works with
// (HisCapture.cpp). The window is a frame without controls: the settings are
// plain values in Lists.Settings, and the state of its list boxes and tool
// buttons is kept in plain fields below.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "app/history/HisCapture.h"
#include "app/history/HisLists.h"
#include "components/Watch.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/Handles.h"

// A tool button of the window as acting on entries sees it: its hint and
// whether it can be pressed.
struct THisToolButton {
    std::wstring Hint;
    bool Enabled = false;
};

class THisForm : public gui::TForm {
public:
    explicit THisForm(gui::TComponent* owner);

    // The heartbeat's hook check and CPU caption, and showing the lists: the
    // frame has no hook option, caption display or lists to show.
    void Proc_CheckHook() {}
    void Proc_DispCPU() {}
    void Proc_DispHis() {}
    void Proc_DispFav() {}

    // --- the tray history menu (HisMenu.cpp) ---------------------------------
    // Fills the 40 entries of category c of the main form's history menu.
    void Proc_PPListSet(int c);
    // Acts on the entry the menu item with this tag stands for.
    void Proc_PPListClick(int tag);
    // The picture of each entry item (with "アイコンを表示"), by item index:
    // a bitmap for the item's picture beside its caption, empty for none;
    // kept here while the item shows it.
    std::array<gui::OwnedGdiObject, 200> MPPListPicture;

    // --- the target window and acting on entries (HisTarget.cpp) -------------
    // Chooses the target: the program window just below the program's own
    // in Z order, unless it is one that cannot take a paste or a folder.
    // Sets MClipHandle; on a change also the tool buttons' hints.
    void Proc_GetTarget();
    // Acts on the selected entry of the history list (list 0) or the
    // favourites (1) of the current tab: action 0 the main action (TBexe),
    // 1 the folder action of TBUpExp, 2 that of TBUpFol.
    void Proc_Execute(int list, int action);
    // Brings the target to the front and sends it the paste keys.
    void Proc_Paste();
    // Types the folder into the target file dialog's file-name box and
    // presses Enter, so the dialog goes there (HisJump.cpp).
    void Proc_PasteDialogPath(const std::wstring& folder);
    // Types the folder into the target Explorer window's address bar and
    // presses Enter (HisJump.cpp).
    void Proc_JumpExplorer(const std::wstring& folder);

    // The target window, 0 when there is none.
    HWND MClipHandle = nullptr;
    // The last window of another program the heartbeat saw in front (the
    // taskbar aside): the target when the Z-order walk finds none.
    HWND MFrontWin = nullptr;
    void Proc_RememberFront(HWND foreground);
    // The target of the previous determination (hints change only with it).
    HWND MClipHandleB = nullptr;
    // Ctrl+Enter was pressed: the next program start asks for options first.
    bool FExeCtrlKey = false;
    // Explorer windows have tabs: their address bar cannot be driven.
    bool FWindows11_22H2Moment4 = false;
    // The file-name box found in the last file dialog typed into.
    HWND MDlgEdit = nullptr;

    // The tool buttons that act on the selection, and the selected rows of
    // the history and favourites list boxes (-1: none) with the status text.
    THisToolButton TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen;
    int ListBoxHisIndex = -1, ListBoxFavIndex = -1;
    std::wstring StatusText;
    // The main button's picture on the clipboard tab: the target program's
    // icon; empty while there is no target (the no-target picture).
    gui::TIcon TBexeIcon;

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
    // Maximised when it was so at its last close.
    void FormShow() override;
    // Saves "His.ini" and the lists; unless the program is shutting down the
    // lists are read back from what was written. Closing is always allowed.
    void FormCloseQuery(bool& canClose) override;
};

extern THisForm* HisForm;
