// TIMEExeForm: the two program lists of the IME-on notices. Programs in
// ListBoxDisable ("IMEDisable.lst") get no notice; when the main form's
// enable item is checked, only programs in ListBoxEnable ("IMEEnable.lst")
// get one. Both hold full program paths and are compared without regard to
// case. The files are read when the window is created and written whole,
// UTF-16LE with byte-order mark, each time it closes.
#pragma once

#include <string>

#include "gui/Form.h"
#include "gui/StdCtrls.h"
#include "gui/StringList.h"

class TIMEExeForm : public gui::TForm {
public:
    explicit TIMEExeForm(gui::TComponent* owner);

    // The items the two list boxes show, one full program path each.
    gui::TStringList ListBoxDisable;
    gui::TStringList ListBoxEnable;

    // Whether the program path is in the list (case-insensitive, whole path).
    static bool Contains(const gui::TStringList& list, const std::wstring& exe);
    // A double click on a list: deletes its selected entry, if the list has one.
    void DeleteSelected(gui::TStringList& list, int selected);

    // Reads both list files (a missing file leaves its list empty).
    void LoadLists();
    // Writes both list files; a file that could not be read is left as it is.
    void SaveLists();

    // The window's two list boxes, which show the lists above.
    gui::TGroupBox *GroupBoxDisable = nullptr, *GroupBoxEnable = nullptr;
    gui::TListBox *ListBoxDisableView = nullptr, *ListBoxEnableView = nullptr;
    // Shows the lists in the list boxes again.
    void ShowLists();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;
    void FormCloseQuery(bool& canClose) override;

private:
    void CreateControls();
    bool disableReadable_ = true;
    bool enableReadable_ = true;
};

extern TIMEExeForm* IMEExeForm;
