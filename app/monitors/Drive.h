// TDriveForm: the drive auto-start settings and device-change receiver. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TDriveForm : public gui::TForm {
public:
    explicit TDriveForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TDriveForm* DriveForm;
