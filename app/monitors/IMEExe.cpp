#include "app/monitors/IMEExe.h"

TIMEExeForm* IMEExeForm = nullptr;

TIMEExeForm::TIMEExeForm(gui::TComponent* owner) : TForm(owner, L"TIMEExeForm") {
    Name = L"IMEExeForm";
}

void TIMEExeForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - IME通知プログラム";
    params.Style = WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    params.ExStyle = WS_EX_DLGMODALFRAME;
    params.Width = 480;
    params.Height = 360;
}
