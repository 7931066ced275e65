// THisEnvPage: the history window's settings page, its controls, what each
// control writes into the settings when it changes, and what the page does
// when it is entered and left.
#include "app/history/HisEnvPage.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/His.h"
#include "app/history/TrayClicksOff.h"
#include "app/monitors/RAM.h"
#include "gui/Application.h"
#include "gui/Callback.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/TextHelpers.h"

using gui::Bounds;

namespace {

const wchar_t* const kCategoryNames[kHisCategories] = {L"クリップボード", L"ファイル", L"プログラム", L"フォルダ",
                                                       L"エクスプローラ"};
const int kProgramsShellFolder = 5;  // "Programs" in ShellFolderNames

std::wstring RootOf(const std::wstring& item) { return item.substr(0, std::min<size_t>(3, item.size())); }

void Fill(gui::TListBox& list, const gui::TStringList& items) {
    list.Clear();
    for (int i = 0; i < items.Count(); ++i) list.Add(items[i]);
}

}  // namespace

// ------------------------------------------------------------- TWrapUpDown

void TWrapUpDown::SetLimits(int min, int max, int increment) {
    min_ = min;
    max_ = max;
    increment_ = std::max(1, increment);
    SetRange(min, max);
    SetIncrement(increment_);
}

void TWrapUpDown::ParentMessage(gui::TParentMessage& m) {
    if (m.Msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
        if (nm->hdr.code == static_cast<UINT>(UDN_DELTAPOS)) {
            // The step is made here, so both ends wrap exactly to the other.
            const int now = Position();
            int next = now + (nm->iDelta > 0 ? increment_ : nm->iDelta < 0 ? -increment_ : 0);
            if (next > max_) next = now >= max_ ? min_ : max_;
            if (next < min_) next = now <= min_ ? max_ : min_;
            m.Result = 1;
            m.Handled = true;
            if (next != now) {
                SetPosition(next);
                RunHandler(OnChange, this);
            }
            return;
        }
    }
    gui::TUpDown::ParentMessage(m);
}

// -------------------------------------------------------------- THisEnvPage

THisEnvPage::THisEnvPage(THisForm& form) : gui::TComponent(&form), form_(form) { Name = L"EnvPage"; }

THisSettings& THisEnvPage::Settings() { return form_.Lists.Settings; }

