// THisForm: the window itself. Its controls and their layout, the tabs, the
// two list boxes and their refill, the panes, keys and mouse wheel, the tool
// buttons that do not act on entries, and the caption with each core's usage.
#include "app/history/His.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "app/history/HisFiles.h"
#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "app/history/Launch.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "gui/Canvas.h"
#include "gui/IniFile.h"
#include "hooklib/Hook.h"
#include "toolkit/CPUCoreUsage.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TaskBarList.h"
#include "toolkit/Wow64.h"

using gui::Bounds;
using gui::TAlign;

namespace {

const wchar_t kCaption[] = L"Orvandel - 履歴";
const wchar_t* const kTabCaptions[kHisCategories] = {L"[クリップボード(&C)]", L"[ファイル(&F)]", L"[プログラム(&P)]",
                                                     L"[フォルダ(&D)]", L"[エクスプローラ(&E)]"};

// Pictures of the tool bar by index: 0 the main button (the target's icon
// on the clipboard tab), 3 no target, 5 the main button's plain picture.
enum ToolbarImage {
    tiMain = 0, tiUpExp = 1, tiUpFol = 2, tiNoTarget = 3, tiSort = 4, tiPlain = 5, tiContx = 6,
    tiBrackwen = 7, tiFav = 8, tiEdit = 9, tiCPU = 10, tiExeClose = 11, tiClose = 12
};

// A square picture: a rounded tile of the colour with a white symbol.
void AddTile(gui::TImageList& list, COLORREF colour, const wchar_t* symbol) {
    const int n = list.Width();
    gui::TBitmap bmp(n, n);
    gui::TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(RGB(255, 0, 255));
    c.FillRect(RECT{0, 0, n, n});
    HDC dc = c.Handle();
    gui::GdiObject brush(::CreateSolidBrush(colour));
    gui::GdiObject pen(::CreatePen(PS_SOLID, 1, colour));
    {
        gui::SelectObjectScope withBrush(dc, brush.get()), withPen(dc, pen.get());
        ::RoundRect(dc, 1, 1, n - 1, n - 1, n / 3, n / 3);
    }
    c.Font().SetName(L"MS UI Gothic");
    c.Font().SetHeight(-(n * 3 / 4));
    c.Font().SetColor(RGB(255, 255, 255));
    c.Font().SetStyle(gui::fsBold);
    ::SetBkMode(dc, TRANSPARENT);
    RECT r{0, 0, n, n};
    {
        gui::SelectObjectScope withFont(dc, c.Font().Handle());
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, symbol, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    list.AddMasked(bmp, RGB(255, 0, 255));
}

bool IsDigitKey(wchar_t ch) { return ch >= L'1' && ch <= L'5'; }

}  // namespace

// ---------------------------------------------------------------- creation

void THisForm::CreateImages() {
    ImageListTab = new gui::TImageList(this, 16, 16);
    ImageListTab->Name = L"ImageListTab";
    const struct { COLORREF colour; const wchar_t* symbol; } tabs[kHisCategories] = {
        {RGB(46, 125, 50), L"C"}, {RGB(21, 101, 192), L"F"}, {RGB(198, 40, 40), L"P"},
        {RGB(239, 160, 0), L"D"}, {RGB(106, 27, 154), L"E"}};
    for (const auto& t : tabs) AddTile(*ImageListTab, t.colour, t.symbol);

    ImageListToolbar = new gui::TImageList(this, 24, 24);
    ImageListToolbar->Name = L"ImageListToolbar";
    const struct { COLORREF colour; const wchar_t* symbol; } tools[] = {
        {RGB(46, 125, 50), L"↓"},  {RGB(239, 160, 0), L"K"},  {RGB(239, 160, 0), L"L"}, {RGB(158, 158, 158), L"×"},
        {RGB(0, 121, 107), L"A"},  {RGB(46, 125, 50), L"↓"},  {RGB(84, 110, 122), L"T"}, {RGB(93, 64, 55), L"O"},
        {RGB(251, 140, 0), L"★"}, {RGB(57, 73, 171), L"M"},  {RGB(198, 40, 40), L"%"},  {RGB(0, 131, 143), L"→"},
        {RGB(120, 120, 120), L"X"}};
    for (const auto& t : tools) AddTile(*ImageListToolbar, t.colour, t.symbol);

    ImageListHis = new gui::TImageList(this, 16, 16);
    ImageListHis->Name = L"ImageListHis";
    ImageListFav = new gui::TImageList(this, 16, 16);
    ImageListFav->Name = L"ImageListFav";
}

void THisForm::CreateControls() {
    StatusBar = gui::NewControl<gui::TStatusBar>(
        this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, 100, 22), .Align = TAlign::alBottom});

    PageControl = gui::NewControl<gui::TPageControl>(
        this, {.Name = L"PageControl", .Bounds = Bounds(0, 0, 600, 400), .Align = TAlign::alClient},
        {.TabPosition = gui::TTabPosition::tpBottom});
    TabSheetAct = gui::NewControl<gui::TTabSheet>(this, {.Parent = PageControl, .Name = L"TabSheetAct",
                                                         .Caption = L"機能"});
    TabSheetEnv = gui::NewControl<gui::TTabSheet>(this, {.Parent = PageControl, .Name = L"TabSheetEnv",
                                                         .Caption = L"設定"});
    PageControl->OnChange = [this](gui::TTabControl*) { PageControlChange(); };

    ToolBar = gui::NewControl<gui::TToolBar>(this, {.Parent = TabSheetAct, .Name = L"ToolBar",
                                                    .Bounds = Bounds(0, 0, 600, 40), .Align = TAlign::alTop},
                                             {.Wrapable = true});
    ToolBar->SetImages(ImageListToolbar);
    ToolBar->Perform(TB_SETBUTTONSIZE, 0, MAKELPARAM(77, 38));
    if (TrayForm) ToolBar->PopupMenu = TrayForm->PPRMenu;
    using gui::TToolButtonStyle;
    TBexe = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBexe", .Caption = L"[Enter]", .ImageIndex = tiMain,
                        .OnClick = [this](gui::TToolButton*) { TBexeClick(); }});
    TBUpExp = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBUpExp", .Caption = L"(&K)", .ImageIndex = tiUpExp,
                        .OnClick = [this](gui::TToolButton*) { TBUpExpClick(); }});
    TBUpFol = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBUpFol", .Caption = L"(&L)", .ImageIndex = tiUpFol,
                        .OnClick = [this](gui::TToolButton*) { TBUpFolClick(); }});
    TBSort = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBSort", .Hint = L"履歴リストを名前順に並び替え", .ImageIndex = tiSort,
                        .Style = TToolButtonStyle::tbsCheck,
                        .OnClick = [this](gui::TToolButton*) { TBSortClick(); }});
    TBContx = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBContx", .Caption = L"(&T)", .Hint = L"コンテキストメニュー",
                        .ImageIndex = tiContx, .OnClick = [this](gui::TToolButton*) { TBContxClick(); }});
    TBBrackwen = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBBrackwen", .Caption = L"(&O)", .Hint = L"Brackwen", .ImageIndex = tiBrackwen,
                        .OnClick = [this](gui::TToolButton*) { TBBrackwenClick(); }});
    TBFav = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBFav", .Hint = L"お気に入り", .ImageIndex = tiFav,
                        .Style = TToolButtonStyle::tbsCheck, .OnClick = [this](gui::TToolButton*) { TBFavClick(); }});
    TBEdit = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBEdit", .Hint = L"メモ", .ImageIndex = tiEdit, .Style = TToolButtonStyle::tbsCheck,
                        .OnClick = [this](gui::TToolButton*) { TBEditClick(); }});
    TBCPUCore = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBCPUCore", .Hint = L"履歴ウィンドウのタイトルバーに各CPUコア使用率を表示",
                        .ImageIndex = tiCPU, .Style = TToolButtonStyle::tbsCheck,
                        .OnClick = [this](gui::TToolButton*) { TBCPUCoreClick(); }});
    // Read when an entry is acted on.
    TBExeClose = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBExeClose", .Hint = L"実行後、閉じる", .ImageIndex = tiExeClose,
                        .Style = TToolButtonStyle::tbsCheck});
    TBClose = gui::NewToolButton(
        this, ToolBar, {.Name = L"TBClose", .Caption = L"(&X)", .Hint = L"閉じる", .ImageIndex = tiClose,
                        .OnClick = [this](gui::TToolButton*) { Close(); }});
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    ToolBar->ShowHint = true;

    // The memo pane at the right, its splitter left of it.
    PanelEdit = gui::NewControl<gui::TPanel>(this, {.Parent = TabSheetAct, .Name = L"PanelEdit",
                                                    .Bounds = Bounds(400, 0, 0, 300), .Align = TAlign::alRight},
                                             gui::kHolderPanel);
    Edit = gui::NewControl<gui::TRichEdit>(
        this, {.Parent = PanelEdit, .Name = L"Edit", .Align = TAlign::alClient,
               .Style = WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN},
        {.WordWrap = false});
    SplitterEdit = gui::NewControl<gui::TSplitter>(this, {.Parent = TabSheetAct, .Name = L"SplitterEdit",
                                                          .Bounds = Bounds(395, 0, 0, 300), .Align = TAlign::alRight});
    SplitterEdit->OnMoved = [this](gui::TSplitter*) { SplitterEditMoved(); };

    TabControl = gui::NewControl<gui::TTabControl>(
        this, {.Parent = TabSheetAct, .Name = L"TabControl", .Align = TAlign::alClient});
    TabControl->SetImages(ImageListTab);
    for (int c = 0; c < kHisCategories; ++c) TabControl->AddTab(kTabCaptions[c], c);
    TabControl->OnChange = [this](gui::TTabControl*) { TabControlChange(); };
    TabControl->OnMouseUp = [this](gui::TControl*, gui::TMouseButton button, gui::TShiftState, int, int) {
        if (button == gui::TMouseButton::mbMiddle) TabControlChange();
    };

    PanelFind = gui::NewControl<gui::TPanel>(this, {.Parent = TabControl, .Name = L"PanelFind",
                                                    .Bounds = Bounds(0, 0, 400, 28), .Align = TAlign::alTop},
                                             gui::kHolderPanel);
    CBFind = gui::NewControl<gui::TComboBox>(
        this, {.Parent = PanelFind, .Name = L"CBFind", .Bounds = Bounds(2, 2, 300, 24), .Hint = L"検索する文字列"},
        {.DropDownCount = 16});
    CBFind->ShowHint = true;
    CBFind->SetMaxLength(256);
    CBFind->OnChange = [this](gui::TComboBox*) { CBFindChange(); };
    BtnFindDown = gui::NewControl<gui::TButton>(this, {.Parent = PanelFind, .Name = L"BtnFindDown",
                                                       .Caption = L"(&N)", .Bounds = Bounds(306, 2, 40, 24),
                                                       .Enabled = false, .Hint = L"下検索"});
    BtnFindDown->ShowHint = true;
    BtnFindDown->OnClick = [this](gui::TButton*) { BtnFindDownClick(); };
    BtnFindUp = gui::NewControl<gui::TButton>(this, {.Parent = PanelFind, .Name = L"BtnFindUp",
                                                     .Caption = L"(&M)", .Bounds = Bounds(348, 2, 40, 24),
                                                     .Enabled = false, .Hint = L"上検索"});
    BtnFindUp->ShowHint = true;
    BtnFindUp->OnClick = [this](gui::TButton*) { BtnFindUpClick(); };

    // The favourites pane at the bottom of the tab control, its splitter above it.
    PanelFav = gui::NewControl<gui::TPanel>(this, {.Parent = TabControl, .Name = L"PanelFav",
                                                   .Bounds = Bounds(0, 300, 400, 0), .Align = TAlign::alBottom},
                                            gui::kHolderPanel);
    SplitterFav = gui::NewControl<gui::TSplitter>(this, {.Parent = TabControl, .Name = L"SplitterFav",
                                                         .Bounds = Bounds(0, 295, 400, 0), .Align = TAlign::alBottom});
    SplitterFav->OnMoved = [this](gui::TSplitter*) { SplitterFavMoved(); };

    // A list of entries drawn in rows of 32 pixels with their icons, dragged from.
    auto entryList = [this](gui::TListBox*& list, gui::TWinControl* parent, const wchar_t* name,
                            gui::TImageList* images, int k) {
        list = gui::NewControl<gui::TListBox>(this, {.Parent = parent, .Name = name, .Align = TAlign::alClient,
                                                     .Style = WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT},
                                              {.Style = gui::TListBoxStyle::lbOwnerDrawFixed, .ItemHeight = 32});
        list->OnDrawItem = [this, images, k](gui::TListBox* sender, gui::TDrawItemInfo& item) {
            DrawListRow(sender, images, k, item);
        };
        list->DragMode = gui::TDragMode::dmAutomatic;
    };
    entryList(ListBoxFav, PanelFav, L"ListBoxFav", ImageListFav, 1);
    entryList(ListBoxHis, TabControl, L"ListBoxHis", ImageListHis, 0);
    ListBoxHis->OnDblClick = [this](gui::TControl*) {
        Proc_Execute(0, 0);
        Proc_DispStatus();
    };
    ListBoxHis->OnClick = [this](gui::TListBox*) {
        ListBoxFav->SetItemIndex(-1);
        ::InvalidateRect(ListBoxHis->Handle(), nullptr, TRUE);
        ::InvalidateRect(ListBoxFav->Handle(), nullptr, TRUE);
    };
    ListBoxHis->OnMouseUp = [this](gui::TControl*, gui::TMouseButton, gui::TShiftState, int, int) {
        Proc_DispStatus();
    };
    ListBoxHis->OnKeyUp = [this](gui::TControl*, WORD&, gui::TShiftState) { Proc_DispStatus(); };
    ListBoxHis->OnDragOver = [this](gui::TControl*, gui::TControl*, int, int, bool& accept) {
        accept = ListBoxFav->ItemIndex() < 0;
    };
    ListBoxFav->OnClick = [this](gui::TListBox*) {
        ListBoxHis->SetItemIndex(-1);
        ::InvalidateRect(ListBoxHis->Handle(), nullptr, TRUE);
        ::InvalidateRect(ListBoxFav->Handle(), nullptr, TRUE);
    };
    ListBoxFav->OnMouseUp = [this](gui::TControl*, gui::TMouseButton, gui::TShiftState, int, int) {
        Proc_DispStatus();
    };
    ListBoxFav->OnKeyUp = [this](gui::TControl*, WORD&, gui::TShiftState) { Proc_DispStatus(); };

    ListBoxClip = gui::NewControl<gui::TListBox>(this, {.Parent = TabSheetAct, .Name = L"ListBoxClip",
                                                        .Bounds = Bounds(0, 0, 10, 10), .Visible = false});

    OnResize = [this](gui::TControl*) { FormResize(); };
    KeyPreview = true;
    OnKeyDown = [this](gui::TControl*, WORD& key, gui::TShiftState shift) { FormKeyDown(key, shift); };
    OnKeyPress = [this](gui::TControl*, wchar_t& key) { FormKeyPress(key); };

    // The non-visual components.
    HookHotKey = new THookHotKey(this);
    HookHotKey->Name = L"HookHotKey";
    HookHotKey->Activate = false;
    HookHotKey->OnHotKey = [this](THookHotKey*, int index) { Hook.HookHotKeyHotKey(index); };
    DropDst = new TDropDst(this);
    DropDst->Name = L"DropDst";
    DropDst->SetControl(ListBoxFav);
    DropDst->SetTarget(htForm);
    DropDst->Loaded();
    DropDst->OnFileDrop = [this](TDropDst*, gui::TStringList* files, int, int) { DropDstFileDrop(files); };
    TimerWheel = new gui::TTimer(this);
    TimerWheel->Name = L"TimerWheel";
    TimerWheel->SetInterval(100);
    TimerWheel->SetEnabled(false);
    TimerWheel->OnTimer = [this](gui::TTimer*) { TimerWheelTimer(); };
    FontDialog = new gui::TFontDialog(this);
    FontDialog->Name = L"FontDialog";
    OpenDialog = new gui::TOpenDialog(this);
    OpenDialog->Name = L"OpenDialog";
    TextSaveDialog = new gui::TSaveDialog(this);
    TextSaveDialog->Name = L"TextSaveDialog";
    FolderDlg = new TFolderDlg(this);
    FolderDlg->Name = L"FolderDlg";
    ContextMenuEx = new TContextMenuEx(this);
    ContextMenuEx->Name = L"ContextMenuEx";
    DropSourceEx = new TDropSourceEx(this);
    DropSourceEx->Name = L"DropSourceEx";
    MakeShortCuts = new TMakeShortCuts(this);
    MakeShortCuts->Name = L"MakeShortCuts";
}

