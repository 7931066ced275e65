// The main form's two tray menus: their items, the clicks on the CPU icon
// that open them, and their handlers.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/Ver.h"
#include "app/history/His.h"
#include "app/history/Launch.h"
#include "app/monitors/Btn.h"
#include "app/monitors/Drive.h"
#include "app/monitors/IMEExe.h"
#include "app/monitors/Panel.h"
#include "app/monitors/RAM.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/Wow64.h"

using gui::TMenuItem;

namespace {

// A group of radio items named prefix + index, each tagged with its index.
template <size_t N>
void RadioGroup(gui::TComponent* owner, TMenuItem* parent, const wchar_t* prefix, int group,
                const wchar_t* const (&captions)[N], std::array<TMenuItem*, N>& out,
                const std::function<void(TMenuItem*)>& onClick) {
    for (size_t i = 0; i < N; ++i)
        out[i] = gui::NewMenuItem(owner, parent, {.Name = prefix + std::to_wstring(i), .Caption = captions[i],
                                                  .Tag = static_cast<int>(i), .RadioGroup = group,
                                                  .OnClick = onClick});
}

// Whether a folder holds a file matching the pattern (any attributes).
bool FolderHasMatch(const std::wstring& folder, const wchar_t* pattern) {
    WIN32_FIND_DATAW fd;
    gui::FindHandle h(::FindFirstFileW((folder + pattern).c_str(), &fd));
    return static_cast<bool>(h);
}

// The "Recent" shell folder, or '' when it is unusable.
std::wstring RecentFolder() {
    std::wstring recent;
    GetShellFolderPath(6, recent);
    if (recent == L"\\" || !DirectoryExistsSafe(recent)) return {};
    return recent;
}

}  // namespace

