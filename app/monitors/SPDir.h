// TSPDirForm: the special folders window. It lists Windows special folders
// by name beside the "shell:" command that opens each and opens the chosen
// one in Explorer; the user adds, deletes, reorders and saves entries. The
// list lives in "Shell.lst" (one "command,name" line per entry, system code
// page), the window's bounds and the "close after opening" button in
// "SPDir.ini", both in the settings folder. A default "Shell.lst" beside the
// program is copied there when the settings folder has none. The window is
// created hidden at start-up and reloads the list every time it is shown.
#pragma once

#include <windows.h>

#include <string>

#include "components/DualListBox.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/StdCtrls.h"

class TSPDirForm : public gui::TForm {
public:
    explicit TSPDirForm(gui::TComponent* owner);

    // --- controls --------------------------------------------------------------
    gui::TToolBar* ToolBar = nullptr;
    gui::TToolButton *TBOpen = nullptr, *TBUp = nullptr, *TBDown = nullptr, *TBSave = nullptr,
                     *TBAdd = nullptr, *TBDel = nullptr, *TBClose = nullptr, *TBOpenClose = nullptr;
    gui::TPanel* PanelEdit = nullptr;  // holds the two edit boxes above the lists
    gui::TEdit* EditName = nullptr;
    gui::TEdit* EditCmd = nullptr;
    TDualListBox* ListBoxName = nullptr;
    TDualListBox* ListBoxCmd = nullptr;

    // --- fields ----------------------------------------------------------------
    // The list was changed since it was loaded or saved.
    bool FModify = false;
    // The command-list row whose texts the edit boxes show last; -1 for none.
    int MIndexB = -1;

    // --- handlers ----------------------------------------------------------------
    void ListBoxNameClick();
    void ListBoxCmdClick();
    void ListBoxKeyDown();
    void ListBoxKeyPress(wchar_t key);
    // Opens the selected entry's command in Explorer (only a "shell:"
    // command); with TBOpenClose down the window closes a second later.
    void ListBoxCmdDblClick();
    void TBUpClick();
    void TBDownClick();
    void TBAddClick();
    void TBDelClick();
    void TBSaveClick();
    void TBCloseClick();
    void EditChange();
    // The wheel over either list scrolls it by one line; the partner follows.
    void FormMouseWheel(int delta, POINT screenPos, bool& handled);

    // Refreshes the edit boxes from a newly selected row and the buttons'
    // enabled state.
    void Proc_UpdateControls();
    // Copies "Shell.lst" to "Shell.lst.bak"; warns when that fails.
    void Proc_BackupList();

    // The settings folder's files.
    static std::wstring ListFileName();
    static std::wstring IniFileName();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;

private:
    void CreateControls();
    void LoadList();
    // An error box of the window, in front.
    void Warn(const std::wstring& text);
    // Exchanges rows a and b of both lists; the selection goes with row a.
    void ExchangeRows(int a, int b);
    void LayoutColumns();
    // The last load found "Shell.lst" but could not read it: it is not
    // written over.
    bool FListUnreadable = false;
};

extern TSPDirForm* SPDirForm;
