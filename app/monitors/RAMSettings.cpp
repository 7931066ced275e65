// The RAM form's window: the settings of the monitor and cleaner, shown
// modally by the main form. The stop list is written with the other values
// only on OK; the monitor's own stop and display mode at every close.
#include <windows.h>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/monitors/RAM.h"
#include "app/monitors/RAMIni.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/IniFile.h"
#include "gui/Screen.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/TaskBarList.h"

namespace {

// The system menu font's face.
std::wstring MenuFontName() {
    return gui::Screen.MenuFont().Name();
}

std::wstring FileNameOf(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

}  // namespace

void TRAMForm::CreateSettingsControls() {
    using gui::Bounds;
    const std::wstring face = MenuFontName();
    if (!face.empty()) Font().SetName(face);

    GroupClean = gui::NewControl<gui::TGroupBox>(
        this, {.Name = L"GroupClean", .Caption = L"[最適化設定]", .Bounds = Bounds(8, 6, 270, 132)});
    struct Row {
        gui::TLabel*& label;
        gui::TUpDown*& upDown;
        TNumEdit*& num;
        const wchar_t *labelName, *caption, *upDownName, *numName;
        int min, max;
        void (TRAMForm::*click)();
    };
    Row rows[] = {
        {LBLRAMAuto, UpDownAuto, NumAuto, L"LBLRAMAuto", L"自動最適化[%](&Z)", L"UDRAMAuto", L"TxtRAMAuto", 0, 100,
         &TRAMForm::UDRAMAutoClick},
        {LBLRAMValue, UpDownValue, NumValue, L"LBLRAMValue", L"最適化容量[%](&Y)", L"UDRAMValue", L"TxtRAMValue", 1,
         100, &TRAMForm::UDRAMValueClick},
        {LBLRAMTime, UpDownTime, NumTime, L"LBLRAMTime", L"定期間隔[分](&T)", L"UDRAMTime", L"TxtRAMTime", 0, 120,
         &TRAMForm::UDRAMTimeClick},
    };
    int y = 30;
    for (Row& r : rows) {
        r.label = gui::NewControl<gui::TLabel>(this, {.Parent = GroupClean, .Name = r.labelName, .Caption = r.caption,
                                                      .Bounds = Bounds(14, y + 1, 150, 18)},
                                               {.ShowAccelChar = true});
        r.num = gui::NewControl<TNumEdit>(
            this, {.Parent = GroupClean, .Name = r.numName, .Bounds = Bounds(176, y, 35, 17)});
        MakeReadOnlyDisplay(*r.num, 3);
        r.num->SetBounds(176, y, 35, 17);
        r.upDown = gui::NewControl<gui::TUpDown>(
            this, {.Parent = GroupClean, .Name = r.upDownName, .Bounds = Bounds(214, y - 2, 17, 21)}, {.Wrap = true});
        r.upDown->SetRange(r.min, r.max);
        auto click = r.click;
        r.upDown->OnChange = [this, click](gui::TUpDown*) { (this->*click)(); };
        y += 34;
    }

    RadioTrayWClick = gui::NewControl<gui::TRadioGroup>(
        this, {.Name = L"RGTrayWClick", .Caption = L"トレイアイコンをダブルクリック", .Bounds = Bounds(8, 146, 270, 58)},
        {.Columns = 3});
    RadioTrayWClick->SetItems({L"何もしない", L"最適化", L"停止"});
    RadioTrayWClick->OnClick = [this](gui::TRadioGroup*) { RGTrayWClickControlClick(); };

    GroupStop = gui::NewControl<gui::TGroupBox>(
        this, {.Name = L"GroupStop", .Caption = L"[自動最適化、定期間隔の実行を停止するプログラム]",
               .Bounds = Bounds(286, 6, 300, 198)});
    ListBoxStop = gui::NewControl<gui::TListBox>(this, {.Parent = GroupStop, .Name = L"ListBox",
                                                        .Bounds = Bounds(10, 22, 280, 132),
                                                        .Style = WS_HSCROLL | WS_VSCROLL | WS_BORDER});
    ListBoxStop->OnClick = [this](gui::TListBox*) { ListBoxClick(); };
    BtnAdd = gui::NewControl<gui::TButton>(
        this, {.Parent = GroupStop, .Name = L"BtnAdd", .Caption = L"追加(&A)", .Bounds = Bounds(10, 162, 86, 26)});
    BtnAdd->OnClick = [this](gui::TButton*) { BtnAddClick(); };
    BtnDel = gui::NewControl<gui::TButton>(
        this, {.Parent = GroupStop, .Name = L"BtnDel", .Caption = L"削除(&D)", .Bounds = Bounds(104, 162, 86, 26)});
    BtnDel->OnClick = [this](gui::TButton*) { BtnDelClick(); };

    BtnCancel = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnCancel", .Caption = L"キャンセル(&C)", .Bounds = Bounds(394, 218, 94, 28)});
    BtnCancel->ModalResult = gui::mrCancel;
    BtnCancel->SetCancel(true);
    BtnCancel->OnClick = [this](gui::TButton*) { Close(); };
    BtnOK = gui::NewControl<gui::TButton>(
        this, {.Name = L"BtnOK", .Caption = L"&OK", .Bounds = Bounds(494, 218, 92, 28)});
    BtnOK->ModalResult = gui::mrOk;
    BtnOK->SetDefault(true);
    BtnOK->OnClick = [this](gui::TButton*) { Close(); };

    PickProgram = [this]() -> std::wstring {
        gui::TOpenDialog dialog(nullptr);
        dialog.Title = L"自動最適化、定期間隔の実行を停止するプログラム";
        dialog.Filter = L"プログラム|*.exe";
        dialog.FileName.clear();
        return dialog.Execute() ? dialog.FileName : std::wstring();
    };
}

void TRAMForm::ShowSettings() {
    if (!UpDownAuto) return;
    UpDownAuto->SetPosition(UDRAMAuto);
    UpDownValue->SetPosition(UDRAMValue);
    UpDownTime->SetPosition(UDRAMTime);
    UDRAMAutoClick();
    UDRAMValueClick();
    UDRAMTimeClick();
    RadioTrayWClick->SetItemIndex(RGTrayWClick);
    FillStopList();
}

void TRAMForm::FillStopList() {
    ListBoxStop->Clear();
    for (int i = 0; i < ListBox.Count(); ++i) ListBoxStop->Add(ListBox[i]);
    SetListBoxHorizontalExtent(ListBoxStop->Handle());
}

void TRAMForm::UDRAMAutoClick() { NumAuto->SetText(std::to_wstring(UpDownAuto->Position())); }
void TRAMForm::UDRAMValueClick() { NumValue->SetText(std::to_wstring(UpDownValue->Position())); }
void TRAMForm::UDRAMTimeClick() { NumTime->SetText(std::to_wstring(UpDownTime->Position())); }

void TRAMForm::RGTrayWClickControlClick() {
    RGTrayWClick = RadioTrayWClick->ItemIndex() < 0 ? 0 : RadioTrayWClick->ItemIndex();
    RGTrayWClickClick();
}

std::vector<std::wstring> TRAMForm::Proc_SaveIni() {
    std::vector<std::wstring> unsaved;
    UDRAMValue = UpDownValue->Position();
    UDRAMAuto = UpDownAuto->Position();
    UDRAMTime = UpDownTime->Position();
    RGTrayWClick = RadioTrayWClick->ItemIndex() < 0 ? 0 : RadioTrayWClick->ItemIndex();
    const std::wstring list = DataFolder + L"RAM.lst";
    // A stop list that could not be read is never written over with less;
    // a failed write leaves the old file as it was.
    bool listSaved = !FStopListUnreadable;
    if (listSaved) {
        try {
            ListBox.SaveToFile(list, gui::TTextEncoding::Utf16LE);
        } catch (const std::exception&) {
            listSaved = false;
        }
    }
    if (!listSaved) unsaved.push_back(list);
    gui::TMemIniFile ini(DataFolder + L"RAM.ini");
    TRAMIni values;
    values.Value = UDRAMValue, values.Auto = UDRAMAuto, values.Time = UDRAMTime, values.TrayWClick = RGTrayWClick;
    gui::SaveIniTable(ini, values.Table(TRAMIni::TKeys::Settings));
    // The ini file refuses to write over a file it could not read.
    if (!ini.UpdateFile()) unsaved.push_back(ini.FileName());
    MTimeC = 0;
    MTime = UDRAMTime * 60;
    PPRAMClean->SetCaption(L"設定値(&D) " + std::to_wstring(UDRAMValue) + L"%");
    return unsaved;
}

void TRAMForm::FormShow() {
    if (gui::Application) ::ShowWindow(gui::Application->Handle(), SW_HIDE);
    TaskBarAddTab(Handle());
    BtnDel->SetEnabled(false);
    ListBoxStop->SetItemIndex(-1);
    MMonNo = GetWindowMonitorIndex(Handle());
}

void TRAMForm::ListBoxClick() { BtnDel->SetEnabled(ListBoxStop->ItemIndex() >= 0); }

void TRAMForm::BtnAddClick() {
    const std::wstring path = PickProgram ? PickProgram() : std::wstring();
    if (path.empty()) return;
    const std::wstring name = FileNameOf(path);
    if (ListBox.IndexOf(name) >= 0) return;
    ListBox.Add(name);
    ListBoxStop->Add(name);
    SetListBoxHorizontalExtent(ListBoxStop->Handle());
}

void TRAMForm::BtnDelClick() {
    const int i = ListBoxStop->ItemIndex();
    if (i < 0) return;
    ListBoxStop->Delete(i);
    if (i < ListBox.Count()) ListBox.Delete(i);
    BtnDel->SetEnabled(ListBoxStop->ItemIndex() >= 0);
}

LRESULT TRAMForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_MOVE && Visible()) {
        // The taskbar button follows the window to another monitor's taskbar.
        const int mon = GetWindowMonitorIndex(Handle());
        if (mon != MMonNo) {
            MMonNo = mon;
            TaskBarDeleteTab(Handle());
            ::Sleep(100);
            TaskBarAddTab(Handle());
        }
    }
    return TForm::WndProc(msg, wp, lp);
}
