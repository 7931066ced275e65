#include "app/history/His.h"

#include "app/Globals.h"
#include "app/ProgramEntry.h"
#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "app/history/HisFiles.h"
#include "gui/Application.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TaskBarList.h"

THisForm* HisForm = nullptr;

THisForm::THisForm(gui::TComponent* owner) : TForm(owner, L"THisForm") {
    Name = L"HisForm";
    CreationCaption = L"Orvandel - 履歴";
    // Its own taskbar button, although the program's main form is hidden.
    AppWindow = true;
    CreationClientWidth = 1098;
    CreationClientHeight = 642;
    MinWidth = 500;
    MinHeight = 500;
    ScreenSnap = true;
    SnapBuffer = 20;
    Lists.OnFavouritesCut = [](int) {
        if (gui::Application)
            gui::Application->MessageBox(L"登録できるのは" + std::to_wstring(kFavouritesLimit) + L"までです。",
                                         L"Orvandel - 警告", MB_ICONWARNING);
    };
}

void THisForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    TaskBarDeleteTab(Handle());
    if (TimerWheel) TimerWheel->SetEnabled(false);
    // The drive list of a settings page still shown is written with the rest.
    if (EnvPage && PageControl && PageControl->ActivePage() == TabSheetEnv) EnvPage->Left();
    Proc_SaveIni();
    bool saved = Proc_SaveLists();
    // Reading back after a failed save would put the older files' lists in
    // place of what the user has now, and the next save would keep that loss.
    bool shuttingDown = TrayForm && TrayForm->FClose;
    if (saved && !shuttingDown) {
        Proc_LoadLists();
        Proc_DispHis();
        Proc_DispFav();
    }
    // Leaving the settings page by closing applies it.
    if (!shuttingDown && PageControl) {
        PageControl->SetActivePage(TabSheetAct);
        PageControlChange();
    }
}

THisCaptureLinks THisForm::CaptureLinks() {
    return {.ForegroundChanged =
                [this](HWND foreground) {
                    Target.Proc_RememberFront(foreground);
                    Target.Proc_GetTarget();
                },
            .Record = [this](int c, const std::wstring& text) { return RecordHistoryEntry(c, text); },
            .FillMenu = [this](int c) { TrayMenu.Proc_PPListSet(c); },
            .ShowAgain =
                [this](int c) {
                    if (HandleAllocated() && Visible() && Category() == c) Proc_DispHis();
                },
            .ExplorerTabs = [this] { return Target.FWindows11_22H2Moment4; }};
}

THisTargetLinks THisForm::TargetLinks() {
    return {.OwnWindow = [this] { return Handle(); },
            .TargetChanged = [this](HWND target) { Proc_TargetHints(target); },
            .Record = [this](int c, const std::wstring& text) { RecordHistoryEntry(c, text); }};
}

THisHookLinks THisForm::HookLinks() {
    return {.OwnWindow = [this] { return Handle(); },
            .ShowWindow =
                [this] {
                    HWND w = Handle();
                    if (!Visible()) Show();
                    else if (::IsIconic(w)) ::ShowWindow(w, SW_RESTORE);
                    else ForceForegroundWindow(w);
                },
            .HotKeys = [this] { return HookHotKey; }};
}

int THisForm::RecordHistoryEntry(int c, const std::wstring& text) {
    int old = Lists.RecordHistoryEntry(c, text);
    TrayMenu.Proc_PPListSet(c);
    return old;
}

void THisForm::Proc_LoadIni() {
    if (DataFolder.empty()) return;
    THisSettings& s = Lists.Settings;
    RECT r = BoundsRect();
    s.Left = r.left;
    s.Top = r.top;
    s.Width = r.right - r.left;
    s.Height = r.bottom - r.top;
    const std::wstring fileName = HisIniFileName(DataFolder);
    if (LoadHisIni(fileName, s)) Lists.UnreadFiles.erase(fileName);
    else Lists.UnreadFiles.insert(fileName);
    // The tray history menu shows the categories ticked here (the Explorer
    // category never from Vista on).
    if (TrayForm)
        for (int c = 0; c < kHisCategories; ++c)
            if (gui::TMenuItem* tab = TrayForm->MPPTab[c])
                tab->SetVisible(s.MCHKHisMenuItem[c] && !(c == 4 && IsVistaOrLater()));
    if (HandleAllocated()) {
        SetBounds(s.Left, s.Top, s.Width, s.Height);
        EnsureWindowOnScreen(Handle());
    }
}

bool THisForm::Proc_SaveIni() {
    if (DataFolder.empty()) return false;
    ReadSettingsFromControls();
    THisSettings& s = Lists.Settings;
    const gui::TFormPlacement placement = Placement();
    s.Normal = placement.Normal;
    s.Left = placement.Left;
    s.Top = placement.Top;
    s.Width = placement.Width;
    s.Height = placement.Height;
    const std::wstring fileName = HisIniFileName(DataFolder);
    // Settings this run never saw stay as they are.
    if (Lists.UnreadFiles.count(fileName)) return false;
    return SaveHisIni(fileName, s);
}

void THisForm::Proc_LoadLists() {
    if (DataFolder.empty()) return;
    // The restart after a damaged history keeps only the favourites.
    LoadHisLists(DataFolder, Lists, ParamStr1() == L"/ListError");
    if (CBFind) {
        CBFind->Clear();
        for (int i = 0; i < Lists.CBFindItems.Count(); ++i) CBFind->Add(Lists.CBFindItems[i]);
        Edit->SetText(Lists.EditLines.Text());
    }
}

bool THisForm::Proc_SaveLists() {
    if (DataFolder.empty()) return false;
    if (CBFind) {
        Lists.CBFindItems.Clear();
        for (int i = 0; i < CBFind->Count(); ++i) Lists.CBFindItems.Add(CBFind->Item(i));
        Lists.EditLines.SetText(Edit->Text());
    }
    return SaveHisLists(DataFolder, Lists);
}