void THisEnvPage::CreateControls() {
    gui::TTabSheet* sheet = form_.TabSheetEnv;
    gui::TComponent* owner = &form_;
    using gui::NewControl;
    // The page's pick lists: a drop-down list of up to 16 rows.
    const gui::TComboBoxArgs pickList{.Style = gui::TComboBoxStyle::csDropDownList, .DropDownCount = 16};
    // The sorted lists of what is not recorded, scrolling both ways.
    auto skipList = [&](gui::TWinControl* parent, const wchar_t* name, RECT r, bool visible) {
        return NewControl<gui::TListBox>(owner, {.Parent = parent, .Name = name, .Bounds = r, .Visible = visible,
                                                 .Style = WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT},
                                         {.Sorted = true});
    };

    // --- what is not recorded ---------------------------------------------------
    GroupBoxWatch = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxWatch", .Caption = L"[監視ドライブ/フォルダ(&C)]",
                .Bounds = Bounds(6, 4, 284, 550)});
    GroupBoxDrive = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWatch, .Name = L"GroupBoxDrive", .Caption = L"[監視ドライブ]",
                .Bounds = Bounds(8, 20, 268, 170)});
    ListBoxDrive = NewControl<gui::TCheckListBox>(
        owner, {.Parent = GroupBoxDrive, .Name = L"ListBoxDrive", .Bounds = Bounds(8, 20, 252, 110),
                .Hint = L"チェックマークをオフで監視しない", .Style = WS_VSCROLL | LBS_NOINTEGRALHEIGHT},
        {.Sorted = true});
    ListBoxDrive->ShowHint = true;
    ListBoxNoDrive = skipList(GroupBoxDrive, L"ListBoxNoDrive", Bounds(0, 0, 10, 10), false);
    ChkNetwork = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxDrive, .Name = L"ChkNetwork", .Caption = L"ネットワーク",
                .Bounds = Bounds(8, 138, 150, 22)});
    ChkNetwork->OnClick = [this](gui::TCheckBox* c) {
        Settings().ChkNetwork = c->Checked();
        ChkNetworkMouseUp();
    };
    BtnHDD = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxDrive, .Name = L"BtnHDD", .Caption = L"HDD", .Bounds = Bounds(180, 136, 80, 26)});
    BtnHDD->OnClick = [this](gui::TButton*) { BtnHDDClick(); };

    GroupBoxDir = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWatch, .Name = L"GroupBoxDir", .Caption = L"[監視しないフォルダ]",
                .Bounds = Bounds(8, 196, 268, 170)});
    ListBoxDir = skipList(GroupBoxDir, L"ListBoxDir", Bounds(8, 20, 252, 110), true);
    BtnDirAdd = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxDir, .Name = L"BtnDirAdd", .Caption = L"追加", .Bounds = Bounds(94, 136, 80, 26)});
    BtnDirDel = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxDir, .Name = L"BtnDirDel", .Caption = L"削除", .Bounds = Bounds(180, 136, 80, 26)});
    BtnDirAdd->OnClick = [this](gui::TButton*) { BtnDirAddClick(); };
    BtnDirDel->OnClick = [this](gui::TButton*) { BtnDirDelClick(); };
    ListBoxDir->OnClick = [this](gui::TListBox* l) { BtnDirDel->SetEnabled(l->ItemIndex() >= 0); };

    GroupBoxExe = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWatch, .Name = L"GroupBoxExe", .Caption = L"[監視しないプログラム]",
                .Bounds = Bounds(8, 372, 268, 170)});
    ListBoxExe = skipList(GroupBoxExe, L"ListBoxExe", Bounds(8, 20, 252, 110), true);
    BtnExeDel = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxExe, .Name = L"BtnExeDel", .Caption = L"削除", .Bounds = Bounds(180, 136, 80, 26)});
    BtnExeAdd = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxExe, .Name = L"BtnExeAdd", .Caption = L"追加", .Bounds = Bounds(94, 136, 80, 26)});
    BtnExeAdd->OnClick = [this](gui::TButton*) { BtnExeAddClick(); };
    BtnExeDel->OnClick = [this](gui::TButton*) { BtnExeDelClick(); };
    ListBoxExe->OnClick = [this](gui::TListBox* l) { BtnExeDel->SetEnabled(l->ItemIndex() >= 0); };
    BtnDirDel->SetEnabled(false);
    BtnExeDel->SetEnabled(false);

    // --- the clipboard ------------------------------------------------------------
    GroupBoxClip = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxClip", .Caption = L"[クリップボード(&D)]",
                .Bounds = Bounds(296, 4, 290, 262)});
    // A group of its own holding a number shown read-only, its up-down and its unit.
    auto numberGroup = [&](gui::TGroupBox*& box, const wchar_t* boxName, const wchar_t* caption, int y,
                       TNumEdit*& num, const wchar_t* numName, TWrapUpDown*& ud, const wchar_t* udName,
                       gui::TLabel*& unit, const wchar_t* unitName, const wchar_t* unitCaption, int min, int max,
                       int step, void (THisEnvPage::*click)()) {
        box = NewControl<gui::TGroupBox>(
            owner, {.Parent = GroupBoxClip, .Name = boxName, .Caption = caption, .Bounds = Bounds(8, y, 274, 50)});
        num = NewControl<TNumEdit>(owner, {.Parent = box, .Name = numName, .Bounds = Bounds(10, 20, 60, 22)});
        MakeReadOnlyDisplay(*num, 4);
        num->SetCtl3D(false);
        num->SetDecimalLength(0);
        ud = NewControl<TWrapUpDown>(owner, {.Parent = box, .Name = udName, .Bounds = Bounds(72, 19, 17, 24)});
        ud->SetLimits(min, max, step);
        ud->OnChange = [this, click](gui::TUpDown*) { (this->*click)(); };
        unit = NewControl<gui::TLabel>(
            owner, {.Parent = box, .Name = unitName, .Caption = unitCaption, .Bounds = Bounds(96, 23, 40, 18)});
    };
    numberGroup(GroupBoxWait, L"GroupBoxWait", L"[貼り付けの遅延時間(&N)]", 20, TxtWait, L"TxtWait", UDWait, L"UDWait",
            LabelWait, L"LabelWait", L"ms", 0, 1000, 100, &THisEnvPage::UDWaitClick);
    numberGroup(GroupBoxMaxClip, L"GroupBoxMaxClip", L"[文字列の最大値制限(&M)]", 74, TxtMaxClip, L"TxtMaxClip",
            UDMaxClip, L"UDMaxClip", LabelMaxClip, L"LabelMaxClip", L"KB", 8, 256, 8, &THisEnvPage::UDMaxClipClick);
    RadioGroupPaste = NewControl<gui::TRadioGroup>(
        owner, {.Parent = GroupBoxClip, .Name = L"RadioGroupPaste", .Caption = L"[貼り付けキー(&O)]",
                .Bounds = Bounds(8, 128, 274, 50)},
        {.Columns = 2});
    RadioGroupPaste->SetItems({L"[Ctrl] + [V]", L"[Shift] + [Insert]"});
    RadioGroupPaste->OnClick = [this](gui::TRadioGroup* g) { Settings().RadioGroupPaste = std::max(0, g->ItemIndex()); };
    GroupBoxWave = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxClip, .Name = L"GroupBoxWave", .Caption = L"[効果音(&P)]",
                .Bounds = Bounds(8, 182, 274, 74)});
    CHKWave = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxWave, .Name = L"CHKWave", .Caption = L"有効", .Bounds = Bounds(10, 20, 100, 22)});
    CHKWave->OnClick = [this](gui::TCheckBox* c) { Settings().CHKWave = c->Checked(); };
    EditWave = NewControl<gui::TEdit>(
        owner, {.Parent = GroupBoxWave, .Name = L"EditWave", .Bounds = Bounds(10, 44, 188, 22)});
    EditWave->OnChange = [this](gui::TEdit* e) { Settings().EditWave = e->Text(); };
    BtnWave = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxWave, .Name = L"BtnWave", .Caption = L"参照", .Bounds = Bounds(204, 42, 62, 26)});
    BtnWave->OnClick = [this](gui::TButton*) { BtnWaveClick(); };

    // --- the lists and the tray menu -------------------------------------------
    GroupBoxHisNum = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxHisNum", .Caption = L"[履歴数(&J)]",
                .Bounds = Bounds(296, 270, 290, 100)});
    CBHisList = NewControl<gui::TComboBox>(
        owner, {.Parent = GroupBoxHisNum, .Name = L"CBHisList", .Bounds = Bounds(10, 20, 180, 24)}, pickList);
    for (const wchar_t* name : kCategoryNames) CBHisList->Add(name);
    CBHisList->SetItemIndex(0);
    CBHisList->OnChange = [this](gui::TComboBox*) { CBHisListChange(); };
    CBHisListNum = NewControl<gui::TComboBox>(
        owner, {.Parent = GroupBoxHisNum, .Name = L"CBHisListNum", .Bounds = Bounds(196, 20, 74, 24)}, pickList);
    for (int n = 10; n <= 100; n += 10) CBHisListNum->Add(std::to_wstring(n));
    CBHisListNum->OnChange = [this](gui::TComboBox*) { CBHisListNumChange(); };
    CHKAutoDel = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxHisNum, .Name = L"CHKAutoDel", .Caption = L"履歴リスト自動削除",
                .Bounds = Bounds(10, 50, 200, 22)});
    CHKAutoDel->OnClick = [this](gui::TCheckBox* c) { Settings().CHKAutoDel = c->Checked(); };
    CHKNoSave = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxHisNum, .Name = L"CHKNoSave", .Caption = L"履歴を保存しない",
                .Bounds = Bounds(10, 74, 200, 22)});
    CHKNoSave->OnClick = [this](gui::TCheckBox* c) { Settings().CHKNoSave = c->Checked(); };

    GroupBoxPasteDir = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxPasteDir", .Caption = L"[フォルダ移動のタイミング(&K)]",
                .Bounds = Bounds(296, 374, 290, 52)});
    CBPasteDir = NewControl<gui::TComboBox>(
        owner, {.Parent = GroupBoxPasteDir, .Name = L"CBPasteDir", .Bounds = Bounds(10, 20, 180, 24)}, pickList);
    for (const wchar_t* s : {L"無効", L"やや遅く", L"遅く", L"やや速く", L"速く"}) CBPasteDir->Add(s);
    CBPasteDir->SetItemIndex(0);
    CBPasteDir->OnChange = [this](gui::TComboBox* c) { Settings().CBPasteDir = std::max(0, c->ItemIndex()); };

    GroupBoxMenuItem = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxMenuItem", .Caption = L"[履歴メニュー項目(&L)]",
                .Bounds = Bounds(296, 430, 290, 96)});
    for (int c = 0; c < kHisCategories; ++c) {
        const std::wstring name = L"CHKHisMenuItem" + std::to_wstring(c);
        gui::TCheckBox* box = NewControl<gui::TCheckBox>(
            owner, {.Parent = GroupBoxMenuItem, .Name = name, .Caption = kCategoryNames[c],
                    .Bounds = Bounds(10 + (c % 2) * 136, 20 + (c / 2) * 24, 130, 22)});
        box->SetChecked(true);
        box->OnClick = [this](gui::TCheckBox* b) { CHKHisMenuItemClick(b); };
    }
    // The tray menu's category boxes, found by their names.
    for (int c = 0; c < kHisCategories; ++c) {
        MCHKHisMenuItem[c] = form_.Find<gui::TCheckBox>(L"CHKHisMenuItem" + std::to_wstring(c));
        MCHKHisMenuItem[c]->Tag = c;
    }

    GroupBoxToolBar = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxToolBar", .Caption = L"[ツールバー(&Q)]",
                .Bounds = Bounds(296, 530, 290, 52)});
    CHKTooBarList = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxToolBar, .Name = L"CHKTooBarList", .Caption = L"キャプションを右に表示",
                .Bounds = Bounds(10, 22, 260, 22)});
    CHKTooBarList->SetChecked(true);
    CHKTooBarList->OnClick = [this](gui::TCheckBox* c) { Settings().CHKTooBarList = c->Checked(); };

    // --- the window -----------------------------------------------------------------
    GroupBoxWindow = NewControl<gui::TGroupBox>(
        owner, {.Parent = sheet, .Name = L"GroupBoxWindow", .Caption = L"[履歴ウィンドウ(&A)]",
                .Bounds = Bounds(592, 4, 290, 550)});
    RadioGroupStart = NewControl<gui::TRadioGroup>(
        owner, {.Parent = GroupBoxWindow, .Name = L"RadioGroupStart", .Caption = L"[起動時(&E)]",
                .Bounds = Bounds(8, 20, 274, 50)},
        {.Columns = 2});
    RadioGroupStart->SetItems({L"表示しない", L"表示する"});
    RadioGroupStart->SetItemIndex(1);
    RadioGroupStart->OnClick = [this](gui::TRadioGroup* g) { Settings().RadioGroupStart = std::max(0, g->ItemIndex()); };

    GroupBoxTrans = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWindow, .Name = L"GroupBoxTrans", .Caption = L"[半透明度(&F)]",
                .Bounds = Bounds(8, 74, 274, 64)});
    TrackBarTrans = NewControl<gui::TTrackBar>(
        owner, {.Parent = GroupBoxTrans, .Name = L"TrackBarTrans", .Bounds = Bounds(8, 20, 196, 36)});
    TrackBarTrans->SetRange(20, 100);
    TrackBarTrans->Perform(TBM_SETLINESIZE, 0, 5);
    TrackBarTrans->Perform(TBM_SETPAGESIZE, 0, 10);
    TrackBarTrans->SetFrequency(5);
    TrackBarTrans->SetPosition(100);
    TrackBarTrans->OnChange = [this](gui::TTrackBar*) { TrackBarTransChange(); };
    LabelTrans = NewControl<gui::TLabel>(
        owner, {.Parent = GroupBoxTrans, .Name = L"LabelTrans", .Caption = L"100%",
                .Bounds = Bounds(210, 28, 56, 18)});
    // The opacity group is offered; its controls follow it.
    GroupBoxTrans->SetEnabled(true);
    TrackBarTrans->SetEnabled(GroupBoxTrans->Enabled());
    LabelTrans->SetEnabled(GroupBoxTrans->Enabled());

    GroupBoxFont = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWindow, .Name = L"GroupBoxFont", .Caption = L"フォント(&G)]",
                .Bounds = Bounds(8, 142, 274, 56)});
    BtnFont = NewControl<gui::TButton>(
        owner, {.Parent = GroupBoxFont, .Name = L"BtnFont", .Caption = L"", .Bounds = Bounds(10, 20, 254, 28)});
    BtnFont->OnClick = [this](gui::TButton*) { BtnFontClick(); };

    GroupBoxHotKey = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWindow, .Name = L"GroupBoxHotKey", .Caption = L"[ホットキー(&B)]",
                .Bounds = Bounds(8, 202, 274, 208)});
    // A hot-key field with its caption above it; a key pressed in it is taken as the setting.
    auto hotKeyField = [&](gui::TLabel*& lbl, const wchar_t* labelName, const wchar_t* caption, gui::THotKeyEdit*& edit,
                      const wchar_t* editName, std::wstring THisSettings::*text, int y) {
        lbl = NewControl<gui::TLabel>(
            owner, {.Parent = GroupBoxHotKey, .Name = labelName, .Caption = caption, .Bounds = Bounds(10, y, 254, 18)});
        edit = NewControl<gui::THotKeyEdit>(
            owner, {.Parent = GroupBoxHotKey, .Name = editName, .Bounds = Bounds(10, y + 18, 254, 22)});
        edit->OnKeyDown = [this, edit, text](gui::TControl*, WORD& key, gui::TShiftState shift) {
            HotKeyEditKeyDown(edit->Handle(), key, shift);
            Settings().*text = edit->Text();
        };
    };
    hotKeyField(LabelHTKShow, L"LabelHTKShow", L"履歴ウィンドウの表示 ", EditHTKShow, L"EditHTKShow",
           &THisSettings::EditHTKShow, 20);
    hotKeyField(LabelHTKMenu, L"LabelHTKMenu", L"履歴メニューの表示/非表示   ", EditHTKMenu, L"EditHTKMenu",
           &THisSettings::EditHTKMenu, 64);
    hotKeyField(LabelHTKLaunch, L"LabelHTKLaunch", L"プログラムランチャの表示 /非表示", EditHTKLaunch, L"EditHTKLaunch",
           &THisSettings::EditHTKLaunch, 108);
    CHKHookDesktop = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxHotKey, .Name = L"CHKHookDesktop",
                .Caption = L"デスクトップの中ボタンクリック ＋キー", .Bounds = Bounds(10, 152, 254, 22)});
    CHKHookDesktop->OnClick = [this](gui::TCheckBox*) { CHKHookDesktopClick(); };
    ComboBoxHook = NewControl<gui::TComboBox>(
        owner, {.Parent = GroupBoxHotKey, .Name = L"ComboBoxHook", .Bounds = Bounds(10, 176, 160, 24)}, pickList);
    for (const wchar_t* s : {L"組み合わせキーなし", L"+Ctrl", L"+Shift"}) ComboBoxHook->Add(s);
    ComboBoxHook->SetItemIndex(0);
    ComboBoxHook->SetEnabled(false);
    ComboBoxHook->OnChange = [this](gui::TComboBox* c) { Settings().ComboBoxHook = std::max(0, c->ItemIndex()); };

    GroupBoxAutoMin = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWindow, .Name = L"GroupBoxAutoMin", .Caption = L"[自動最小化(&H)]",
                .Bounds = Bounds(8, 414, 274, 52)});
    CBAutoMin = NewControl<gui::TComboBox>(
        owner, {.Parent = GroupBoxAutoMin, .Name = L"CBAutoMin", .Bounds = Bounds(10, 20, 120, 24)}, pickList);
    CBAutoMin->Add(L"しない");
    for (int n = 1; n <= 60; ++n) CBAutoMin->Add(std::to_wstring(n) + L"秒");
    CBAutoMin->SetItemIndex(0);
    CBAutoMin->OnChange = [this](gui::TComboBox* c) { Settings().CBAutoMin = std::max(0, c->ItemIndex()); };
    CHKAutoMin = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxAutoMin, .Name = L"CHKAutoMin", .Caption = L"閉じる",
                .Bounds = Bounds(144, 21, 120, 22)});
    CHKAutoMin->OnClick = [this](gui::TCheckBox* c) { Settings().CHKAutoMin = c->Checked(); };

    GroupBoxIcon = NewControl<gui::TGroupBox>(
        owner, {.Parent = GroupBoxWindow, .Name = L"GroupBoxIcon", .Caption = L"[アイコン表示(&I)]",
                .Bounds = Bounds(8, 470, 274, 52)});
    CHKIconList = NewControl<gui::TCheckBox>(
        owner, {.Parent = GroupBoxIcon, .Name = L"CHKIconList", .Caption = L"履歴リスト、お気に入りリスト",
                .Bounds = Bounds(10, 22, 254, 22)});
    CHKIconList->OnClick = [this](gui::TCheckBox*) { CHKIconListClick(); };
}

