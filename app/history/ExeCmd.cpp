#include "app/history/ExeCmd.h"

#include "app/Globals.h"
#include "app/history/ExeCmdLog.h"
#include "gui/Application.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "gui/Screen.h"
#include "toolkit/FindExe.h"
#include "toolkit/GetCMDLine.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/TaskBarList.h"

TExeCmdForm* ExeCmdForm = nullptr;

namespace {

const wchar_t kHisIniName[] = L"His.ini";
const wchar_t kSection[] = L"ExeCmd";

// Every key the window keeps in "His.ini": its place and width; a missing
// key keeps the window's own.
gui::TIniTable ExeCmdIniTable(gui::TBounds& bounds) {
    return {gui::IniBounds(kSection, bounds, gui::TBoundsKeys::PositionAndWidth)};
}

std::wstring MenuFontName() {
    return gui::Screen.MenuFont().Name();
}

}  // namespace

TExeCmdForm::TExeCmdForm(gui::TComponent* owner) : TForm(owner, L"TExeCmdForm") {
    Name = L"ExeCmdForm";
    CreationCaption = L"Orvandel - コマンドラインオプションを入力";
    BorderStyle = gui::TFormBorderStyle::bsSizeToolWin;
    DialogKeys = true;
    // A client area of 792 x 98 inside the sizeable tool-window frame.
    CreationClientWidth = 792;
    CreationClientHeight = 98;
}

void TExeCmdForm::FormCreate() {
    using gui::Bounds;
    using gui::TAlign;
    MinHeight = 130;
    MinWidth = 800;
    const std::wstring fontName = MenuFontName();
    if (!fontName.empty()) {
        Font().SetName(fontName);
        FontChanged();
    }

    EditName = gui::NewControl<gui::TEdit>(
        this, {.Name = L"EditName", .Bounds = Bounds(0, 0, 792, 24), .Align = TAlign::alTop});
    EditName->Font().Assign(Font());
    EditName->Font().SetSize(10);
    EditName->SetReadOnly(true);
    EditName->SetEnabled(false);
    ::SetWindowLongW(EditName->Handle(), GWL_STYLE,
                     ::GetWindowLongW(EditName->Handle(), GWL_STYLE) & ~WS_TABSTOP);

    StatusBar = gui::NewControl<gui::TStatusBar>(this, {.Name = L"StatusBar", .Bounds = Bounds(0, 0, 792, 20),
                                                        .Align = TAlign::alBottom});
    StatusBar->SetSimpleText(L"");

    PanelBtn = gui::NewControl<gui::TPanel>(
        this, {.Name = L"PanelBtn", .Bounds = Bounds(0, 0, 792, 30), .Align = TAlign::alBottom}, gui::kHolderPanel);
    BtnGetCmd = gui::NewControl<gui::TButton>(this, {.Parent = PanelBtn, .Name = L"BtnGetCmd",
                                                     .Caption = L"現在のオプションを取得(&G)",
                                                     .Bounds = Bounds(4, 3, 200, 24)});
    BtnGetCmd->OnClick = [this](gui::TButton*) { BtnGetCmdClick(); };
    BtnDel = gui::NewControl<gui::TButton>(this, {.Parent = PanelBtn, .Name = L"BtnDel", .Caption = L"削除(&D)",
                                                  .Bounds = Bounds(208, 3, 80, 24), .Enabled = false});
    BtnDel->OnClick = [this](gui::TButton*) { BtnDelClick(); };
    ChkAdmin = gui::NewControl<gui::TCheckBox>(this, {.Parent = PanelBtn, .Name = L"ChkAdmin",
                                                      .Caption = L"管理者として実行(&A)",
                                                      .Bounds = Bounds(300, 3, 200, 24)});
    BtnOK = gui::NewControl<gui::TButton>(this, {.Parent = PanelBtn, .Name = L"BtnOK", .Caption = L"O K [Enter]",
                                                 .Bounds = Bounds(560, 3, 110, 24)});
    BtnOK->ModalResult = gui::mrOk;
    BtnOK->SetDefault(true);
    BtnOK->OnClick = [this](gui::TButton*) { BtnOKClick(); };
    BtnCancel = gui::NewControl<gui::TButton>(this, {.Parent = PanelBtn, .Name = L"BtnCancel",
                                                     .Caption = L"キャンセル[Esc]", .Bounds = Bounds(676, 3, 110, 24)});
    BtnCancel->ModalResult = gui::mrCancel;
    BtnCancel->SetCancel(true);

    ComboBox = gui::NewControl<gui::TComboBox>(
        this, {.Name = L"ComboBox", .Bounds = Bounds(0, 24, 792, 24), .Align = TAlign::alClient});
    ComboBox->Font().Assign(Font());
    ComboBox->Font().SetSize(10);
    ComboBox->OnChange = [this](gui::TComboBox*) { ComboBoxChange(); };

    if (!DataFolder.empty()) {
        const gui::TMemIniFile ini(DataFolder + kHisIniName);
        FHisIniUnread = ini.Unreadable();
        gui::TBounds b = gui::BoundsOf(BoundsRect());
        gui::LoadIniTable(ini, ExeCmdIniTable(b));
        SetBounds(b.Left, b.Top, b.Width, b.Height);
    }
    const RECT r = BoundsRect();
    MLeft = r.left;
    MTop = r.top;
    FitHeight();
    EnsureWindowOnScreen(Handle());
}

