#include "app/TrayMenus.h"

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

void TTrayMenus::Create() {
    auto click = [this](void (TTrayMenus::*handler)()) {
        return [this, handler](TMenuItem*) { (this->*handler)(); };
    };
    auto clickItem = [this](void (TTrayMenus::*handler)(TMenuItem*)) {
        return [this, handler](TMenuItem* item) { (this->*handler)(item); };
    };
    // The CPU display's handlers are the form's.
    auto formClick = [this](void (TTrayForm::*handler)()) {
        return [this, handler](TMenuItem*) { (Form.*handler)(); };
    };
    auto formClickItem = [this](void (TTrayForm::*handler)(TMenuItem*)) {
        return [this, handler](TMenuItem* item) { (Form.*handler)(item); };
    };
    // Handlers that only close the menu's state: the check mark is the setting.
    auto clearR = [this](TMenuItem*) { Form.FPopUpR = false; };

    TimerWClick = new gui::TTimer(&Form);
    TimerWClick->Name = L"TimerWClick";
    TimerWClick->SetEnabled(false);
    TimerWClick->OnTimer = [this](gui::TTimer*) { TimerWClickTimer(); };
    MakeShortCut = new TMakeShortCut(&Form);
    MakeShortCut->Name = L"MakeShortCut";
    MakeShortCut->SCShowCmd = tsNormal;
    MakeShortCut->SCSystemPath = tpBlank;

    Form.PPRMenu->OnPopup = [this](gui::TPopupMenu*) { PPRMenuPopup(); };
    Form.PPLMenu->OnPopup = [this](gui::TPopupMenu*) { PPLMenuPopup(); };

    // --- the history menu ---------------------------------------------------
    TMenuItem* l = Form.PPLMenu->Items();
    const wchar_t* tabs[5] = {L"クリップボード(&C)", L"ファイル(&F)", L"プログラム(&P)", L"フォルダ(&D)",
                              L"エクスプローラ(&E)"};
    for (int i = 0; i < 5; ++i) {
        std::wstring name = L"PPTab" + std::to_wstring(i);
        Form.MPPTab[i] = gui::NewMenuItem(&Form, l, {.Caption = tabs[i]});
        Form.MPPTab[i]->Name = name;
        Form.MPPTab[i]->Tag = i;
    }
    gui::NewMenuItem(&Form, l, {.Caption = L"-"});
    Form.PPMenuWide = gui::NewMenuItem(&Form, l, {.Name = L"PPMenuWide", .Caption = L"二列表示(&S)", .AutoCheck = true});
    Form.PPMenuWide->OnClick = click(&TTrayMenus::PPMenuWideClick);
    Form.PPMenuNarrow = gui::NewMenuItem(&Form, l, {.Name = L"PPMenuNarrow", .Caption = L"表示幅を小さく(&N)", .AutoCheck = true});
    Form.PPMenuNarrow->OnClick = click(&TTrayMenus::PPMenuNarrowClick);
    Form.PPIconMenu = gui::NewMenuItem(&Form, l, {.Name = L"PPIconMenu", .Caption = L"アイコンを表示(&I)", .AutoCheck = true});
    Form.PPIconMenu->OnClick = click(&TTrayMenus::PPIconMenuClick);
    Form.PPMenuFav = gui::NewMenuItem(&Form, l, {.Name = L"PPMenuFav", .Caption = L"お気に入りを表示(&O)", .AutoCheck = true, .Checked = true});
    Form.PPMenuFav->OnClick = click(&TTrayMenus::PPMenuFavClick);
    gui::NewMenuItem(&Form, l, {.Caption = L"-"});
    Form.PPWindow = gui::NewMenuItem(&Form, l, {.Name = L"PPWindow", .Caption = L"履歴ウィンドウを表示(&W)"});
    Form.PPWindow->SetDefault(true);
    Form.PPWindow->OnClick = click(&TTrayMenus::PPWindowClick);

    // --- the settings menu --------------------------------------------------
    TMenuItem* r = Form.PPRMenu->Items();
    Form.PPCPUStop = gui::NewMenuItem(&Form, r, {.Name = L"PPCPUStop", .Caption = L"CPU使用率の監視を停止", .AutoCheck = true});
    Form.PPCPUStop->OnClick = formClick(&TTrayForm::PPCPUStopClick);
    PPCPUDisp = gui::NewMenuItem(&Form, r, {.Name = L"PPCPUDisp", .Caption = L"CPU使用率の表示"});
    const wchar_t* const disp[5] = {L"数値", L"デジタル", L"数字アイコン", L"レベルメーター", L"クラシック"};
    RadioGroup(&Form, PPCPUDisp, L"PPCPUDisp", 1, disp, MPPCPUDisp, formClickItem(&TTrayForm::PPCPUDispClick));
    PPCPUReset = gui::NewMenuItem(&Form, r, {.Name = L"PPCPUReset", .Caption = L"CPU使用率のリセット"});
    PPCPUReset->OnClick = formClick(&TTrayForm::PPCPUResetClick);
    CPU100S1 = gui::NewMenuItem(&Form, r, {.Name = L"CPU100S1", .Caption = L"CPU使用率の監視の自動停止"});
    const wchar_t* const stops[6] = {L"しない", L"1分", L"2分", L"3分", L"4分", L"5分"};
    RadioGroup(&Form, CPU100S1, L"PPCPUs", 2, stops, MPPCPUs, formClickItem(&TTrayForm::PPCPUsClick));
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    Form.PPRAMStop = gui::NewMenuItem(&Form, r, {.Name = L"PPRAMStop", .Caption = L"RAM使用率の監視を停止", .AutoCheck = true});
    Form.PPRAMStop->OnClick = click(&TTrayMenus::PPRAMStopClick);
    Form.PPRAM = gui::NewMenuItem(&Form, r, {.Name = L"PPRAM", .Caption = L"RAMクリーナーの設定"});
    Form.PPRAM->OnClick = [this](TMenuItem*) { Form.ShowModalSettings(RAMForm, true); };
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    Form.PPHisStop = gui::NewMenuItem(&Form, r, {.Name = L"PPHisStop", .Caption = L"履歴の監視を停止", .AutoCheck = true});
    Form.PPHisStop->OnClick = clearR;
    PPHis = gui::NewMenuItem(&Form, r, {.Name = L"PPHis", .Caption = L"履歴ウィンドウを表示"});
    PPHis->OnClick = [this](TMenuItem*) {
        Form.FPopUpR = false;
        PPHisClick();
    };
    PPRecentClear = gui::NewMenuItem(&Form, r, {.Name = L"PPRecentClear", .Caption = L"Windowsの最近使ったファイルをクリア"});
    PPRecentClear->OnClick = click(&TTrayMenus::PPRecentClearClick);
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    Form.PPBtnStop = gui::NewMenuItem(&Form, r, {.Name = L"PPBtnStop", .Caption = L"自動的に押すボタンの監視を停止", .AutoCheck = true});
    Form.PPBtnStop->OnClick = click(&TTrayMenus::PPBtnStopClick);
    PPBtn = gui::NewMenuItem(&Form, r, {.Name = L"PPBtn", .Caption = L"自動的に押すボタンの設定"});
    PPBtn->OnClick = [this](TMenuItem*) { Form.ShowModalSettings(BtnForm, true); };
    Form.PPBtnCursor = gui::NewMenuItem(&Form, r, {.Name = L"PPBtnCursor", .Caption = L"ボタンにマウスカーソルを移動", .AutoCheck = true, .Checked = true});
    Form.PPBtnCursor->OnClick = click(&TTrayMenus::PPBtnCursorClick);
    Form.PPCaret = gui::NewMenuItem(&Form, r, {.Name = L"PPCaret", .Caption = std::wstring(L"\u3000") + L"キャレット優先", .AutoCheck = true, .Checked = true});
    Form.PPCaret->OnClick = clearR;
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    PPDrive = gui::NewMenuItem(&Form, r, {.Name = L"PPDrive", .Caption = L"ドライブ検出の監視設定"});
    PPDrive->OnClick = [this](TMenuItem*) { Form.ShowModalSettings(DriveForm, true); };
    Form.PPDRVExe = gui::NewMenuItem(&Form, r, {.Name = L"PPDRVExe", .Caption = L"ドライブ検出に登録されたプログラム"});
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    PPIME = gui::NewMenuItem(&Form, r, {.Name = L"PPIME", .Caption = L"IME ONの通知"});
    PPIMEIconDisp = gui::NewMenuItem(&Form, PPIME, {.Name = L"PPIMEIconDisp", .Caption = L"アイコンを表示"});
    const wchar_t* const imePos[5] = {L"しない", L"左上", L"上中央", L"左下", L"下中央"};
    RadioGroup(&Form, PPIMEIconDisp, L"PPIME", 3, imePos, Form.FIMENotices.MPPIME,
               [this](TMenuItem* item) { Form.FIMENotices.PPIMEClick(item); });
    Form.PPIMEIconColor = gui::NewMenuItem(&Form, PPIMEIconDisp, {.Name = L"PPIMEIconColor", .Caption = L"黒/白", .AutoCheck = true});
    Form.PPIMEIconColor->OnClick = clearR;
    PPIMEWave = gui::NewMenuItem(&Form, PPIME, {.Name = L"PPIMEWave", .Caption = L"音声再生"});
    const wchar_t* const waves[4] = {L"しない", L"ニャー", L"カチッ", L"ピッ"};
    RadioGroup(&Form, PPIMEWave, L"PPIMEWave", 4, waves, Form.FIMENotices.MPPIMEWave,
               [this](TMenuItem* item) { Form.FIMENotices.PPIMEWaveClick(item); });
    Form.PPIMEHint = gui::NewMenuItem(&Form, PPIME, {.Name = L"PPIMEHint", .Caption = L"マウスカーソル付近にヒントを表示", .AutoCheck = true});
    Form.PPIMEHint->OnClick = clearR;
    Form.PPIMEEnable = gui::NewMenuItem(&Form, PPIME, {.Name = L"PPIMEEnable", .Caption = L"通知を有効にする/無効にする", .AutoCheck = true});
    Form.PPIMEEnable->OnClick = clearR;
    PPIMEExe = gui::NewMenuItem(&Form, PPIME, {.Name = L"PPIMEExe", .Caption = L"通知プログラム設定"});
    PPIMEExe->OnClick = click(&TTrayMenus::PPIMEExeClick);
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    PPTaskman = gui::NewMenuItem(&Form, r, {.Name = L"PPTaskman", .Caption = L"Windowsタスクマネージャ"});
    PPTaskman->OnClick = click(&TTrayMenus::PPTaskmanClick);
    PPTrash = gui::NewMenuItem(&Form, r, {.Name = L"PPTrash", .Caption = L"Windowsごみ箱"});
    PPTrashOpen = gui::NewMenuItem(&Form, PPTrash, {.Name = L"PPTrashOpen", .Caption = L"開く"});
    PPTrashOpen->OnClick = [this](TMenuItem*) { Form.FTrashWatch.PPTrashOpenClick(); };
    PPTrashEmpty = gui::NewMenuItem(&Form, PPTrash, {.Name = L"PPTrashEmpty", .Caption = L"空にする"});
    PPTrashEmpty->OnClick = [this](TMenuItem*) { Form.FTrashWatch.PPTrashEmptyClick(); };
    Form.PPTrashCheck = gui::NewMenuItem(&Form, PPTrash, {.Name = L"PPTrashCheck", .Caption = L"削除時に開く", .AutoCheck = true});
    Form.PPTrashCheck->OnClick = [this](TMenuItem*) {
        Form.FPopUpR = false;
        Form.PPTrashTop->SetEnabled(Form.PPTrashCheck->Checked());
    };
    Form.PPTrashTop = gui::NewMenuItem(&Form, PPTrash, {.Name = L"PPTrashTop", .Caption = L"確認ダイアログを常に手前に表示", .AutoCheck = true});
    Form.PPTrashTop->OnClick = clearR;
    PPWindows = gui::NewMenuItem(&Form, r, {.Name = L"PPWindows", .Caption = L"Windowsの終了"});
    const wchar_t* const exits[5] = {L"ログオフ", L"電源を切る", L"再起動", L"スタンバイ", L"休止状態"};
    RadioGroup(&Form, PPWindows, L"PPExitWin", 5, exits, Form.FExitCountdown.MPPExitWin,
               [this](TMenuItem* item) { Form.FExitCountdown.PPExitWinClick(item); });
    for (TMenuItem* item : Form.FExitCountdown.MPPExitWin) item->SetRadioItem(false);
    PPSPDir = gui::NewMenuItem(&Form, r, {.Name = L"PPSPDir", .Caption = L"Windows特殊フォルダ"});
    PPSPDir->OnClick = [this](TMenuItem*) {
        Form.FPopUpR = false;
        if (!SPDirForm->Visible()) SPDirForm->Show();
    };
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    PPTrayPanel = gui::NewMenuItem(&Form, r, {.Name = L"PPTrayPanel", .Caption = L"トレイアイコン/CPU,RAM使用率パネル"});
    const wchar_t* const panels[3] = {L"トレイアイコン", L"トレイアイコン/CPU,RAM使用率パネル",
                                      L"CPU,RAM使用率パネル"};
    RadioGroup(&Form, PPTrayPanel, L"PPTrayPanel", 6, panels, MPPTrayPanel,
               clickItem(&TTrayMenus::PPTrayPanelClick));
    Form.PPLaunch = gui::NewMenuItem(&Form, r, {.Name = L"PPLaunch", .Caption = L"プログラムランチャ表示", .AutoCheck = true});
    Form.PPLaunch->OnClick = click(&TTrayMenus::PPLaunchClick);
    PPStartDelay = gui::NewMenuItem(&Form, r, {.Name = L"PPStartDelay", .Caption = L"起動遅延時間"});
    const wchar_t* const delays[6] = {L"なし", L"2秒", L"4秒", L"6秒", L"8秒", L"10秒"};
    RadioGroup(&Form, PPStartDelay, L"PPStartDelay", 7, delays, MPPStartDelay,
               clickItem(&TTrayMenus::PPStartDelayClick));
    PPStartUp = gui::NewMenuItem(&Form, r, {.Name = L"PPStartUp", .Caption = L"スタートアップに登録"});
    PPStartUp->OnClick = click(&TTrayMenus::PPStartUpClick);
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});

    PPVer = gui::NewMenuItem(&Form, r, {.Name = L"PPVer", .Caption = L"バージョン情報"});
    PPVer->OnClick = click(&TTrayMenus::PPVerClick);
    PPHelp = gui::NewMenuItem(&Form, r, {.Name = L"PPHelp", .Caption = L"ヘルプ"});
    PPHelp->OnClick = click(&TTrayMenus::PPHelpClick);
    gui::NewMenuItem(&Form, r, {.Caption = L"-"});
    PPClose = gui::NewMenuItem(&Form, r, {.Name = L"PPClose", .Caption = L"終了"});
    PPClose->OnClick = click(&TTrayMenus::PPCloseClick);
}

