// THisForm: the pop-up menu of the history list. Each item acts on the
// selected row of the current category: copy it, start it with options,
// make a shortcut to it, save a text to a file in a chosen encoding, open
// its folder, exclude it from recording, list it for the IME notices, and
// delete it or the whole list.
#include "app/history/His.h"

#include <algorithm>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/HisEnvPage.h"
#include "app/history/HisPaths.h"
#include "app/history/Launch.h"
#include "app/history/SC.h"
#include "app/history/TrayClicksOff.h"
#include "app/monitors/IMEExe.h"
#include "app/monitors/RAM.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

// Adds text to the list unless the list holds it already (case ignored);
// whether it was added.
bool AddOnce(gui::TStringList& list, const std::wstring& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (::CompareStringOrdinal(list[i].c_str(), -1, text.c_str(), -1, TRUE) == CSTR_EQUAL) return false;
    list.Add(text);
    return true;
}

}  // namespace

void THisForm::SetupListMenu() {
    PPClip->ShortCut = gui::scCtrl | 'C';
    PPAdd->ShortCut = gui::scCtrl | 'F';
    PPDel->ShortCut = gui::scCtrl | 'X';
    PPDelAll->ShortCut = gui::scCtrl | VK_DELETE;
    PPMenuList->OnPopup = [this](gui::TPopupMenu*) { PPMenuListPopup(); };
    PPClip->OnClick = [this](gui::TMenuItem*) { PPClipClick(); };
    PPExeCmd->OnClick = [this](gui::TMenuItem*) { PPExeCmdClick(); };
    PPSCMake->OnClick = [this](gui::TMenuItem*) { PPSCMakeClick(); };
    PPFileSave->OnClick = [this](gui::TMenuItem*) { PPFileSaveClick(); };
    PPFol->OnClick = [this](gui::TMenuItem*) { PPFolClick(); };
    PPExp->OnClick = [this](gui::TMenuItem*) { PPExpClick(); };
    PPNoDir->OnClick = [this](gui::TMenuItem*) { PPNoDirClick(); };
    PPNoExe->OnClick = [this](gui::TMenuItem*) { PPNoExeClick(); };
    PPIMEExe->OnClick = [this](gui::TMenuItem*) { PPIMEExeClick(); };
    PPDel->OnClick = [this](gui::TMenuItem*) { PPDelClick(); };
    PPDelAll->OnClick = [this](gui::TMenuItem*) { PPDelAllClick(); };

    TextSaveDialog->DefaultExt = L"txt";
    TextSaveDialog->Filter = L"テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
    TextSaveDialog->Options =
        gui::ofOverwritePrompt | gui::ofHideReadOnly | gui::ofPathMustExist | gui::ofEnableSizing;
    TextSaveDialog->Encodings = {L"ANSI", L"Unicode", L"Big Endian Unicode", L"UTF-8", L"UTF-8N"};
    // An existing file chosen in the dialog brings its own encoding.
    TextSaveDialog->EncodingOfFile = [](const std::wstring& fileName) {
        // A folder, or no file at all (the attributes are then all bits set).
        if (::GetFileAttributesW(fileName.c_str()) & FILE_ATTRIBUTE_DIRECTORY) return -1;
        int kind = 0;
        DetectTextEncoding(fileName, kind);
        return std::clamp(kind, 0, 4);
    };
}

namespace {

// The entry of the selected row of list (the history list) in the current category.
bool SelectedHistoryEntry(THisForm& f, gui::TListBox& list, std::wstring& entry) {
    const int row = list.ItemIndex();
    const gui::TStringList& entries = f.Lists.MFileList[f.Category()];
    if (row < 0 || row >= entries.Count()) return false;
    entry = entries[row];
    return true;
}

}  // namespace

void THisForm::PPMenuListPopup() {
    // Popped up over the list by the mouse, the menu acts on the list's
    // selection; its shortcut keys act only while the list has the focus,
    // so the same keys in the memo, the find box or the favourites stay theirs.
    const bool overList = PPMenuList->PopupComponent() == ListBoxHis;
    PPMenuList->SetPopupComponent(nullptr);
    const bool acts = overList || ActiveControl() == ListBoxHis;

    const int c = Category();
    std::wstring entry;
    const bool selected = acts && SelectedHistoryEntry(*this, *ListBoxHis, entry);
    for (gui::TMenuItem* i : {PPClip, PPExeCmd, PPSCMake, PPFileSave, PPAdd, PPNoDir, PPNoExe, PPIMEExe, PPDel})
        i->SetEnabled(selected);
    PPDelAll->SetEnabled(acts && ListBoxHis->Count() > 0);

    const bool enableListed = TrayForm && TrayForm->PPIMEEnable && TrayForm->PPIMEEnable->Checked();
    PPIMEExe->SetCaption(enableListed ? L"IME ONの通知を有効にするプログラムに追加(&I)"
                                      : L"IME ONの通知を無効にするプログラムに追加(&I)");

    PPExp->SetEnabled(false);
    PPFol->SetEnabled(false);
    if ((c == 1 || c == 2) && selected) {
        const std::wstring folder = FolderWithBackslash(entry);
        const bool exists = !folder.empty() && DirectoryExistsNoRedirect(folder);
        PPExp->SetEnabled(exists);
        PPFol->SetEnabled(exists);
    }
}

