#include "app/Tray.h"

#include <deque>
#include <utility>

#include "app/CPUPictures.h"
#include "app/Globals.h"
#include "app/UsageIcon.h"
#include "app/history/ExeCmd.h"
#include "app/history/His.h"
#include "app/history/Launch.h"
#include "app/monitors/Btn.h"
#include "app/monitors/Drive.h"
#include "app/monitors/IMEExe.h"
#include "app/monitors/IMEIcon.h"
#include "app/monitors/Panel.h"
#include "app/monitors/RAM.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "toolkit/CPUUsage.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/Wow64.h"

TTrayForm* TrayForm = nullptr;

using gui::TMenuItem;

TTrayForm::TTrayForm(gui::TComponent* owner) : TForm(owner, L"TTrayForm") {
    Name = L"TrayForm";
    CreationCaption = L"Orvandel";
    BorderStyle = gui::TFormBorderStyle::bsNone;
    CreationLeft = CreationTop = 0;
    CreationWidth = CreationHeight = 0;
    CPUUsageSource = [] { return CPUUsageGet(); };
    CreateComponents();
    FMenus.Create();
}

void TTrayForm::CreateComponents() {
    TimerMain = new gui::TTimer(this);
    TimerMain->Name = L"TimerMain";
    TimerMain->SetEnabled(false);
    TimerMain->SetInterval(250);
    TimerMain->OnTimer = [this](gui::TTimer*) { TimerMainTimer(); };

    FExitCountdown.Create();

    PPRMenu = new gui::TPopupMenu(this);
    PPRMenu->Name = L"PPRMenu";
    PPLMenu = new gui::TPopupMenu(this);
    PPLMenu->Name = L"PPLMenu";
    PPLMenu->AutoPopup = false;

    ImageListNum = new gui::TImageList(this, 32, 32);
    ImageListCPU = new gui::TImageList(this, 16, 16);
    ImageListRAM = new gui::TImageList(this, 16, 16);
    ImageListLevel = new gui::TImageList(this, 32, 32);
    ImageListMirt = new gui::TImageList(this, 32, 32);
    ImageListNum->Name = L"ImageListNum";
    ImageListCPU->Name = L"ImageListCPU";
    ImageListRAM->Name = L"ImageListRAM";
    ImageListLevel->Name = L"ImageListLevel";
    ImageListMirt->Name = L"ImageListMirt";
    // Each list is drawn when a style, the panel or the RAM cleaner first
    // shows it; the default text style shows none of them.
    ImageListNum->SetFiller([](gui::TImageList& l) { cpu_pictures::FillDigital(l); });
    ImageListCPU->SetFiller([](gui::TImageList& l) { cpu_pictures::FillNumbers(l, gui::clLime); });
    ImageListRAM->SetFiller([](gui::TImageList& l) { cpu_pictures::FillNumbers(l, gui::clAqua); });
    ImageListLevel->SetFiller([](gui::TImageList& l) { cpu_pictures::FillLevel(l); });
    ImageListMirt->SetFiller([](gui::TImageList& l) { cpu_pictures::FillClassic(l); });
    cpu_pictures::DrawClassicStill(ImageMirtStop);
    FormIcon.LoadFromResourceName(::GetModuleHandleW(nullptr), L"MAINICON", 16);

    TrayIcon = new TTextTrayIcon(this);
    TrayIcon->Name = L"TrayIcon";
    TrayIcon->SetHint(L"Orvandel");
    TrayIcon->SetEnabled(false);  // mouse input is ignored until the start is done
    TrayIcon->SetPopupMenu(PPRMenu);
    usage_icon::SetUpTextIcon(*TrayIcon);
    TrayIcon->SetCycleInterval(0);
    TrayIcon->OnMouseDown = [this](TNotifyTrayIcon*, gui::TMouseButton b, gui::TShiftState, int, int) {
        FMenus.TrayIconMouseDown(b);
    };
    TrayIcon->OnMouseUp = [this](TNotifyTrayIcon*, gui::TMouseButton, gui::TShiftState, int, int) {
        FMenus.TrayIconMouseUp();
    };
    TrayIcon->OnDblClick = [this](TNotifyTrayIcon*) { FMenus.TrayIconDblClick(); };
}

