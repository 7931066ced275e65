#include "app/monitors/Btn.h"

TBtnForm* BtnForm = nullptr;

TBtnForm::TBtnForm(gui::TComponent* owner) : TForm(owner, L"TBtnForm") { Name = L"BtnForm"; }

void TBtnForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - 自動的に押すボタンの設定";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = WS_EX_APPWINDOW;
}