void THisForm::CreateMenus() {
    PPMenuList = new gui::TPopupMenu(this);
    PPMenuList->Name = L"PPMenuList";
    gui::TMenuItem* listItems = PPMenuList->Items();
    PPClip = gui::NewMenuItem(this, listItems, {.Name = L"PPClip", .Caption = L"コピー(&C)"});
    gui::NewMenuItem(this, listItems, {.Name = L"N3", .Caption = L"-"});
    PPExeCmd = gui::NewMenuItem(this, listItems, {.Name = L"PPExeCmd", .Caption = L"コマンドラインオプション(&O)"});
    PPSCMake = gui::NewMenuItem(this, listItems, {.Name = L"PPSCMake", .Caption = L"ショートカットの作成(&S)"});
    PPFileSave = gui::NewMenuItem(this, listItems, {.Name = L"PPFileSave", .Caption = L"ファイルに保存(&S)"});
    PPDirBar = gui::NewMenuItem(this, listItems, {.Name = L"PPDirBar", .Caption = L"-"});
    PPFol = gui::NewMenuItem(this, listItems, {.Name = L"PPFol", .Caption = L"フォルダを開く(&F)"});
    PPExp = gui::NewMenuItem(this, listItems, {.Name = L"PPExp", .Caption = L"フォルダを開く(エクスプローラ)(&E)"});
    gui::NewMenuItem(this, listItems, {.Name = L"N2", .Caption = L"-"});
    PPAdd = gui::NewMenuItem(this, listItems, {.Name = L"PPAdd", .Caption = L"お気に入りに追加(&F)"});
    PPNoDir = gui::NewMenuItem(this, listItems, {.Name = L"PPNoDir", .Caption = L"監視しないフォルダに追加(&D)"});
    PPNoExe = gui::NewMenuItem(this, listItems, {.Name = L"PPNoExe", .Caption = L"監視しないプログラムに追加(&P)"});
    PPIMEExe =
        gui::NewMenuItem(this, listItems, {.Name = L"PPIMEExe", .Caption = L"IMEを通知しないプログラムに追加(&I)"});
    gui::NewMenuItem(this, listItems, {.Name = L"N7", .Caption = L"-"});
    PPDel = gui::NewMenuItem(this, listItems, {.Name = L"PPDel", .Caption = L"削除(&X)"});
    PPDelAll = gui::NewMenuItem(this, listItems, {.Name = L"PPDelAll", .Caption = L"すべて削除"});
    ListBoxHis->PopupMenu = PPMenuList;
    SetupListMenu();

    PPMenuFav = new gui::TPopupMenu(this);
    PPMenuFav->Name = L"PPMenuFav";
    gui::TMenuItem* favItems = PPMenuFav->Items();
    PPFavCopy = gui::NewMenuItem(this, favItems, {.Name = L"PPFavCopy", .Caption = L"コピー(&C)"});
    gui::NewMenuItem(this, favItems, {.Name = L"N4", .Caption = L"-"});
    PPFavExeCmd =
        gui::NewMenuItem(this, favItems, {.Name = L"PPFavExeCmd", .Caption = L"コマンドラインオプション(&O)"});
    PPFavSCMake = gui::NewMenuItem(this, favItems, {.Name = L"PPFavSCMake", .Caption = L"ショートカットの作成(&S)"});
    PPFavFileSave = gui::NewMenuItem(this, favItems, {.Name = L"PPFavFileSave", .Caption = L"ファイルに保存(&S)"});
    PPDirBarF = gui::NewMenuItem(this, favItems, {.Name = L"PPDirBarF", .Caption = L"-"});
    PPFolF = gui::NewMenuItem(this, favItems, {.Name = L"PPFolF", .Caption = L"フォルダを開く(&F)"});
    PPExpF = gui::NewMenuItem(this, favItems, {.Name = L"PPExpF", .Caption = L"フォルダを開く(エクスプローラ)(&E)"});
    gui::NewMenuItem(this, favItems, {.Name = L"N5", .Caption = L"-"});
    PPUp = gui::NewMenuItem(this, favItems, {.Name = L"PPUp", .Caption = L"上に移動(U)"});
    PPDown = gui::NewMenuItem(this, favItems, {.Name = L"PPDown", .Caption = L"下に移動(&D)"});
    gui::NewMenuItem(this, favItems, {.Name = L"N6", .Caption = L"-"});
    PPFavDel = gui::NewMenuItem(this, favItems, {.Name = L"PPFavDel", .Caption = L"削除(&X)"});
    gui::NewMenuItem(this, favItems, {.Name = L"N8", .Caption = L"-"});
    PPUndo = gui::NewMenuItem(this, favItems,
                              {.Name = L"PPUndo", .Caption = L"元に戻す(&Z)", .ShortCut = gui::scCtrl | 'Z',
                               .OnClick = [this](gui::TMenuItem*) { PPUndoClick(); }});
    Proc_BindFavActions();
    ListBoxFav->PopupMenu = PPMenuFav;

    CreateMemo();
}

