// TSPDirForm: the special folders window. Today it is created hidden and does nothing more.
#pragma once

#include <windows.h>

#include "gui/Form.h"

class TSPDirForm : public gui::TForm {
public:
    explicit TSPDirForm(gui::TComponent* owner);

    // The list has unsaved changes.
    bool FModify = false;

protected:
    void CreateParams(gui::TCreateParams& params) override;
};

extern TSPDirForm* SPDirForm;
