// TAdrJumpForm: the hidden form that navigates Explorer windows through the
// shell's automation. Today it is created hidden and does nothing more.
#pragma once

#include "gui/Form.h"

class TAdrJumpForm : public gui::TForm {
public:
    explicit TAdrJumpForm(gui::TComponent* owner);

    // The window to prefer, set by the caller before each jump.
    HWND MTargetHandle = nullptr;

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TAdrJumpForm* AdrJumpForm;
