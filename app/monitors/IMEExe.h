// TIMEExeForm: the window listing the programs for which IME-on notices are
// enabled or disabled. Today it is created hidden and shows nothing more.
#pragma once

#include "gui/Form.h"

class TIMEExeForm : public gui::TForm {
public:
    explicit TIMEExeForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TIMEExeForm* IMEExeForm;
