#include "app/Tray.h"

TTrayForm* TrayForm = nullptr;

TTrayForm::TTrayForm(gui::TComponent* owner) : TForm(owner, L"TTrayForm") { Name = L"TrayForm"; }

void TTrayForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel";
    params.Style = WS_POPUP;  // no border, no border icons
    params.ExStyle = WS_EX_TOOLWINDOW;  // no taskbar button
    params.X = params.Y = 0;
    params.Width = params.Height = 0;
}

void TTrayForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (FClose) return;
    FClose = true;
}
