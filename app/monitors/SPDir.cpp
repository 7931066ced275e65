#include "app/monitors/SPDir.h"

#include <cstdlib>
#include <vector>

#include "app/Globals.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "gui/StringList.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinPlacement.h"
#include "toolkit/QuorvinShell.h"

TSPDirForm* SPDirForm = nullptr;

namespace {

using gui::Bounds;
using gui::TAlign;

const wchar_t kListName[] = L"Shell.lst";
const wchar_t kIniName[] = L"SPDir.ini";
const wchar_t kShell[] = L"shell:";

bool HasShell(const std::wstring& s) { return s.find(kShell) != std::wstring::npos; }

// The values "SPDir.ini" holds; each starts at the value a missing key gives.
struct TSPDirIni {
    gui::TBounds Bounds;  // a missing key keeps the window's own
    bool OpenClose = false;

    // Every key, in the order a new file holds them.
    gui::TIniTable Table() {
        return {gui::IniBounds(L"Window", Bounds), gui::IniBool(L"ToolBar", L"OpenClose", OpenClose, OpenClose)};
    }
};

}  // namespace

TSPDirForm::TSPDirForm(gui::TComponent* owner) : TForm(owner, L"TSPDirForm") {
    Name = L"SPDirForm";
    CreationCaption = L"Orvandel - Windows特殊フォルダ";
    BorderStyle = gui::TFormBorderStyle::bsSizeToolWin;
}

std::wstring TSPDirForm::ListFileName() { return DataFolder + kListName; }
std::wstring TSPDirForm::IniFileName() { return DataFolder + kIniName; }

void TSPDirForm::CreateControls() {
    // The second row starts where a button says so.
    ToolBar = gui::NewControl<gui::TToolBar>(
        this, {.Name = L"ToolBar", .Bounds = Bounds(0, 0, 643, 26), .Align = TAlign::alTop}, {.Wrapable = false});
    using Handler = void (TSPDirForm::*)();
    // A captioned button without a picture that runs one of the window's commands.
    auto commandButton = [this](const wchar_t* name, const wchar_t* caption, Handler handler, bool wrap = false) {
        return gui::NewToolButton(this, ToolBar,
                                  {.Name = name, .Caption = caption, .ImageIndex = I_IMAGENONE, .Wrap = wrap,
                                   .OnClick = [this, handler](gui::TToolButton*) { (this->*handler)(); }});
    };
    TBOpen = commandButton(L"TBOpen", L"開く(&O)", &TSPDirForm::ListBoxCmdDblClick);
    TBUp = commandButton(L"TBUp", L"上に移動(&U)", &TSPDirForm::TBUpClick);
    TBDown = commandButton(L"TBDown", L"下に移動(&D)", &TSPDirForm::TBDownClick, true);
    TBSave = commandButton(L"TBSave", L"保存(&S)", &TSPDirForm::TBSaveClick);
    TBAdd = commandButton(L"TBAdd", L"追加(&A)", &TSPDirForm::TBAddClick);
    TBDel = commandButton(L"TBDel", L"削除(&C)", &TSPDirForm::TBDelClick);
    TBClose = commandButton(L"TBClose", L"閉じる(&X)", &TSPDirForm::TBCloseClick);
    TBOpenClose = gui::NewToolButton(this, ToolBar, {.Name = L"TBOpenClose", .Caption = L"開いた後閉じる",
                                                     .ImageIndex = I_IMAGENONE,
                                                     .Style = gui::TToolButtonStyle::tbsCheck});

    PanelEdit = gui::NewControl<gui::TPanel>(
        this, {.Name = L"PanelEdit", .Bounds = Bounds(0, 0, 643, 24), .Align = TAlign::alTop}, gui::kHolderPanel);
    EditCmd = gui::NewControl<gui::TEdit>(this, {.Parent = PanelEdit, .Name = L"EditCmd",
                                                 .Bounds = Bounds(322, 0, 321, 24), .Align = TAlign::alRight,
                                                 .Hint = L"コマンド"});
    EditName = gui::NewControl<gui::TEdit>(this, {.Parent = PanelEdit, .Name = L"EditName",
                                                  .Bounds = Bounds(0, 0, 322, 24), .Align = TAlign::alClient,
                                                  .Hint = L"特殊フォルダ名"});

    ListBoxCmd = gui::NewControl<TDualListBox>(this, {.Name = L"ListBoxCmd", .Bounds = Bounds(322, 0, 321, 400),
                                                      .Align = TAlign::alRight});
    ListBoxName = gui::NewControl<TDualListBox>(
        this, {.Name = L"ListBoxName", .Bounds = Bounds(0, 0, 322, 400), .Align = TAlign::alClient},
        {.HideScrollBar = true});
    ListBoxName->SetSynListBox(ListBoxCmd);
    ListBoxCmd->SetSynListBox(ListBoxName);

    ListBoxName->OnClick = [this](gui::TListBox*) { ListBoxNameClick(); };
    ListBoxCmd->OnClick = [this](gui::TListBox*) { ListBoxCmdClick(); };
    for (TDualListBox* list : {ListBoxName, ListBoxCmd}) {
        list->OnKeyDown = [this](gui::TControl*, WORD&, gui::TShiftState) { ListBoxKeyDown(); };
        list->OnKeyPress = [this](gui::TControl*, wchar_t& key) { ListBoxKeyPress(key); };
        list->OnDblClick = [this](gui::TControl*) { ListBoxCmdDblClick(); };
    }
    EditName->OnChange = [this](gui::TEdit*) { EditChange(); };
    EditCmd->OnChange = [this](gui::TEdit*) { EditChange(); };

    // The wheel reaches the control with the focus; each passes it to the
    // form's handler first, as the form sees it.
    gui::TWinControl* wheelers[] = {this, ToolBar, PanelEdit, EditName, EditCmd, ListBoxName, ListBoxCmd};
    for (gui::TWinControl* c : wheelers)
        c->OnMouseWheel = [this](gui::TControl*, gui::TShiftState, int delta, POINT pt, bool& handled) {
            FormMouseWheel(delta, pt, handled);
        };

    OnResize = [this](gui::TControl*) { LayoutColumns(); };
}

