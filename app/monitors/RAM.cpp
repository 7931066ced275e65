#include "app/monitors/RAM.h"

#include <algorithm>
#include <cmath>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/UsageIcon.h"
#include "app/monitors/Panel.h"
#include "app/monitors/RAMIni.h"
#include "gui/Application.h"
#include "gui/IniFile.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/FindExe.h"
#include "toolkit/GetRAM.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinVersion.h"

TRAMForm* RAMForm = nullptr;

using gui::TMenuItem;

namespace {

const wchar_t kBusyHint[] = L"RAM最適化中";
const wchar_t kIdleHint[] = L"Orvandel- RAM";
const wchar_t kStoppedHint[] = L"Orvandel- RAM使用率";
// No automatic cleaning starts within this many RAM ticks of the last one.
const int kCoolDown = 60;
// The CPU usage from which no automatic cleaning starts.
const int kBusyCPU = 80;

}  // namespace

TRAMForm::TRAMForm(gui::TComponent* owner) : TForm(owner, L"TRAMForm") {
    Name = L"RAMForm";
    CreationCaption = L"Orvandel - RAMクリーナーの設定";
    AppWindow = true;  // a taskbar button of its own
    CreationClientWidth = 594;
    CreationClientHeight = 259;
    BorderStyle = gui::TFormBorderStyle::bsSingle;
    Position = gui::TPosition::poScreenCenter;
    DialogKeys = true;
    RAMUsageSource = [] { return GetRAMUsage(); };
    Wow64Source = [] { return IsWow64(); };
    ExeRunningSource = [](const std::wstring& name) { return IsExeRunning(name); };
    ProgramFolder = ::ProgramFolder();
    CreateComponents();
    CreateMenu();
}

TRAMForm::~TRAMForm() = default;

void TRAMForm::CreateComponents() {
    PPMenu = new gui::TPopupMenu(this);
    PPMenu->Name = L"PPMenu";
    PPMenu->OnPopup = [this](gui::TPopupMenu*) { PPMenuPopup(); };

    MaxMems = new TMaxMems(this);
    MaxMems->Name = L"MaxMems";
    MaxMems->OnBeforeDefrag = [this](TMaxMems*) { MaxMemsBeforeDefrag(); };
    MaxMems->OnAfterDefrag = [this](TMaxMems*) { MaxMemsAfterDefrag(); };

    TrayIcon = new TTextTrayIcon(this);
    TrayIcon->Name = L"TrayIcon";
    usage_icon::SetUpTextIcon(*TrayIcon);
    TrayIcon->SetHint(L"Orvandel - RAM");
    TrayIcon->SetEnabled(false);  // mouse input is ignored until the start is done
    TrayIcon->SetPopupMenu(PPMenu);
}

void TRAMForm::CreateMenu() {
    TMenuItem* root = PPMenu->Items();
    PPStop = gui::NewMenuItem(this, root, {.Name = L"PPStop", .Caption = L"停止(&S)", .AutoCheck = true,
                                           .OnClick = [this](TMenuItem*) { PPStopClick(); }});
    PPRAMDisp = gui::NewMenuItem(this, root, {.Name = L"PPRAMDisp", .Caption = L"RAM使用率の表示"});
    const wchar_t* const disp[4] = {L"数値", L"デジタル", L"数字アイコン", L"レベルメーター"};
    for (int i = 0; i < 4; ++i)
        MPPRAMDisp[i] = gui::NewMenuItem(this, PPRAMDisp,
                                         {.Name = L"PPRAMDisp" + std::to_wstring(i), .Caption = disp[i], .Tag = i,
                                          .RadioGroup = 1,
                                          .OnClick = [this](TMenuItem* sender) { PPRAMDispClick(sender); }});
    gui::NewMenuItem(this, root, {.Caption = L"-"});
    PPRAMValue = gui::NewMenuItem(this, root, {.Name = L"PPRAMValue", .Caption = L"最適化(&E)"});
    for (int i = 1; i <= 9; ++i)
        MPPRAMValue[i - 1] = gui::NewMenuItem(
            this, PPRAMValue,
            {.Name = L"PPRAMValue" + std::to_wstring(i), .Caption = std::to_wstring(i * 10) + L"%", .Tag = i,
             .OnClick = [this](TMenuItem* sender) { PPRAMValueClick(sender); }});
    PPRAMClean = gui::NewMenuItem(this, root, {.Name = L"PPRAMClean", .Caption = L"設定値(&D) 50%",
                                               .OnClick = [this](TMenuItem*) { PPRAMCleanClick(); }});
    // The main form opens the window, modally, as from its own menu.
    PPRAM = gui::NewMenuItem(this, root, {.Name = L"PPRAM", .Caption = L"設定(&M)",
                                          .OnClick = [](TMenuItem*) { TrayForm->PPRAM->Click(); }});
}