void THisForm::FormCreate() {
    // The window's font is the menu font.
    Font().SetName(gui::Screen.MenuFont().Name());
    CreateImages();
    CreateControls();
    CreateMenus();
    // The settings page and its controls.
    EnvPage = new THisEnvPage(*this);
    EnvPage->CreateControls();
    // The Windows 11 feature level, which changes how Explorer windows are acted on;
    // the first page shown.
    FWindows11_22H2Moment = GetWindows11_22H2MomentLevel() != 0;
    PageControl->SetActivePage(TabSheetAct);
    // Up-to-Explorer only before Vista; the companion tool's button only when it is installed.
    TBUpExp->SetVisible(!IsVistaOrLater());
    TBBrackwen->SetVisible(FileExistsSafe(BrackwenExe));
    // The edit box's menu items start disabled: nothing is selected yet.
    for (gui::TMenuItem* i : {PPEditCut, PPEditPaste, PPEditCopy, PPEditUndo, PPEditErase}) i->SetEnabled(false);
    // The settings and the history lists from their files.
    Proc_LoadIni();
    Proc_LoadLists();
    // Category 4 has no tab from Vista on; it is still kept and saved.
    if (IsVistaOrLater()) {
        TabControl->DeleteTab(4);
        Lists.Settings.MCHKHisMenuItem[4] = false;
        if (Lists.Settings.Tab == 4) Lists.Settings.Tab = 0;
    }
    ApplySettingsToControls();
    EnvPage->Load();
    // The favourites and memo panes as their buttons were left.
    TBFavClick();
    TBEditClick();
    // Opacity.
    const int trans = std::clamp(Lists.Settings.TrackBarTrans, 20, 100);
    SetAlphaBlend(trans < 100, static_cast<BYTE>(trans * 255 / 100));
    // Tool-bar captions.
    ToolBar->SetShowCaptions(Lists.Settings.CHKTooBarList);
    // The hot keys, then the watch on the Recent folder.
    Hook.Proc_AddHotKeys();
    Capture.Proc_StartRecentWatch();
    // The hook library beside the program.
    Hook.Proc_LoadLibrary();
    // The per-core usage button, only with more than one core.
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    FSingleCore = si.dwNumberOfProcessors == 1;
    TBCPUCore->SetVisible(!FSingleCore);
    if (!FSingleCore) CPUCoreOpen();

    // The category items of the tray history menu show the tabs' pictures.
    if (TrayForm && TrayForm->PPLMenu) {
        TrayForm->PPLMenu->Images = ImageListTab;
        for (int c = 0; c < kHisCategories; ++c)
            if (TrayForm->MPPTab[c]) TrayForm->MPPTab[c]->ImageIndex = c;
    }
    WireListGestures();
    if (gui::Application)
        FApplicationMessages = gui::Application->ListenToMessages([this](MSG& msg) { return ApplicationEventsMessage(msg); });
    Proc_SetTBexeImage();
}

