// TVerForm: the about box. It shows the program's name, version and icon,
// three links and a button that opens the settings folder; the settings
// menu creates it for one modal use and releases it.
#pragma once

#include "gui/Form.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"

class TVerForm : public gui::TForm {
public:
    explicit TVerForm(gui::TComponent* owner);

    gui::TImage* ProgramIcon = nullptr;
    gui::TLabel* ProductName = nullptr;
    gui::TLabel* Version = nullptr;
    gui::TEdit* EditProgram = nullptr;
    gui::TEdit* EditURL = nullptr;
    gui::TEdit* EditMail = nullptr;
    gui::TButton* BtnUserDir = nullptr;
    gui::TButton* OKButton = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;

private:
    void OpenLink(gui::TEdit* edit, const std::wstring& prefix);
};

extern TVerForm* VerForm;