void TRAMForm::FormCreate() {
    TrayIcon->Loaded();  // the icon hooks the form's window, which exists now
    CreateSettingsControls();
    Proc_LoadIni();
    Proc_LoadStop();
    MTotalRAM = GetTotalRAM();
    MTimeC = 0;
    MTimeStop = kCoolDown;  // no automatic cleaning in the first 75 s
    PPStopClick();
}

void TRAMForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    const bool exiting = TrayForm && TrayForm->FClose;
    // OK keeps what the window shows; a file that could not be written is
    // named and the window stays open with the edits.
    if (!exiting && ModalResult == gui::mrOk) {
        const std::vector<std::wstring> unsaved = Proc_SaveIni();
        if (!unsaved.empty()) {
            std::wstring text;
            for (const std::wstring& file : unsaved) text += file + L"\r\n";
            text += L"に保存できません。";
            ::MessageBoxW(Handle(), text.c_str(), L"Orvandel - 警告", MB_OK | MB_ICONSTOP);
            ModalResult = gui::mrNone;
            canClose = false;
            return;
        }
    }
    if (FMemWork && FCleanThread) FCleanThread->Terminate();
    TaskBarDeleteTab(Handle());
    Proc_SaveStop();
    // Any other close drops the changes.
    if (!exiting && ModalResult != gui::mrOk) Proc_LoadIni();
}

// --- settings ----------------------------------------------------------------------

void TRAMForm::Proc_LoadIni() {
    const std::wstring list = DataFolder + L"RAM.lst";
    if (FileExistsSafe(list)) {
        try {
            ListBox.LoadFromFile(list);
            FStopListUnreadable = false;
        } catch (const std::exception&) {
            // An unreadable stop list leaves the list as it was.
            FStopListUnreadable = true;
        }
    }
    TRAMIni values;
    gui::LoadIniTable(gui::TMemIniFile(DataFolder + L"RAM.ini"), values.Table(TRAMIni::TKeys::Settings));
    UDRAMValue = values.Value;
    UDRAMAuto = values.Auto;
    UDRAMTime = values.Time;
    RGTrayWClick = values.TrayWClick;
    MTimeC = 0;
    MTime = UDRAMTime * 60;
    PPRAMClean->SetCaption(L"設定値(&D) " + std::to_wstring(UDRAMValue) + L"%");
    ShowSettings();
    RGTrayWClickClick();
}

void TRAMForm::Proc_LoadStop() {
    TRAMIni values;
    gui::LoadIniTable(gui::TMemIniFile(DataFolder + L"RAM.ini"), values.Table(TRAMIni::TKeys::Menu));
    PPStop->SetChecked(values.Stop);
    MRAMDisp = values.Disp;
    MPPRAMDisp[MRAMDisp]->SetChecked(true);
    SetRAMImageList();
}

void TRAMForm::Proc_SaveStop() {
    // The other keys of the file stay as they are.
    gui::TMemIniFile ini(DataFolder + L"RAM.ini");
    if (!ini.Loaded() && FileExistsSafe(ini.FileName())) return;  // never overwrite what could not be read
    TRAMIni values;
    values.Stop = PPStop->Checked();
    values.Disp = MRAMDisp;
    gui::SaveIniTable(ini, values.Table(TRAMIni::TKeys::Menu));
    ini.UpdateFile();
}

// --- display -------------------------------------------------------------------------