void THisForm::FormDestroy() {
    FApplicationMessages.Reset();
    UnwireListGestures();
    if (!FSingleCore) CPUCoreClose();
    Hook.Proc_FreeLibrary();
    Hook.Proc_DeleteHotKeys();
    Capture.Proc_StopRecentWatch();
}

void THisForm::ApplySettingsToControls() {
    const THisSettings& s = Lists.Settings;
    TBSort->SetDown(s.TBSort);
    TBFav->SetDown(s.TBFav);
    TBEdit->SetDown(s.TBEdit);
    TBCPUCore->SetDown(s.TBCPUCore);
    TBExeClose->SetDown(s.TBExeClose);
    if (s.Tab < TabControl->TabCount()) TabControl->SetTabIndex(s.Tab);
    ApplyListFont();
}

void THisForm::ReadSettingsFromControls() {
    if (!TBSort) return;
    THisSettings& s = Lists.Settings;
    s.TBSort = TBSort->Down();
    s.TBFav = TBFav->Down();
    s.TBEdit = TBEdit->Down();
    s.TBCPUCore = TBCPUCore->Down();
    s.TBExeClose = TBExeClose->Down();
}

void THisForm::ApplyListFont() {
    const THisSettings& s = Lists.Settings;
    // The find box and the memo take the whole font, the tool bar and the
    // tabs only its name.
    for (gui::TWinControl* c : {static_cast<gui::TWinControl*>(CBFind), static_cast<gui::TWinControl*>(Edit),
                                static_cast<gui::TWinControl*>(ToolBar), static_cast<gui::TWinControl*>(TabControl)}) {
        gui::TFont& f = c->Font();
        if (!s.FontName.empty()) f.SetName(s.FontName);
        if (c == CBFind || c == Edit) {
            f.SetSize(std::clamp(s.FontSize, 1, 72));
            f.SetStyle(static_cast<gui::TFontStyles>(s.FontStyle));
            f.SetColor(static_cast<gui::TColor>(s.FontColor));
        }
        c->FontChanged();
    }
    for (gui::TListBox* list : {ListBoxHis, ListBoxFav}) {
        gui::TFont& f = list->Font();
        if (!s.FontName.empty()) f.SetName(s.FontName);
        f.SetSize(std::clamp(s.FontSize, 1, 72));
        f.SetStyle(static_cast<gui::TFontStyles>(s.FontStyle));
        f.SetColor(static_cast<gui::TColor>(s.FontColor));
        list->FontChanged();
        list->SetItemHeight(HisListItemHeight(f.Name(), s.FontSize));
    }
}

