#include "app/monitors/Drive.h"

#include <commdlg.h>
#include <dbt.h>

#include <algorithm>
#include <cwctype>

#include "app/Globals.h"
#include "app/Tray.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

TDriveForm* DriveForm = nullptr;

namespace {

const wchar_t kIniName[] = L"Drive.ini";

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// The list view sorts by the first column's text without regard to case.
bool DriveLess(const TDriveEntry& a, const TDriveEntry& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.Drive.c_str(), -1, b.Drive.c_str(),
                            -1) == CSTR_LESS_THAN;
}

// A drive with its light: dark, then brighter green, frame by frame.
void FillDriveFrames(gui::TImageList& list) {
    list.SetSize(16, 16);
    const gui::TColor lights[4] = {0x003000, 0x008000, 0x00C000, gui::clLime};
    for (gui::TColor light : lights) {
        gui::TBitmap b(16, 16);
        gui::TCanvas& c = b.Canvas();
        c.Brush().SetColor(gui::clFuchsia);
        c.FillRect(RECT{0, 0, 16, 16});
        c.Brush().SetColor(gui::clGray);
        c.FillRect(RECT{1, 4, 15, 13});
        c.Brush().SetColor(gui::clSilver);
        c.FillRect(RECT{2, 5, 14, 12});
        c.Brush().SetColor(gui::clBlack);
        c.FrameRect(RECT{1, 4, 15, 13});
        c.Brush().SetColor(light);
        c.FillRect(RECT{10, 9, 13, 11});
        list.AddMasked(b, gui::clFuchsia);
    }
}

}  // namespace

TDriveForm::TDriveForm(gui::TComponent* owner) : TForm(owner, L"TDriveForm") {
    Name = L"DriveForm";
    CreationCaption = L"Orvandel - ドライブ検出の監視設定";
    AppWindow = true;
    CreationWidth = 1200;
    CreationHeight = 500;

    ImageList = new gui::TImageList(this, 16, 16);
    ImageList->Name = L"ImageList";
    FillDriveFrames(*ImageList);

    TrayIcon = new TNotifyTrayIcon(this);
    TrayIcon->Name = L"TrayIcon";
    TrayIcon->SetHint(L"Orvandel - ドライブ検出");
    TrayIcon->SetCycleInterval(250);
    TrayIcon->SetIconVisible(false);

    TimerTray = new gui::TTimer(this);
    TimerTray->Name = L"TimerTray";
    TimerTray->SetEnabled(false);
    TimerTray->SetInterval(5000);
    TimerTray->OnTimer = [this](gui::TTimer*) { TimerTrayTimer(); };

    TimerExeCheck = new gui::TTimer(this);
    TimerExeCheck->Name = L"TimerExeCheck";
    TimerExeCheck->SetEnabled(false);
    TimerExeCheck->OnTimer = [this](gui::TTimer*) { TimerExeCheckTimer(); };

    FolderDlg = new TFolderDlg(this);
    FolderDlg->Name = L"FolderDlg";
}

void TDriveForm::FormCreate() {
    MinHeight = 500;
    MinWidth = 1200;
    CreateControls();
    FormIcon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"MAINICON", 16);
    TrayIcon->SetIcon(FormIcon);
    TrayIcon->Loaded();
    LoadSettings();
    RebuildTrayMenu();
}

void TDriveForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    if (WindowMax && !::IsZoomed(Handle())) ::ShowWindow(Handle(), SW_MAXIMIZE);
    TaskBarAddTab(Handle());
    MMonNo = GetWindowMonitorIndex(Handle());
    RefreshDriveList();
}

void TDriveForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (Visible()) WindowMax = ::IsZoomed(Handle()) != FALSE;
    TaskBarDeleteTab(Handle());
    SaveSettings();
}

LRESULT TDriveForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DEVICECHANGE:
            Proc_DEVICECHANGE(wp, lp);
            return TRUE;
        case WM_MOVE:
            WMMove();
            break;
        default:
            break;
    }
    return TForm::WndProc(msg, wp, lp);
}