void THisEnvPage::Load() {
    THisSettings& s = Settings();
    Fill(*ListBoxNoDrive, s.ListBoxNoDrive);
    ChkNetwork->SetChecked(s.ChkNetwork);
    Fill(*ListBoxDir, s.ListBoxDir);
    Fill(*ListBoxExe, s.ListBoxExe);
    SetListBoxHorizontalExtent(ListBoxDir->Handle());
    SetListBoxHorizontalExtent(ListBoxExe->Handle());
    UDWait->SetPosition(std::clamp(s.UDWait, 0, 1000));
    UDMaxClip->SetPosition(std::clamp(s.UDMaxClip, 8, 256));
    UDWaitClick();
    UDMaxClipClick();
    RadioGroupPaste->SetItemIndex(s.RadioGroupPaste);
    CHKWave->SetChecked(s.CHKWave);
    EditWave->SetText(s.EditWave);
    RadioGroupStart->SetItemIndex(s.RadioGroupStart);
    TrackBarTrans->SetPosition(std::clamp(s.TrackBarTrans, 20, 100));
    LabelTrans->SetCaption(std::to_wstring(TrackBarTrans->Position()) + L"%");
    SetFontButton();
    EditHTKShow->SetText(s.EditHTKShow);
    EditHTKMenu->SetText(s.EditHTKMenu);
    EditHTKLaunch->SetText(s.EditHTKLaunch);
    CHKHookDesktop->SetChecked(s.CHKHookDesktop);
    ComboBoxHook->SetItemIndex(std::clamp(s.ComboBoxHook, 0, 2));
    ComboBoxHook->SetEnabled(s.CHKHookDesktop);
    CBAutoMin->SetItemIndex(std::clamp(s.CBAutoMin, 0, CBAutoMin->Count() - 1));
    CHKAutoMin->SetChecked(s.CHKAutoMin);
    CHKIconList->SetChecked(s.CHKIconList);
    CHKAutoDel->SetChecked(s.CHKAutoDel);
    CHKNoSave->SetChecked(s.CHKNoSave);
    CBPasteDir->SetItemIndex(std::clamp(s.CBPasteDir, 0, CBPasteDir->Count() - 1));
    CHKTooBarList->SetChecked(s.CHKTooBarList);
    // Category 4 has no tab from Vista on: no length to choose, no menu item.
    if (IsVistaOrLater()) {
        if (CBHisList->Count() == kHisCategories) CBHisList->Delete(4);
        MCHKHisMenuItem[4]->SetVisible(false);
        s.MCHKHisMenuItem[4] = false;
    }
    for (int c = 0; c < kHisCategories; ++c) MCHKHisMenuItem[c]->SetChecked(s.MCHKHisMenuItem[c]);
    CBHisList->SetItemIndex(0);
    CBHisListChange();
}