// ------------------------------------------------------ showing and closing

void THisForm::FormShow() {
    // Bounds and state as "His.ini" has them now.
    THisSettings& s = Lists.Settings;
    gui::TBounds b = gui::BoundsOf(BoundsRect());
    bool normal = true;
    if (!DataFolder.empty()) {
        gui::TMemIniFile ini(HisIniFileName(DataFolder));
        b = gui::ReadBounds(ini, L"Window", b);
        normal = ini.ReadBool(L"Window", L"Normal", true);
    } else {
        normal = s.Normal;
    }
    // The bounds are those of the normal state, so a restore returns to them.
    if (WindowState() == gui::TWindowState::wsMaximized) SetWindowState(gui::TWindowState::wsNormal);
    SetBounds(b.Left, b.Top, b.Width, b.Height);
    if (!normal) SetWindowState(gui::TWindowState::wsMaximized);
    EnsureWindowOnScreen(Handle());
    // The window is being shown: the icons are kept in step while it shows.
    TimerWheel->SetEnabled(s.CHKIconList);
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    TaskBarAddTab(Handle());
    PageControl->SetActivePage(TabSheetAct);
    PageControlChange();
    FFocusListOnActivate = true;
    Hook.Proc_RenewHook();
}

// ----------------------------------------------------------------- the lists

