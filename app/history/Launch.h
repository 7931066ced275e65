// TLaunchForm: the program launcher. A resizable tool window that shows the
// history window's program history (top pane) and program favourites (lower
// pane) as large icons captioned from the programs' version information; a
// click or a double click (the tool bar chooses) starts a program, with Ctrl
// held after the command-line options dialog. It has its own tray icon,
// which animates while the window is shown, a translucency choice in 5 %
// steps, and keeps its settings in "Launch.ini". The history window owns the
// lists and tells the launcher to rebuild a pane through Proc_DispData.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/IniFile.h"
#include "gui/Menus.h"
#include "gui/TrayIcon.h"

class TLaunchForm : public gui::TForm {
public:
    explicit TLaunchForm(gui::TComponent* owner);

    // --- components ------------------------------------------------------------
    gui::TToolBar* ToolBar = nullptr;
    gui::TToolButton* TBWClick = nullptr;       // double-click mode (down by default)
    gui::TToolButton* TB1Click = nullptr;       // single-click mode
    gui::TToolButton* TBExeHide = nullptr;      // hide after starting a program
    gui::TToolButton* TBHide = nullptr;
    gui::TToolButton* TBTrans = nullptr;        // translucency on/off; its arrow chooses the step
    gui::TToolButton* TBClassicIcon = nullptr;  // the classic tray pictures
    gui::TPopupMenu* PPMenuTrans = nullptr;
    gui::TPanel* PanelHis = nullptr;
    gui::TListView* ListViewHis = nullptr;
    gui::TSplitter* Splitter = nullptr;
    gui::TPanel* PanelFav = nullptr;
    gui::TListView* ListViewFav = nullptr;
    gui::TImageList* ImageListHis = nullptr;  // image index = row index
    gui::TImageList* ImageListFav = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    gui::TTrayIcon* TrayIcon = nullptr;
    gui::TImageList* ImageListTray0 = nullptr;  // still pictures: 0 normal, 1 classic
    gui::TImageList* ImageListTray1 = nullptr;  // animation, normal
    gui::TImageList* ImageListTray2 = nullptr;  // animation, classic

    // --- fields ------------------------------------------------------------------
    // The translucency step 1..19: an opacity of (step * 5 + 5) %; 19 is opaque.
    int MPPTransC = 19;
    // MPPTrans[i] is the menu item of step i (index 0 unused).
    std::array<gui::TMenuItem*, 20> MPPTrans{};
    // The history pane's height in percent of the client height, 25..75.
    int MHisH = 25;
    // The window's translucency switch and opacity (of 255).
    bool AlphaBlend = false;
    BYTE AlphaBlendValue = 255;

    // Rebuilds one pane: 0 the program history, 1 the program favourites.
    void Proc_DispData(int M);
    // Asks for options first when Ctrl is held: then the options dialog runs
    // and starts the program, and the result is true. False tells the caller
    // to start the program itself.
    bool Func_ExeCmd(const std::wstring& fileName);
    // The options dialog for the program, which starts it on OK; true in
    // every case, so the caller starts nothing itself.
    bool Func_ExeCmdDlg(const std::wstring& fileName);
    // Shows or hides the launcher together with its tray icon and the tray
    // menu's check mark (the launcher's global hot key).
    void Proc_ToggleLauncher();

    // --- handlers ------------------------------------------------------------------
    void ListViewClick(int pane);
    void ListViewDblClick(int pane);
    void ListViewKeyDown(int pane, WORD& key);
    void SplitterMoved();
    void PPTransClick(gui::TMenuItem* item);
    void TBTransClick();
    void TBClassicIconClick();
    void TrayIconMouseDown(gui::TMouseButton button);
    // Sets the translucency step: the item's check, the opacity and the switch.
    void SetTransStep(int step);

    // "Launch.ini" in DataFolder.
    void Proc_LoadIni();
    bool Proc_SaveIni();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormHide() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    gui::TListView* Pane(int pane) const { return pane == 0 ? ListViewHis : ListViewFav; }
    void StartEntry(const std::wstring& path);
    // The path of the selected row of a pane; false when none is selected.
    bool SelectedEntry(int pane, std::wstring& path) const;
    void ApplyPaneSplit();
    void ApplyAlphaBlend();
    void SetStillTrayIcon();
    void SetAnimatedTrayIcon();
    void ReadBounds(const gui::TMemIniFile& ini);
    // Between FormShow and FormHide: the panes are built only then.
    bool FShowing = false;
};

extern TLaunchForm* LaunchForm;
