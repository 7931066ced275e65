#include "app/monitors/IMEExe.h"

#include "app/Globals.h"
#include "gui/Exception.h"
#include "toolkit/QuorvinText.h"

TIMEExeForm* IMEExeForm = nullptr;

namespace {

const wchar_t kDisableFile[] = L"IMEDisable.lst";
const wchar_t kEnableFile[] = L"IMEEnable.lst";

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
}

void TIMEExeForm::CreateParams(gui::TCreateParams& params) {
    TForm::CreateParams(params);
    params.Caption = L"Orvandel - IME通知プログラム";
    params.Style = WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    params.ExStyle = WS_EX_DLGMODALFRAME;
    params.Width = 480;
    params.Height = 360;
}

void TIMEExeForm::FormCreate() { LoadLists(); }

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
}

void TIMEExeForm::SaveLists() {
    if (disableReadable_)
        WriteListFile(ListBoxDisable, DataFolder + kDisableFile, gui::TTextEncoding::Utf16LE);
    if (enableReadable_)
        WriteListFile(ListBoxEnable, DataFolder + kEnableFile, gui::TTextEncoding::Utf16LE);
}