void THisForm::Proc_DispList(gui::TListBox* list, gui::TImageList* images, int k, std::wstring& indexItem) {
    gui::TCursorScope wait(gui::TCursor::crHourGlass);
    const int c = Category();
    gui::TStringList& entries = Lists.MFileList[k * kHisCategories + c];
    if (k == 0) {
        Lists.Proc_PruneList(c);
        if (c != 0 && TBSort->Down()) entries.Sort();
    }
    const int selected = list->ItemIndex();
    indexItem = selected >= 0 && selected < list->Count() ? list->Item(selected) : L"";
    images->Clear();
    list->Clear();
    ::SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < entries.Count(); ++i) list->Add(entries[i]);
    ::SendMessageW(list->Handle(), WM_SETREDRAW, TRUE, 0);
    SetListBoxHorizontalExtent(list->Handle());
    ::InvalidateRect(list->Handle(), nullptr, TRUE);
    if (ActiveControl() == list) {
        if (!indexItem.empty()) {
            int row = -1;
            for (int i = 0; i < list->Count() && row < 0; ++i)
                if (list->Item(i) == indexItem) row = i;
            list->SetItemIndex(row);
            Proc_DispStatus();
        } else {
            list->SetItemIndex(-1);
        }
    }
    if (c == 2 && LaunchForm) LaunchForm->Proc_DispData(k);
}

void THisForm::Proc_DispHis() {
    if (ListBoxHis) Proc_DispList(ListBoxHis, ImageListHis, 0, MHisIndexItem);
}

void THisForm::Proc_DispFav() {
    if (ListBoxFav) Proc_DispList(ListBoxFav, ImageListFav, 1, MFavIndexItem);
}

void THisForm::TabControlChange() {
    if (TabControl->TabIndex() >= 0) Lists.Settings.Tab = TabControl->TabIndex();
    const int c = Category();
    ListBoxHis->ShowHint = ListBoxFav->ShowHint = false;
    ListBoxHis->SetItemIndex(-1);
    Proc_DispHis();
    ListBoxFav->SetItemIndex(-1);
    Proc_DispFav();
    TrayMenu.Proc_PPListSet(c);

    const bool files = c == 1 || c == 2, beforeVista = !IsVistaOrLater();
    for (gui::TMenuItem* i : {PPSCMake, PPFavSCMake, PPNoDir}) i->SetVisible(c != 0);
    for (gui::TMenuItem* i : {PPFileSave, PPFavFileSave}) i->SetVisible(c == 0);
    for (gui::TMenuItem* i : {PPNoExe, PPExeCmd, PPIMEExe, PPFavExeCmd}) i->SetVisible(c == 2);
    for (gui::TMenuItem* i : {PPDirBar, PPFol, PPDirBarF, PPFolF}) i->SetVisible(files);
    for (gui::TMenuItem* i : {PPExp, PPExpF}) i->SetVisible(files && beforeVista);

    StatusBar->SetSimpleText(L"");
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol}) b->Hint.clear();
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    Proc_SetTBexeImage();
    Proc_DispStatus();
}

void THisForm::TBSortClick() {
    if (TBSort->Down() && Category() != 0) TabControlChange();
    for (int c = 1; c < kHisCategories; ++c) TrayMenu.Proc_PPListSet(c);
}

// ----------------------------------------------------------------- the panes

void THisForm::TBFavClick() {
    if (TBFav->Down()) {
        SplitterFav->SetHeight(5);
        PanelFav->SetHeight(static_cast<int>(TabControl->Height() * Lists.Settings.MFavH / 100));
        LONG style = ::GetWindowLongW(ListBoxFav->Handle(), GWL_STYLE);
        ::SetWindowLongW(ListBoxFav->Handle(), GWL_STYLE, style | WS_TABSTOP);
    } else {
        SplitterFav->SetHeight(0);
        PanelFav->SetHeight(0);
        LONG style = ::GetWindowLongW(ListBoxFav->Handle(), GWL_STYLE);
        ::SetWindowLongW(ListBoxFav->Handle(), GWL_STYLE, style & ~WS_TABSTOP);
        if (ActiveControl() == ListBoxFav) {
            ListBoxHis->SetFocus();
            Proc_ResetSelection();
        }
    }
    TabControl->Realign();
}

void THisForm::TBEditClick() {
    if (TBEdit->Down()) {
        SplitterEdit->SetWidth(5);
        PanelEdit->SetWidth(static_cast<int>(Width() * Lists.Settings.MEditW / 100));
    } else {
        SplitterEdit->SetWidth(0);
        PanelEdit->SetWidth(0);
    }
    TabSheetAct->Realign();
}

void THisForm::SplitterFavMoved() {
    const int h = TabControl->Height();
    if (h <= 0) return;
    Lists.Settings.MFavH = std::clamp(static_cast<int>(PanelFav->Height() * 100 / h), 25, 75);
    TBFavClick();
}

void THisForm::SplitterEditMoved() {
    const int w = Width();
    if (w <= 0) return;
    Lists.Settings.MEditW = std::clamp(static_cast<int>(PanelEdit->Width() * 100 / w), 25, 75);
    TBEditClick();
}