// --- the history menu's 200 entries --------------------------------------------

void TTrayMenus::BuildHistoryEntries() {
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 40; ++j) {
            Form.MPPList[i * 40 + j] =
                gui::NewMenuItem(&Form, Form.MPPTab[i], {.Tag = j < 20 ? i * 1000 + j : i * 1000 + 80 + j,
                                                   .OnClick = [this](TMenuItem* sender) { PPListClick(sender); }});
        }
        TMenuItem* sepa = gui::NewMenuItem(&Form, nullptr, {.Caption = L"-"});
        // With two columns the favourites stand in a column of their own.
        if (Form.PPMenuWide->Checked()) sepa->SetBreak(gui::TMenuBreak::mbBreak);
        Form.MPPTab[i]->Insert(20, sepa);
        MPPMenuSepa[i] = sepa;
    }
}

void TTrayMenus::FreeHistoryEntries() {
    for (int i = 4; i >= 0; --i) {
        for (int j = 39; j >= 0; --j) {
            gui::TComponent::Free(Form.MPPList[i * 40 + j]);
            Form.MPPList[i * 40 + j] = nullptr;
        }
        gui::TComponent::Free(MPPMenuSepa[i]);
        MPPMenuSepa[i] = nullptr;
    }
}

// --- clicks on the CPU icon ------------------------------------------------------

