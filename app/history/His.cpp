#include "app/history/His.h"

THisForm* HisForm = nullptr;

THisForm::THisForm(gui::TComponent* owner) : TForm(owner, L"THisForm") { Name = L"HisForm"; }

void THisForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - 履歴";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = 0;
}