void TRAMForm::SetRAMImageList() {
    gui::TImageList* lists[] = {nullptr, TrayForm->ImageListNum, TrayForm->ImageListRAM,
                                TrayForm->ImageListLevel};
    TrayIcon->SetIconList(lists[MRAMDisp]);
}

void TRAMForm::Proc_TimerRAM() {
    if (TrayForm->PPRAMStop->Checked() || Visible() || PPStop->Checked()) {
        MTimeC = 0;
        MTimeStop = kCoolDown;
        return;
    }
    Proc_DispRAM();
}

void TRAMForm::Proc_DispRAM() {
    if (FMemWork) return;
    const int load = std::clamp(RAMUsageSource(), 0, 100);
    const std::wstring text = usage_icon::PercentText(load);
    const std::wstring hint = L"RAM使用率:" + text + L"%";
    if (TrayIcon->Hint() != hint) {
        TrayIcon->SetHint(hint);
        switch (MRAMDisp) {
            case 0:
                usage_icon::ShowPercentText(*TrayIcon, load);
                break;
            case 1:
            case 2:
                TrayIcon->SetIconIndex(load);
                break;
            case 3:
                TrayIcon->SetIconIndex(load / 10);
                break;
            default:
                break;
        }
    }
    if (TrayForm->PanelShown()) PanelForm->Proc_DispCPURAM(false, load);

    if (MTimeStop > 0) --MTimeStop;
    const bool cpuCalm = TrayForm->MCPU < kBusyCPU;
    if (UDRAMAuto >= 1 && load >= UDRAMAuto && cpuCalm && MTimeStop == 0) {
        MTimeStop = kCoolDown;
        if (!Func_StopExeRunning()) PPRAMCleanClick();
    }
    if (MTime >= 1) {
        ++MTimeC;
        if (MTimeC >= MTime && TrayForm->MCPU < kBusyCPU && MTimeStop == 0) {
            MTimeC = 0;
            MTimeStop = kCoolDown;
            if (!Func_StopExeRunning()) PPRAMCleanClick();
        }
    }
}

void TRAMForm::PPStopClick() {
    MTimeC = 0;
    if (PPStop->Checked()) {
        TrayIcon->SetBorder(false);
        TrayIcon->SetText(L"");
        TrayIcon->SetIcon(TrayForm->FormIcon);
        TrayIcon->SetBackgroundIcon(TrayForm->FormIcon);
        TrayIcon->SetHint(kStoppedHint);
    } else {
        // The empty hint makes the next display step draw the load again.
        TrayIcon->SetHint(L"");
        TrayIcon->SetText(L"");
        TrayIcon->SetBackgroundIcon(gui::TIcon());
        TrayIcon->SetIcon(TrayForm->FormIcon);
        TrayIcon->SetBorder(MRAMDisp == 0);
    }
    // The panel lays itself out again for the new state.
    if (TrayForm->PanelShown()) PanelForm->Relayout();
}

void TRAMForm::PPRAMDispClick(TMenuItem* item) {
    MRAMDisp = item->Tag;
    item->SetChecked(true);
    SetRAMImageList();
    TrayIcon->SetHint(L"");
    Proc_DispRAM();
    PPStopClick();
}

void TRAMForm::PPMenuPopup() {
    const int load = std::clamp(RAMUsageSource(), 0, 100);
    for (int i = 1; i <= 9; ++i) MPPRAMValue[i - 1]->SetEnabled(i * 10 < 100 - load);
    PPRAMClean->SetEnabled(UDRAMValue < 100 - load);
}

void TRAMForm::RGTrayWClickClick() {
    PPRAMClean->SetDefault(false);
    PPStop->SetDefault(false);
    if (RGTrayWClick == 1) PPRAMClean->SetDefault(true);
    if (RGTrayWClick == 2) PPStop->SetDefault(true);
}

// --- cleaning ------------------------------------------------------------------------

int TRAMForm::TotalMB() const { return static_cast<int>(MTotalRAM / 1048576); }

void TRAMForm::PPRAMCleanClick() {
    // Off while a cleaning runs or a modal window of the main form is open.
    if (!TrayIcon->Enabled()) return;
    CleanBy(static_cast<int>(std::trunc(UDRAMValue / 100.0 * TotalMB())));
}

