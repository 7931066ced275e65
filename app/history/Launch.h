// TLaunchForm: the program launcher. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TLaunchForm : public gui::TForm {
public:
    explicit TLaunchForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TLaunchForm* LaunchForm;