void THisForm::FormResize() {
    if (!TabControl) return;
    SplitterFav->MinSize = static_cast<int>(TabControl->Height() * 25 / 100);
    SplitterEdit->MinSize = static_cast<int>(Width() * 25 / 100);
    TBFavClick();
    TBEditClick();
}

// --------------------------------------------------------------- tool buttons

void THisForm::TBexeClick() {
    Proc_Execute(ListBoxHis->ItemIndex() >= 0 ? 0 : 1, 0);
}

void THisForm::TBUpExpClick() {
    Proc_Execute(ListBoxHis->ItemIndex() >= 0 ? 0 : 1, 1);
}

void THisForm::TBUpFolClick() {
    Proc_Execute(ListBoxHis->ItemIndex() >= 0 ? 0 : 1, 2);
}

bool THisForm::SelectedEntry(std::wstring& entry) {
    const int k = ActiveControl() == ListBoxHis ? 0 : 1;
    gui::TListBox* list = k == 0 ? ListBoxHis : ListBoxFav;
    const int row = list->ItemIndex();
    const gui::TStringList& entries = Lists.MFileList[k * kHisCategories + Category()];
    if (row < 0 || row >= entries.Count()) return false;
    entry = entries[row];
    return true;
}

void THisForm::TBContxClick() {
    std::wstring s;
    if (!SelectedEntry(s) || !(DirectoryExistsNoRedirect(s) || FileExistsNoRedirect(s))) return;
    POINT pt{};
    ::GetCursorPos(&pt);
    ::ScreenToClient(Handle(), &pt);
    Wow64RedirectionOff off;
    ContextMenuEx->DoMenu(Handle(), s, pt.x, pt.y);
}

void THisForm::TBBrackwenClick() {
    std::wstring s;
    if (!SelectedEntry(s)) return;
    if (!DirectoryExistsNoRedirect(s)) {
        if (!FileExistsNoRedirect(s)) return;
        s = FolderOfPath(s);
    }
    ShellExecuteOwned(Handle(), BrackwenExe, L"\"" + s + L"\"", FolderOfPath(BrackwenExe), SW_SHOWNORMAL);
}

void THisForm::TBCPUCoreClick() {
    if (!TBCPUCore->Down()) SetCaption(kCaption);
}

void THisForm::Proc_DispCPU() {
    if (FSingleCore || !TBCPUCore || !TBCPUCore->Down()) return;
    if (CPUCoreError) {
        SetCaption(kCaption);
        return;
    }
    CPUCoreCollect();
    if (CPUCounters.empty()) {
        SetCaption(kCaption);
        return;
    }
    auto formatted = [](int v) {
        wchar_t buf[8];
        swprintf(buf, 8, L"%03d", std::clamp(v, 0, 100));
        return std::wstring(buf);
    };
    std::wstring s;
    for (size_t i = 0; i + 1 < CPUCounters.size(); ++i)
        s += L" [" + std::to_wstring(i + 1) + L"]" + formatted(CPUCounters[i].CPU);
    SetCaption(formatted(CPUCounters.back().CPU) + L" " + s);
}

// --------------------------------------------------------------- keys, wheel

gui::TWinControl* THisForm::ActiveControl() const {
    for (HWND w = ::GetFocus(); w && w != Handle(); w = ::GetParent(w))
        if (gui::TWinControl* c = gui::TWinControl::FromHandle(w)) return c;
    return nullptr;
}

void THisForm::FormKeyDown(WORD& key, gui::TShiftState shift) {
    if (PageControl->ActivePage() != TabSheetAct) return;
    Target.FExeCtrlKey = (shift & gui::ssCtrl) && key == VK_RETURN;
    if (Target.FExeCtrlKey) TBexeClick();
}

void THisForm::FormKeyPress(wchar_t& key) {
    if (PageControl->ActivePage() != TabSheetAct) return;
    gui::TWinControl* active = ActiveControl();
    if (active == Edit || active == CBFind) return;
    if (key == L'\r') {
        if (!Target.FExeCtrlKey) TBexeClick();
    } else if (IsDigitKey(key)) {
        const int tab = key - L'1';
        if (tab < TabControl->TabCount()) {
            TabControl->SetTabIndex(tab);
            TabControlChange();
        }
    }
    key = 0;
}

void THisForm::FormMouseWheel(gui::TShiftState shift, int delta, POINT screenPos) {
    HWND under = ::WindowFromPoint(screenPos);
    if (!under) return;
    const std::wstring cls = WindowClassName(under);
    const bool away = delta > 0;
    if (cls == L"TListBox" || cls == L"TRichEdit") {
        if (shift & gui::ssCtrl) {
            if (PageControl->ActivePage() != TabSheetAct) return;
            if (under == Edit->Handle()) {
                gui::TFont& f = Edit->Font();
                f.SetSize(std::clamp(f.Size() + (away ? 1 : -1), 8, 24));
                Edit->FontChanged();
                return;
            }
            const int size = std::clamp(ListBoxHis->Font().Size() + (away ? 1 : -1), 8, 24);
            Lists.Settings.FontSize = size;
            for (gui::TListBox* list : {ListBoxHis, ListBoxFav}) {
                list->Font().SetSize(size);
                list->FontChanged();
                const bool meiryo = list->Font().Name() == L"メイリオ";
                list->SetItemHeight(meiryo ? static_cast<int>(std::lround(size * 2.4)) : size * 2);
                ::InvalidateRect(list->Handle(), nullptr, TRUE);
            }
            return;
        }
        RECT r{};
        ::GetWindowRect(under, &r);
        const bool onHorizontalBar = screenPos.y >= r.bottom - ::GetSystemMetrics(SM_CYHSCROLL) &&
                                     screenPos.y <= r.bottom &&
                                     screenPos.x < r.right - ::GetSystemMetrics(SM_CXVSCROLL);
        const UINT msg = onHorizontalBar ? WM_HSCROLL : WM_VSCROLL;
        const WPARAM step = onHorizontalBar ? (away ? SB_LINELEFT : SB_LINERIGHT) : (away ? SB_LINEUP : SB_LINEDOWN);
        for (int i = 0; i < 3; ++i) ::PostMessageW(under, msg, step, 0);
        ::PostMessageW(under, msg, SB_ENDSCROLL, 0);
    } else if (cls == L"TTabControl") {
        const int old = TabControl->TabIndex();
        int tab = away ? std::min(old + 1, TabControl->TabCount() - 1) : std::max(old - 1, 0);
        if (tab != old) {
            TabControl->SetTabIndex(tab);
            TabControlChange();
        }
    }
}

