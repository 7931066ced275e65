// THisForm: the history window. It owns the ten history and favourites lists
// with their rules and files (THisLists, HisFiles), loads them when it is
// created and saves them on every close. It shows one category per tab: the
// history list, below it the favourites pane, beside them the memo pane, a
// find box above and a tool bar on top (HisWindow.cpp, with the rows, find,
// and favourites undo in HisRows.cpp). Its features hold their own state:
// acting on entries for the window the user was in before (THisTarget:
// pastes texts, opens files and programs, types folders into file dialogs
// and Explorer windows), the tray history menu's entries (THisTrayMenu), that
// menu on a desktop middle click and the global hot keys (THisHook), and the
// capture that records on every heartbeat what the user works with
// (THisCapture). The values of the settings page are plain values in
// Lists.Settings; the tool buttons hold their own state and write it there
// when the settings are saved.
#pragma once

#include <windows.h>

#include <string>

#include "app/history/HisCapture.h"
#include "app/history/HisHook.h"
#include "app/history/HisLists.h"
#include "app/history/HisMenu.h"
#include "app/history/HisTarget.h"
#include "components/DROPCOMEX.h"
#include "components/DROPDST.h"
#include "components/FolderDialog.h"
#include "components/HookHotKey.h"
#include "components/MakeShortCuts.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/Handles.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Timer.h"

class THisEnvPage;

class THisForm : public gui::TForm {
    friend class THisEnvPage;

public:
    explicit THisForm(gui::TComponent* owner);

    // --- the window (HisWindow.cpp) -------------------------------------------
    // Refills the history list box from history list c of the current tab:
    // prunes it, sorts it by name when TBSort is down (c not 0), keeps the
    // selected row's text selected when the list has the focus; on the
    // program tab the launcher's history pane follows.
    void Proc_DispHis();
    // The same for the favourites list box (no pruning, no sorting).
    void Proc_DispFav();
    // The caption with each processor core's usage (every slow tick).
    void Proc_DispCPU();
    // The category of the current tab changed: both lists, the tray menu's
    // category, the list menus' items and the tool buttons follow.
    void TabControlChange();
    void TBEditClick();
    void TBCPUCoreClick();
    // The settings page was entered or left (hot keys out while it shows).
    void PageControlChange();
    // The mouse wheel over the window: scrolls the list or memo under the
    // cursor, with Ctrl changes the lists' or memo's font size, over the
    // tabs changes the tab. Always handled.
    void FormMouseWheel(gui::TShiftState shift, int delta, POINT screenPos);
    // The status line for the selected entry (tool buttons' state with it).
    void Proc_DispStatus();
    // Neither list keeps a selection; the tool buttons wait for one.
    void Proc_ResetSelection();

    // --- gestures on the list rows and window details (HisGestures.cpp) ------
    // The window moved: on another monitor its taskbar button follows it.
    void WMMove();
    // "X:\ [label]" for each drive root, in the system's order.
    void Proc_GetDriveList(gui::TStringList* list);
    // The monitor the window was last on.
    int MMonNo = 0;

    // --- favourites undo, find and the rows (HisRows.cpp) --------------------
    // Takes the undo snapshot of the current category's favourites.
    void Proc_SaveUndo(const std::wstring& actionName);
    void PPUndoClick();
    void CBFindChange();
    void BtnFindDownClick();

    // --- the history list's pop-up menu (HisListMenu.cpp) ---------------------
    // The enabled states for the selected row and the IME item's caption.
    void PPMenuListPopup();
    void PPFileSaveClick();
    void PPIMEExeClick();
    // --- favourites actions, drags between the lists, row hints (HisFavActions.cpp)
    void PPFavFileSaveClick();
    // The selected history entry goes to the end of the favourites.
    void PPAddClick();
    // A row of either list dropped on the favourites list.
    void ListBoxFavDragDrop(gui::TControl* source, int x, int y);
    // --- the memo pane (HisMemo.cpp) -----------------------------------------
    // Enabled states of the memo menu's paste, undo and erase items.
    void PPEditPopup();
    void PPEditCutClick();
    void PPEditCopyClick();
    // The memo's own undo step when it has one, else the text before the
    // last entry dragged in is swapped with the memo's (so a second undo
    // brings the drop back).
    void PPEditUndoClick();
    void PPEditEraseClick();
    // Applies the memo's font to the whole text again.
    void EditChange();
    // The memo's text before the last entry dragged into it: empty when
    // nothing is saved, kEditDDUndoEmpty when the memo was empty then.
    std::wstring MEditDDUndo;
    static const std::wstring kEditDDUndoEmpty;

