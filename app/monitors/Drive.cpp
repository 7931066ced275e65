#include "app/monitors/Drive.h"

TDriveForm* DriveForm = nullptr;

TDriveForm::TDriveForm(gui::TComponent* owner) : TForm(owner, L"TDriveForm") { Name = L"DriveForm"; }

void TDriveForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - ドライブ検出の監視設定";
    params.Style = WS_OVERLAPPEDWINDOW;
    params.ExStyle = WS_EX_APPWINDOW;
}
