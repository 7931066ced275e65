#include "app/history/Launch.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/ExeCmd.h"
#include "app/history/His.h"
#include "app/history/HisPaths.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/IniTable.h"
#include "gui/Screen.h"
#include "gui/StringList.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

TLaunchForm* LaunchForm = nullptr;

namespace {

const wchar_t kIniName[] = L"Launch.ini";
const int kOpaqueStep = 19;

// The version strings a launcher entry shows: FileVersion and
// FileDescription (empty when it equals the version). False when the file
// has no version information.
bool EntryVersion(const std::wstring& path, std::wstring& version, std::wstring& description) {
    version.clear();
    description.clear();
    gui::TStringList rows;
    if (!GetVersionInfoList(path, rows)) return false;
    // Each row: the key padded to 16 characters, "：", the value from the 18th character.
    for (int i = 0; i < rows.Count(); ++i) {
        const std::wstring& row = rows[i];
        if (row.size() < 17) continue;
        std::wstring key = row.substr(0, 16);
        key.erase(key.find_last_not_of(L' ') + 1);
        if (key == L"FileVersion") version = row.substr(17);
        else if (key == L"FileDescription") description = row.substr(17);
    }
    if (description == version) description.clear();
    return true;
}

// A picture of the launcher's tray icon: a rounded plate with a start
// arrow, drawn at 32 x 32; `lift` moves the arrow up for the second frame.
void AddTrayPicture(gui::TImageList& list, gui::TColor plate, gui::TColor edge, gui::TColor arrow, int lift) {
    const gui::TColor transparent = RGB(255, 0, 255);
    gui::TBitmap b(32, 32);
    gui::TCanvas& c = b.Canvas();
    c.Brush().SetColor(transparent);
    c.FillRect(RECT{0, 0, 32, 32});
    HDC dc = c.Handle();
    {
        gui::GdiObject brush(::CreateSolidBrush(plate));
        gui::GdiObject pen(::CreatePen(PS_SOLID, 2, edge));
        gui::SelectObjectScope withBrush(dc, brush.get()), withPen(dc, pen.get());
        ::RoundRect(dc, 2, 2, 30, 30, 10, 10);
    }
    {
        gui::GdiObject brush(::CreateSolidBrush(arrow));
        gui::GdiObject pen(::CreatePen(PS_SOLID, 1, arrow));
        gui::SelectObjectScope withBrush(dc, brush.get()), withPen(dc, pen.get());
        const POINT triangle[] = {{11, 8 - lift}, {23, 16 - lift}, {11, 24 - lift}};
        ::Polygon(dc, triangle, 3);
    }
    list.AddMasked(b, transparent);
}

void FillTrayPictures(TLaunchForm& f) {
    const gui::TColor blue = RGB(40, 90, 200), darkBlue = RGB(10, 40, 120), white = RGB(255, 255, 255);
    const gui::TColor grey = RGB(192, 192, 192), black = RGB(0, 0, 0), green = RGB(0, 128, 0);
    AddTrayPicture(*f.ImageListTray0, blue, darkBlue, white, 0);
    AddTrayPicture(*f.ImageListTray0, grey, black, green, 0);
    AddTrayPicture(*f.ImageListTray1, blue, darkBlue, white, 0);
    AddTrayPicture(*f.ImageListTray1, blue, darkBlue, RGB(255, 230, 80), 3);
    AddTrayPicture(*f.ImageListTray2, grey, black, green, 0);
    AddTrayPicture(*f.ImageListTray2, grey, black, RGB(0, 200, 0), 3);
}

// "##0%": 10% ... 100%.
std::wstring PercentCaption(int percent) { return std::to_wstring(percent) + L"%"; }

}  // namespace

TLaunchForm::TLaunchForm(gui::TComponent* owner) : TForm(owner, L"TLaunchForm") {
    Name = L"LaunchForm";
    CreationCaption = L"Orvandel - プログラムランチャ";
    // A sizeable tool window without border icons.
    BorderStyle = gui::TFormBorderStyle::bsSizeToolWin;
    BorderIcons.SystemMenu = false;
    CreationClientWidth = 658;
    CreationClientHeight = 298;
}

