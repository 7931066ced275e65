// TPanelForm: the floating usage panel. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TPanelForm : public gui::TForm {
public:
    explicit TPanelForm(gui::TComponent* owner);

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TPanelForm* PanelForm;
