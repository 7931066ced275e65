// What a control kind's window is made with beyond TControlArgs (its T*Args,
// given to NewControl) reaches the window: its styles, its rows and columns,
// the room a panel leaves its children and what it draws.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "components/DualListBox.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Form.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "tests/support/UserInput.h"

using namespace testing_support;

namespace {

using gui::Bounds;
using gui::NewControl;

class TArgsTestForm : public gui::TForm {
public:
    explicit TArgsTestForm(gui::TComponent* owner) : TForm(owner, L"TArgsTestForm") {
        CreationCaption = L"作成の引数";
        CreationLeft = CreationTop = 20;
        CreationWidth = 900;
        CreationHeight = 700;
    }

    gui::TLabel* LabelPlain = nullptr;
    gui::TLabel* LabelRight = nullptr;
    gui::TLabel* LabelCentre = nullptr;
    gui::TEdit* EditPlain = nullptr;
    gui::TEdit* EditBare = nullptr;
    gui::TMemo* MemoWrapped = nullptr;
    gui::TMemo* MemoLong = nullptr;
    gui::TRichEdit* RichWrapped = nullptr;
    gui::TRichEdit* RichLong = nullptr;
    gui::TListBox* ListPlain = nullptr;
    gui::TListBox* ListSorted = nullptr;
    gui::TListBox* ListMulti = nullptr;
    gui::TListBox* ListRows = nullptr;
    gui::TCheckListBox* ListChecks = nullptr;
    gui::TComboBox* ComboPlain = nullptr;
    gui::TComboBox* ComboPick = nullptr;
    gui::TComboBox* ComboLong = nullptr;
    gui::TTabControl* TabsTop = nullptr;
    gui::TPageControl* PagesBottom = nullptr;
    gui::TToolBar* BarPlain = nullptr;
    gui::TToolBar* BarFixed = nullptr;
    gui::TListView* ViewPlain = nullptr;
    gui::TListView* ViewIcons = nullptr;
    gui::TListView* ViewReport = nullptr;
    gui::TUpDown* UpDownPlain = nullptr;
    gui::TUpDown* UpDownWrap = nullptr;
    gui::TRadioGroup* GroupOneColumn = nullptr;
    gui::TRadioGroup* GroupTwoColumns = nullptr;
    gui::TPanel* PanelBevel = nullptr;
    gui::TPanel* PanelHolder = nullptr;
    gui::TPanel* PanelCaption = nullptr;
    gui::TPanel* InBevel = nullptr;
    gui::TPanel* InHolder = nullptr;
    TDualListBox* DualPlain = nullptr;
    TDualListBox* DualNoBar = nullptr;
    gui::TToolBar* BarButtons = nullptr;
    gui::TPopupMenu* DropMenu = nullptr;
    int Clicks = 0;

protected:
    void FormCreate() override {
        LabelPlain = NewControl<gui::TLabel>(this, {.Caption = L"&A", .Bounds = Bounds(0, 0, 80, 18)});
        LabelRight = NewControl<gui::TLabel>(this, {.Caption = L"&B", .Bounds = Bounds(0, 20, 80, 18)},
                                             {.Alignment = gui::TAlignment::taRightJustify, .ShowAccelChar = true});
        LabelCentre = NewControl<gui::TLabel>(this, {.Caption = L"C", .Bounds = Bounds(0, 40, 80, 18)},
                                              {.Alignment = gui::TAlignment::taCenter});
        EditPlain = NewControl<gui::TEdit>(this, {.Bounds = Bounds(0, 60, 80, 22)});
        EditBare = NewControl<gui::TEdit>(this, {.Bounds = Bounds(0, 84, 80, 22)}, {.Border = false});
        MemoWrapped = NewControl<gui::TMemo>(this, {.Bounds = Bounds(0, 110, 80, 40)});
        MemoLong = NewControl<gui::TMemo>(this, {.Bounds = Bounds(0, 150, 80, 40)}, {.WordWrap = false});
        RichWrapped = NewControl<gui::TRichEdit>(this, {.Bounds = Bounds(0, 190, 80, 40)});
        RichLong = NewControl<gui::TRichEdit>(this, {.Bounds = Bounds(0, 230, 80, 40)}, {.WordWrap = false});

        ListPlain = NewControl<gui::TListBox>(this, {.Bounds = Bounds(100, 0, 80, 60)});
        ListSorted = NewControl<gui::TListBox>(this, {.Bounds = Bounds(100, 60, 80, 60)}, {.Sorted = true});
        ListMulti = NewControl<gui::TListBox>(this, {.Bounds = Bounds(100, 120, 80, 60)}, {.MultiSelect = true});
        ListRows = NewControl<gui::TListBox>(this, {.Bounds = Bounds(100, 180, 80, 60)},
                                             {.Style = gui::TListBoxStyle::lbOwnerDrawFixed, .ItemHeight = 27});
        ListChecks = NewControl<gui::TCheckListBox>(this, {.Bounds = Bounds(100, 240, 80, 60)}, {.Sorted = true});
        ComboPlain = NewControl<gui::TComboBox>(this, {.Bounds = Bounds(200, 0, 80, 22)});
        ComboPick = NewControl<gui::TComboBox>(this, {.Bounds = Bounds(200, 30, 80, 22)},
                                               {.Style = gui::TComboBoxStyle::csDropDownList, .DropDownCount = 2});
        ComboLong = NewControl<gui::TComboBox>(this, {.Bounds = Bounds(200, 60, 80, 22)},
                                               {.Style = gui::TComboBoxStyle::csDropDownList, .DropDownCount = 16});
        for (gui::TComboBox* c : {ComboPick, ComboLong})
            for (int i = 0; i < 20; ++i) c->Add(L"項目" + std::to_wstring(i));

        TabsTop = NewControl<gui::TTabControl>(this, {.Bounds = Bounds(300, 0, 150, 60)});
        PagesBottom = NewControl<gui::TPageControl>(this, {.Bounds = Bounds(300, 60, 150, 60)},
                                                    {.TabPosition = gui::TTabPosition::tpBottom});
        BarPlain = NewControl<gui::TToolBar>(this, {.Bounds = Bounds(300, 130, 150, 26)});
        BarFixed = NewControl<gui::TToolBar>(this, {.Bounds = Bounds(300, 160, 150, 26)},
                                             {.ShowCaptions = false, .Wrapable = false});

        ViewPlain = NewControl<gui::TListView>(this, {.Bounds = Bounds(460, 0, 200, 80)});
        ViewIcons = NewControl<gui::TListView>(this, {.Bounds = Bounds(460, 80, 200, 80)},
                                               {.ViewStyle = gui::TViewStyle::vsIcon, .RowSelect = false,
                                                .SortedAscending = true, .AutoArrange = false});
        ViewReport = NewControl<gui::TListView>(
            this, {.Bounds = Bounds(460, 160, 200, 80)},
            {.GridLines = true, .Columns = {{L"名前", 70}, {L"場所", 90}, {L"種類", 40}}});
        UpDownPlain = NewControl<gui::TUpDown>(this, {.Bounds = Bounds(460, 250, 17, 22)});
        UpDownWrap = NewControl<gui::TUpDown>(this, {.Bounds = Bounds(480, 250, 17, 22)}, {.Wrap = true});

        GroupOneColumn = NewControl<gui::TRadioGroup>(this, {.Caption = L"一列", .Bounds = Bounds(0, 300, 200, 80)});
        GroupTwoColumns = NewControl<gui::TRadioGroup>(
            this, {.Caption = L"二列", .Bounds = Bounds(200, 300, 200, 80)}, {.Columns = 2});
        for (gui::TRadioGroup* g : {GroupOneColumn, GroupTwoColumns}) g->SetItems({L"左", L"右"});

        PanelBevel = NewControl<gui::TPanel>(this, {.Bounds = Bounds(0, 400, 100, 60)});
        InBevel = NewControl<gui::TPanel>(this, {.Parent = PanelBevel, .Align = gui::TAlign::alClient});
        PanelHolder = NewControl<gui::TPanel>(this, {.Bounds = Bounds(100, 400, 100, 60)}, gui::kHolderPanel);
        InHolder = NewControl<gui::TPanel>(this, {.Parent = PanelHolder, .Align = gui::TAlign::alClient});
        PanelCaption = NewControl<gui::TPanel>(this, {.Caption = L"■■■■", .Bounds = Bounds(200, 400, 100, 60)},
                                               {.BevelOuter = gui::TBevelCut::bvNone});

        DualPlain = NewControl<TDualListBox>(this, {.Bounds = Bounds(460, 300, 80, 80)});
        DualNoBar = NewControl<TDualListBox>(this, {.Bounds = Bounds(560, 300, 80, 80)}, {.HideScrollBar = true});

        BarButtons = NewControl<gui::TToolBar>(this, {.Bounds = Bounds(0, 480, 600, 26)}, {.Wrapable = false});
        DropMenu = new gui::TPopupMenu(this);
        gui::NewMenuItem(this, DropMenu->Items(), {.Caption = L"項目"});
        gui::NewToolButton(this, BarButtons, {.Name = L"TBPlain", .Caption = L"普通", .Hint = L"普通のボタン",
                                              .ImageIndex = I_IMAGENONE,
                                              .OnClick = [this](gui::TToolButton*) { ++Clicks; }});
        gui::NewToolButton(this, BarButtons, {.Name = L"TBLeft", .Caption = L"左", .ImageIndex = I_IMAGENONE,
                                              .Style = gui::TToolButtonStyle::tbsCheck, .Grouped = true,
                                              .Down = true, .Wrap = true});
        gui::NewToolButton(this, BarButtons, {.Name = L"TBRight", .Caption = L"右", .ImageIndex = I_IMAGENONE,
                                              .Style = gui::TToolButtonStyle::tbsCheck, .Grouped = true});
        gui::NewToolButton(this, BarButtons, {.Name = L"TBOpen", .Caption = L"開く", .ImageIndex = I_IMAGENONE,
                                              .Style = gui::TToolButtonStyle::tbsDropDown, .DropdownMenu = DropMenu});
    }
};

TArgsTestForm* ArgsTestForm = nullptr;

DWORD StyleOf(const gui::TWinControl* c) { return static_cast<DWORD>(::GetWindowLongW(c->Handle(), GWL_STYLE)); }
DWORD ExStyleOf(const gui::TWinControl* c) {
    return static_cast<DWORD>(::GetWindowLongW(c->Handle(), GWL_EXSTYLE));
}
bool Has(DWORD style, DWORD bits) { return (style & bits) == bits; }

// The pixels that are not the button face when the panel paints itself.
int InkPixels(gui::TPanel* panel) {
    const int w = panel->ClientWidth(), h = panel->ClientHeight();
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SendMessageW(panel->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    int ink = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (::GetPixel(dc, x, y) != face) ++ink;
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return ink;
}

class ControlArgs : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        app_.SetTitle(L"ControlArgsTest");
        app_.CreateForm(ArgsTestForm);
        form_ = ArgsTestForm;
        form_->Show();
    }
    void TearDown() override { app_.DestroyForms(); }

