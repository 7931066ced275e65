// TIMEIconForm: the IME-on indicator icon. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TIMEIconForm : public gui::TForm {
public:
    explicit TIMEIconForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TIMEIconForm* IMEIconForm;
