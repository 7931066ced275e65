// THisForm: the history window. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class THisForm : public gui::TForm {
public:
    explicit THisForm(gui::TComponent* owner);

    // The heartbeat's steps; they do nothing yet.
    void Proc_TimerHis(HWND foreground, bool changed) {}
    void Proc_CheckHook() {}
    void Proc_DispCPU() {}
    // Fill the tray history menu's category and show the lists; nothing yet.
    void Proc_PPListSet(int category) {}
    void Proc_DispHis() {}
    void Proc_DispFav() {}

    // Set while the history menu is being rebuilt.
    bool FPPLSet = false;
    // The launcher was visible when the program last ended.
    bool FLaunchVisible = false;

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern THisForm* HisForm;