void TSPDirForm::LayoutColumns() {
    if (!ListBoxCmd || !EditCmd) return;
    // The command column takes the right half, the name column the rest.
    const int half = ClientWidth() / 2;
    if (ListBoxCmd->Width() != half) ListBoxCmd->SetWidth(half);
    if (EditCmd->Width() != half) EditCmd->SetWidth(half);
}

void TSPDirForm::FormCreate() {
    CreateControls();
    SetClientSize(643, 565);
    CenterOnScreen();
    MinHeight = 200;
    MinWidth = 600;

    // The program ships a default list beside itself.
    const std::wstring shipped = ProgramFolder() + kListName;
    if (FileExistsSafe(shipped) && !FileExistsSafe(ListFileName()))
        ::CopyFileW(shipped.c_str(), ListFileName().c_str(), TRUE);

    TSPDirIni values{gui::BoundsOf(BoundsRect())};
    gui::LoadIniTable(gui::TMemIniFile(IniFileName()), values.Table());
    SetBounds(values.Bounds.Left, values.Bounds.Top, values.Bounds.Width, values.Bounds.Height);
    TBOpenClose->SetDown(values.OpenClose);
    EnsureWindowOnScreen(Handle());

    // The lists read like the history window's history list.
    if (HisForm && !HisForm->Lists.Settings.FontName.empty()) {
        Font().SetName(HisForm->Lists.Settings.FontName);
        Font().SetSize(HisForm->Lists.Settings.FontSize);
        const std::vector<gui::TWinControl*> controls = {ToolBar, EditName, EditCmd, ListBoxName, ListBoxCmd};
        for (gui::TWinControl* c : controls) {
            c->Font().SetName(Font().Name());
            c->Font().SetSize(Font().Size());
        }
        PanelEdit->SetHeight(std::abs(EditName->Font().Height()) + 12);
    }
}