    // --- files dropped on the window (HisDrop.cpp) ---------------------------
    // Files dropped on the favourites (MDropC 1) become favourites of the
    // current category; text files dropped on the memo (2) are appended to it.
    void DropDstFileDrop(gui::TStringList* files);

    // --- acting on the selected entry (HisStatus.cpp) ------------------------
    // Acts on the selected entry of the history list (list 0) or the
    // favourites (1) of the current tab (action as in
    // THisTarget::Proc_ExecuteEntry); then neither list keeps a selection,
    // and the window closes when TBExeClose is down.
    void Proc_Execute(int list, int action);

    // The main button's picture on the clipboard tab: the target program's
    // icon; empty while there is no target (the no-target picture).
    gui::TIcon TBexeIcon;

    // The lists, their settings and their rules.
    THisLists Lists;

    // Most recent first into history list c, then that category of the tray
    // history menu is rebuilt. Returns the index the text had before, -1 if new.
    int RecordHistoryEntry(int c, const std::wstring& text);

    // "His.ini" in DataFolder; nothing without one.
    void Proc_LoadIni();
    bool Proc_SaveIni();

    // The window's features, each holding its own state; they reach the
    // window only through the links made here, and come after the lists
    // they keep references to.
    // Acting on the target window.
    THisTarget Target{Lists.Settings, TargetLinks()};
    // The tray history menu's entries.
    THisTrayMenu TrayMenu{Lists, Target, [this] { return Handle(); }};
    // The desktop middle click and the global hot keys.
    THisHook Hook{Lists.Settings, HookLinks()};
    // What the heartbeat records into the history lists.
    THisCapture Capture{Lists, CaptureLinks()};

private:
    // What only the window's own files call, by the same parts as above.
    // --- the window (HisWindow.cpp) -------------------------------------------
    void TBSortClick();
    void TBFavClick();
    void TBexeClick();
    void TBUpExpClick();
    void TBUpFolClick();
    void TBContxClick();
    void TBBrackwenClick();
    // Sees each message of the program before it is handled: notes where
    // files are dropped and takes the wheel for the window.
    bool ApplicationEventsMessage(MSG& msg);
    // The application's show-hint handler: a list box shows its current row
    // hint, asked for again every 250 ms so it follows the mouse.
    void Proc_ShowListHint(std::wstring& hintStr, bool& canShow, gui::THintInfo& hintInfo);
    // --- gestures on the list rows and window details (HisGestures.cpp) ------
    // A mouse button pressed on a row of the focused list: the list's own
    // menu only without Shift, Alt and Ctrl; right with Ctrl the shell's
    // context menu of the entry, right with Shift the companion folder tool
    // on its folder.
    void Proc_ListRightClick(gui::TMouseButton button, gui::TShiftState shift);
    // Right with Alt on an existing file tab entry: after half a second, when
    // the pointer has left the window, the entry is dragged out to the
    // program under it.
    void Proc_ListDragOut(gui::TMouseButton button, gui::TShiftState shift);
    // --- favourites undo, find and the rows (HisRows.cpp) --------------------
    void BtnFindUpClick();
    void TimerWheelTimer();
    // --- the history list's pop-up menu (HisListMenu.cpp) ---------------------
    // Shortcuts, handlers and the save dialog of PPMenuList (the item that
    // adds to the favourites is wired with the favourites' actions).
    void SetupListMenu();
    void PPClipClick();
    void PPExeCmdClick();
    void PPSCMakeClick();
    // Saves the entry as a one-line text file, in the folder and encoding the
    // user picks in TextSaveDialog (the favourites' save uses it too).
    void Proc_SaveEntryToFile(const std::wstring& entry);
    void PPFolClick();
    void PPExpClick();
    void PPNoDirClick();
    void PPNoExeClick();
    void PPDelClick();
    void PPDelAllClick();
    // --- favourites actions, drags between the lists, row hints (HisFavActions.cpp)
    // The favourites menu's enabled states for the selected favourite; for a
    // shortcut key pressed outside the favourites list every item declines.
    void PPMenuFavPopup();
    void PPFavCopyClick();
    void PPFavExeCmdClick();
    void PPFavSCMakeClick();
    void PPFolFClick();
    void PPExpFClick();
    void PPUpClick();
    void PPDownClick();
    void PPFavDelClick();
    // A row of either list dragged over the favourites list.
    void ListBoxFavDragOver(gui::TControl* source, int x, int y, bool& accept);
    void ListBoxFavDblClick();
    // The hint of the row under the mouse (its text, with the file's program
    // or the program's description).
    void ListBoxHisMouseMove(int x, int y);
    void ListBoxFavMouseMove(int x, int y);
    // --- the memo pane (HisMemo.cpp) -----------------------------------------
    // Cut and copy are offered exactly while the memo has a selection.
    void EditSelectionChange();
    void PPEditPasteClick();
    // A row of the history list or the favourites dragged onto the memo.
    void EditDragOver(gui::TControl* source, bool& accept);
    void EditDragDrop(gui::TControl* source);
    void EditMouseDown();
    // --- acting on the selected entry (HisStatus.cpp) ------------------------
    // Shows TBexeIcon on the main button, or the no-target picture.
    void Proc_SetTBexeImage();
    // The tool buttons' hints and the main button's picture for a new target.
    void Proc_TargetHints(HWND target);
    // The main button shows the target program's icon (none: the no-target picture).
    void Proc_ShowTargetIcon(HWND target);
    // --- the files and the features' links (His.cpp) --------------------------
    // The list files in DataFolder; nothing without one.
    void Proc_LoadLists();
    bool Proc_SaveLists();
    THisCaptureLinks CaptureLinks();
    THisTargetLinks TargetLinks();
    THisHookLinks HookLinks();

private:
    // --- controls and components ------------------------------------------
    // The settings page's controls (HisEnvPage.cpp).
    THisEnvPage* EnvPage = nullptr;
    gui::TPageControl* PageControl = nullptr;
    gui::TTabSheet *TabSheetAct = nullptr, *TabSheetEnv = nullptr;
    gui::TToolButton *TBexe = nullptr, *TBUpExp = nullptr, *TBUpFol = nullptr, *TBSort = nullptr,
                     *TBContx = nullptr, *TBBrackwen = nullptr, *TBFav = nullptr, *TBEdit = nullptr,
                     *TBCPUCore = nullptr, *TBExeClose = nullptr;
    gui::TTabControl* TabControl = nullptr;
    gui::TListBox *ListBoxHis = nullptr, *ListBoxFav = nullptr;
    gui::TSplitter *SplitterFav = nullptr, *SplitterEdit = nullptr;
    gui::TPanel *PanelFav = nullptr, *PanelEdit = nullptr;
    gui::TRichEdit* Edit = nullptr;
    gui::TComboBox* CBFind = nullptr;
    gui::TButton *BtnFindDown = nullptr, *BtnFindUp = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    gui::TImageList *ImageListTab = nullptr, *ImageListHis = nullptr, *ImageListToolbar = nullptr;
    gui::TTimer* TimerWheel = nullptr;
    gui::TSaveDialog* TextSaveDialog = nullptr;
    // The list pop-up menus and the memo's.
    gui::TPopupMenu *PPMenuList = nullptr, *PPMenuFav = nullptr, *PPEdit = nullptr;
    gui::TMenuItem *PPClip = nullptr, *PPExeCmd = nullptr, *PPSCMake = nullptr, *PPFileSave = nullptr,
                   *PPFol = nullptr, *PPExp = nullptr, *PPAdd = nullptr, *PPNoDir = nullptr, *PPNoExe = nullptr,
                   *PPIMEExe = nullptr, *PPDel = nullptr, *PPDelAll = nullptr;
    gui::TMenuItem *PPFavCopy = nullptr, *PPFavExeCmd = nullptr, *PPFavSCMake = nullptr, *PPFavFileSave = nullptr,
                   *PPFolF = nullptr, *PPExpF = nullptr, *PPUp = nullptr, *PPDown = nullptr, *PPFavDel = nullptr,
                   *PPUndo = nullptr;
    gui::TMenuItem *PPEditCut = nullptr, *PPEditCopy = nullptr, *PPEditPaste = nullptr, *PPEditErase = nullptr,
                   *PPEditUndo = nullptr;
    gui::TToolBar* ToolBar = nullptr;
    gui::TToolButton* TBClose = nullptr;
    gui::TListBox* ListBoxClip = nullptr;
    gui::TPanel* PanelFind = nullptr;
    gui::TImageList* ImageListFav = nullptr;
    THookHotKey* HookHotKey = nullptr;
    TDropDst* DropDst = nullptr;
    gui::TFontDialog* FontDialog = nullptr;
    gui::TOpenDialog* OpenDialog = nullptr;
    TFolderDlg* FolderDlg = nullptr;
    TContextMenuEx* ContextMenuEx = nullptr;
    TDropSourceEx* DropSourceEx = nullptr;
    TMakeShortCuts* MakeShortCuts = nullptr;
    // The separators before the folder items of the two list menus.
    gui::TMenuItem *PPDirBar = nullptr, *PPDirBarF = nullptr;

