// TLaunchForm: the program launcher. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include <string>

#include "gui/Form.h"

class TLaunchForm : public gui::TForm {
public:
    explicit TLaunchForm(gui::TComponent* owner);

    // Rebuilds one pane, 0 the history and 1 the favourites pane; the window
    // has no panes, so there is nothing to rebuild.
    void Proc_DispData(int pane) {}

    // Asks for the program's command-line options and starts it; true in
    // every case, so the caller starts nothing itself. Without an options
    // dialog nothing is asked and nothing is started.
    bool Func_ExeCmdDlg(const std::wstring& fileName) { return true; }

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TLaunchForm* LaunchForm;
