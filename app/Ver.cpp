#include "app/Ver.h"

#include <shellapi.h>

#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"

TVerForm* VerForm = nullptr;

namespace {

const int kClientWidth = 360;
const int kClientHeight = 214;

RECT Box(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

}  // namespace

TVerForm::TVerForm(gui::TComponent* owner) : TForm(owner, L"TVerForm") {
    Name = L"VerForm";
    DialogKeys = true;
}

void TVerForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - バージョン情報";
    params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_DLGMODALFRAME;
    RECT r{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    params.Width = r.right - r.left;
    params.Height = r.bottom - r.top;
    // Centred on the screen.
    params.X = (::GetSystemMetrics(SM_CXSCREEN) - params.Width) / 2;
    params.Y = (::GetSystemMetrics(SM_CYSCREEN) - params.Height) / 2;
}

void TVerForm::FormCreate() {
    ProgramIcon = new gui::TImage(this, Box(16, 16, 32, 32));
    ProgramIcon->Name = L"ProgramIcon";
    ProductName = new gui::TLabel(this, L"Orvandel", Box(60, 16, 180, 18), gui::TAlignment::taRightJustify);
    ProductName->Name = L"ProductName";
    Version = new gui::TLabel(this, L"Version 6.10", Box(250, 16, 100, 18));
    Version->Name = L"Version";
    for (gui::TLabel* l : {ProductName, Version}) l->Font().SetStyle(gui::fsBold);

    auto link = [this](const wchar_t* name, const wchar_t* text, int y) {
        auto* e = new gui::TEdit(this, text, Box(16, y, kClientWidth - 32, 18), false);
        e->Name = name;
        e->SetReadOnly(true);
        e->SetAlignment(gui::TAlignment::taRightJustify);
        e->SetLinkLook(true);
        e->Font().SetStyle(gui::fsBold);
        return e;
    };
    EditProgram = link(L"EditProgram", L"https://www.quorvin.example/orvandel/", 60);
    EditURL = link(L"EditURL", L"https://www.quorvin.example/", 84);
    EditMail = link(L"EditMail", L"orvandel@quorvin.example", 108);
    EditProgram->OnClick = [this](gui::TEdit* e) { OpenLink(e, L""); };
    EditURL->OnClick = [this](gui::TEdit* e) { OpenLink(e, L""); };
    EditMail->OnClick = [this](gui::TEdit* e) { OpenLink(e, L"mailto:"); };

    BtnUserDir = new gui::TButton(this, L"設定ファイル保存フォルダを開く", Box(16, 170, 230, 28));
    BtnUserDir->Name = L"BtnUserDir";
    BtnUserDir->OnClick = [](gui::TButton*) { ShellExecuteFile(UserSettingsDir, L"", L"", SW_SHOWDEFAULT); };
    OKButton = new gui::TButton(this, L"OK", Box(kClientWidth - 96, 170, 80, 28));
    OKButton->Name = L"OKButton";
    OKButton->ModalResult = gui::mrOk;
    OKButton->SetDefault(true);
}

void TVerForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
}

void TVerForm::FormActivate() {
    ProgramIcon->SetIcon(::LoadIconW(::GetModuleHandleW(nullptr), L"MAINICON"));
    ProductName->SetCaption(L"Orvandel");
    Version->SetCaption(L"Version 6.10");
}

void TVerForm::OpenLink(gui::TEdit* edit, const std::wstring& prefix) {
    ::ShellExecuteW(Handle(), L"OPEN", (prefix + edit->Text()).c_str(), L"", L"", SW_SHOWNORMAL);
}
