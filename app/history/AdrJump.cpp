#include "app/history/AdrJump.h"

TAdrJumpForm* AdrJumpForm = nullptr;

TAdrJumpForm::TAdrJumpForm(gui::TComponent* owner) : TForm(owner, L"TAdrJumpForm") {
    Name = L"AdrJumpForm";
}

void TAdrJumpForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"AdrJumpForm";
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
    params.X = params.Y = 0;
    params.Width = params.Height = 0;
}
