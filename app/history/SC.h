// TSCForm: the shortcut maker. For one history entry (a file, program,
// shortcut, folder or Explorer folder) it fills target, options, name,
// working folder, show state, comment and icon, lets the user edit them and
// choose a place (a special folder, the entry's own folder or a recent
// folder), and has the sibling program "ORV_SC.exe" make the .lnk: the
// shortcut is described in the list file "ORV_SC.lst" of the settings folder
// and the sibling is started with "/sc"; started with "/sf" it writes the
// special folders into the same file. The recent folders live in "His.ini"
// [SCMRU]. The history window opens it through ShowShortCutMaker.
#pragma once

#include <windows.h>

#include <string>

#include "components/FolderDialog.h"
#include "components/MakeShortCuts.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Form.h"
#include "gui/Graphics.h"
#include "gui/StdCtrls.h"

// What the history window hands the shortcut maker for an entry of category
// c: the entry and no options; for an Explorer folder (category 4) Explorer
// itself, with " /e," and the quoted folder as options.
void ShortCutMakerParams(int c, const std::wstring& entry, std::wstring& paramStr1, std::wstring& paramStr2);

// Creates the shortcut maker owned by the application for the target
// paramStr1 with the options paramStr2, shows it modally and releases it.
void ShowShortCutMaker(const std::wstring& paramStr1, const std::wstring& paramStr2);

class TSCForm : public gui::TForm {
public:
    explicit TSCForm(gui::TComponent* owner);

    // --- input: set before the form is shown ---------------------------------
    std::wstring MParamStr1;  // the history entry
    std::wstring MParamStr2;  // its options ('' but for Explorer folders)

    // --- fields ----------------------------------------------------------------
    std::wstring MSC;        // the place folder, ending in "\" once set
    std::wstring MExeFile;   // the history entry
    std::wstring MIconFile;  // the shortcut's icon file and index
    int MIconIdx = 0;
    std::wstring MNowIconFile;  // what the icon chooser is handed and changes
    int MNowIconIdx = 0;

    // The folder of "ORV_SC.exe", with "\": the program's own.
    std::wstring ProgramFolder;
    // How long a made shortcut is waited for, in ms.
    DWORD SiblingTimeLimit = 10000;

    // --- controls ----------------------------------------------------------------
    gui::TEdit* EditExe = nullptr;
    gui::TEdit* EditOpt = nullptr;
    gui::TButton* BtnOpt = nullptr;
    gui::TButton* BtnGetCmd = nullptr;
    gui::TButton* BtnReadme = nullptr;
    gui::TButton* BtnHelp = nullptr;
    gui::TEdit* EditName = nullptr;
    gui::TEdit* EditWork = nullptr;
    gui::TButton* BtnWork = nullptr;
    gui::TComboBox* ComboBoxSize = nullptr;
    gui::TEdit* EditComment = nullptr;
    gui::TImageButton* BtnIcon = nullptr;
    gui::TButton* BtnIconDef = nullptr;
    gui::TRadioGroup* RGSC = nullptr;
    gui::TComboBox* ListMRU = nullptr;
    gui::TButton* BtnRef = nullptr;
    gui::TButton* BtnExp = nullptr;
    gui::TButton* ButtonReSPDir = nullptr;
    gui::TButton* BtnSC = nullptr;
    gui::TButton* BtnClose = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    gui::TOpenDialog* ODlg = nullptr;
    TFolderDlg* FolderDlg = nullptr;
    TMakeShortCuts* MakeShortCuts = nullptr;
    // The picture BtnIcon shows (empty when none).
    gui::TBitmap IconGlyph;

    // --- operations ----------------------------------------------------------------
    void Proc_FillFromTarget();
    void RGSCClick();
    void ListMRUChange();
    void Proc_SetSCFolder();
    void Proc_AddMRU();
    void Proc_DrawIcon();
    void EditChange();
    void EditOptDblClick();
    void BtnRefClick();
    void BtnExpClick();
    void BtnReadmeClick();
    void BtnHelpClick();
    void BtnOptClick();
    void BtnWorkClick();
    void BtnGetCmdClick();
    void BtnIconClick();
    void BtnIconDefClick();
    void ButtonReSPDirClick();
    void BtnSCClick();

    // The list file and the two sibling starts.
    std::wstring ListFileName() const;
    void StartSibling(const std::wstring& argument);

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormCloseQuery(bool& canClose) override;

private:
    // The target names an existing file or folder.
    bool TargetExists() const;
    // The readme and help files beside the target ('' when there is none).
    std::wstring ReadmeFile() const;
    std::wstring HelpFile() const;
    // Writes the shortcut into the list file with its result key cleared,
    // starts the sibling and waits for a fresh result; whether the shortcut
    // was made.
    bool MakeThroughSibling(const std::wstring& link);
    bool FShown = false;
};

extern TSCForm* SCForm;