void TTrayMenus::TrayIconMouseDown(gui::TMouseButton button) {
    if (Form.FPopUpL || Form.FPopUpR) {
        TimerWClick->SetEnabled(false);
        Form.Proc_CancelPopUpMenu();
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

void TTrayMenus::TrayIconMouseUp() {
    if (Form.FPopUpR) {
        Form.FPopUpR = false;
    } else if (Form.FPopUpL) {
        TimerWClick->SetEnabled(false);
        Form.Proc_CancelPopUpMenu();
        Form.FPopUpL = false;
        Form.TrayIcon->OnDblClick = nullptr;
    } else {
        Form.TrayIcon->OnDblClick = [this](TNotifyTrayIcon*) { TrayIconDblClick(); };
    }
}

void TTrayMenus::TimerWClickTimer() {
    TimerWClick->SetEnabled(false);
    if (Form.FPopUpL) {
        Form.Proc_CancelPopUpMenu();
        Form.FPopUpL = false;
        return;
    }
    POINT pt{};
    ::GetCursorPos(&pt);
    Form.PPLMenu->Popup(pt.x, pt.y, Form.Handle());
}

void TTrayMenus::TrayIconDblClick() {
    TimerWClick->SetEnabled(false);
    if (Form.FPopUpL) {
        Form.Proc_CancelPopUpMenu();
        Form.FPopUpL = false;
    }
    PPHisClick();
}

void TTrayMenus::PPLMenuPopup() {
    if (Form.FPopUpL) return;
    Form.FPopUpL = true;
    Form.FPopUpR = false;
    ForceForegroundWindow(gui::Application->Handle());
    ForceForegroundWindow(Form.Handle());
}

void TTrayMenus::PPRMenuPopup() {
    if (Form.FPopUpR) return;
    Form.FPopUpL = false;
    Form.FPopUpR = true;
    PPTrashEmpty->SetEnabled(RecycleBinHasItems());
    PPRecentClear->SetEnabled(false);
    std::wstring recent = RecentFolder();
    if (!recent.empty() && FolderHasMatch(recent, L"*.lnk")) PPRecentClear->SetEnabled(true);
    std::wstring windows;
    GetWindowsDir(windows);
    Form.FExitCountdown.MPPExitWin[4]->SetEnabled(windows.size() >= 2 && FileExistsSafe(windows.substr(0, 2) + L"\\Hiberfil.sys"));
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

void TTrayMenus::PPListClick(TMenuItem* item) {
    Form.FPopUpL = false;
    HisForm->TrayMenu.Proc_PPListClick(item->Tag);
}

void TTrayMenus::PPWindowClick() {
    Form.FPopUpL = false;
    TrayIconDblClick();
}

void TTrayMenus::PPIconMenuClick() {
    Form.FPopUpL = false;
    for (int c = 1; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
}

void TTrayMenus::PPMenuFavClick() {
    Form.FPopUpL = false;
    for (int c = 0; c < 5; ++c) HisForm->TrayMenu.Proc_PPListSet(c);
}

void TTrayMenus::PPMenuNarrowClick() { PPMenuFavClick(); }

void TTrayMenus::PPMenuWideClick() {
    Form.FPopUpL = false;
    FreeHistoryEntries();
    BuildHistoryEntries();
    if (IsVistaOrLater()) Form.MPPTab[4]->SetVisible(false);
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

void TTrayMenus::PPIMEExeClick() { IMEExeForm->Show(); }

void TTrayMenus::PPHisClick() {
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

void TTrayMenus::PPBtnStopClick() {
    Form.FPopUpR = false;
    if (!Form.PPBtnStop->Checked()) ForceForegroundWindow(::GetDesktopWindow());
}

void TTrayMenus::PPBtnCursorClick() {
    Form.FPopUpR = false;
    Form.PPCaret->SetEnabled(Form.PPBtnCursor->Checked());
}

void TTrayMenus::PPRAMStopClick() {
    Form.FPopUpR = false;
    RAMForm->TrayIcon->SetIconVisible(!Form.PPRAMStop->Checked() && Form.MPPTrayPanelC <= 1);
    RAMForm->PPStopClick();
    if (Form.PanelShown()) PanelForm->Relayout();
}

void TTrayMenus::PPRecentClearClick() {
    Form.FPopUpR = false;
    if (!RecentFolder().empty()) ::SHAddToRecentDocs(SHARD_PATHW, nullptr);
}

void TTrayMenus::PPTaskmanClick() {
    Form.FPopUpR = false;
    Wow64RedirectionOff off;
    ShellExecuteFile(L"taskmgr.exe", L"", L"", SW_SHOWNORMAL);
}

void TTrayMenus::PPTrayPanelClick(TMenuItem* item) {
    Form.FPopUpR = false;
    item->SetChecked(true);
    Form.MPPTrayPanelC = item->Tag;
    Form.ApplyTrayPanelMode();
}

void TTrayMenus::PPLaunchClick() {
    Form.FPopUpR = false;
    if (Form.PPLaunch->Checked()) {
        LaunchForm->TrayIcon->SetVisible(true);
        if (HisForm->Lists.Settings.FLaunchVisible) LaunchForm->Show();
    } else {
        LaunchForm->Close();
    }
}

void TTrayMenus::PPStartDelayClick(TMenuItem* item) {
    Form.FPopUpR = false;
    item->SetChecked(true);
    Form.MStartDelay = item->Tag;
}

void TTrayMenus::PPStartUpClick() {
    Form.FPopUpR = false;
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

void TTrayMenus::PPVerClick() {
    Form.FPopUpR = false;
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
    Form.ShowModalSettings(ver, false);
}

void TTrayMenus::PPHelpClick() {
    Form.FPopUpR = false;
    ::ShellExecuteW(gui::Application->Handle(), L"open", gui::Application->HelpFile.c_str(), nullptr,
                    nullptr, SW_SHOW);
}

void TTrayMenus::PPCloseClick() {
    Form.FPopUpR = false;
    Form.FPopUpL = false;
    if (HisForm) HisForm->TrayMenu.FPPLSet = false;
    Form.Close();
}
