// The gallery: one form with every control of the GUI layer, docked and
// split, with Japanese captions. The gui tests drive it in their own process;
// the GuiGallery helper shows it for a look.
#pragma once

#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

class TGalleryForm : public gui::TForm {
public:
    explicit TGalleryForm(gui::TComponent* owner);

    gui::TImageList* Images = nullptr;
    gui::TToolBar* ToolBar = nullptr;
    gui::TToolButton* TBNew = nullptr;
    gui::TToolButton* TBBold = nullptr;
    gui::TToolButton* TBLeft = nullptr;
    gui::TToolButton* TBRight = nullptr;
    gui::TToolButton* TBOpen = nullptr;
    gui::TPopupMenu* OpenMenu = nullptr;
    gui::TStatusBar* StatusBar = nullptr;
    gui::TPanel* PanelLeft = nullptr;
    gui::TListBox* ListHistory = nullptr;
    gui::TSplitter* SplitterLeft = nullptr;
    gui::TPageControl* PageMain = nullptr;
    gui::TTabSheet* SheetBasic = nullptr;
    gui::TTabSheet* SheetText = nullptr;
    gui::TTabSheet* SheetList = nullptr;
    gui::TGroupBox* GroupMenu = nullptr;
    gui::TRadioGroup* RadioAction = nullptr;
    gui::TComboBox* ComboEncoding = nullptr;
    gui::TEdit* EditCount = nullptr;
    gui::TUpDown* UpDownCount = nullptr;
    gui::TTrackBar* TrackAlpha = nullptr;
    gui::TCheckListBox* CheckFolders = nullptr;
    gui::TImageButton* BtnRun = nullptr;
    gui::TButton* BtnOK = nullptr;
    gui::TButton* BtnCancel = nullptr;
    gui::TLabel* LabelCount = nullptr;
    gui::TMemo* Memo = nullptr;
    gui::TSplitter* SplitterText = nullptr;
    gui::TRichEdit* RichEdit = nullptr;
    gui::TTabControl* TabKinds = nullptr;
    gui::TListView* ListFiles = nullptr;

    // What the owner-drawn list saw.
    int MeasureCount = 0;
    int DrawCount = 0;

protected:
    void FormCreate() override;
};