void TLaunchForm::FormCreate() {
    using gui::Bounds;
    using gui::TAlign;
    MinHeight = 300;
    MinWidth = 300;

    const gui::TFont iconFont = gui::Screen.IconFont();
    Font().SetName(iconFont.Name());
    Font().SetHeight(iconFont.Height());
    FontChanged();

    ImageListHis = new gui::TImageList(this, 32, 32);
    ImageListHis->Name = L"ImageListHis";
    ImageListFav = new gui::TImageList(this, 32, 32);
    ImageListFav->Name = L"ImageListFav";
    ImageListTray0 = new gui::TImageList(this, 32, 32);
    ImageListTray0->Name = L"ImageListTray0";
    ImageListTray1 = new gui::TImageList(this, 32, 32);
    ImageListTray1->Name = L"ImageListTray1";
    ImageListTray2 = new gui::TImageList(this, 32, 32);
    ImageListTray2->Name = L"ImageListTray2";
    FillTrayPictures(*this);

    PPMenuTrans = new gui::TPopupMenu(this);
    PPMenuTrans->Name = L"PPMenuTrans";
    for (int i = kOpaqueStep; i >= 1; --i) {
        const int percent = i * 5 + 5;
        MPPTrans[static_cast<size_t>(i)] = gui::NewMenuItem(
            this, PPMenuTrans->Items(),
            {.Name = L"PPTrans" + std::to_wstring(percent), .Caption = PercentCaption(percent), .Tag = i,
             .RadioGroup = 1, .AutoCheck = true, .OnClick = [this](gui::TMenuItem* sender) { PPTransClick(sender); }});
    }

    ToolBar = gui::NewControl<gui::TToolBar>(this, {.Name = L"ToolBar", .Bounds = Bounds(0, 0, 658, 26),
                                                    .Align = TAlign::alTop});
    using gui::TToolButtonStyle;
    TBWClick = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBWClick", .Caption = L"ダブルクリック", .ImageIndex = I_IMAGENONE,
                        .Style = TToolButtonStyle::tbsCheck, .Grouped = true, .Down = true});
    TB1Click = gui::NewToolButton(
        this, ToolBar, {.Name = L"TB1Click", .Caption = L"シングルクリック", .ImageIndex = I_IMAGENONE,
                        .Style = TToolButtonStyle::tbsCheck, .Grouped = true});
    TBExeHide = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBExeHide", .Caption = L"実行後隠す", .ImageIndex = I_IMAGENONE,
                        .Style = TToolButtonStyle::tbsCheck});
    TBHide = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBHide", .Caption = L"隠す", .ImageIndex = I_IMAGENONE,
                        .OnClick = [this](gui::TToolButton*) { Hide(); }});
    TBTrans = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBTrans", .Caption = L"半透明度", .ImageIndex = I_IMAGENONE,
                        .Style = TToolButtonStyle::tbsDropDown, .DropdownMenu = PPMenuTrans,
                        .OnClick = [this](gui::TToolButton*) { TBTransClick(); }});
    TBClassicIcon = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBClassicIcon", .Caption = L"クラシックアイコン", .ImageIndex = I_IMAGENONE,
                        .Style = TToolButtonStyle::tbsCheck,
                        .OnClick = [this](gui::TToolButton*) { TBClassicIconClick(); }});

    // A pane holding one list of large icons in the window's font.
    auto iconPane = [this](const wchar_t* panelName, const wchar_t* viewName, TAlign align, int index,
                           gui::TImageList* images, gui::TPanel*& panel, gui::TListView*& view) {
        panel = gui::NewControl<gui::TPanel>(
            this, {.Name = panelName, .Bounds = Bounds(0, 0, 658, 120), .Align = align}, gui::kHolderPanel);
        view = gui::NewControl<gui::TListView>(this, {.Parent = panel, .Name = viewName, .Align = TAlign::alClient},
                                               {.ViewStyle = gui::TViewStyle::vsIcon, .RowSelect = false});
        view->Font().Assign(Font());
        view->SetLargeImages(images);
        // Icons of 32 pixels three times over in each direction.
        view->SetIconSpacing(images->Width() * 3, images->Height() * 3);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        view->Perform(LVM_SETBKCOLOR, 0, face);
        view->Perform(LVM_SETTEXTBKCOLOR, 0, face);
        view->OnClick = [this, index](gui::TListView*) { ListViewClick(index); };
        view->OnItemDblClick = [this, index](gui::TListView*) { ListViewDblClick(index); };
        view->OnKeyDown = [this, index](gui::TControl*, WORD& key, gui::TShiftState) { ListViewKeyDown(index, key); };
    };
    iconPane(L"PanelHis", L"ListViewHis", TAlign::alTop, 0, ImageListHis, PanelHis, ListViewHis);
    Splitter = gui::NewControl<gui::TSplitter>(
        this, {.Name = L"Splitter", .Bounds = Bounds(0, 120, 658, 4), .Align = TAlign::alTop});
    Splitter->OnMoved = [this](gui::TSplitter*) { SplitterMoved(); };
    StatusBar = gui::NewControl<gui::TStatusBar>(this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, 658, 20),
                                                        .Align = TAlign::alBottom});
    StatusBar->SetSimpleText(L"");
    StatusBar->OnDblClick = [this](gui::TStatusBar*) {
        ToolBar->SetVisible(!ToolBar->Visible());
        Realign();
    };
    iconPane(L"PanelFav", L"ListViewFav", TAlign::alClient, 1, ImageListFav, PanelFav, ListViewFav);

    TrayIcon = new gui::TTrayIcon(this);
    TrayIcon->Name = L"TrayIcon";
    TrayIcon->SetHint(L"Orvandel - プログラムランチャ");
    TrayIcon->SetAnimateInterval(1000);
    TrayIcon->OnMouseDown = [this](gui::TTrayIcon*, gui::TMouseButton button) { TrayIconMouseDown(button); };

    // No taskbar button.
    SetToolWindowStyle(Handle());
    Proc_LoadIni();
    SetStillTrayIcon();
}