// ------------------------------------------------------ entering and leaving

void THisEnvPage::SetFontButton() {
    const THisSettings& s = Settings();
    BtnFont->SetCaption(s.FontName + L"(" + std::to_wstring(s.FontSize) + L")");
    gui::TFont& f = BtnFont->Font();
    if (!s.FontName.empty()) f.SetName(s.FontName);
    f.SetStyle(static_cast<gui::TFontStyles>(s.FontStyle));
    f.SetColor(static_cast<gui::TColor>(s.FontColor));
    BtnFont->FontChanged();
}

void THisEnvPage::PageChanged() {
    BtnDirDel->SetEnabled(false);
    BtnExeDel->SetEnabled(false);
    ListBoxDir->SetItemIndex(-1);
    ListBoxExe->SetItemIndex(-1);
}

void THisEnvPage::Entered() {
    SetFontButton();
    ListBoxDrive->Clear();
    gui::TStringList drives;
    form_.Proc_GetDriveList(&drives);
    for (int i = 0; i < drives.Count(); ++i) {
        const int row = ListBoxDrive->Add(drives[i]);
        ListBoxDrive->SetChecked(row, ListBoxNoDrive->IndexOf(RootOf(drives[i])) < 0);
    }
}

void THisEnvPage::Left() {
    for (int i = ListBoxDrive->Count() - 1; i >= 0; --i) {
        const std::wstring root = RootOf(ListBoxDrive->Item(i));
        if (ListBoxDrive->Checked(i)) {
            // Every spelling of the root goes, as the pruning knows no case.
            for (int excluded; (excluded = ListBoxNoDrive->IndexOf(root)) >= 0;) ListBoxNoDrive->Delete(excluded);
        } else if (ListBoxNoDrive->IndexOf(root) < 0) {
            ListBoxNoDrive->Add(root);
        }
    }
    CopyToSetting(ListBoxNoDrive, Settings().ListBoxNoDrive);
}