    gui::TApplication app_;
    TArgsTestForm* form_ = nullptr;
};

TEST_F(ControlArgs, LabelAlignmentAndAccelerator) {
    const DWORD plain = StyleOf(form_->LabelPlain), right = StyleOf(form_->LabelRight),
                centre = StyleOf(form_->LabelCentre);
    EXPECT_EQ(plain & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
    EXPECT_EQ(right & SS_TYPEMASK, static_cast<DWORD>(SS_RIGHT));
    EXPECT_EQ(centre & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
    EXPECT_TRUE(Has(plain, SS_NOPREFIX)) << "\"&\" shows itself by default";
    EXPECT_FALSE(Has(right, SS_NOPREFIX)) << "\"&\" marks the accelerator";
}

TEST_F(ControlArgs, EditBorderAndWordWrap) {
    EXPECT_TRUE(Has(ExStyleOf(form_->EditPlain), WS_EX_CLIENTEDGE));
    EXPECT_FALSE(Has(ExStyleOf(form_->EditBare), WS_EX_CLIENTEDGE));
    EXPECT_FALSE(Has(StyleOf(form_->MemoWrapped), WS_HSCROLL));
    EXPECT_FALSE(Has(StyleOf(form_->MemoWrapped), ES_AUTOHSCROLL));
    EXPECT_TRUE(Has(StyleOf(form_->MemoLong), WS_HSCROLL | ES_AUTOHSCROLL));
    EXPECT_FALSE(Has(StyleOf(form_->RichWrapped), ES_AUTOHSCROLL));
    EXPECT_TRUE(Has(StyleOf(form_->RichLong), ES_AUTOHSCROLL));

    // A line far wider than the box: wrapped it takes several lines, else one.
    const std::wstring line(60, L'x');
    for (gui::TMemo* m : {form_->MemoWrapped, form_->MemoLong}) m->SetText(line);
    for (gui::TRichEdit* r : {form_->RichWrapped, form_->RichLong}) r->SetText(line);
    auto lines = [](gui::TWinControl* c) { return c->Perform(EM_GETLINECOUNT); };
    EXPECT_GT(lines(form_->MemoWrapped), 1);
    EXPECT_EQ(lines(form_->MemoLong), 1);
    EXPECT_GT(lines(form_->RichWrapped), 1);
    EXPECT_EQ(lines(form_->RichLong), 1);
}

TEST_F(ControlArgs, ListBoxStyleSortingSelectionAndRows) {
    EXPECT_FALSE(Has(StyleOf(form_->ListPlain), LBS_SORT));
    EXPECT_FALSE(Has(StyleOf(form_->ListPlain), LBS_OWNERDRAWFIXED));
    EXPECT_TRUE(Has(StyleOf(form_->ListSorted), LBS_SORT));
    for (const wchar_t* t : {L"c", L"a", L"b"}) {
        form_->ListSorted->Add(t);
        form_->ListPlain->Add(t);
    }
    EXPECT_EQ(form_->ListSorted->Item(0), L"a");
    EXPECT_EQ(form_->ListSorted->Item(2), L"c");
    EXPECT_EQ(form_->ListPlain->Item(0), L"c") << "unsorted keeps the order of adding";

    EXPECT_TRUE(Has(StyleOf(form_->ListMulti), LBS_EXTENDEDSEL));
    EXPECT_TRUE(form_->ListMulti->MultiSelect());
    EXPECT_FALSE(form_->ListPlain->MultiSelect());

    EXPECT_TRUE(Has(StyleOf(form_->ListRows), LBS_OWNERDRAWFIXED));
    form_->ListRows->Add(L"一行");
    EXPECT_EQ(form_->ListRows->ItemHeight(), 27);
    EXPECT_TRUE(Has(StyleOf(form_->ListChecks), LBS_OWNERDRAWFIXED | LBS_SORT))
        << "a check list is owner-drawn whatever its style says";
}

TEST_F(ControlArgs, ComboBoxStyleAndDropDownRows) {
    EXPECT_EQ(StyleOf(form_->ComboPlain) & 3u, static_cast<DWORD>(CBS_DROPDOWN));
    EXPECT_EQ(StyleOf(form_->ComboPick) & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
    RECT two{}, sixteen{};
    form_->ComboPick->Perform(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&two));
    form_->ComboLong->Perform(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&sixteen));
    EXPECT_GE((sixteen.bottom - sixteen.top) - (two.bottom - two.top), 14 * 18)
        << "two rows: " << two.bottom - two.top << ", sixteen rows: " << sixteen.bottom - sixteen.top;
}

TEST_F(ControlArgs, TabPositionAndToolBarLayout) {
    EXPECT_FALSE(Has(StyleOf(form_->TabsTop), TCS_BOTTOM));
    EXPECT_TRUE(Has(StyleOf(form_->PagesBottom), TCS_BOTTOM));
    EXPECT_TRUE(Has(StyleOf(form_->BarPlain), TBSTYLE_LIST | TBSTYLE_WRAPABLE));
    EXPECT_FALSE(Has(StyleOf(form_->BarFixed), TBSTYLE_LIST));
    EXPECT_FALSE(Has(StyleOf(form_->BarFixed), TBSTYLE_WRAPABLE));
    form_->BarFixed->SetShowCaptions(true);
    EXPECT_TRUE(Has(StyleOf(form_->BarFixed), TBSTYLE_LIST)) << "captions can still be shown later";
}

TEST_F(ControlArgs, ListViewStylesAndColumns) {
    const DWORD plain = StyleOf(form_->ViewPlain), icons = StyleOf(form_->ViewIcons);
    EXPECT_EQ(plain & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(Has(plain, LVS_AUTOARRANGE));
    EXPECT_FALSE(Has(plain, LVS_SORTASCENDING));
    EXPECT_EQ(icons & LVS_TYPEMASK, static_cast<DWORD>(LVS_ICON));
    EXPECT_TRUE(Has(icons, LVS_SORTASCENDING));
    EXPECT_FALSE(Has(icons, LVS_AUTOARRANGE));

    auto extended = [](gui::TListView* v) { return static_cast<DWORD>(v->Perform(LVM_GETEXTENDEDLISTVIEWSTYLE)); };
    EXPECT_EQ(extended(form_->ViewPlain) & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT));
    EXPECT_EQ(extended(form_->ViewIcons) & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), 0u);
    EXPECT_TRUE(Has(extended(form_->ViewReport), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));

    auto* header = reinterpret_cast<HWND>(form_->ViewReport->Perform(LVM_GETHEADER));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
    const int widths[] = {70, 90, 40};
    const wchar_t* captions[] = {L"名前", L"場所", L"種類"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form_->ViewReport->Perform(LVM_GETCOLUMNWIDTH, i), widths[i]);
        wchar_t text[32] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 32;
        form_->ViewReport->Perform(LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(text, captions[i]);
    }
    form_->ViewReport->AddColumn(L"追加", 30);
    EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4) << "columns added later follow";
    const int row = form_->ViewReport->AddItem(L"メモ帳");
    form_->ViewReport->SetSubItem(row, 3, L"四列目");
    EXPECT_EQ(form_->ViewReport->ItemText(row, 3), L"四列目");
}