void THisForm::PPClipClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    SetClipboardTextRetry(s);
    if (Category() == 0) {
        ListBoxHis->SetItemIndex(-1);
        StatusBar->SetSimpleText(L"");
        TBexe->Hint.clear();
        for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol}) b->SetEnabled(false);
    }
}

void THisForm::PPExeCmdClick() {
    const int row = ListBoxHis->ItemIndex();
    const gui::TStringList& programs = Lists.MFileList[2];
    if (row < 0 || row >= programs.Count() || !LaunchForm) return;
    const std::wstring s = programs[row];
    LaunchForm->Func_ExeCmdDlg(s);
}

void THisForm::PPSCMakeClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    ShortCutMakerParams(Category(), s, MParamStr1, MParamStr2);
    ShowShortCutMaker(MParamStr1, MParamStr2);
}

void THisForm::PPFileSaveClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    ForceForegroundWindow(Handle());
    Proc_SaveEntryToFile(s);
}

void THisForm::Proc_SaveEntryToFile(const std::wstring& entry) {
    TrayClicksOff trayOff;
    gui::TStringList list;
    list.Add(entry);

    TextSaveDialog->EncodingIndex = 0;
    TextSaveDialog->InitialDir = Lists.Settings.MDir;
    TextSaveDialog->FileName.clear();
    if (!TextSaveDialog->Execute()) return;

    const std::wstring fileName = TextSaveDialog->FileName;
    Lists.Settings.MDir = FolderOfPath(fileName);
    const int kind = std::clamp(TextSaveDialog->EncodingIndex, 0, 4);
    bool written = false;
    {
        gui::TCursorScope wait(gui::TCursor::crHourGlass);
        written = WriteListFile(list, fileName, static_cast<gui::TTextEncoding>(kind));
    }
    if (!written) {
        ForceForegroundWindow(Handle());
        gui::Application->MessageBox(fileName + L"に" + L"\r\n" + L"書き込めません。" + L"\r\n" +
                                         L"ほかのソフトで開かれていないか確認してください。",
                                     L"Orvandel - 確認", MB_ICONERROR);
    }
}

void THisForm::PPFolClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    const std::wstring folder = FolderWithBackslash(s);
    if (folder.empty()) return;
    ShellExecuteFile(folder, L"", L"", SW_SHOWDEFAULT);
}

void THisForm::PPExpClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    wchar_t windows[MAX_PATH] = {};
    const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH);
    ShellExecuteFile(ExplorerPath, L" /e," + FolderWithBackslash(s), n > 0 && n < MAX_PATH ? windows : L"",
                     SW_SHOWDEFAULT);
}

void THisForm::PPNoDirClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s)) return;
    const int c = Category();
    EnvPage->AddExcludedFolder(c == 1 || c == 2 ? FolderOfPath(s) : s);
}

void THisForm::PPNoExeClick() {
    const int row = ListBoxHis->ItemIndex();
    const gui::TStringList& programs = Lists.MFileList[2];
    if (row < 0 || row >= programs.Count()) return;
    EnvPage->AddExcludedProgram(programs[row]);
}

void THisForm::PPIMEExeClick() {
    std::wstring s;
    if (!SelectedHistoryEntry(*this, *ListBoxHis, s) || !IMEExeForm) return;
    const bool enableListed = TrayForm && TrayForm->PPIMEEnable && TrayForm->PPIMEEnable->Checked();
    AddOnce(enableListed ? IMEExeForm->ListBoxEnable : IMEExeForm->ListBoxDisable, s);
    if (!IMEExeForm->HandleAllocated()) return;
    IMEExeForm->ShowLists();
    gui::TListBox* view = enableListed ? IMEExeForm->ListBoxEnableView : IMEExeForm->ListBoxDisableView;
    if (view && view->HandleAllocated()) SetListBoxHorizontalExtent(view->Handle());
}

void THisForm::PPDelClick() {
    const int row = ListBoxHis->ItemIndex();
    const int c = Category();
    gui::TStringList& entries = Lists.MFileList[c];
    if (row < 0 || row >= entries.Count()) return;
    entries.Delete(row);
    ListBoxHis->SetItemIndex(-1);
    Proc_DispHis();
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(c);
}

void THisForm::PPDelAllClick() {
    if (gui::Application->MessageBox(L"すべて削除しますか？", L"Orvandel - 確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int c = Category();
    Lists.MFileList[c].Clear();
    ListBoxHis->SetItemIndex(-1);
    Proc_DispHis();
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(c);
}