// --- showing and hiding ------------------------------------------------------------

void TLaunchForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    FShowing = true;
    SetAnimatedTrayIcon();
    if (HisForm) HisForm->Lists.Proc_DeleteFileHis(2);
    Proc_DispData(0);
    Proc_DispData(1);
    if (HisForm) HisForm->Lists.Settings.FLaunchVisible = true;
    if (!DataFolder.empty()) ReadBounds(gui::TMemIniFile(DataFolder + kIniName, gui::TTextEncoding::Utf16LE));
    // Stored bounds off every monitor (another screen, a hand edit) would
    // show a window nobody can reach, and the hide would store them again.
    EnsureWindowOnScreen(Handle());
}

void TLaunchForm::FormHide() {
    FShowing = false;
    Proc_SaveIni();
    TrayIcon->SetAnimate(false);
    if (HisForm) HisForm->Lists.Settings.FLaunchVisible = false;
    SetStillTrayIcon();
}

void TLaunchForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    TrayIcon->SetVisible(false);
}

LRESULT TLaunchForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = TForm::WndProc(msg, wp, lp);
    if (msg == WM_SIZE && wp == SIZE_MINIMIZED) {
        // The launcher never stays minimised: back to normal, and hidden.
        ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        Hide();
    }
    return result;
}

void TLaunchForm::Proc_ToggleLauncher() {
    const bool shown = Visible();
    if (TrayForm && TrayForm->PPLaunch) TrayForm->PPLaunch->SetChecked(!shown);
    TrayIcon->SetVisible(!shown);
    SetVisible(!shown);
}

// --- the panes ------------------------------------------------------------------------

void TLaunchForm::Proc_DispData(int M) {
    // A hidden launcher is rebuilt when it is shown, so recording programs
    // while it is hidden costs no icon or version look-ups.
    if (!FShowing || (M != 0 && M != 1)) return;
    StatusBar->SetSimpleText(L"");
    gui::TListView* view = Pane(M);
    gui::TImageList* images = M == 0 ? ImageListHis : ImageListFav;
    view->Clear();
    images->Clear();
    if (!HisForm) return;
    const gui::TStringList& list = HisForm->Lists.MFileList[M == 0 ? 2 : 7];
    view->Perform(WM_SETREDRAW, FALSE);
    for (int i = 0; i < list.Count(); ++i) {
        const std::wstring& path = list[i];
        std::wstring version, caption;
        EntryVersion(path, version, caption);
        if (caption.empty()) ExtractBareFileName(path, caption);
        gui::TIcon icon;
        icon.SetHandle(GetFileIconNoRedirect(path));
        if (icon.Empty() || images->AddIcon(icon) < 0) {
            // The image index stays the row index.
            gui::TBitmap blank(images->Width(), images->Height());
            images->AddMasked(blank, gui::clNone);
        }
        view->AddItem(caption, i);
    }
    view->Perform(WM_SETREDRAW, TRUE);
    ::InvalidateRect(view->Handle(), nullptr, TRUE);
}

