#include "app/monitors/Panel.h"

TPanelForm* PanelForm = nullptr;

TPanelForm::TPanelForm(gui::TComponent* owner) : TForm(owner, L"TPanelForm") { Name = L"PanelForm"; }

void TPanelForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel";
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
}