void THisEnvPage::AddExcludedFolder(const std::wstring& folder) {
    AddExclusion(ListBoxDir, Settings().ListBoxDir, folder);
}

void THisEnvPage::AddExcludedProgram(const std::wstring& program) {
    AddExclusion(ListBoxExe, Settings().ListBoxExe, program);
}

void THisEnvPage::AddExclusion(gui::TListBox* list, gui::TStringList& setting, const std::wstring& text) {
    if (text.empty() || list->IndexOf(text) >= 0) return;
    list->Add(text);
    SetListBoxHorizontalExtent(list->Handle());
    CopyToSetting(list, setting);
}

void THisEnvPage::CopyToSetting(gui::TListBox* list, gui::TStringList& setting) {
    setting.Clear();
    for (int i = 0; i < list->Count(); ++i) setting.Add(list->Item(i));
}

// ---------------------------------------------------------------- controls

void THisEnvPage::BtnHDDClick() {
    for (int i = 0; i < ListBoxDrive->Count(); ++i) {
        std::wstring type;
        GetDriveTypeText(RootOf(ListBoxDrive->Item(i)), type);
        ListBoxDrive->SetChecked(i, type == L"HDD");
    }
    ::InvalidateRect(ListBoxDrive->Handle(), nullptr, TRUE);
}