void TTrayForm::FormCreate() {
    TrayIcon->Loaded();  // the icon hooks the form's window, which exists now
    gui::Application->OnException = [this](const std::exception_ptr& e) { ApplicationEventsException(e); };
    gui::Application->OnDeactivate = [this] { ApplicationEventsDeactivate(); };
    TaskBarInit();
    TimerMain->SetInterval(250);
    TimerMain->SetEnabled(false);
    SetToolWindowStyle(Handle());
    InitWow64();
    FTrashWatch.ReadTrashName();
    std::wstring windows;
    GetWindowsDir(windows);
    ExplorerPath = windows + L"\\" + L"Explorer.exe";

    // The item arrays are filled at menu creation; their tags are their indexes.
    FExitCountdown.MPPExitWin[3]->SetCaption(IsVistaOrLater() ? L"スリープ" : L"スタンバイ");

    MCPUStopC = 0;
    ReadConfig();

    if (IsWindows2000()) {
        PPTrashCheck->SetChecked(false);
        PPTrashTop->SetChecked(false);
        PPTrashCheck->SetVisible(false);
        PPTrashTop->SetVisible(false);
    }
    PPTrashTop->SetEnabled(PPTrashCheck->Checked());

    FMenus.BuildHistoryEntries();
    if (IsVistaOrLater()) MPPTab[4]->SetVisible(false);

    if (MStartDelay > 0) ::Sleep(static_cast<DWORD>(MStartDelay) * 2000);

    FMenus.MPPCPUDisp[MCPUDisp]->SetChecked(true);
    SetCPUImageList();
    TrayIcon->SetBackgroundIcon(FormIcon);
    TrayIcon->SetIcon(FormIcon);

    gui::TApplication& app = *gui::Application;
    app.CreateForm(PanelForm);
    app.CreateForm(RAMForm);
    app.CreateForm(HisForm);
    app.CreateForm(LaunchForm);
    app.CreateForm(BtnForm);
    app.CreateForm(DriveForm);
    app.CreateForm(IMEIconForm);
    app.CreateForm(ExeCmdForm);
    app.CreateForm(SPDirForm);
    FIMENotices.CreateHintWindow();
    BindHeartbeatSteps();
    RAMForm->TrayIcon->Font().SetSize(TrayIcon->Font().Size());
    LaunchForm->TrayIcon->SetVisible(PPLaunch->Checked());

    CPUUsageOpen();

    ApplyCPULook();

    FindTaskbarWindow();
    FindDesktopViewHostWindow();

    for (int c = 0; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
    HisForm->Proc_DispHis();
    HisForm->Proc_DispFav();
    if (HisForm->Lists.Settings.RadioGroupStart == 1) HisForm->Show();

    TrayIcon->SetEnabled(true);
    RAMForm->TrayIcon->SetEnabled(true);
    if (PPLaunch->Checked() && HisForm->Lists.Settings.FLaunchVisible) LaunchForm->Show();
    TimerMain->SetEnabled(true);

    FMenus.MPPTrayPanel[MPPTrayPanelC]->SetChecked(true);
    ApplyTrayPanelMode();
}

void TTrayForm::BindHeartbeatSteps() {
    Steps.IMECheck = [this] { FIMENotices.Proc_IMECheck(); };
    Steps.TrashCheck = [this] { FTrashWatch.Proc_TrashCheck(); };
    Steps.CheckHook = [] { HisForm->Hook.Proc_CheckHook(); };
    Steps.TimerCPU = [this] { Proc_TimerCPU(); };
    Steps.TimerRAM = [] { RAMForm->Proc_TimerRAM(); };
    Steps.DispCPU = [] { HisForm->Proc_DispCPU(); };
    Steps.AutoMinimize = [this] { AutoMinimizeHistory(); };
    Steps.TimerHis = [](HWND fg, bool changed) { HisForm->Capture.Proc_TimerHis(fg, changed); };
    Steps.TimerBtn = [](HWND fg, bool changed) { BtnForm->Proc_TimerBtn(fg, changed); };
    Steps.CursorWin = [] { return BtnForm->MCursorWin; };
    Steps.PPLSet = [] { return HisForm->TrayMenu.FPPLSet; };
}

void TTrayForm::ApplyTrayPanelMode() {
    // Modes 0 and 1 show the tray icons, modes 1 and 2 the usage panel; the
    // RAM icon also hides while its monitor is stopped.
    TrayIcon->SetIconVisible(MPPTrayPanelC != 2);
    if (RAMForm) RAMForm->TrayIcon->SetIconVisible(MPPTrayPanelC != 2 && !PPRAMStop->Checked());
    if (!PanelForm) return;
    if (MPPTrayPanelC == 0) {
        if (PanelForm->Visible()) PanelForm->Close();
    } else {
        PanelForm->Show();
    }
}

bool TTrayForm::PanelShown() const { return MPPTrayPanelC > 0 && PanelForm && PanelForm->Visible(); }

void TTrayForm::FormShow() {
    // The application window stays hidden, so nothing shows on the taskbar.
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
}

void TTrayForm::FormDeactivate() {
    FPopUpR = false;
    FPopUpL = false;
}

void TTrayForm::ApplicationEventsDeactivate() {
    if (FPopUpR || FPopUpL) {
        Proc_CancelPopUpMenu();
        FPopUpR = false;
        FPopUpL = false;
    }
    // The panel kept on top comes back on top, unless the help viewer is open.
    if (PanelForm && PanelForm->Visible() && PanelForm->PPTop->Checked() &&
        !::FindWindowW(L"HH Parent", L"Orvandel"))
        ::SetWindowPos(PanelForm->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    FIMENotices.RaiseIcon();
}

void TTrayForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (FClose) return;
    TimerMain->SetEnabled(false);
    FClose = true;
    TrayIcon->SetIconVisible(false);
    if (RAMForm) RAMForm->TrayIcon->SetIconVisible(false);

    // Each form writes its own files when it closes.
    gui::TForm* order[] = {HisForm, LaunchForm, RAMForm, BtnForm, DriveForm, IMEIconForm, IMEExeForm,
                           PanelForm, ExeCmdForm};
    for (gui::TForm* f : order)
        if (f) f->Close();
    if (SPDirForm) {
        SPDirForm->FModify = false;  // close without asking about unsaved changes
        SPDirForm->Close();
    }
    WriteConfig();
}

void TTrayForm::FormDestroy() {
    gui::Application->OnException = nullptr;
    gui::Application->OnDeactivate = nullptr;
    TaskBarFree();
    CPUUsageClose();
}

// --- Config.ini --------------------------------------------------------------

namespace {

// The CPU icon's font size a file may set.
constexpr int kMinFontSize = 1, kMaxFontSize = 72;

// "Config.ini" bound to the tray while it is read or written: the choices
// as the tray holds them, the menu items' check marks and the CPU icon's
// font size as copies that Apply gives back.
class TConfigValues {
public:
    explicit TConfigValues(TTrayForm& f);
    // Every key of "Config.ini", in the order it is written. A missing check
    // key keeps the item's current state; a choice missing, out of range or
    // not a number gives the first; a font size out of range keeps the
    // current one.
    const gui::TIniTable& Table() const noexcept { return table_; }
    void Apply() const;

private:
    gui::TIniEntry Check(const wchar_t* section, const wchar_t* key, gui::TMenuItem* item);
    static gui::TIniEntry Choice(const wchar_t* section, const wchar_t* key, int& choice, int count) {
        return gui::IniInt(section, key, choice, 0, {0, count - 1, gui::TOutOfRange::Default});
    }

    TTrayForm& f_;
    std::deque<std::pair<gui::TMenuItem*, bool>> checks_;  // a deque keeps the bound values in place
    int fontSize_;
    gui::TIniTable table_;
};

TConfigValues::TConfigValues(TTrayForm& f) : f_(f), fontSize_(f.TrayIcon->Font().Size()) {
    table_ = {
        Check(L"Tray", L"TrashTop", f.PPTrashTop),
        Check(L"Tray", L"TrashCheck", f.PPTrashCheck),
        Check(L"Tray", L"IMEHint", f.PPIMEHint),
        Check(L"Tray", L"IMEIconColor", f.PPIMEIconColor),
        Check(L"Tray", L"PPIMEEnable", f.PPIMEEnable),
        Choice(L"Tray", L"IME", f.IMENotices().MPPIMEC, 5),
        Choice(L"Tray", L"IMEWave", f.IMENotices().MPPIMEWaveC, 4),
        Choice(L"Tray", L"StartDelay", f.MStartDelay, 6),
        Check(L"CPU", L"Stop", f.PPCPUStop),
        Choice(L"CPU", L"Disp", f.MCPUDisp, 5),
        Choice(L"CPU", L"Time", f.MCPUStopTime, 6),
        Check(L"RAM", L"Stop", f.PPRAMStop),
        Check(L"History", L"Stop", f.PPHisStop),
        Check(L"Button", L"Stop", f.PPBtnStop),
        Check(L"Button", L"Cursor", f.PPBtnCursor),
        Check(L"Button", L"Caret", f.PPCaret),
        gui::IniInt(L"Tray", L"FontSize", fontSize_, fontSize_,
                    {kMinFontSize, kMaxFontSize, gui::TOutOfRange::Default}),
        Check(L"Tray", L"Fav", f.PPMenuFav),
        Check(L"Tray", L"Icon", f.PPIconMenu),
        Check(L"Tray", L"Wide", f.PPMenuWide),
        Check(L"Tray", L"Narrow", f.PPMenuNarrow),
        Check(L"ProgramLaunch", L"Disp", f.PPLaunch),
        Choice(L"Panel", L"Tray/Panel", f.MPPTrayPanelC, 3),
    };
}

gui::TIniEntry TConfigValues::Check(const wchar_t* section, const wchar_t* key, gui::TMenuItem* item) {
    bool& checked = checks_.emplace_back(item, item->Checked()).second;
    return gui::IniBool(section, key, checked, checked);
}

void TConfigValues::Apply() const {
    for (const auto& [item, checked] : checks_) item->SetChecked(checked);
    if (fontSize_ != f_.TrayIcon->Font().Size()) f_.TrayIcon->Font().SetSize(fontSize_);
}

}  // namespace

void TTrayForm::ReadConfig() {
    gui::TMemIniFile ini(DataFolder + L"Config.ini");
    FConfigReadable = !ini.Unreadable();
    TConfigValues values(*this);  // loading writes into it
    gui::LoadIniTable(ini, values.Table());
    values.Apply();
    // The choices that have a radio item in the menus show it checked.
    FIMENotices.MPPIME[FIMENotices.MPPIMEC]->SetChecked(true);
    FIMENotices.MPPIMEWave[FIMENotices.MPPIMEWaveC]->SetChecked(true);
    FMenus.MPPStartDelay[MStartDelay]->SetChecked(true);
    FMenus.MPPCPUs[MCPUStopTime]->SetChecked(true);
    PPCaret->SetEnabled(PPBtnCursor->Checked());
}

bool TTrayForm::WriteConfig() {
    // A file that could not be read at start holds settings this run never
    // saw: it is kept as it is.
    if (!FConfigReadable) return false;
    // Written whole in the system code page, in the table's key order,
    // whatever the file held before.
    gui::TMemIniFile ini(DataFolder + L"Config.ini", gui::TTextEncoding::Ansi);
    ini.Clear();
    gui::SaveIniTable(ini, TConfigValues(*this).Table());
    return ini.UpdateFile();
}

// --- heartbeat ---------------------------------------------------------------

void TTrayForm::TimerMainTimer() {
    if (FIMENotices.Wanted()) Steps.IMECheck();
    Steps.TrashCheck();

    // From here on a tick cannot re-enter, even when a step pumps messages
    // or shows a modal box. The timer comes back on every way out, also when
    // a step fails, so one error never stops the heartbeat for good.
    TimerMain->SetEnabled(false);
    struct Restart {
        TTrayForm* self;
        ~Restart() {
            if (!self->FClose) self->TimerMain->SetEnabled(true);
        }
    } restart{this};

    Steps.CheckHook();
    if (++MTime1000C > 4) {
        Steps.TimerCPU();
        Steps.TimerRAM();
        Steps.DispCPU();
        MTime1000C = 0;
        Steps.AutoMinimize();
    }
    HWND fg = ::GetForegroundWindow();
    if (!FPopUpR && !FPopUpL && !Steps.PPLSet()) {
        bool changed = fg != MActWin;
        if (changed) MActWin = fg;
        Steps.TimerHis(fg, changed);
        Steps.TimerBtn(fg, Steps.CursorWin() == MActWin ? changed : true);
    }
}

void TTrayForm::AutoMinimizeHistory() {
    if (!HisForm || !HisForm->HandleAllocated()) return;
    HWND his = HisForm->Handle();
    if (!::IsWindowVisible(his) || ::IsIconic(his)) return;
    const THisSettings& s = HisForm->Lists.Settings;
    auto lowerName = [](const std::wstring& path) {
        std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    };
    std::wstring front;
    GetWindowExePath(::GetForegroundWindow(), front);
    // While this program is in front, in any of its windows, the count starts over.
    if (lowerName(front) == lowerName(ProgramFilePath())) {
        MMinWinC = s.CBAutoMin;
        return;
    }
    if (s.CBAutoMin <= 0) return;
    if (MMinWinC >= 0) {
        --MMinWinC;
    } else if (s.CHKAutoMin) {
        HisForm->Close();
    } else {
        ::ShowWindow(his, SW_MINIMIZE);
    }
}

// --- CPU display -------------------------------------------------------------

void TTrayForm::SetCPUImageList() {
    gui::TImageList* lists[] = {nullptr, ImageListNum, ImageListCPU, ImageListLevel, ImageListMirt};
    TrayIcon->SetIconList(lists[MCPUDisp]);
}

void TTrayForm::Proc_TimerCPU() {
    int v = 0;
    if (!(PPCPUStop->Checked() && PPRAMStop->Checked())) {
        v = CPUUsageSource();
        if (v > 99) v = 100;
        if (v < 1) v = 0;
        MCPU = v;
    }
    // This runs every second: only what changed goes to the icon, as each
    // change renders its image again and tells the shell.
    auto setHint = [this](const std::wstring& hint) {
        if (TrayIcon->Hint() != hint) TrayIcon->SetHint(hint);
    };
    if (PPCPUStop->Checked()) {
        setHint(L"Orvandel");
        return;
    }

    const std::wstring t = usage_icon::PercentText(v);
    setHint(L"CPU使用率:" + t + L"%");
    if (PanelShown()) PanelForm->Proc_DispCPURAM(true, v);
    switch (MCPUDisp) {
        case 0:
            TrayIcon->SetCycleIcons(false);
            usage_icon::ShowPercentText(*TrayIcon, v);
            break;
        case 1:
        case 2:
            TrayIcon->SetCycleIcons(false);
            TrayIcon->SetIconIndex(v);
            break;
        case 3:
            TrayIcon->SetCycleIcons(false);
            TrayIcon->SetIconIndex(v / 10);
            break;
        case 4:
            // A new interval restarts the pictures by itself; switching the
            // cycle on again every second would keep showing the first ones.
            TrayIcon->SetCycleInterval(v < 20 ? 1000 : v < 40 ? 800 : v < 60 ? 600 : v < 80 ? 400
                                       : v < 100 ? 200 : 100);
            if (!TrayIcon->CycleIcons()) TrayIcon->SetCycleIcons(true);
            break;
        default:
            break;
    }
    if (MCPUStopTime > 0) {
        MCPUStopC = v == 100 ? MCPUStopC + 1 : 0;
        if (MCPUStopC >= MCPUStopTime * 60) {
            MCPUStopC = 0;
            PPCPUStop->SetChecked(true);
            PPCPUStopClick();
        }
    }
}

void TTrayForm::ApplyCPULook() {
    if (PPCPUStop->Checked()) {
        ApplyCPUStopLook();
        return;
    }
    TrayIcon->SetText(L"");
    TrayIcon->SetHint(L"");
    TrayIcon->SetBackgroundIcon(gui::TIcon());
    TrayIcon->SetIcon(FormIcon);
    TrayIcon->SetBorder(MCPUDisp == 0);
}

void TTrayForm::ApplyCPUStopLook() {
    if (MCPUDisp == 4) {
        TrayIcon->SetCycleIcons(false);
        TrayIcon->SetIcon(ImageMirtStop);
        TrayIcon->SetBackgroundIcon(ImageMirtStop);
    } else {
        TrayIcon->SetIcon(FormIcon);
        TrayIcon->SetBackgroundIcon(FormIcon);
    }
    TrayIcon->SetBorder(false);
    TrayIcon->SetText(L"");
    TrayIcon->SetHint(L"Orvandel");
}

void TTrayForm::PPCPUStopClick() {
    FPopUpR = false;
    MCPUStopC = 0;
    ApplyCPULook();
    if (PPCPUStop->Checked() && PanelShown()) PanelForm->Proc_StopCPURAM(0);
    CPUUsageClose();
    CPUUsageOpen();
}

void TTrayForm::PPCPUResetClick() {
    FPopUpR = false;
    MCPUStopC = 0;
    CPUUsageClose();
    CPUUsageOpen();
}

void TTrayForm::PPCPUDispClick(TMenuItem* item) {
    FPopUpR = false;
    MCPUDisp = item->Tag;
    item->SetChecked(true);
    MCPUStopC = 0;
    CPUUsageClose();
    CPUUsageOpen();
    SetCPUImageList();
    TrayIcon->SetHint(L"");
    Proc_TimerCPU();
    PPCPUStopClick();
}

void TTrayForm::PPCPUsClick(TMenuItem* item) {
    FPopUpR = false;
    item->SetChecked(true);
    MCPUStopTime = item->Tag;
}
