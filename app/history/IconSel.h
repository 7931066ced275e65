// TIconSelForm: the icon chooser. It lists every icon of an .exe, .dll or
// .ico file and lets the user pick one; another file comes from a file
// dialog or from a file dropped onto the list. It works on the shortcut
// maker's MNowIconFile and MNowIconIdx directly: reads them when it shows,
// writes them on a selection and on a new file. The shortcut maker creates
// it for one modal use and takes the pair back when the result is OK.
#pragma once

#include <windows.h>

#include <string>

#include "components/DROPDST.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/StdCtrls.h"

class TSCForm;

class TIconSelForm : public gui::TForm {
public:
    TIconSelForm(gui::TComponent* owner, TSCForm& maker);

    gui::TListView* ListView = nullptr;
    gui::TImageList* ImageList = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    gui::TButton* BTNSansyo = nullptr;
    gui::TButton* BTNOk = nullptr;
    gui::TButton* BTNCancel = nullptr;
    gui::TOpenDialog* ODialog = nullptr;
    TDropDst* DropDst = nullptr;

    // Whether the file can give icons (.exe, .dll or .ico holding at least
    // one); otherwise the user is told and the result is false.
    bool Func_CheckIconFile(const std::wstring& fileName);
    // Lists the icons of the maker's MNowIconFile and selects MNowIconIdx.
    void Proc_LoadIcons();
    void ListViewSelectItem();
    void BTNSansyoClick();
    void DropDstFileDrop(gui::TStringList* files);

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    TSCForm& FMaker;
    bool FShown = false;
};

extern TIconSelForm* IconSelForm;