void THisEnvPage::ChkNetworkMouseUp() {
    if (!ChkNetwork->Checked() || !gui::Application) return;
    gui::Application->MessageBox(
        L"＊ネットワークが切断されるとファイル、フォルダの存在確認処理にかなり時間が掛かります。",
        L"Orvandel - 確認", MB_ICONWARNING);
}

void THisEnvPage::ListChanged(gui::TListBox* list, gui::TButton* del, gui::TStringList& setting) {
    CopyToSetting(list, setting);
    SetListBoxHorizontalExtent(list->Handle());
    del->SetEnabled(list->ItemIndex() >= 0);
}

void THisEnvPage::BtnDirAddClick() {
    TrayClicksOff off;
    form_.FolderDlg->Title = L"監視しないフォルダを指定してください。";
    form_.FolderDlg->Root.clear();
    if (!form_.FolderDlg->Execute()) return;
    const std::wstring folder = form_.FolderDlg->FolderName;
    if (folder.empty() || ListBoxDir->IndexOf(folder) >= 0) return;
    ListBoxDir->SetItemIndex(ListBoxDir->Add(folder));
    ListChanged(ListBoxDir, BtnDirDel, Settings().ListBoxDir);
}

void THisEnvPage::BtnExeAddClick() {
    TrayClicksOff off;
    gui::TOpenDialog& dialog = *form_.OpenDialog;
    dialog.Title = L"Orvandel";
    GetShellFolderPath(kProgramsShellFolder, dialog.InitialDir);
    dialog.Filter = L"プログラム|*.exe";
    dialog.FilterIndex = 1;
    dialog.FileName.clear();
    if (!dialog.Execute()) return;
    const std::wstring file = dialog.FileName;
    if (LowerExt(file) != L".exe" || ListBoxExe->IndexOf(file) >= 0) return;
    ListBoxExe->SetItemIndex(ListBoxExe->Add(file));
    ListChanged(ListBoxExe, BtnExeDel, Settings().ListBoxExe);
}