bool THisForm::ApplicationEventsMessage(MSG& msg) {
    MDropC = 0;
    if (!msg.hwnd || !HandleAllocated() || ::GetAncestor(msg.hwnd, GA_ROOT) != Handle()) return false;
    if (msg.message == WM_DROPFILES) {
        POINT pt{};
        ::DragQueryPoint(reinterpret_cast<HDROP>(msg.wParam), &pt);
        ::ClientToScreen(msg.hwnd, &pt);
        auto over = [&](gui::TWinControl* c) {
            RECT r{};
            return c && ::IsWindowVisible(c->Handle()) && ::GetWindowRect(c->Handle(), &r) && ::PtInRect(&r, pt);
        };
        if (over(ListBoxFav)) MDropC = 1;
        else if (over(Edit)) MDropC = 2;
        return false;
    }
    if (msg.message == WM_MOUSEWHEEL) {
        // The keys as they were held when the wheel turned.
        const WORD keys = GET_KEYSTATE_WPARAM(msg.wParam);
        FormMouseWheel(gui::MouseShiftState(keys), GET_WHEEL_DELTA_WPARAM(msg.wParam),
                       POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
        return true;
    }
    // Alt with a letter: the tool button, find button or tab of that accelerator.
    if (msg.message == WM_SYSCHAR && PageControl->ActivePage() == TabSheetAct && Proc_DialogChar(
            static_cast<wchar_t>(msg.wParam)))
        return true;
    // Enter in the find box searches down.
    if (msg.message == WM_CHAR && msg.wParam == VK_RETURN && CBFind && ::IsChild(CBFind->Handle(), msg.hwnd)) {
        if (PageControl->ActivePage() == TabSheetAct && BtnFindDown->Enabled()) BtnFindDownClick();
        return true;
    }
    return false;
}

namespace {

// Whether the caption marks ch as its accelerator ("&" before it), ignoring case.
bool IsAccel(wchar_t ch, const std::wstring& caption) {
    const size_t amp = caption.find(L'&');
    if (amp == std::wstring::npos || amp + 1 >= caption.size()) return false;
    return ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(caption[amp + 1]))) ==
           ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)));
}

}  // namespace

bool THisForm::Proc_DialogChar(wchar_t ch) {
    for (int i = 0; i < ToolBar->ButtonCount(); ++i) {
        gui::TToolButton* b = ToolBar->Buttons(i);
        if (b->Visible() && IsAccel(ch, b->Caption)) {
            if (b->Enabled()) b->Click();
            return true;
        }
    }
    for (gui::TButton* b : {BtnFindDown, BtnFindUp})
        if (IsAccel(ch, b->Caption())) {
            if (b->Enabled()) b->Click();
            return true;
        }
    for (int i = 0; i < TabControl->TabCount(); ++i) {
        wchar_t text[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(TabControl->Handle(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        if (IsAccel(ch, text)) {
            TabControl->SetTabIndex(i);
            TabControlChange();
            return true;
        }
    }
    return false;
}

LRESULT THisForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESKTOPMCLICK) {
        Hook.HookHotKeyHotKey(2);
        return 0;
    }
    if (msg == WM_MOVE) WMMove();
    if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE && FFocusListOnActivate) {
        // Shown again, the keys go to the history list: Down picks the newest row.
        FFocusListOnActivate = false;
        const LRESULT result = TForm::WndProc(msg, wp, lp);
        if (!::IsIconic(Handle()) && PageControl->ActivePage() == TabSheetAct && ListBoxHis->HandleAllocated())
            ListBoxHis->SetFocus();
        return result;
    }
    return TForm::WndProc(msg, wp, lp);
}

// ------------------------------------------------------------ settings page

void THisForm::PageControlChange() {
    const bool env = PageControl->ActivePage() == TabSheetEnv;
    // Files are dropped, and keys seen first, only on the functions page.
    if (DropDst) DropDst->SetAcceptDrop(!env);
    KeyPreview = !env;
    if (EnvPage) EnvPage->PageChanged();
    // The page is applied once when it is entered and once when it is left.
    if (env != FAppliedSettingsPage) {
        FAppliedSettingsPage = env;
        if (env) {
            if (EnvPage) EnvPage->Entered();
            Hook.Proc_DeleteHotKeys();
        } else {
            if (EnvPage) EnvPage->Left();
            Hook.Proc_AddHotKeys();
        }
    }
    if (env) {
        StatusBar->SetSimpleText(L"設定");
        return;
    }
    // The functions page shows the lists as they are stored now: entries
    // recorded while the window was hidden are in them.
    Hook.Proc_SetHookKey();
    ToolBar->SetShowCaptions(Lists.Settings.CHKTooBarList);
    TabControlChange();
}