void TTrayForm::CreateMenus() {
    auto click = [this](void (TTrayForm::*handler)()) {
        return [this, handler](TMenuItem*) { (this->*handler)(); };
    };
    auto clickItem = [this](void (TTrayForm::*handler)(TMenuItem*)) {
        return [this, handler](TMenuItem* item) { (this->*handler)(item); };
    };
    // Handlers that only close the menu's state: the check mark is the setting.
    auto clearR = [this](TMenuItem*) { FPopUpR = false; };

    // --- the history menu ---------------------------------------------------
    TMenuItem* l = PPLMenu->Items();
    const wchar_t* tabs[5] = {L"クリップボード(&C)", L"ファイル(&F)", L"プログラム(&P)", L"フォルダ(&D)",
                              L"エクスプローラ(&E)"};
    for (int i = 0; i < 5; ++i) {
        std::wstring name = L"PPTab" + std::to_wstring(i);
        MPPTab[i] = gui::NewMenuItem(this, l, {.Caption = tabs[i]});
        MPPTab[i]->Name = name;
        MPPTab[i]->Tag = i;
    }
    gui::NewMenuItem(this, l, {.Caption = L"-"});
    PPMenuWide = gui::NewMenuItem(this, l, {.Name = L"PPMenuWide", .Caption = L"二列表示(&S)", .AutoCheck = true});
    PPMenuWide->OnClick = click(&TTrayForm::PPMenuWideClick);
    PPMenuNarrow = gui::NewMenuItem(this, l, {.Name = L"PPMenuNarrow", .Caption = L"表示幅を小さく(&N)", .AutoCheck = true});
    PPMenuNarrow->OnClick = click(&TTrayForm::PPMenuNarrowClick);
    PPIconMenu = gui::NewMenuItem(this, l, {.Name = L"PPIconMenu", .Caption = L"アイコンを表示(&I)", .AutoCheck = true});
    PPIconMenu->OnClick = click(&TTrayForm::PPIconMenuClick);
    PPMenuFav = gui::NewMenuItem(this, l, {.Name = L"PPMenuFav", .Caption = L"お気に入りを表示(&O)", .AutoCheck = true, .Checked = true});
    PPMenuFav->OnClick = click(&TTrayForm::PPMenuFavClick);
    gui::NewMenuItem(this, l, {.Caption = L"-"});
    PPWindow = gui::NewMenuItem(this, l, {.Name = L"PPWindow", .Caption = L"履歴ウィンドウを表示(&W)"});
    PPWindow->SetDefault(true);
    PPWindow->OnClick = click(&TTrayForm::PPWindowClick);

    // --- the settings menu --------------------------------------------------
    TMenuItem* r = PPRMenu->Items();
    PPCPUStop = gui::NewMenuItem(this, r, {.Name = L"PPCPUStop", .Caption = L"CPU使用率の監視を停止", .AutoCheck = true});
    PPCPUStop->OnClick = click(&TTrayForm::PPCPUStopClick);
    PPCPUDisp = gui::NewMenuItem(this, r, {.Name = L"PPCPUDisp", .Caption = L"CPU使用率の表示"});
    const wchar_t* const disp[5] = {L"数値", L"デジタル", L"数字アイコン", L"レベルメーター", L"クラシック"};
    RadioGroup(this, PPCPUDisp, L"PPCPUDisp", 1, disp, MPPCPUDisp, clickItem(&TTrayForm::PPCPUDispClick));
    PPCPUReset = gui::NewMenuItem(this, r, {.Name = L"PPCPUReset", .Caption = L"CPU使用率のリセット"});
    PPCPUReset->OnClick = click(&TTrayForm::PPCPUResetClick);
    CPU100S1 = gui::NewMenuItem(this, r, {.Name = L"CPU100S1", .Caption = L"CPU使用率の監視の自動停止"});
    const wchar_t* const stops[6] = {L"しない", L"1分", L"2分", L"3分", L"4分", L"5分"};
    RadioGroup(this, CPU100S1, L"PPCPUs", 2, stops, MPPCPUs, clickItem(&TTrayForm::PPCPUsClick));
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPRAMStop = gui::NewMenuItem(this, r, {.Name = L"PPRAMStop", .Caption = L"RAM使用率の監視を停止", .AutoCheck = true});
    PPRAMStop->OnClick = click(&TTrayForm::PPRAMStopClick);
    PPRAM = gui::NewMenuItem(this, r, {.Name = L"PPRAM", .Caption = L"RAMクリーナーの設定"});
    PPRAM->OnClick = [this](TMenuItem*) { ShowModalSettings(RAMForm, true); };
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPHisStop = gui::NewMenuItem(this, r, {.Name = L"PPHisStop", .Caption = L"履歴の監視を停止", .AutoCheck = true});
    PPHisStop->OnClick = clearR;
    PPHis = gui::NewMenuItem(this, r, {.Name = L"PPHis", .Caption = L"履歴ウィンドウを表示"});
    PPHis->OnClick = [this](TMenuItem*) {
        FPopUpR = false;
        PPHisClick();
    };
    PPRecentClear = gui::NewMenuItem(this, r, {.Name = L"PPRecentClear", .Caption = L"Windowsの最近使ったファイルをクリア"});
    PPRecentClear->OnClick = click(&TTrayForm::PPRecentClearClick);
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPBtnStop = gui::NewMenuItem(this, r, {.Name = L"PPBtnStop", .Caption = L"自動的に押すボタンの監視を停止", .AutoCheck = true});
    PPBtnStop->OnClick = click(&TTrayForm::PPBtnStopClick);
    PPBtn = gui::NewMenuItem(this, r, {.Name = L"PPBtn", .Caption = L"自動的に押すボタンの設定"});
    PPBtn->OnClick = [this](TMenuItem*) { ShowModalSettings(BtnForm, true); };
    PPBtnCursor = gui::NewMenuItem(this, r, {.Name = L"PPBtnCursor", .Caption = L"ボタンにマウスカーソルを移動", .AutoCheck = true, .Checked = true});
    PPBtnCursor->OnClick = click(&TTrayForm::PPBtnCursorClick);
    PPCaret = gui::NewMenuItem(this, r, {.Name = L"PPCaret", .Caption = std::wstring(L"\u3000") + L"キャレット優先", .AutoCheck = true, .Checked = true});
    PPCaret->OnClick = clearR;
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPDrive = gui::NewMenuItem(this, r, {.Name = L"PPDrive", .Caption = L"ドライブ検出の監視設定"});
    PPDrive->OnClick = [this](TMenuItem*) { ShowModalSettings(DriveForm, true); };
    PPDRVExe = gui::NewMenuItem(this, r, {.Name = L"PPDRVExe", .Caption = L"ドライブ検出に登録されたプログラム"});
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPIME = gui::NewMenuItem(this, r, {.Name = L"PPIME", .Caption = L"IME ONの通知"});
    PPIMEIconDisp = gui::NewMenuItem(this, PPIME, {.Name = L"PPIMEIconDisp", .Caption = L"アイコンを表示"});
    const wchar_t* const imePos[5] = {L"しない", L"左上", L"上中央", L"左下", L"下中央"};
    RadioGroup(this, PPIMEIconDisp, L"PPIME", 3, imePos, MPPIME, clickItem(&TTrayForm::PPIMEClick));
    PPIMEIconColor = gui::NewMenuItem(this, PPIMEIconDisp, {.Name = L"PPIMEIconColor", .Caption = L"黒/白", .AutoCheck = true});
    PPIMEIconColor->OnClick = clearR;
    PPIMEWave = gui::NewMenuItem(this, PPIME, {.Name = L"PPIMEWave", .Caption = L"音声再生"});
    const wchar_t* const waves[4] = {L"しない", L"ニャー", L"カチッ", L"ピッ"};
    RadioGroup(this, PPIMEWave, L"PPIMEWave", 4, waves, MPPIMEWave, clickItem(&TTrayForm::PPIMEWaveClick));
    PPIMEHint = gui::NewMenuItem(this, PPIME, {.Name = L"PPIMEHint", .Caption = L"マウスカーソル付近にヒントを表示", .AutoCheck = true});
    PPIMEHint->OnClick = clearR;
    PPIMEEnable = gui::NewMenuItem(this, PPIME, {.Name = L"PPIMEEnable", .Caption = L"通知を有効にする/無効にする", .AutoCheck = true});
    PPIMEEnable->OnClick = clearR;
    PPIMEExe = gui::NewMenuItem(this, PPIME, {.Name = L"PPIMEExe", .Caption = L"通知プログラム設定"});
    PPIMEExe->OnClick = click(&TTrayForm::PPIMEExeClick);
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPTaskman = gui::NewMenuItem(this, r, {.Name = L"PPTaskman", .Caption = L"Windowsタスクマネージャ"});
    PPTaskman->OnClick = click(&TTrayForm::PPTaskmanClick);
    PPTrash = gui::NewMenuItem(this, r, {.Name = L"PPTrash", .Caption = L"Windowsごみ箱"});
    PPTrashOpen = gui::NewMenuItem(this, PPTrash, {.Name = L"PPTrashOpen", .Caption = L"開く"});
    PPTrashOpen->OnClick = click(&TTrayForm::PPTrashOpenClick);
    PPTrashEmpty = gui::NewMenuItem(this, PPTrash, {.Name = L"PPTrashEmpty", .Caption = L"空にする"});
    PPTrashEmpty->OnClick = click(&TTrayForm::PPTrashEmptyClick);
    PPTrashCheck = gui::NewMenuItem(this, PPTrash, {.Name = L"PPTrashCheck", .Caption = L"削除時に開く", .AutoCheck = true});
    PPTrashCheck->OnClick = [this](TMenuItem*) {
        FPopUpR = false;
        PPTrashTop->SetEnabled(PPTrashCheck->Checked());
    };
    PPTrashTop = gui::NewMenuItem(this, PPTrash, {.Name = L"PPTrashTop", .Caption = L"確認ダイアログを常に手前に表示", .AutoCheck = true});
    PPTrashTop->OnClick = clearR;
    PPWindows = gui::NewMenuItem(this, r, {.Name = L"PPWindows", .Caption = L"Windowsの終了"});
    const wchar_t* const exits[5] = {L"ログオフ", L"電源を切る", L"再起動", L"スタンバイ", L"休止状態"};
    RadioGroup(this, PPWindows, L"PPExitWin", 5, exits, MPPExitWin, clickItem(&TTrayForm::PPExitWinClick));
    for (TMenuItem* item : MPPExitWin) item->SetRadioItem(false);
    PPSPDir = gui::NewMenuItem(this, r, {.Name = L"PPSPDir", .Caption = L"Windows特殊フォルダ"});
    PPSPDir->OnClick = [this](TMenuItem*) {
        FPopUpR = false;
        if (!SPDirForm->Visible()) SPDirForm->Show();
    };
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPTrayPanel = gui::NewMenuItem(this, r, {.Name = L"PPTrayPanel", .Caption = L"トレイアイコン/CPU,RAM使用率パネル"});
    const wchar_t* const panels[3] = {L"トレイアイコン", L"トレイアイコン/CPU,RAM使用率パネル",
                                      L"CPU,RAM使用率パネル"};
    RadioGroup(this, PPTrayPanel, L"PPTrayPanel", 6, panels, MPPTrayPanel,
               clickItem(&TTrayForm::PPTrayPanelClick));
    PPLaunch = gui::NewMenuItem(this, r, {.Name = L"PPLaunch", .Caption = L"プログラムランチャ表示", .AutoCheck = true});
    PPLaunch->OnClick = click(&TTrayForm::PPLaunchClick);
    PPStartDelay = gui::NewMenuItem(this, r, {.Name = L"PPStartDelay", .Caption = L"起動遅延時間"});
    const wchar_t* const delays[6] = {L"なし", L"2秒", L"4秒", L"6秒", L"8秒", L"10秒"};
    RadioGroup(this, PPStartDelay, L"PPStartDelay", 7, delays, MPPStartDelay,
               clickItem(&TTrayForm::PPStartDelayClick));
    PPStartUp = gui::NewMenuItem(this, r, {.Name = L"PPStartUp", .Caption = L"スタートアップに登録"});
    PPStartUp->OnClick = click(&TTrayForm::PPStartUpClick);
    gui::NewMenuItem(this, r, {.Caption = L"-"});

    PPVer = gui::NewMenuItem(this, r, {.Name = L"PPVer", .Caption = L"バージョン情報"});
    PPVer->OnClick = click(&TTrayForm::PPVerClick);
    PPHelp = gui::NewMenuItem(this, r, {.Name = L"PPHelp", .Caption = L"ヘルプ"});
    PPHelp->OnClick = click(&TTrayForm::PPHelpClick);
    gui::NewMenuItem(this, r, {.Caption = L"-"});
    PPClose = gui::NewMenuItem(this, r, {.Name = L"PPClose", .Caption = L"終了"});
    PPClose->OnClick = click(&TTrayForm::PPCloseClick);
}