void THisEnvPage::BtnDirDelClick() {
    const int row = ListBoxDir->ItemIndex();
    if (row >= 0) ListBoxDir->Delete(row);
    ListChanged(ListBoxDir, BtnDirDel, Settings().ListBoxDir);
}

void THisEnvPage::BtnExeDelClick() {
    const int row = ListBoxExe->ItemIndex();
    if (row >= 0) ListBoxExe->Delete(row);
    ListChanged(ListBoxExe, BtnExeDel, Settings().ListBoxExe);
}

void THisEnvPage::UDWaitClick() {
    Settings().UDWait = UDWait->Position();
    TxtWait->SetText(std::to_wstring(UDWait->Position()));
}

void THisEnvPage::UDMaxClipClick() {
    Settings().UDMaxClip = UDMaxClip->Position();
    TxtMaxClip->SetText(std::to_wstring(UDMaxClip->Position()));
}

void THisEnvPage::BtnWaveClick() {
    gui::TOpenDialog& dialog = *form_.OpenDialog;
    dialog.Title = L"Orvandel";
    std::wstring windows;
    GetWindowsDir(windows);
    const std::wstring media = windows + L"\\Media";
    const DWORD attributes = ::GetFileAttributesW(media.c_str());
    const bool mediaExists = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    dialog.InitialDir = mediaExists ? media : Settings().MDir;
    dialog.Filter = L"サウンドファイル|*.wav";
    dialog.FilterIndex = 1;
    dialog.FileName.clear();
    if (!dialog.Execute()) return;
    if (LowerExt(dialog.FileName) == L".wav") EditWave->SetText(dialog.FileName);
}