void TRAMForm::PPRAMValueClick(TMenuItem* item) {
    CleanBy(static_cast<int>(std::trunc(TotalMB() * (item->Tag * 10 / 100.0))));
}

void TRAMForm::CleanBy(int n) {
    if (Wow64Source()) {
        Proc_CleanX64(n);
        return;
    }
    // The closing steps run on every way out.
    struct Closing {
        TRAMForm* self;
        ~Closing() {
            self->PPStopClick();
            self->TrayIcon->SetHint(kIdleHint);
            self->TrayIcon->SetEnabled(true);
        }
    } closing{this};
    if (n <= 2048) {
        MaxMems->DefragMemory(n);
    } else {
        MaxMems->DefragMemory(n % 2048);
        for (int i = 0; i < n / 2048; ++i)
            if (!FMemWork) MaxMems->DefragMemory(2048);
    }
}

bool TRAMForm::Func_StopExeRunning() {
    for (int i = 0; i < ListBox.Count(); ++i)
        if (ExeRunningSource(ListBox[i])) return true;
    return false;
}

void TRAMForm::MaxMemsBeforeDefrag() { Proc_BeginClean(); }

void TRAMForm::MaxMemsAfterDefrag() { Proc_EndClean(); }

void TRAMForm::Proc_BeginClean() {
    FMemWork = true;
    TTrayForm& tray = *TrayForm;
    if (!tray.PPCPUStop->Checked() && !Wow64Source()) {
        tray.TrayIcon->SetText(L"");
        tray.TrayIcon->SetHint(kBusyHint);
        tray.TrayIcon->SetIconList(tray.ImageListCPU);
        tray.TrayIcon->SetIconIndex(101);
        if (tray.PanelShown()) PanelForm->Proc_StopCPURAM(2);
    }
    TrayIcon->SetText(L"");
    TrayIcon->SetHint(kBusyHint);
    TrayIcon->SetIconList(tray.ImageListRAM);
    TrayIcon->SetIconIndex(101);
    PPRAMClean->SetEnabled(false);
    PPRAMValue->SetEnabled(false);
    TrayIcon->SetEnabled(false);
    if (tray.PanelShown()) {
        PanelForm->ImageRAM->PopupMenu = nullptr;
        PanelForm->ImageRAM->Hint = TrayIcon->Hint();
        PanelForm->Proc_StopCPURAM(3);
    }
}

void TRAMForm::Proc_EndClean() {
    FMemWork = false;
    TTrayForm& tray = *TrayForm;
    // Every mode's own pictures come back, the classic animation's too: the
    // busy look had replaced them.
    tray.SetCPUImageList();
    SetRAMImageList();
    PPRAMClean->SetEnabled(true);
    PPRAMValue->SetEnabled(true);
    PPStopClick();
    TrayIcon->SetHint(kIdleHint);
    tray.PPCPUStopClick();
    TrayIcon->SetEnabled(true);
    if (tray.MPPTrayPanelC > 0 && PanelForm) PanelForm->ImageRAM->PopupMenu = PPMenu;
}

void TRAMForm::Proc_CleanX64(int n) {
    if (FMemWork) return;
    const std::wstring path = ProgramFolder + L"Murvel.exe";
    if (!FileExistsSafe(path)) {
        gui::Application->MessageBox(path + L"\r\n" + L"がありません。", L"Orvandel",
                                     MB_ICONSTOP | MB_SYSTEMMODAL);
        return;
    }
    const int total = TotalMB();
    const int freeMB = total - total * std::clamp(RAMUsageSource(), 0, 100) / 100;
    if (freeMB < n) return;
    Proc_BeginClean();
    MRAMCleanX64Value = n;
    // The previous thread has ended (no cleaning runs), so it can go.
    FCleanThread.reset();
    try {
        FCleanThread = std::make_unique<TRAMCleanX64>(ProgramFolder, MRAMCleanX64Value,
                                                      [this](TRAMCleanX64*) { Proc_EndClean(); });
    } catch (...) {
        Proc_EndClean();  // no thread: the busy state ends here
        throw;
    }
}
