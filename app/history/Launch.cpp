#include "app/history/Launch.h"

TLaunchForm* LaunchForm = nullptr;

TLaunchForm::TLaunchForm(gui::TComponent* owner) : TForm(owner, L"TLaunchForm") { Name = L"LaunchForm"; }

void TLaunchForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - ランチャー";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = WS_EX_TOOLWINDOW;
}