void THisEnvPage::TrackBarTransChange() {
    const int position = TrackBarTrans->Position();
    Settings().TrackBarTrans = position;
    LabelTrans->SetCaption(std::to_wstring(position) + L"%");
    form_.SetAlphaBlend(position < 100, static_cast<BYTE>(std::trunc(position / 100.0 * 255)));
}

void THisEnvPage::BtnFontClick() {
    TrayClicksOff off;
    THisSettings& s = Settings();
    gui::TFontDialog& dialog = *form_.FontDialog;
    dialog.Options = gui::fdEffects | gui::fdLimitSize | gui::fdForceFontExist;
    dialog.MinFontSize = 8;
    dialog.MaxFontSize = 24;
    if (!s.FontName.empty()) dialog.Font.SetName(s.FontName);
    dialog.Font.SetSize(s.FontSize);
    dialog.Font.SetStyle(static_cast<gui::TFontStyles>(s.FontStyle));
    dialog.Font.SetColor(gui::ColorToRGB(static_cast<gui::TColor>(s.FontColor)));
    if (!dialog.Execute()) return;
    s.FontName = dialog.Font.Name();
    s.FontSize = dialog.Font.Size();
    s.FontStyle = static_cast<int>(dialog.Font.Style());
    s.FontColor = static_cast<int>(dialog.Font.Color());
    form_.ApplyListFont();
    SetFontButton();
}

int THisEnvPage::ChosenCategory() const { return std::max(0, CBHisList->ItemIndex()); }

void THisEnvPage::CBHisListChange() {
    CBHisListNum->SetItemIndex(form_.Lists.Settings.MHisListNum[ChosenCategory()] / 10 - 1);
}

void THisEnvPage::CBHisListNumChange() {
    const int index = CBHisListNum->ItemIndex();
    if (index >= 0) form_.Lists.Settings.MHisListNum[ChosenCategory()] = index * 10 + 10;
}

void THisEnvPage::CHKHisMenuItemClick(gui::TCheckBox* box) {
    const int c = box->Tag;
    if (!THisLists::ValidCategory(c)) return;
    const bool ticked = box->Checked();
    Settings().MCHKHisMenuItem[c] = ticked;
    if (ticked) form_.TrayMenu.Proc_PPListSet(c);
    if (TrayForm && TrayForm->MPPTab[c]) TrayForm->MPPTab[c]->SetVisible(ticked);
}

void THisEnvPage::CHKHookDesktopClick() {
    Settings().CHKHookDesktop = CHKHookDesktop->Checked();
    ComboBoxHook->SetEnabled(CHKHookDesktop->Checked());
}

void THisEnvPage::CHKIconListClick() {
    Settings().CHKIconList = CHKIconList->Checked();
    form_.TimerWheel->SetEnabled(CHKIconList->Checked() && form_.Visible());
}
