// TTrayForm: the program's hidden main form. It never shows a window of its
// own; its creation continues the start-up and its close query runs the
// shutdown, once.
#pragma once

#include "gui/Form.h"

class TTrayForm : public gui::TForm {
public:
    explicit TTrayForm(gui::TComponent* owner);

    // The close query has run; read by the forms that close with it.
    bool FClose = false;

protected:
    void CreateParams(gui::TCreateParams& params) override;
    void FormCloseQuery(bool& canClose) override;
};

extern TTrayForm* TrayForm;