TEST_F(ControlArgs, UpDownWrapsPastItsEnds) {
    EXPECT_FALSE(Has(StyleOf(form_->UpDownPlain), UDS_WRAP));
    EXPECT_TRUE(Has(StyleOf(form_->UpDownWrap), UDS_WRAP));
}

TEST_F(ControlArgs, RadioGroupColumns) {
    const RECT a1 = form_->GroupOneColumn->Button(0)->BoundsRect(), b1 = form_->GroupOneColumn->Button(1)->BoundsRect();
    EXPECT_EQ(a1.left, b1.left);
    EXPECT_GE(b1.top, a1.bottom) << "one column: the second below the first";
    const RECT a2 = form_->GroupTwoColumns->Button(0)->BoundsRect(),
               b2 = form_->GroupTwoColumns->Button(1)->BoundsRect();
    EXPECT_EQ(a2.top, b2.top);
    EXPECT_GE(b2.left, a2.right) << "two columns: side by side";
}

TEST_F(ControlArgs, PanelBevelAndCaption) {
    form_->PanelBevel->Realign();
    form_->PanelHolder->Realign();
    const RECT bevel = form_->InBevel->BoundsRect(), holder = form_->InHolder->BoundsRect();
    EXPECT_EQ(bevel.left, 1) << "a bevel keeps its edge free";
    EXPECT_EQ(form_->InBevel->Width(), form_->PanelBevel->ClientWidth() - 2);
    EXPECT_EQ(holder.left, 0) << "a holder gives its children the whole client area";
    EXPECT_EQ(holder.top, 0);
    EXPECT_EQ(form_->InHolder->Width(), form_->PanelHolder->ClientWidth());
    EXPECT_EQ(form_->InHolder->Height(), form_->PanelHolder->ClientHeight());

    EXPECT_GT(InkPixels(form_->PanelCaption), 20) << "the caption is drawn";
    form_->PanelHolder->SetCaption(L"■■■■");
    EXPECT_EQ(InkPixels(form_->PanelHolder), 0) << "a holder draws neither bevel nor caption";
    EXPECT_GT(InkPixels(form_->PanelBevel), 0) << "the bevel is drawn";
}