bool TLaunchForm::SelectedEntry(int pane, std::wstring& path) const {
    const int index = Pane(pane)->ItemIndex();
    if (index < 0 || !HisForm) return false;
    const gui::TStringList& list = HisForm->Lists.MFileList[pane == 0 ? 2 : 7];
    if (index >= list.Count()) return false;
    path = list[index];
    return true;
}

void TLaunchForm::ListViewClick(int pane) {
    StatusBar->SetSimpleText(L"");
    std::wstring path;
    if (!SelectedEntry(pane, path)) return;
    std::wstring version, description;
    if (EntryVersion(path, version, description))
        StatusBar->SetSimpleText(path + L" (" + version + L") [" + description + L"]");
    else
        StatusBar->SetSimpleText(path);
    Pane(1 - pane)->SetItemIndex(-1);
    if (TB1Click->Down()) StartEntry(path);
}

void TLaunchForm::ListViewDblClick(int pane) {
    std::wstring path;
    if (!SelectedEntry(pane, path) || !TBWClick->Down()) return;
    StartEntry(path);
}

void TLaunchForm::ListViewKeyDown(int pane, WORD& key) {
    if (key != VK_RETURN || Pane(pane)->ItemIndex() < 0) return;
    key = 0;
    if (TBWClick->Down()) ListViewDblClick(pane);
    else ListViewClick(pane);
}

void TLaunchForm::StartEntry(const std::wstring& path) {
    // Its result is not looked at: a start that fails is not reported.
    if (!Func_ExeCmd(path)) ShellExecuteNoRedirect(Handle(), path, L"", FolderOfPath(path), SW_SHOWNORMAL);
    if (TBExeHide->Down()) Hide();
}

// --- the options dialog ------------------------------------------------------------------

bool TLaunchForm::Func_ExeCmd(const std::wstring& fileName) {
    if (::GetAsyncKeyState(VK_CONTROL) >= 0) return false;
    return Func_ExeCmdDlg(fileName);
}

bool TLaunchForm::Func_ExeCmdDlg(const std::wstring& fileName) {
    if (!ExeCmdForm) return true;
    if (ExeCmdForm->Execute(fileName) != gui::mrOk) return true;
    // The dialog is reused, so what it holds is read before anything else runs.
    const bool admin = ExeCmdForm->ChkAdmin->Checked();
    const std::wstring options = ExeCmdForm->MOpt;
    Wow64RedirectionOff redirectionOff;
    if (admin) ShellExecuteRunAs(Handle(), fileName, options);
    else ShellExecuteFile(fileName, options, FolderOfPath(fileName), SW_SHOWNORMAL);
    return true;
}

// --- splitter, translucency, tray icon ----------------------------------------------------

void TLaunchForm::ApplyPaneSplit() {
    PanelHis->SetHeight(ClientHeight() * MHisH / 100);
    Realign();
}

void TLaunchForm::SplitterMoved() {
    const int height = ClientHeight();
    if (height > 0) MHisH = std::clamp(PanelHis->Height() * 100 / height, 25, 75);
    ApplyPaneSplit();
}

void TLaunchForm::SetTransStep(int step) {
    MPPTransC = std::clamp(step, 1, kOpaqueStep);
    if (gui::TMenuItem* item = MPPTrans[static_cast<size_t>(MPPTransC)]) item->SetChecked(true);
    AlphaBlendValue = static_cast<BYTE>((MPPTransC * 5 + 5) * 255 / 100);
    AlphaBlend = MPPTransC < kOpaqueStep;
    ApplyAlphaBlend();
}

void TLaunchForm::PPTransClick(gui::TMenuItem* item) { SetTransStep(item->Tag); }

void TLaunchForm::TBTransClick() {
    AlphaBlend = !AlphaBlend;
    ApplyAlphaBlend();
}

void TLaunchForm::ApplyAlphaBlend() { SetAlphaBlend(AlphaBlend, AlphaBlendValue); }

void TLaunchForm::TBClassicIconClick() {
    if (FShowing) SetAnimatedTrayIcon();
    else SetStillTrayIcon();
}