void TDriveForm::WMMove() {
    if (!Visible()) return;
    const int monitor = GetWindowMonitorIndex(Handle());
    if (monitor == MMonNo) return;
    // The button follows the window to that monitor's taskbar.
    MMonNo = monitor;
    TaskBarDeleteTab(Handle());
    ::Sleep(100);
    TaskBarAddTab(Handle());
}

// --- device changes ------------------------------------------------------------

void TDriveForm::AnimateTrayIcon() {
    if (!CHKTrayAnimate) return;
    TrayIcon->SetIconVisible(true);
    TrayIcon->SetIconList(ImageList);
    TrayIcon->SetCycleIcons(true);
    // A running timer is left alone: the animation ends 5 s after the first
    // event of a burst.
    if (!TimerTray->Enabled()) TimerTray->SetEnabled(true);
}

void TDriveForm::Proc_DEVICECHANGE(WPARAM event, LPARAM data) {
    if (event == DBT_DEVICEARRIVAL) {
        AnimateTrayIcon();
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
        if (header && header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
            const DWORD mask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data)->dbcv_unitmask;
            int letter = -1;
            for (int i = 0; i < 26; ++i)
                if (mask & (1u << i)) letter = i;  // the highest letter wins
            if (letter >= 0) {
                std::wstring root = std::wstring(1, static_cast<wchar_t>(L'A' + letter)) + L":\\";
                std::wstring label;
                GetVolumeLabelStr(root, label);
                if (FStarting) {
                    // The running pass owns MDrv and MVol until it ends.
                    FPending = true;
                    FPendingDrv = root;
                    FPendingVol = label;
                } else {
                    MVol = label;
                    MDrv = root;
                    if (!TimerExeCheck->Enabled()) {
                        TimerExeCheck->SetInterval(500);
                        TimerExeCheck->SetEnabled(true);
                    }
                }
            }
        }
        RefreshDriveList();
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        AnimateTrayIcon();
        RefreshDriveList();
    }
}

void TDriveForm::TimerExeCheckTimer() {
    TimerExeCheck->SetEnabled(false);
    FStarting = true;
    struct PassEnd {
        TDriveForm* self;
        ~PassEnd() {
            self->FStarting = false;
            self->MDrv.clear();
            self->MVol.clear();
            if (self->FPending) {
                self->FPending = false;
                self->MDrv = self->FPendingDrv;
                self->MVol = self->FPendingVol;
                self->TimerExeCheck->SetInterval(500);
                self->TimerExeCheck->SetEnabled(true);
            }
        }
    } end{this};

    // A copy: the confirmation's message loop may change the list.
    const std::vector<TDriveEntry> entries = ListViewExe;
    for (const TDriveEntry& entry : entries) {
        if (entry.Drive != MDrv || entry.Label != MVol) continue;
        std::wstring name;
        GetFileDescription(entry.Program, name);
        if (name.empty()) ExtractBareFileName(entry.Program, name);
        if (entry.Confirm == ConfirmMark) {
            const std::wstring text = name + L"を" + L"\r\n" + L"起動しますか？";
            const UINT flags = MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL;
            const int answer = gui::Application
                                   ? gui::Application->MessageBox(text, L"Orvandel - 確認", flags)
                                   : ::MessageBoxW(Handle(), text.c_str(), L"Orvandel - 確認", flags);
            if (answer != IDYES) continue;
        }
        Start(entry);
    }
}

void TDriveForm::Start(const TDriveEntry& entry) {
    // The shell's failure to start a program that is gone is not reported.
    if (LowerExt(entry.Program) == L".exe")
        ShellExecuteNoRedirect(Handle(), entry.Program, entry.Options, FolderOf(entry.Program), SW_SHOWNORMAL);
    else
        ShellOpenNoRedirect(entry.Program);
}

void TDriveForm::TimerTrayTimer() {
    TimerTray->SetEnabled(false);
    TrayIcon->SetCycleIcons(false);
    TrayIcon->SetIcon(FormIcon);
    TrayIcon->SetIconList(nullptr);
    TrayIcon->SetIcon(gui::TIcon());
    TrayIcon->SetIconVisible(false);
}

// --- the settings window's actions ------------------------------------------------

