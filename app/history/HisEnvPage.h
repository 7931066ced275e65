// THisEnvPage: the history window's settings page ("設定"). Its controls
// are the history feature's settings: each change is written at once into
// the window's Lists.Settings, which capture, pruning, pasting and the tray
// menu read; the drive exclusions follow the drive list when the page is
// left. The page is a component of the window, its controls carry the
// names they are known by (found with the window's FindComponent).
#pragma once

#include <array>
#include <string>

#include "app/history/HisSettings.h"
#include "components/NumEdit.h"
#include "gui/ComCtrls.h"
#include "gui/Component.h"
#include "gui/HotKeyEdit.h"
#include "gui/StdCtrls.h"

class THisForm;

// An up-down that steps by its increment and wraps at both ends to the
// other end exactly (the system's own wrap carries the overshoot over).
class TWrapUpDown : public gui::TUpDown {
public:
    explicit TWrapUpDown(gui::TComponent* owner) : gui::TUpDown(owner) {}
    void SetLimits(int min, int max, int increment);

protected:
    void ParentMessage(gui::TParentMessage& message) override;

private:
    int min_ = 0, max_ = 100, increment_ = 1;
};

class THisEnvPage : public gui::TComponent {
public:
    explicit THisEnvPage(THisForm& form);

    // Builds the page's controls on the window's TabSheetEnv: the
    // auto-minimise choices, the check boxes of the tray menu's categories
    // (MCHKHisMenuItem, Tag = category) and the opacity group enabled.
    void CreateControls();
    // Every control from the window's settings (after "His.ini" was read);
    // from Vista on category 4 is neither a length choice nor a menu item.
    void Load();
    // Every change of page: the delete buttons wait for a selected row.
    void PageChanged();
    // The page is entered: the font button and the present drives, each
    // ticked unless its root is excluded.
    void Entered();
    // The page is left: each listed drive's root is taken out of the
    // exclusions when ticked and put in once when not; drives not present
    // keep theirs.
    void Left();
    // A folder or program excluded from the history list's menu joins the
    // page's list unless it is there in any case; the settings follow.
    void AddExcludedFolder(const std::wstring& folder);
    void AddExcludedProgram(const std::wstring& program);

    // --- the controls' events -------------------------------------------------
    void BtnHDDClick();
    void ChkNetworkMouseUp();
    void BtnDirAddClick();
    void BtnExeAddClick();
    void BtnDirDelClick();
    void BtnExeDelClick();
    void UDWaitClick();
    void UDMaxClipClick();
    void BtnWaveClick();
    void TrackBarTransChange();
    void BtnFontClick();
    void CBHisListChange();
    void CBHisListNumChange();
    void CHKHisMenuItemClick(gui::TCheckBox* box);
    void CHKHookDesktopClick();
    void CHKIconListClick();

    // --- the controls ---------------------------------------------------------
    gui::TGroupBox *GroupBoxWatch = nullptr, *GroupBoxDrive = nullptr, *GroupBoxDir = nullptr,
                   *GroupBoxExe = nullptr;
    gui::TCheckListBox* ListBoxDrive = nullptr;
    gui::TListBox *ListBoxNoDrive = nullptr, *ListBoxDir = nullptr, *ListBoxExe = nullptr;
    gui::TCheckBox* ChkNetwork = nullptr;
    gui::TButton *BtnHDD = nullptr, *BtnDirAdd = nullptr, *BtnDirDel = nullptr, *BtnExeAdd = nullptr,
                 *BtnExeDel = nullptr;

    gui::TGroupBox *GroupBoxClip = nullptr, *GroupBoxWait = nullptr, *GroupBoxMaxClip = nullptr,
                   *GroupBoxWave = nullptr;
    TWrapUpDown *UDWait = nullptr, *UDMaxClip = nullptr;
    TNumEdit *TxtWait = nullptr, *TxtMaxClip = nullptr;
    gui::TLabel *LabelWait = nullptr, *LabelMaxClip = nullptr;
    gui::TRadioGroup* RadioGroupPaste = nullptr;
    gui::TCheckBox* CHKWave = nullptr;
    gui::TEdit* EditWave = nullptr;
    gui::TButton* BtnWave = nullptr;

    gui::TGroupBox *GroupBoxWindow = nullptr, *GroupBoxTrans = nullptr, *GroupBoxFont = nullptr,
                   *GroupBoxHotKey = nullptr, *GroupBoxAutoMin = nullptr, *GroupBoxIcon = nullptr;
    gui::TRadioGroup* RadioGroupStart = nullptr;
    gui::TTrackBar* TrackBarTrans = nullptr;
    gui::TLabel* LabelTrans = nullptr;
    gui::TButton* BtnFont = nullptr;
    gui::TLabel *LabelHTKShow = nullptr, *LabelHTKMenu = nullptr, *LabelHTKLaunch = nullptr;
    gui::THotKeyEdit *EditHTKShow = nullptr, *EditHTKMenu = nullptr, *EditHTKLaunch = nullptr;
    gui::TCheckBox* CHKHookDesktop = nullptr;
    gui::TComboBox* ComboBoxHook = nullptr;
    gui::TComboBox* CBAutoMin = nullptr;
    gui::TCheckBox* CHKAutoMin = nullptr;
    gui::TCheckBox* CHKIconList = nullptr;

    gui::TGroupBox *GroupBoxHisNum = nullptr, *GroupBoxPasteDir = nullptr, *GroupBoxMenuItem = nullptr,
                   *GroupBoxToolBar = nullptr;
    gui::TComboBox *CBHisList = nullptr, *CBHisListNum = nullptr;
    gui::TCheckBox *CHKAutoDel = nullptr, *CHKNoSave = nullptr;
    gui::TComboBox* CBPasteDir = nullptr;
    std::array<gui::TCheckBox*, kHisCategories> MCHKHisMenuItem{};
    gui::TCheckBox* CHKTooBarList = nullptr;

private:
    THisSettings& Settings();
    // The category CBHisList shows (its items skip none before category 4).
    int ChosenCategory() const;
    void SetFontButton();
    void ListChanged(gui::TListBox* list, gui::TButton* del, gui::TStringList& setting);
    void AddExclusion(gui::TListBox* list, gui::TStringList& setting, const std::wstring& text);
    // The setting holds the list box's rows.
    static void CopyToSetting(gui::TListBox* list, gui::TStringList& setting);
    THisForm& form_;
};