void TLaunchForm::SetAnimatedTrayIcon() {
    TrayIcon->SetIcons(TBClassicIcon->Down() ? ImageListTray2 : ImageListTray1);
    TrayIcon->SetIconIndex(0);
    TrayIcon->SetAnimate(true);
}

void TLaunchForm::SetStillTrayIcon() {
    TrayIcon->SetAnimate(false);
    TrayIcon->SetIcons(ImageListTray0);
    TrayIcon->SetIconIndex(TBClassicIcon->Down() ? 1 : 0);
}

void TLaunchForm::TrayIconMouseDown(gui::TMouseButton button) {
    if (button == gui::TMouseButton::mbLeft) {
        if (Visible()) {
            if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
            ForceForegroundWindow(Handle());
        } else {
            if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
            Show();
        }
    } else if (button == gui::TMouseButton::mbRight && Visible()) {
        Hide();
    }
}

// --- Launch.ini ----------------------------------------------------------------------------

void TLaunchForm::ReadBounds(const gui::TMemIniFile& ini) {
    const gui::TBounds b = gui::ReadBounds(ini, L"Window", gui::BoundsOf(BoundsRect()));
    SetBounds(b.Left, b.Top, b.Width, b.Height);
}

namespace {

// The values "Launch.ini" holds; each starts at the value a missing key gives.
struct TLaunchIni {
    int TransCount = kOpaqueStep;
    bool AlphaBlend = false;
    gui::TBounds Bounds;  // a missing key keeps the window's own
    int HisHeight = 25;
    bool Click = false, Hide = false, Icon = false, Visible = false;  // the tool bar's own state

    // Every key, in the order a new file holds them. A step outside 1..19
    // would index no menu item, and the history pane keeps 25..75 % of the
    // height: both are held to their ranges.
    gui::TIniTable Table() {
        return {
            gui::IniInt(L"Window", L"TransCount", TransCount, TransCount, {1, kOpaqueStep}),
            gui::IniBool(L"Window", L"AlphaBlend", AlphaBlend, AlphaBlend),
            gui::IniBounds(L"Window", Bounds),
            gui::IniInt(L"History", L"Height", HisHeight, HisHeight, {25, 75}),
            gui::IniBool(L"ToolBar", L"Click", Click, Click),
            gui::IniBool(L"ToolBar", L"Hide", Hide, Hide),
            gui::IniBool(L"ToolBar", L"Icon", Icon, Icon),
            gui::IniBool(L"ToolBar", L"Visible", Visible, Visible),
        };
    }
};

}  // namespace

void TLaunchForm::Proc_LoadIni() {
    // Without a settings folder every key takes its default.
    const gui::TMemIniFile ini(DataFolder.empty() ? std::wstring() : DataFolder + kIniName,
                               gui::TTextEncoding::Utf16LE);
    TLaunchIni v;
    v.Bounds = gui::BoundsOf(BoundsRect());
    v.Click = TBWClick->Down(), v.Hide = TBExeHide->Down(), v.Icon = TBClassicIcon->Down();
    v.Visible = ToolBar->Visible();
    gui::LoadIniTable(ini, v.Table());
    MPPTransC = v.TransCount;
    AlphaBlend = v.AlphaBlend;
    SetBounds(v.Bounds.Left, v.Bounds.Top, v.Bounds.Width, v.Bounds.Height);
    MHisH = v.HisHeight;
    TBWClick->SetDown(v.Click);
    TB1Click->SetDown(!v.Click);
    TBExeHide->SetDown(v.Hide);
    TBClassicIcon->SetDown(v.Icon);
    ToolBar->SetVisible(v.Visible);
    EnsureWindowOnScreen(Handle());
    ApplyPaneSplit();
    // The switch follows the step, whatever AlphaBlend said.
    SetTransStep(MPPTransC);
}

bool TLaunchForm::Proc_SaveIni() {
    if (DataFolder.empty()) return false;
    gui::TMemIniFile ini(DataFolder + kIniName, gui::TTextEncoding::Utf16LE);
    TLaunchIni v{MPPTransC,        AlphaBlend,        gui::BoundsOf(BoundsRect()), MHisH,
                 TBWClick->Down(), TBExeHide->Down(), TBClassicIcon->Down(),       ToolBar->Visible()};
    gui::SaveIniTable(ini, v.Table());
    return ini.UpdateFile();
}
