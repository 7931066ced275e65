#include "app/monitors/IMEIcon.h"

TIMEIconForm* IMEIconForm = nullptr;

TIMEIconForm::TIMEIconForm(gui::TComponent* owner) : TForm(owner, L"TIMEIconForm") { Name = L"IMEIconForm"; }

void TIMEIconForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"IMEIconForm";
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}
