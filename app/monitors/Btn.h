// TBtnForm: the button watch. On every heartbeat tick it presses the
// registered buttons of other programs' dialogs, and moves the mouse cursor
// onto the most likely button of every new foreground dialog. Its window is
// the registration window; it owns "Btn.ini" and "Btn.lst" and the
// stop/resume hot key (index 1), which toggles the tray menu's PPBtnStop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/monitors/BtnFiles.h"
#include "components/HookHotKey.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/HotKeyEdit.h"
#include "gui/StdCtrls.h"
#include "gui/StringList.h"

class TBtnForm : public gui::TForm {
public:
    explicit TBtnForm(gui::TComponent* owner);

    // One step of the watch: ForegroundWnd is the current foreground window,
    // Changed whether it differs from the previous tick's (or the cursor
    // feature has not finished with it yet).
    void Proc_TimerBtn(HWND ForegroundWnd, bool Changed);

    // Runs the scan over every window in candidate mode, as the registration
    // window's searches do: ListAdd gets a row for every button of another
    // program's window. With activeOnly only the first visible window below
    // this window in Z order is searched.
    void Proc_SearchButtons(bool activeOnly);

    THookHotKey* HookHotKey;

    // The registered buttons, in list order, and the candidates of the last
    // search; rows as TBtnField says.
    std::vector<TBtnEntry> ListList;
    std::vector<TBtnEntry> ListAdd;
    int MListListC = 0;
    int MMAXBtnData = 100;
    // The window under the mouse cursor at the last scan.
    HWND MButtonWin = nullptr;
    // The foreground window the cursor feature has finished with; 0 when none.
    HWND MCursorWin = nullptr;
    // The handled-window list: windows (decimal handles) the cursor feature
    // has run for.
    gui::TStringList ListBoxCursor;
    // The values of the files and of the window's option controls.
    TBtnSettings Settings;

    void Proc_LoadIni();
    bool Proc_SaveIni();
    void Proc_LoadList();
    bool Proc_SaveList();

    // --- the registration window (BtnWindow.cpp) ------------------------------
    // The controls show ListList, ListAdd and Settings; every change the
    // user makes goes back into them at once.
    gui::TToolBar* ToolBar = nullptr;
    gui::TToolButton *TBGet = nullptr, *TBAct = nullptr, *TBAdd = nullptr, *TBAddNoSize = nullptr,
                     *TBDel = nullptr, *TBUp = nullptr, *TBDown = nullptr, *TBMoveCursor = nullptr,
                     *TBCloseSave = nullptr;
    gui::TGroupBox* GroupBoxMessage = nullptr;
    gui::TCheckBox* CHKMessage = nullptr;
    gui::TMemo* EditMessage = nullptr;
    gui::TPageControl* PageControl = nullptr;
    gui::TTabSheet *TabSheetAdd = nullptr, *TabSheetSave = nullptr;
    // The list views of the candidates (ListAdd) and of the registered
    // buttons (ListList).
    gui::TListView *ListAddView = nullptr, *ListListView = nullptr;
    gui::TPanel* PanelBottom = nullptr;
    gui::TGroupBox *GroupBoxHotKey = nullptr, *GroupBoxWav = nullptr;
    gui::THotKeyEdit* EditHTKStop = nullptr;
    gui::TCheckBox *CHKWav = nullptr, *CHKWavRes = nullptr;
    gui::TEdit* EditWav = nullptr;
    gui::TButton* BtnWav = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    // Index of the monitor the window was last on.
    int MMonNo = 0;

    void TBGetClick();
    void TBActClick();
    void TBAddClick();
    void TBAddNoSizeClick();
    void TBDelClick();
    void TBUpClick();
    void TBDownClick();
    void TBCloseSaveClick();
    void ListAddClick();
    void ListListClick();
    void PageControlChange();
    void CHKMessageClick();
    void BtnWavClick();
    void EditHTKStopKeyDown(WORD& key, gui::TShiftState shift);
    // Registers the selected candidate, with its window size or for any size.
    void Proc_AddCandidate(bool withSize);

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    void FormClose(gui::TCloseAction& action) override;
    void FormDestroy() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct TScan;
    static BOOL CALLBACK ScanWindowProc(HWND wnd, LPARAM data);
    static BOOL CALLBACK MessageChildProc(HWND wnd, LPARAM data);
    static BOOL CALLBACK VisitChildProc(HWND wnd, LPARAM data);
    static BOOL CALLBACK CursorChildProc(HWND wnd, LPARAM data);
    void ScanWindows();
    void ScanWindow(TScan& scan, HWND wnd);
    void VisitChild(TScan& scan, HWND child);
    void PlayPressSound();
    void CursorStep(HWND wnd);
    void MoveCursorToControl(HWND control);

    bool IsHandled(HWND wnd) const;
    void AddHandled(HWND wnd);
    void RemoveHandled(HWND wnd);
    void RegisterStopHotKey();
    void HookHotKeyHotKey(THookHotKey* sender, int index);

    // The active-window-only flag of the candidate search.
    bool FActiveOnly = false;

    // The window's controls and what they show (BtnWindow.cpp).
    void CreateControls();
    void FormResize();
    void WMMove();
    void ShowSettings();
    void ShowList(gui::TListView* view, const std::vector<TBtnEntry>& rows, int columns);
    void ShowRegistered();
    void ShowCandidates();
    void ResetCandidateSearch();
    void ShowCandidatesPage();
    void SetActivePage(gui::TTabSheet* page);
    // Set while the window itself turns the pages.
    bool FTurningPage = false;
};

extern TBtnForm* BtnForm;

// Whether the window is a button the cursor may be put on: enabled, visible,
// and of a class holding "Btn", or holding "Button" with a push-button style.
bool IsPushableButton(HWND wnd);
