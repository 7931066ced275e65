// TDriveForm: drive auto-start. The window is made at start-up and stays
// hidden, so it receives the device-change broadcasts; when a volume
// arrives, the registrations for its drive root and volume label start
// (Explorer on a folder, a program with options, or a file), optionally
// after a confirmation. It also flashes a tray icon of its own on arrival
// and removal, fills the main tray menu's submenu of registrations, and is
// the settings window for them, shown modally. Settings and registrations
// live in "Drive.ini".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "components/FolderDialog.h"
#include "components/NotifyTrayIcon.h"
#include "gui/ComCtrls.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/Handles.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/Timer.h"

// One registration: a row of the registration list.
struct TDriveEntry {
    std::wstring Drive;    // drive root, "E:\"
    std::wstring Label;    // volume label when registered ('' for none)
    std::wstring Program;  // program or file; Explorer for opening a folder
    std::wstring Options;  // a program's options, or the folder Explorer opens
    std::wstring Confirm;  // "○" when the start is confirmed first, else ''
    bool operator==(const TDriveEntry&) const = default;
};

// One row of the list of present drives.
struct TDriveRow {
    std::wstring Root, Label, Type;  // label and type empty for a drive that is not ready
};

class TDriveForm : public gui::TForm {
public:
    explicit TDriveForm(gui::TComponent* owner);

    static constexpr const wchar_t* ConfirmMark = L"○";

    // --- components ----------------------------------------------------------
    TNotifyTrayIcon* TrayIcon;
    gui::TImageList* ImageList;  // the four animation frames
    gui::TTimer* TimerTray;      // ends the animation after 5 s
    gui::TTimer* TimerExeCheck;  // starts an arrival's registrations after 500 ms
    TFolderDlg* FolderDlg;
    gui::TIcon FormIcon;

    // --- fields --------------------------------------------------------------
    // The registrations in list order (kept sorted by drive root).
    std::vector<TDriveEntry> ListViewExe;
    // The drives present at the last refresh.
    std::vector<TDriveRow> ListViewDrive;
    std::wstring MDrv;  // drive root of the pending arrival, '' for none
    std::wstring MVol;  // volume label of the pending arrival
    int MListC = 0;
    std::vector<gui::TMenuItem*> MPPDRVExe;
    int MMonNo = 0;
    // The "タスクトレイアニメーション" check box (ticked by default).
    bool CHKTrayAnimate = true;
    // The window is (or opens) maximised.
    bool WindowMax = false;

    // --- device changes and the timers ---------------------------------------
    // WM_DEVICECHANGE: arrival and removal animate the tray icon; a volume's
    // arrival is started 500 ms later.
    void Proc_DEVICECHANGE(WPARAM event, LPARAM data);
    void TimerExeCheckTimer();
    void TimerTrayTimer();

    // --- the settings window's actions ---------------------------------------
    // Lists the present drives again.
    void RefreshDriveList();
    // Appends a registration (no duplicate check), keeping the list sorted;
    // then the tray submenu is rebuilt.
    void AddRegistration(const TDriveEntry& entry);
    // The registration built from the selected drive row and the entries of
    // the window, as the add button makes it.
    TDriveEntry MakeRegistration(int driveRow, const std::wstring& exe, const std::wstring& options,
                                 bool confirm) const;
    void DeleteRegistration(int row);
    // Starts one registration at once, without confirmation (double click,
    // Enter, or its item in the tray submenu).
    void StartRegistration(int row);
    // The program and folder chooser buttons; false when cancelled.
    bool ChooseProgram(std::wstring& fileName);
    bool ChooseFolder(const std::wstring& current, std::wstring& folder);
    // Whether the add button is enabled for a typed program path, and whether
    // the options edit is.
    static bool ProgramEditState(bool driveSelected, const std::wstring& exe, bool& optionsEnabled);

    // --- files and the tray submenu --------------------------------------------
    void LoadSettings();
    bool SaveSettings();
    void RebuildTrayMenu();
    // The caption of submenu item i for the program and options.
    static std::wstring MenuCaption(int i, const std::wstring& program, const std::wstring& options,
                                    bool exists);

    // --- the settings window's controls (DriveWindow.cpp) ----------------------
    // They show ListViewDrive, ListViewExe and CHKTrayAnimate; the user's
    // changes go back into them at once.
    gui::TListView *ListViewDriveView = nullptr, *ListViewExeView = nullptr;
    gui::TRadioGroup* RadioGroup = nullptr;
    gui::TEdit *EditExe = nullptr, *EditOpt = nullptr;
    gui::TButton *BtnRef = nullptr, *BtnDir = nullptr, *BtnAdd = nullptr, *BtnDel = nullptr, *BtnClose = nullptr;
    gui::TCheckBox *CHKConfirm = nullptr, *CHKTrayAnimateBox = nullptr;

    void ListViewDriveClick();
    void RadioGroupClick();
    void EditExeChange();
    void BtnRefClick();
    void BtnDirClick();
    void BtnAddClick();
    void ListViewExeClick();
    void BtnDelClick();
    void ListViewExeDblClick();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateControls();
    void ShowDrives();
    void ShowRegistrations();
    // After an add or a delete: no selection, nothing to add or delete.
    void ResetSelections();
    void AnimateTrayIcon();
    void Start(const TDriveEntry& entry);
    void WMMove();

    bool FStarting = false;  // a start pass is running (its confirmation may be open)
    bool FPending = false;   // an arrival came during that pass
    std::wstring FPendingDrv, FPendingVol;
};

extern TDriveForm* DriveForm;