// --- the history menu's 200 entries --------------------------------------------

void TTrayForm::BuildHistoryEntries() {
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 40; ++j) {
            MPPList[i * 40 + j] =
                gui::NewMenuItem(this, MPPTab[i], {.Tag = j < 20 ? i * 1000 + j : i * 1000 + 80 + j,
                                                   .OnClick = [this](TMenuItem* sender) { PPListClick(sender); }});
        }
        TMenuItem* sepa = gui::NewMenuItem(this, nullptr, {.Caption = L"-"});
        // With two columns the favourites stand in a column of their own.
        if (PPMenuWide->Checked()) sepa->SetBreak(gui::TMenuBreak::mbBreak);
        MPPTab[i]->Insert(20, sepa);
        MPPMenuSepa[i] = sepa;
    }
}

void TTrayForm::FreeHistoryEntries() {
    for (int i = 4; i >= 0; --i) {
        for (int j = 39; j >= 0; --j) {
            TComponent::Free(MPPList[i * 40 + j]);
            MPPList[i * 40 + j] = nullptr;
        }
        TComponent::Free(MPPMenuSepa[i]);
        MPPMenuSepa[i] = nullptr;
    }
}

// --- clicks on the CPU icon ------------------------------------------------------

void TTrayForm::TrayIconMouseDown(gui::TMouseButton button) {
    if (FPopUpL || FPopUpR) {
        TimerWClick->SetEnabled(false);
        Proc_CancelPopUpMenu();
        return;
    }
    if (button == gui::TMouseButton::mbLeft) {
        TimerWClick->SetInterval(::GetDoubleClickTime());
        TimerWClick->SetEnabled(false);
        TimerWClick->SetEnabled(true);
    } else {
        TimerWClick->SetEnabled(false);
    }
}