void TDriveForm::RefreshDriveList() {
    ListViewDrive.clear();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        const UINT type = ::GetDriveTypeW(root.c_str());
        if (type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR) continue;
        TDriveRow row{root, L"", L""};
        if (DirectoryExistsSafe(root)) {
            GetVolumeLabelStr(root, row.Label);
            GetDriveTypeText(root, row.Type);
        }
        ListViewDrive.push_back(std::move(row));
    }
    ShowDrives();
}

TDriveEntry TDriveForm::MakeRegistration(int driveRow, const std::wstring& exe, const std::wstring& options,
                                         bool confirm) const {
    const TDriveRow& row = ListViewDrive.at(static_cast<size_t>(driveRow));
    return TDriveEntry{row.Root, row.Label, exe, options, confirm ? ConfirmMark : L""};
}

void TDriveForm::AddRegistration(const TDriveEntry& entry) {
    // After the rows of equal drive, as a sorted list view inserts.
    auto at = std::upper_bound(ListViewExe.begin(), ListViewExe.end(), entry, DriveLess);
    ListViewExe.insert(at, entry);
    MListC = static_cast<int>(ListViewExe.size());
    RebuildTrayMenu();
    ShowRegistrations();
}

void TDriveForm::DeleteRegistration(int row) {
    if (row < 0 || row >= static_cast<int>(ListViewExe.size())) return;
    ListViewExe.erase(ListViewExe.begin() + row);
    MListC = static_cast<int>(ListViewExe.size());
    RebuildTrayMenu();
    ShowRegistrations();
}

void TDriveForm::StartRegistration(int row) {
    if (row < 0 || row >= static_cast<int>(ListViewExe.size())) return;
    Start(ListViewExe[static_cast<size_t>(row)]);
}

bool TDriveForm::ProgramEditState(bool driveSelected, const std::wstring& exe, bool& optionsEnabled) {
    optionsEnabled = LowerExt(exe) == L".exe";
    return driveSelected && FileExistsNoRedirect(exe);
}

bool TDriveForm::ChooseProgram(std::wstring& fileName) {
    std::wstring programs;
    GetShellFolderPath(5, programs);  // "Programs"
    wchar_t buf[MAX_PATH] = {};
    static const wchar_t filter[] = L"プログラム\0*.exe\0すべてのファイル\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = buf;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = programs.c_str();
    ofn.lpstrTitle = L"Orvandel";
    ofn.Flags = OFN_NODEREFERENCELINKS | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&ofn)) return false;
    fileName = buf;
    return true;
}

bool TDriveForm::ChooseFolder(const std::wstring& current, std::wstring& folder) {
    FolderDlg->Title = L"フォルダを指定してください。";
    FolderDlg->Root = DirectoryExistsSafe(current) ? current : L"";
    if (!FolderDlg->Execute()) return false;
    folder = FolderDlg->FolderName;
    return true;
}

// --- Drive.ini ----------------------------------------------------------------------

namespace {

// The values "Drive.ini" holds; each starts at the value a missing key gives.
struct TDriveIni {
    gui::TBounds Bounds;  // a missing key keeps the window's own
    bool Max = false;
    bool Tray = true;
    std::vector<TDriveEntry> Rows;  // in file order

    // Every key, in the order a new file holds them. The bounds of a
    // maximised window are not written: the file keeps those it had.
    gui::TIniTable Table() {
        return {
            gui::IniBool(L"Window", L"Max", Max, Max),
            gui::IniBounds(L"Window", Bounds, gui::TBoundsKeys::All, !Max),
            gui::IniBool(L"Window", L"Tray", Tray, Tray),
            gui::IniRows([this](const gui::TMemIniFile& ini) { ReadRows(ini); },
                         [this](gui::TMemIniFile& ini) { WriteRows(ini); }),
        };
    }

private:
    void ReadRows(const gui::TMemIniFile& ini) {
        Rows.clear();
        // Never past the last row section the file holds, whatever its count says.
        const int count = std::min(ini.ReadInteger(L"Drive", L"Count", 0), ini.HighestSectionIndex(L"Drive") + 1);
        for (int i = 0; i < count; ++i) {
            const std::wstring section = L"Drive" + std::to_wstring(i);
            Rows.push_back({ini.ReadString(section, L"0", L""), ini.ReadString(section, L"1", L""),
                            ini.ReadString(section, L"2", L""), ini.ReadString(section, L"3", L""),
                            ini.ReadString(section, L"4", L"")});
        }
    }
    void WriteRows(gui::TMemIniFile& ini) const {
        ini.WriteInteger(L"Drive", L"Count", static_cast<int>(Rows.size()));
        for (size_t i = 0; i < Rows.size(); ++i) {
            const std::wstring section = L"Drive" + std::to_wstring(i);
            const TDriveEntry& e = Rows[i];
            ini.WriteString(section, L"0", e.Drive);
            ini.WriteString(section, L"1", e.Label);
            ini.WriteString(section, L"2", e.Program);
            ini.WriteString(section, L"3", e.Options);
            ini.WriteString(section, L"4", e.Confirm);
        }
    }
};

}  // namespace

