#include "app/Ver.h"

#include <shellapi.h>

#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"

TVerForm* VerForm = nullptr;

namespace {

const int kClientWidth = 360;
const int kClientHeight = 214;

}  // namespace

TVerForm::TVerForm(gui::TComponent* owner) : TForm(owner, L"TVerForm") {
    Name = L"VerForm";
    CreationCaption = L"Orvandel - バージョン情報";
    DialogKeys = true;
    BorderStyle = gui::TFormBorderStyle::bsDialog;
    Position = gui::TPosition::poScreenCenter;
    CreationClientWidth = kClientWidth;
    CreationClientHeight = kClientHeight;
}

void TVerForm::FormCreate() {
    using gui::Bounds;
    ProgramIcon = gui::NewControl<gui::TImage>(this, {.Name = L"ProgramIcon", .Bounds = Bounds(16, 16, 32, 32)});
    ProgramIcon->SetStretch(true);
    ProductName = gui::NewControl<gui::TLabel>(
        this, {.Name = L"ProductName", .Caption = L"Orvandel", .Bounds = Bounds(60, 16, 180, 18)},
        {.Alignment = gui::TAlignment::taRightJustify});
    Version = gui::NewControl<gui::TLabel>(
        this, {.Name = L"Version", .Caption = L"Version 6.10", .Bounds = Bounds(250, 16, 100, 18)});
    for (gui::TLabel* l : {ProductName, Version}) l->Font().SetStyle(gui::fsBold);

    auto link = [this](const wchar_t* name, const wchar_t* text, int y) {
        auto* e = gui::NewControl<gui::TEdit>(
            this, {.Name = name, .Caption = text, .Bounds = Bounds(16, y, kClientWidth - 32, 18)}, {.Border = false});
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

    BtnUserDir = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnUserDir", .Caption = L"設定ファイル保存フォルダを開く", .Bounds = Bounds(16, 170, 230, 28)});
    BtnUserDir->OnClick = [](gui::TButton*) { ShellExecuteFile(UserSettingsDir, L"", L"", SW_SHOWDEFAULT); };
    OKButton = gui::NewControl<gui::TButton>(
        this, {.Name = L"OKButton", .Caption = L"OK", .Bounds = Bounds(kClientWidth - 96, 170, 80, 28)});
    OKButton->ModalResult = gui::mrOk;
    OKButton->SetDefault(true);
}

void TVerForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
}

void TVerForm::FormActivate() {
    ProgramIcon->SetIcon(gui::TApplication::Icon());
    ProductName->SetCaption(L"Orvandel");
    Version->SetCaption(L"Version 6.10");
}

void TVerForm::OpenLink(gui::TEdit* edit, const std::wstring& prefix) {
    ::ShellExecuteW(Handle(), L"OPEN", (prefix + edit->Text()).c_str(), L"", L"", SW_SHOWNORMAL);
}
