// TLaunchForm: the program launcher. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include <string>

#include "gui/Form.h"

class TLaunchForm : public gui::TForm {
public:
    explicit TLaunchForm(gui::TComponent* owner);

    // Rebuilds one pane, 0 the history and 1 the favourites pane; the panes
    // are not there yet, so today this does nothing.
    void Proc_DispData(int pane) {}

    // Asks for the program's command-line options and starts it; true in
    // every case, so the caller starts nothing itself. The options dialog is
    // not there yet: today this starts nothing.
    bool Func_ExeCmdDlg(const std::wstring& fileName) { return true; }

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TLaunchForm* LaunchForm;