    // Texts of the selected rows, kept across a refill.
    std::wstring MHisIndexItem, MFavIndexItem;
    // Drop target of the current file drop: 0 none, 1 favourites, 2 memo.
    int MDropC = 0;
    // Program and arguments handed to the shortcut maker.
    std::wstring MParamStr1, MParamStr2;
    bool FSingleCore = false;
    bool FWindows11_22H2Moment = false;

public:
    // The current category (the tab's index; category 4 has no tab from
    // Vista on, but is still a category of the lists).
    int Category() const { return Lists.Settings.Tab; }

private:
    void CreateControls();
    void CreateMenus();
    // Binds the favourites menu's items and keys, PPAdd, the favourites
    // list's drag and double-click events and both lists' row hints.
    void Proc_BindFavActions();
    // The selected favourite's row (an index into the favourites of the
    // current category), -1 when none.
    int SelectedFavRow() const;
    // After a change of the favourites: the list, the status, the tray menu.
    void Proc_RefreshFav();
    void Proc_ListRowHint(gui::TListBox* list, int x, int y);
    void CreateImages();
    // The memo's menu, its handlers and its design properties.
    void CreateMemo();
    // False (after a warning) for a file of 1024 KB or more.
    bool Func_DropFileSizeOK(const std::wstring& fileName);
    // Set while EditChange applies the memo's font.
    bool FEditFontApplying = false;
    // The tool buttons, the lists' font and the panes from Lists.Settings,
    // and back before saving.
    void ApplySettingsToControls();
    void ReadSettingsFromControls();
    void ApplyListFont();
    void Proc_DispList(gui::TListBox* list, gui::TImageList* images, int k, std::wstring& indexItem);
    void DrawListRow(gui::TListBox* list, gui::TImageList* images, int k, gui::TDrawItemInfo& item);
    void Proc_Find(bool down);
    void Proc_KeepIconsInStep(gui::TListBox* list, gui::TImageList* images);
    // The selected entry of the active list (the history list when it is
    // the active control, else the favourites); false when none.
    bool SelectedEntry(std::wstring& entry);
    // Alt with ch: clicks the tool button or find button, or selects the tab,
    // whose caption has ch as its accelerator; false when none has.
    bool Proc_DialogChar(wchar_t ch);
    void FormKeyDown(WORD& key, gui::TShiftState shift);
    void FormKeyPress(wchar_t& key);
    void FormResize();
    void SplitterFavMoved();
    void SplitterEditMoved();
    // The active control of the window (the focused control), or nullptr.
    gui::TWinControl* ActiveControl() const;
    gui::TMessageListener FApplicationMessages;
    // Both lists' mouse-down gestures and the application's hint handler.
    void WireListGestures();
    void UnwireListGestures();
    // The list a gesture acts on (the history list when it has the focus,
    // else the favourites) and its selected entry; false when none.
    gui::TListBox* GestureList();
    bool GestureEntry(std::wstring& entry);
    void Proc_SetListAutoPopup(gui::TShiftState shift);
    bool FAppliedSettingsPage = false;
    // Set by a show: the next activation gives the history list the focus.
    bool FFocusListOnActivate = false;

protected:
    // Builds the window's controls, loads "His.ini", then the lists, and
    // starts watching the Recent folder, the hot keys and the hook library.
    void FormCreate() override;
    // Stops the Recent watcher, removes the hook and the hot keys.
    void FormDestroy() override;
    // Bounds and state from "His.ini" again, a taskbar button, the
    // functions page, and the desktop hook renewed.
    void FormShow() override;
    // Saves "His.ini" and the lists; unless the program is shutting down the
    // lists are read back from what was written. Closing is always allowed.
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

extern THisForm* HisForm;