int TExeCmdForm::Execute(const std::wstring& fileName) {
    return gui::RunModal(*this, {
        .Before = [&] {
            EditName->SetText(fileName);
            StatusBar->SetSimpleText(fileName);
            FClosed = false;
        },
        // A close by the window's own close request has run the step already.
        .After = [this] {
            if (!FClosed) CloseQuery();
        },
    });
}

void TExeCmdForm::FormShow() {
    ::SetWindowPos(Handle(), nullptr, MLeft, MTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A place off every monitor would open the modal dialog out of sight.
    EnsureWindowOnScreen(Handle());
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    TaskBarAddTab(Handle());
    MMonNo = GetWindowMonitorIndex(Handle());
}

void TExeCmdForm::FormActivate() {
    // Every activation starts afresh from the file: what was typed is lost.
    MOpt.clear();
    BtnGetCmd->SetEnabled(FindWindowByExe(EditName->Text()) != nullptr);
    ChkAdmin->SetChecked(false);
    ComboBox->Clear();
    ComboBox->SetText(L"");
    if (!DataFolder.empty())
        for (const std::wstring& option : ReadExeCmdOptions(DataFolder + kExeCmdLogName, EditName->Text()))
            ComboBox->Add(option);
    BtnDel->SetEnabled(false);
}

void TExeCmdForm::ComboBoxChange() {
    MOpt = ComboBox->Text();
    StatusBar->SetSimpleText(EditName->Text() + L" " + MOpt);
    const int index = ComboBox->ItemIndex();
    BtnDel->SetEnabled(index >= 0 && ComboBox->Item(index) == MOpt);
}

void TExeCmdForm::BtnGetCmdClick() {
    const std::wstring path = EditName->Text();
    HWND wnd = FindWindowByExe(path);
    if (!wnd) return;
    const std::wstring options = GetCMDLineOptions(wnd, path);
    if (options.empty()) return;
    ComboBox->SetText(options);
    ComboBoxChange();
}

void TExeCmdForm::BtnDelClick() {
    const int index = ComboBox->ItemIndex();
    if (index < 0) return;
    const std::wstring deleted = ComboBox->Item(index);
    ComboBox->Delete(index);
    // A deleted option is gone: neither shown, started nor written back.
    if (ComboBox->Count() == 0 || ComboBox->Text() == deleted) ComboBox->SetText(L"");
    BtnDel->SetEnabled(false);
    MOpt = ComboBox->Text();
    StatusBar->SetSimpleText(EditName->Text() + L" " + MOpt);
}

void TExeCmdForm::BtnOKClick() {
    if (MOpt.empty()) return;
    // The search ignores case, so a differently written copy makes way too.
    const int index = ComboBox->IndexOf(MOpt);
    if (index >= 0) ComboBox->Delete(index);
    ComboBox->Insert(0, MOpt);
}

std::vector<std::wstring> TExeCmdForm::Items() const {
    std::vector<std::wstring> items;
    for (int i = 0, n = ComboBox->Count(); i < n; ++i) items.push_back(ComboBox->Item(i));
    return items;
}

void TExeCmdForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    FClosed = true;
    if (!DataFolder.empty() && !EditName->Text().empty())
        WriteExeCmdOptions(DataFolder + kExeCmdLogName, EditName->Text(), Items());
    const RECT r = BoundsRect();
    MLeft = r.left;
    MTop = r.top;
    TaskBarDeleteTab(Handle());
    // A "His.ini" that could not be read at start is kept as it was.
    if (DataFolder.empty() || FHisIniUnread) return;
    gui::TMemIniFile ini = OpenUtf16IniFile(DataFolder + kHisIniName);
    gui::TBounds b = gui::BoundsOf(r);
    gui::SaveIniTable(ini, ExeCmdIniTable(b));
    ini.UpdateFile();
}

void TExeCmdForm::FitHeight() {
    const int height = EditName->Height() + ComboBox->Height() + PanelBtn->Height() + StatusBar->Height() + 10;
    if (height != ClientHeight()) SetClientSize(ClientWidth(), height);
}

void TExeCmdForm::WMMove() {
    if (!Visible()) return;
    const int monitor = GetWindowMonitorIndex(Handle());
    if (monitor == MMonNo) return;
    // The button follows the window to that monitor's taskbar.
    MMonNo = monitor;
    TaskBarDeleteTab(Handle());
    ::Sleep(100);
    TaskBarAddTab(Handle());
}

LRESULT TExeCmdForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_EXITSIZEMOVE:
            FitHeight();
            break;
        case WM_MOVE:
            WMMove();
            break;
        default:
            break;
    }
    return TForm::WndProc(msg, wp, lp);
}