void TTrayForm::TrayIconMouseUp() {
    if (FPopUpR) {
        FPopUpR = false;
    } else if (FPopUpL) {
        TimerWClick->SetEnabled(false);
        Proc_CancelPopUpMenu();
        FPopUpL = false;
        TrayIcon->OnDblClick = nullptr;
    } else {
        TrayIcon->OnDblClick = [this](TNotifyTrayIcon*) { TrayIconDblClick(); };
    }
}

void TTrayForm::TimerWClickTimer() {
    TimerWClick->SetEnabled(false);
    if (FPopUpL) {
        Proc_CancelPopUpMenu();
        FPopUpL = false;
        return;
    }
    POINT pt{};
    ::GetCursorPos(&pt);
    PPLMenu->Popup(pt.x, pt.y, Handle());
}

void TTrayForm::TrayIconDblClick() {
    TimerWClick->SetEnabled(false);
    if (FPopUpL) {
        Proc_CancelPopUpMenu();
        FPopUpL = false;
    }
    PPHisClick();
}

void TTrayForm::PPLMenuPopup() {
    if (FPopUpL) return;
    FPopUpL = true;
    FPopUpR = false;
    ForceForegroundWindow(gui::Application->Handle());
    ForceForegroundWindow(Handle());
}

void TTrayForm::PPRMenuPopup() {
    if (FPopUpR) return;
    FPopUpL = false;
    FPopUpR = true;
    PPTrashEmpty->SetEnabled(RecycleBinHasItems());
    PPRecentClear->SetEnabled(false);
    std::wstring recent = RecentFolder();
    if (!recent.empty() && FolderHasMatch(recent, L"*.lnk")) PPRecentClear->SetEnabled(true);
    std::wstring windows;
    GetWindowsDir(windows);
    MPPExitWin[4]->SetEnabled(windows.size() >= 2 && FileExistsSafe(windows.substr(0, 2) + L"\\Hiberfil.sys"));
}