void TSPDirForm::FormShow() {
    EditName->SetText(L"");
    EditCmd->SetText(L"");
    try {
        LoadList();
    } catch (const std::exception&) {
        Warn(ListFileName() + L"\r\n" + L"を読み込めません。");
    }
    ListBoxCmd->SetFocus();
    if (ListBoxCmd->Count() > 0) {
        ListBoxCmd->SetItemIndex(0);
        ListBoxName->SetItemIndex(0);
    }
    MIndexB = -1;
    Proc_UpdateControls();
}

void TSPDirForm::LoadList() {
    ListBoxName->Clear();
    ListBoxCmd->Clear();
    FListUnreadable = false;
    const std::wstring file = ListFileName();
    if (!FileExistsSafe(file)) return;
    gui::TStringList lines;
    try {
        lines.LoadFromFile(file, gui::TTextEncoding::Ansi);
    } catch (...) {
        // An unreadable list is never written over with less.
        FListUnreadable = true;
        throw;
    }
    for (int i = 0; i < lines.Count(); ++i) {
        const std::wstring& line = lines[i];
        const size_t comma = line.find(L',');
        if (comma == std::wstring::npos || comma == 0) continue;
        ListBoxCmd->Add(line.substr(0, comma));
        ListBoxName->Add(line.substr(comma + 1));
    }
}

void TSPDirForm::Proc_UpdateControls() {
    const int index = ListBoxCmd->ItemIndex();
    if (index != MIndexB && index >= 0) {
        EditName->SetText(ListBoxName->Item(index));
        EditCmd->SetText(ListBoxCmd->Item(index));
    }
    MIndexB = index;
    TBOpen->SetEnabled(index >= 0);
    TBUp->SetEnabled(index > 0);
    TBDown->SetEnabled(index >= 0 && index < ListBoxCmd->Count() - 1);
    TBAdd->SetEnabled(HasShell(EditCmd->Text()) && !EditName->Text().empty());
    TBDel->SetEnabled(index >= 0);
}

void TSPDirForm::ListBoxNameClick() {
    ListBoxCmd->SetItemIndex(ListBoxName->ItemIndex());
    Proc_UpdateControls();
}

void TSPDirForm::ListBoxCmdClick() {
    ListBoxName->SetItemIndex(ListBoxCmd->ItemIndex());
    Proc_UpdateControls();
}

void TSPDirForm::ListBoxKeyDown() { Proc_UpdateControls(); }

void TSPDirForm::ListBoxKeyPress(wchar_t key) {
    if (key == 13) ListBoxCmdDblClick();
}

void TSPDirForm::EditChange() {
    // The edit boxes change while the controls are made.
    if (ListBoxCmd && TBDel) Proc_UpdateControls();
}

void TSPDirForm::ListBoxCmdDblClick() {
    const int index = ListBoxCmd->ItemIndex();
    if (ListBoxCmd->Count() == 0 || index < 0) return;
    const std::wstring command = ListBoxCmd->Item(index);
    if (!HasShell(command)) return;
    ShellExecuteOwned(Handle(), L"explorer.exe", command, L"", SW_SHOW);
    ::Sleep(1000);
    if (TBOpenClose->Down()) Close();
}

void TSPDirForm::ExchangeRows(int a, int b) {
    for (TDualListBox* list : {ListBoxName, ListBoxCmd}) {
        const std::wstring ta = list->Item(a), tb = list->Item(b);
        const int top = list->TopIndex();
        list->Delete(a);
        list->Insert(a, tb);
        list->Delete(b);
        list->Insert(b, ta);
        list->SetItemIndex(b);
        list->SetTopIndex(top);
    }
}

void TSPDirForm::TBUpClick() {
    const int index = ListBoxCmd->ItemIndex();
    if (index <= 0) return;
    ExchangeRows(index, index - 1);
    Proc_UpdateControls();
    FModify = true;
}

