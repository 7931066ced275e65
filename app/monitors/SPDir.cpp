#include "app/monitors/SPDir.h"

TSPDirForm* SPDirForm = nullptr;

TSPDirForm::TSPDirForm(gui::TComponent* owner) : TForm(owner, L"TSPDirForm") { Name = L"SPDirForm"; }

void TSPDirForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - Windows特殊フォルダ";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = WS_EX_TOOLWINDOW;
}
