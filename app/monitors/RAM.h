// TRAMForm: the RAM usage icon and memory cleaning. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TRAMForm : public gui::TForm {
public:
    explicit TRAMForm(gui::TComponent* owner);

    // One RAM tick, every fifth heartbeat tick; does nothing yet.
    void Proc_TimerRAM() {}

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TRAMForm* RAMForm;