TEST_F(ControlArgs, DualListBoxWithoutItsScrollBar) {
    // More rows than the lists show: a list with its bar shows it.
    for (int i = 0; i < 30; ++i)
        for (TDualListBox* list : {form_->DualPlain, form_->DualNoBar}) list->Add(std::to_wstring(i));
    EXPECT_TRUE(Has(StyleOf(form_->DualPlain), WS_VSCROLL));
    EXPECT_FALSE(Has(StyleOf(form_->DualNoBar), WS_VSCROLL));
    EXPECT_TRUE(form_->DualNoBar->HideScrollBar());
}

TEST_F(ControlArgs, ToolButtonsMadeFromTheirArguments) {
    gui::TToolBar* bar = form_->BarButtons;
    ASSERT_EQ(bar->ButtonCount(), 4);
    auto state = [bar](int i) {
        TBBUTTON b{};
        bar->Perform(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        return b;
    };
    auto text = [bar](gui::TToolButton* b) {
        wchar_t buffer[32] = {};
        bar->Perform(TB_GETBUTTONTEXTW, b->Command(), reinterpret_cast<LPARAM>(buffer));
        return std::wstring(buffer);
    };
    auto* plain = form_->Find<gui::TToolButton>(L"TBPlain");
    auto* left = form_->Find<gui::TToolButton>(L"TBLeft");
    auto* right = form_->Find<gui::TToolButton>(L"TBRight");
    auto* open = form_->Find<gui::TToolButton>(L"TBOpen");
    ASSERT_TRUE(plain && left && right && open);
    EXPECT_EQ(bar->Buttons(0), plain) << "appended in the order made";
    EXPECT_EQ(bar->Buttons(3), open);
    EXPECT_EQ(text(plain), L"普通");
    EXPECT_EQ(text(right), L"右");
    EXPECT_EQ(plain->Hint, L"普通のボタン");
    EXPECT_EQ(state(0).iBitmap, I_IMAGENONE);

    EXPECT_TRUE(Has(state(1).fsStyle, BTNS_CHECK | BTNS_GROUP));
    EXPECT_TRUE(Has(state(1).fsState, TBSTATE_CHECKED)) << "made down";
    EXPECT_TRUE(Has(state(1).fsState, TBSTATE_WRAP));
    EXPECT_TRUE(left->Down());
    EXPECT_FALSE(Has(state(2).fsState, TBSTATE_CHECKED | TBSTATE_WRAP));
    EXPECT_TRUE(Has(state(3).fsStyle, BTNS_DROPDOWN));
    EXPECT_EQ(static_cast<gui::TPopupMenu*>(open->DropdownMenu), form_->DropMenu);
    EXPECT_GE(::SendMessageW(bar->Handle(), TB_GETROWS, 0, 0), 2) << "a new row after the wrapping button";

    plain->Click();
    EXPECT_EQ(form_->Clicks, 1);
}

}  // namespace
