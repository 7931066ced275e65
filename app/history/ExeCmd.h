// TExeCmdForm: the command-line options dialog. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TExeCmdForm : public gui::TForm {
public:
    explicit TExeCmdForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TExeCmdForm* ExeCmdForm;