void TSPDirForm::TBDownClick() {
    const int index = ListBoxCmd->ItemIndex();
    if (index < 0 || index >= ListBoxCmd->Count() - 1) return;
    ExchangeRows(index, index + 1);
    Proc_UpdateControls();
    FModify = true;
}

void TSPDirForm::TBAddClick() {
    const int cmdIndex = ListBoxCmd->ItemIndex();
    ListBoxCmd->Insert(cmdIndex >= 0 ? cmdIndex : ListBoxCmd->Count(), EditCmd->Text());
    const int nameIndex = ListBoxName->ItemIndex();
    ListBoxName->Insert(nameIndex >= 0 ? nameIndex : ListBoxName->Count(), EditName->Text());
    Proc_UpdateControls();
    FModify = true;
}

void TSPDirForm::TBDelClick() {
    const int index = ListBoxCmd->ItemIndex();
    if (index < 0) return;
    ListBoxName->Delete(index);
    ListBoxCmd->Delete(index);
    const int count = ListBoxCmd->Count();
    const int next = count == 0 ? -1 : (index < count ? index : count - 1);
    ListBoxName->SetItemIndex(next);
    ListBoxCmd->SetItemIndex(next);
    MIndexB = -1;
    Proc_UpdateControls();
    FModify = true;
}

void TSPDirForm::Proc_BackupList() {
    const std::wstring file = ListFileName();
    // A list that was never saved has nothing to back up.
    if (!FileExistsSafe(file)) return;
    const std::wstring backup = file + L".bak";
    if (::CopyFileW(file.c_str(), backup.c_str(), FALSE)) return;
    ::SetForegroundWindow(Handle());
    Warn(file + L"のバックアップが作成できません。" + L"\r\n" + L"ほかのソフトで開かれていないか確認してください。");
}

void TSPDirForm::Warn(const std::wstring& text) {
    ::SetForegroundWindow(Handle());
    ::MessageBoxW(Handle(), text.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
}

void TSPDirForm::TBSaveClick() {
    // A list that cannot be saved is named to the user; the window keeps
    // the edits and the file stays as it was.
    const std::wstring file = ListFileName();
    if (FListUnreadable) {
        Warn(file + L"を読み込めなかったため、上書きしません。");
        return;
    }
    Proc_BackupList();
    gui::TStringList lines;
    for (int i = 0, n = ListBoxCmd->Count(); i < n; ++i)
        lines.Add(ListBoxCmd->Item(i) + L"," + ListBoxName->Item(i));
    try {
        lines.SaveToFile(file, gui::TTextEncoding::Ansi);
    } catch (const std::exception&) {
        Warn(file + L"\r\n" + L"に保存できません。");
        return;
    }
    FModify = false;
}

void TSPDirForm::TBCloseClick() { Close(); }

void TSPDirForm::FormMouseWheel(int delta, POINT screenPos, bool& handled) {
    gui::TWinControl* under = nullptr;
    for (HWND w = ::WindowFromPoint(screenPos); w && !under; w = ::GetParent(w))
        under = gui::TWinControl::FromHandle(w);
    auto* list = dynamic_cast<gui::TListBox*>(under);
    if (!list) return;
    list->Perform(WM_VSCROLL, delta < 1 ? SB_LINEDOWN : SB_LINEUP, 0);
    handled = true;
}

void TSPDirForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (FModify) {
        ::SetForegroundWindow(Handle());
        const std::wstring text = L"リストが変更されています。\r\n変更を破棄しますか？";
        if (::MessageBoxW(Handle(), text.c_str(), Caption().c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            canClose = false;
            FModify = false;
        }
    }
    gui::TMemIniFile ini(IniFileName());
    TSPDirIni values{gui::BoundsOf(BoundsRect()), TBOpenClose->Down()};
    gui::SaveIniTable(ini, values.Table());
    ini.UpdateFile();
}
