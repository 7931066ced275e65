// TBtnForm: the automatic button pressing and its registration window. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TBtnForm : public gui::TForm {
public:
    explicit TBtnForm(gui::TComponent* owner);

    // The button watch's step on every heartbeat tick; does nothing yet.
    void Proc_TimerBtn(HWND foreground, bool changed) {}

    // The window the cursor feature has finished with.
    HWND MCursorWin = nullptr;

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TBtnForm* BtnForm;
