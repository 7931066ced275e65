// TExeCmdForm: the command-line options dialog. Before a program starts
// from the launcher or the history window with Ctrl held, it shows the
// program's path, a drop-down of the options used before with programs of
// that file name ("ExeCmd.log"), a button that takes the options of a
// running instance of the program, and a choice to run it as administrator.
// The launcher's Func_ExeCmdDlg runs it and starts the program. Made once at
// start-up and reused; its place is kept in "His.ini" [ExeCmd].
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/StdCtrls.h"

class TExeCmdForm : public gui::TForm {
public:
    explicit TExeCmdForm(gui::TComponent* owner);

    gui::TEdit* EditName = nullptr;      // the program path
    gui::TComboBox* ComboBox = nullptr;  // the options
    gui::TPanel* PanelBtn = nullptr;
    gui::TButton* BtnGetCmd = nullptr;
    gui::TButton* BtnDel = nullptr;
    gui::TCheckBox* ChkAdmin = nullptr;
    gui::TButton* BtnOK = nullptr;
    gui::TButton* BtnCancel = nullptr;
    gui::TStatusBar* StatusBar = nullptr;

    // The options chosen (the drop-down's text).
    std::wstring MOpt;
    // The place the window opens at, and the monitor it was last on.
    int MLeft = 0, MTop = 0;
    int MMonNo = 0;

    // Shows the dialog modally for the program; its close step (the options
    // list and the window's place written) runs on OK and Cancel alike.
    // Returns the modal result.
    int Execute(const std::wstring& fileName);

    // The handlers of the controls.
    void ComboBoxChange();
    void BtnGetCmdClick();
    void BtnDelClick();
    void BtnOKClick();

    // The drop-down's items, top first.
    std::vector<std::wstring> Items() const;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;
    void FormCloseQuery(bool& canClose) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void WMMove();
    void FitHeight();
    bool FClosed = false;  // the close step ran for this showing
    // "His.ini" existed but could not be read when the dialog was made.
    bool FHisIniUnread = false;
};

extern TExeCmdForm* ExeCmdForm;
