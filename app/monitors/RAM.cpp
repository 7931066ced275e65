#include "app/monitors/RAM.h"

TRAMForm* RAMForm = nullptr;

TRAMForm::TRAMForm(gui::TComponent* owner) : TForm(owner, L"TRAMForm") { Name = L"RAMForm"; }

void TRAMForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - RAM";
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
}