void TTrayForm::Proc_CancelPopUpMenu() {
    ForceForegroundWindow(gui::Application->Handle());
    for (gui::TPopupMenu* menu : {PPLMenu, PPRMenu}) {
        HWND w = menu->WindowHandle();
        if (w && ::IsWindow(w)) ::PostMessageW(w, WM_LBUTTONDOWN, 0, 0);
        // Posting the click dismisses a menu of another thread's loop too;
        // closing it directly makes sure ours goes as well.
        menu->CloseMenu();
    }
}

// --- history menu handlers -------------------------------------------------------

void TTrayForm::PPListClick(TMenuItem* item) {
    FPopUpL = false;
    HisForm->TrayMenu.Proc_PPListClick(item->Tag);
}

void TTrayForm::PPWindowClick() {
    FPopUpL = false;
    TrayIconDblClick();
}

void TTrayForm::PPIconMenuClick() {
    FPopUpL = false;
    for (int c = 1; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
}

void TTrayForm::PPMenuFavClick() {
    FPopUpL = false;
    for (int c = 0; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
}

void TTrayForm::PPMenuNarrowClick() { PPMenuFavClick(); }

void TTrayForm::PPMenuWideClick() {
    FPopUpL = false;
    FreeHistoryEntries();
    BuildHistoryEntries();
    if (IsVistaOrLater()) MPPTab[4]->SetVisible(false);
    for (int c = 0; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
}

// --- settings menu handlers --------------------------------------------------------

void TTrayForm::ShowModalSettings(gui::TForm* form, bool taskbarButtons) {
    FPopUpR = false;
    // The history window's button steps aside for the settings window's own.
    bool hisVisible = false;
    gui::RunModal(*form, {
        .Before = [&] {
            hisVisible = taskbarButtons && HisForm && HisForm->Visible();
            if (hisVisible) TaskBarDeleteTab(HisForm->Handle());
            TrayIcon->SetEnabled(false);
            if (RAMForm) RAMForm->TrayIcon->SetEnabled(false);
            TimerMain->SetEnabled(false);
        },
        .After = [&] {
            TrayIcon->SetEnabled(true);
            if (RAMForm) RAMForm->TrayIcon->SetEnabled(true);
            if (!FClose) TimerMain->SetEnabled(true);
            if (hisVisible && HisForm && HisForm->Visible()) TaskBarAddTab(HisForm->Handle());
        },
    });
}

void TTrayForm::PPHisClick() {
    if (!HisForm) return;
    HWND w = HisForm->Handle();
    if (!HisForm->Visible()) {
        HisForm->Show();
        ForceForegroundWindow(w);
    } else if (::IsIconic(w)) {
        ::ShowWindow(w, SW_RESTORE);
    } else {
        ForceForegroundWindow(w);
    }
}

void TTrayForm::PPBtnStopClick() {
    FPopUpR = false;
    if (!PPBtnStop->Checked()) ForceForegroundWindow(::GetDesktopWindow());
}

void TTrayForm::PPBtnCursorClick() {
    FPopUpR = false;
    PPCaret->SetEnabled(PPBtnCursor->Checked());
}

void TTrayForm::PPRAMStopClick() {
    FPopUpR = false;
    RAMForm->TrayIcon->SetIconVisible(!PPRAMStop->Checked() && MPPTrayPanelC <= 1);
    RAMForm->PPStopClick();
    if (PanelShown()) PanelForm->Relayout();
}

void TTrayForm::PPRecentClearClick() {
    FPopUpR = false;
    if (!RecentFolder().empty()) ::SHAddToRecentDocs(SHARD_PATHW, nullptr);
}

void TTrayForm::PPTaskmanClick() {
    FPopUpR = false;
    Wow64RedirectionOff off;
    ShellExecuteFile(L"taskmgr.exe", L"", L"", SW_SHOWNORMAL);
}

void TTrayForm::PPTrayPanelClick(TMenuItem* item) {
    FPopUpR = false;
    item->SetChecked(true);
    MPPTrayPanelC = item->Tag;
    ApplyTrayPanelMode();
}

void TTrayForm::PPLaunchClick() {
    FPopUpR = false;
    if (PPLaunch->Checked()) {
        LaunchForm->TrayIcon->SetVisible(true);
        if (HisForm->Lists.Settings.FLaunchVisible) LaunchForm->Show();
    } else {
        LaunchForm->Close();
    }
}

void TTrayForm::PPStartDelayClick(TMenuItem* item) {
    FPopUpR = false;
    item->SetChecked(true);
    MStartDelay = item->Tag;
}

void TTrayForm::PPStartUpClick() {
    FPopUpR = false;
    if (gui::Application->MessageBox(L"スタートアップに登録しますか？", L"Orvandel",
                                     MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    std::wstring startup;
    GetShellFolderPath(9, startup);
    if (startup == L"\\" || !DirectoryExistsSafe(startup)) return;
    const std::wstring program = ProgramFilePath();
    // The folder that holds the program's folder, not the program's folder.
    std::wstring dir = program.substr(0, program.rfind(L'\\'));
    dir = dir.substr(0, dir.rfind(L'\\') + 1);
    MakeShortCut->SCFileName = startup + L"Orvandel" + L".lnk";
    MakeShortCut->SCExecFile = program;
    MakeShortCut->SCArguments = L"";
    MakeShortCut->SCWorkDir = dir;
    MakeShortCut->SCSystemPath = tpBlank;
    MakeShortCut->SCDescription = L"Orvandel";
    MakeShortCut->SCShowCmd = tsNormal;
    MakeShortCut->SCSave();
}

void TTrayForm::PPVerClick() {
    FPopUpR = false;
    // Created for this one use and released after it closes.
    gui::TApplication& app = *gui::Application;
    auto* ver = new TVerForm(&app);
    VerForm = ver;
    struct Release {
        ~Release() {
            gui::TComponent::Free(VerForm);
            VerForm = nullptr;
        }
    } release;
    ver->Initialize();
    ShowModalSettings(ver, false);
}

void TTrayForm::PPHelpClick() {
    FPopUpR = false;
    ::ShellExecuteW(gui::Application->Handle(), L"open", gui::Application->HelpFile.c_str(), nullptr,
                    nullptr, SW_SHOW);
}

void TTrayForm::PPCloseClick() {
    FPopUpR = false;
    FPopUpL = false;
    if (HisForm) HisForm->TrayMenu.FPPLSet = false;
    Close();
}
