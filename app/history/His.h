// THisForm: the history window. It owns the ten history and favourites lists
// with their rules and files (THisLists, HisFiles), loads them when it is
// created and saves them on every close. The window itself is still a
// hidden frame: its controls, menus and capture come later, so the settings
// they will show are plain values in Lists.Settings today.
#pragma once

#include <windows.h>

#include <string>

#include "app/history/HisLists.h"
#include "gui/Form.h"

class THisForm : public gui::TForm {
public:
    explicit THisForm(gui::TComponent* owner);

    // The heartbeat's steps; they do nothing yet.
    void Proc_TimerHis(HWND foreground, bool changed) {}
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

protected:
    void CreateParams(gui::TCreateParams& params) override;
    // Loads "His.ini", then the lists.
    void FormCreate() override;
    // Saves "His.ini" and the lists; unless the program is shutting down the
    // lists are read back from what was written. Closing is always allowed.
    void FormCloseQuery(bool& canClose) override;
};

extern THisForm* HisForm;