void TDriveForm::LoadSettings() {
    gui::TMemIniFile ini(DataFolder + kIniName, gui::TTextEncoding::Utf16LE);
    if (::IsZoomed(Handle())) ::ShowWindow(Handle(), Visible() ? SW_RESTORE : SW_HIDE);
    TDriveIni v;
    v.Bounds = gui::BoundsOf(BoundsRect());
    gui::LoadIniTable(ini, v.Table());
    SetBounds(v.Bounds.Left, v.Bounds.Top, v.Bounds.Width, v.Bounds.Height);
    EnsureWindowOnScreen(Handle());
    // A hidden window takes the maximised state when it is shown.
    WindowMax = v.Max;

    ListViewExe.clear();
    for (TDriveEntry& e : v.Rows) {
        auto at = std::upper_bound(ListViewExe.begin(), ListViewExe.end(), e, DriveLess);
        ListViewExe.insert(at, std::move(e));
    }
    MListC = static_cast<int>(ListViewExe.size());
    CHKTrayAnimate = v.Tray;
    ShowRegistrations();
    if (CHKTrayAnimateBox) CHKTrayAnimateBox->SetChecked(CHKTrayAnimate);
}

bool TDriveForm::SaveSettings() {
    gui::TMemIniFile ini(DataFolder + kIniName, gui::TTextEncoding::Utf16LE);
    const gui::TFormPlacement placement = Placement();
    TDriveIni v;
    v.Max = Visible() ? !placement.Normal : WindowMax;
    v.Bounds = {placement.Left, placement.Top, placement.Width, placement.Height};
    v.Tray = CHKTrayAnimate;
    v.Rows = ListViewExe;
    gui::SaveIniTable(ini, v.Table());
    return ini.UpdateFile();
}

// --- the tray submenu ---------------------------------------------------------------

std::wstring TDriveForm::MenuCaption(int i, const std::wstring& program, const std::wstring& options,
                                     bool exists) {
    std::wstring prefix;
    if (i >= 0 && i <= 9)
        prefix = L"(&" + std::to_wstring(i) + L")";
    else if (i >= 10 && i <= 34)
        prefix = L"(&" + std::wstring(1, static_cast<wchar_t>(L'A' + (i - 10))) + L")";
    std::wstring longPath;
    GetLongPathNameStr(program, longPath);
    std::wstring caption = prefix + longPath + L" " + options;
    return exists ? caption : L"  " + caption;
}

void TDriveForm::RebuildTrayMenu() {
    if (!TrayForm || !TrayForm->PPDRVExe) return;
    TrayForm->PPDRVExe->Clear();
    MPPDRVExe.clear();
    for (size_t i = 0; i < ListViewExe.size(); ++i) {
        const TDriveEntry& e = ListViewExe[i];
        const bool exists = FileExistsSafe(e.Program);
        gui::TMenuItem* item = gui::NewMenuItem(
            TrayForm, TrayForm->PPDRVExe,
            {.Caption = MenuCaption(static_cast<int>(i), e.Program, e.Options, exists), .Tag = static_cast<int>(i),
             .Enabled = exists, .OnClick = [this](gui::TMenuItem* sender) {
                 if (ListViewExeView) ListViewExeView->SetItemIndex(sender->Tag);
                 StartRegistration(sender->Tag);
             }});
        if (exists) SetMenuItemIcon(item, gui::IconHandle(GetFileIconNoRedirect(e.Program)).get());
        MPPDRVExe.push_back(item);
    }
}
