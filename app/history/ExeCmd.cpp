#include "app/history/ExeCmd.h"

TExeCmdForm* ExeCmdForm = nullptr;

TExeCmdForm::TExeCmdForm(gui::TComponent* owner) : TForm(owner, L"TExeCmdForm") { Name = L"ExeCmdForm"; }

void TExeCmdForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - コマンドラインオプションを入力";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = WS_EX_TOOLWINDOW;
}
