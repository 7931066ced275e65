#include "app/monitors/IMEExe.h"

#include "app/ControlFont.h"
#include "app/Globals.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "toolkit/QuorvinText.h"

TIMEExeForm* IMEExeForm = nullptr;

namespace {

const wchar_t kDisableFile[] = L"IMEDisable.lst";
const wchar_t kEnableFile[] = L"IMEEnable.lst";
const int kClientWidth = 640;
const int kClientHeight = 320;

void ShowList(gui::TListBox* view, const gui::TStringList& list) {
    if (!view) return;
    view->Clear();
    for (int i = 0; i < list.Count(); ++i) view->Add(list[i]);
}

// Loads the list file by its byte-order mark (the system code page without
// one); false when it exists but cannot be read.
bool LoadList(gui::TStringList& list, const std::wstring& fileName) {
    list.Clear();
    if (::GetFileAttributesW(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    try {
        list.LoadFromFile(fileName);
        return true;
    } catch (const gui::Exception&) {
        return false;
    }
}

}  // namespace

TIMEExeForm::TIMEExeForm(gui::TComponent* owner) : TForm(owner, L"TIMEExeForm") {
    Name = L"IMEExeForm";
    CreationCaption = L"Orvandel - IME通知プログラム";
    BorderStyle = gui::TFormBorderStyle::bsDialog;
    Position = gui::TPosition::poDefault;  // it opens where the system places it
    CreationClientWidth = kClientWidth;
    CreationClientHeight = kClientHeight;
}

void TIMEExeForm::FormCreate() {
    CreateControls();
    LoadLists();
}

void TIMEExeForm::CreateControls() {
    using gui::Bounds;
    const int half = kClientWidth / 2;
    auto list = [this](gui::TGroupBox*& group, gui::TListBox*& view, gui::TStringList& items, const wchar_t* name,
                       const wchar_t* caption, int left) {
        group = gui::NewControl<gui::TGroupBox>(
            this, {.Name = std::wstring(L"GroupBox") + name, .Caption = caption,
                   .Bounds = Bounds(left + 6, 6, kClientWidth / 2 - 12, kClientHeight - 12)});
        view = gui::NewControl<gui::TListBox>(
            this, {.Parent = group, .Name = std::wstring(L"ListBox") + name, .Align = gui::TAlign::alClient,
                   .Hint = L"ダブルクリックで削除"});
        view->ShowHint = true;
        view->OnDblClick = [this, view, &items](gui::TControl*) {
            DeleteSelected(items, view->ItemIndex());
            ShowList(view, items);
        };
    };
    list(GroupBoxDisable, ListBoxDisableView, ListBoxDisable, L"Disable", L"[通知を無効にするプログラム]", 0);
    list(GroupBoxEnable, ListBoxEnableView, ListBoxEnable, L"Enable", L"[通知を有効にするプログラム]", half);
    // The history window's list font, when that window exists.
    if (HisForm) SetControlsFont(*this, HisForm->Lists.Settings.FontName, HisForm->Lists.Settings.FontSize);
}

void TIMEExeForm::ShowLists() {
    ShowList(ListBoxDisableView, ListBoxDisable);
    ShowList(ListBoxEnableView, ListBoxEnable);
}

void TIMEExeForm::FormShow() { ShowLists(); }

// Entries may have been added from the history window meanwhile.
void TIMEExeForm::FormActivate() { ShowLists(); }

void TIMEExeForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    SaveLists();
}

bool TIMEExeForm::Contains(const gui::TStringList& list, const std::wstring& exe) {
    return list.IndexOf(exe) >= 0;
}

void TIMEExeForm::DeleteSelected(gui::TStringList& list, int selected) {
    if (list.Count() > 0 && selected >= 0 && selected < list.Count()) list.Delete(selected);
}

void TIMEExeForm::LoadLists() {
    disableReadable_ = LoadList(ListBoxDisable, DataFolder + kDisableFile);
    enableReadable_ = LoadList(ListBoxEnable, DataFolder + kEnableFile);
    ShowLists();
}

void TIMEExeForm::SaveLists() {
    if (disableReadable_)
        WriteListFile(ListBoxDisable, DataFolder + kDisableFile, gui::TTextEncoding::Utf16LE);
    if (enableReadable_)
        WriteListFile(ListBoxEnable, DataFolder + kEnableFile, gui::TTextEncoding::Utf16LE);
}
