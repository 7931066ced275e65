// TLaunchForm: the program launcher. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TLaunchForm : public gui::TForm {
public:
    explicit TLaunchForm(gui::TComponent* owner);

    // Rebuilds one pane, 0 the history and 1 the favourites pane; the panes
    // are not there yet, so today this does nothing.
    void Proc_DispData(int pane) {}

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TLaunchForm* LaunchForm;
