// THisForm: what the user does with the favourites. The favourites menu
// (copy, options, shortcut, save to file, open the folder, move up and down,
// delete) with its enabled states, "お気に入りに追加" of the history menu,
// rows dragged from either list onto the favourites, the favourites list's
// double click, and the hint each list shows for the row under the mouse.
#include <algorithm>

#include "app/Globals.h"
#include "app/Tray.h"
#include "app/history/His.h"
#include "app/history/HisPaths.h"
#include "app/history/Launch.h"
#include "app/history/SC.h"
#include "app/history/TrayClicksOff.h"
#include "app/monitors/RAM.h"
#include "gui/Application.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinText.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

constexpr size_t kHintLength = 255;
// A version information row: the key padded to 16 characters, a full-width
// colon, then the value.
constexpr size_t kVersionValueStart = 17;

}  // namespace

void THisForm::Proc_BindFavActions() {
    PPFavCopy->ShortCut = gui::scCtrl | 'C';
    PPUp->ShortCut = gui::scCtrl | 'U';
    PPDown->ShortCut = gui::scCtrl | 'D';
    PPFavDel->ShortCut = gui::scCtrl | 'X';
    PPMenuFav->OnPopup = [this](gui::TPopupMenu*) { PPMenuFavPopup(); };
    PPFavCopy->OnClick = [this](gui::TMenuItem*) { PPFavCopyClick(); };
    PPFavExeCmd->OnClick = [this](gui::TMenuItem*) { PPFavExeCmdClick(); };
    PPFavSCMake->OnClick = [this](gui::TMenuItem*) { PPFavSCMakeClick(); };
    PPFavFileSave->OnClick = [this](gui::TMenuItem*) { PPFavFileSaveClick(); };
    PPFolF->OnClick = [this](gui::TMenuItem*) { PPFolFClick(); };
    PPExpF->OnClick = [this](gui::TMenuItem*) { PPExpFClick(); };
    PPUp->OnClick = [this](gui::TMenuItem*) { PPUpClick(); };
    PPDown->OnClick = [this](gui::TMenuItem*) { PPDownClick(); };
    PPFavDel->OnClick = [this](gui::TMenuItem*) { PPFavDelClick(); };
    PPAdd->OnClick = [this](gui::TMenuItem*) { PPAddClick(); };

    ListBoxFav->OnDragOver = [this](gui::TControl*, gui::TControl* source, int x, int y, bool& accept) {
        ListBoxFavDragOver(source, x, y, accept);
    };
    ListBoxFav->OnDragDrop = [this](gui::TControl*, gui::TControl* source, int x, int y) {
        ListBoxFavDragDrop(source, x, y);
    };
    ListBoxFav->OnDblClick = [this](gui::TControl*) { ListBoxFavDblClick(); };
    ListBoxHis->OnMouseMove = [this](gui::TControl*, gui::TShiftState, int x, int y) { ListBoxHisMouseMove(x, y); };
    ListBoxFav->OnMouseMove = [this](gui::TControl*, gui::TShiftState, int x, int y) { ListBoxFavMouseMove(x, y); };
}

int THisForm::SelectedFavRow() const {
    const int row = ListBoxFav->ItemIndex();
    return row >= 0 && row < Lists.MFileList[kHisCategories + Category()].Count() ? row : -1;
}

void THisForm::Proc_RefreshFav() {
    Proc_DispFav();
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(Category());
}

// ---------------------------------------------------------- the menu

void THisForm::PPMenuFavPopup() {
    const gui::TStringList& undo = Lists.MUndoList[Category()];
    PPUndo->SetEnabled(!undo.Empty());
    PPUndo->SetCaption(undo.Empty() ? L"元に戻す(&Z)" : L"元に戻す(&Z)-" + undo[0]);

    const int row = ListBoxFav->ItemIndex();
    const bool selected = SelectedFavRow() >= 0;
    for (gui::TMenuItem* i : {PPFavDel, PPFavCopy, PPFavSCMake, PPFavFileSave, PPFavExeCmd}) i->SetEnabled(selected);
    PPUp->SetEnabled(row != 0);
    PPDown->SetEnabled(selected && row != ListBoxFav->Count() - 1);

    PPExpF->SetEnabled(false);
    PPFolF->SetEnabled(false);
    if (PPDirBarF->Visible() && selected) {
        const bool exists = DirectoryExistsNoRedirect(FolderWithBackslash(Lists.MFileList[kHisCategories + Category()][row]));
        PPExpF->SetEnabled(exists);
        PPFolF->SetEnabled(exists);
    }

    // The keys belong to the favourites list: typed in the memo, the find box
    // or the history list they are that control's own keys.
    if (PPMenuFav->ForShortCut() && !ListBoxFav->Focused()) {
        for (int i = 0; i < PPMenuFav->Items()->Count(); ++i) PPMenuFav->Items()->Items(i)->SetEnabled(false);
    }
}

void THisForm::PPFavCopyClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    SetClipboardTextRetry(Lists.MFileList[kHisCategories + Category()][row]);
}

void THisForm::PPFavExeCmdClick() {
    const int row = SelectedFavRow();
    if (row < 0 || !LaunchForm) return;
    // Only the program tab shows the item.
    const gui::TStringList& programs = Lists.MFileList[kHisCategories + 2];
    if (row >= programs.Count()) return;
    LaunchForm->Func_ExeCmdDlg(programs[row]);
}

void THisForm::PPFavSCMakeClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    ShortCutMakerParams(Category(), Lists.MFileList[kHisCategories + Category()][row], MParamStr1, MParamStr2);
    ShowShortCutMaker(MParamStr1, MParamStr2);
}

void THisForm::PPFavFileSaveClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    Proc_SaveEntryToFile(Lists.MFileList[kHisCategories + Category()][row]);
}

void THisForm::PPFolFClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    ShellExecuteFile(FolderWithBackslash(Lists.MFileList[kHisCategories + Category()][row]), L"", L"", SW_SHOWDEFAULT);
}

void THisForm::PPExpFClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    std::wstring windows;
    GetWindowsDir(windows);
    ShellExecuteFile(ExplorerPath, L" /e," + FolderWithBackslash(Lists.MFileList[kHisCategories + Category()][row]), windows,
                     SW_SHOWDEFAULT);
}

void THisForm::PPUpClick() {
    const int row = SelectedFavRow();
    if (row <= 0) return;
    Proc_SaveUndo(L"上に移動");
    Lists.MFileList[kHisCategories + Category()].Exchange(row - 1, row);
    Proc_RefreshFav();
}

void THisForm::PPDownClick() {
    const int row = SelectedFavRow();
    gui::TStringList& favourites = Lists.MFileList[kHisCategories + Category()];
    if (row < 0 || row >= favourites.Count() - 1) return;
    Proc_SaveUndo(L"下に移動");
    favourites.Exchange(row + 1, row);
    Proc_RefreshFav();
}

void THisForm::PPFavDelClick() {
    const int row = SelectedFavRow();
    if (row < 0) return;
    Proc_SaveUndo(L"削除");
    Lists.MFileList[kHisCategories + Category()].Delete(row);
    ListBoxFav->SetItemIndex(-1);
    Proc_RefreshFav();
}

// ---------------------------------------------- adding from the history

void THisForm::PPAddClick() {
    const int c = Category();
    const gui::TStringList& history = Lists.MFileList[c];
    const int row = ListBoxHis->ItemIndex();
    if (row < 0 || row >= history.Count()) return;
    Proc_SaveUndo(L"お気に入りに追加");
    const std::wstring entry = history[row];
    gui::TStringList& favourites = Lists.MFileList[kHisCategories + c];
    if (const int old = favourites.IndexOf(entry); old >= 0) favourites.Delete(old);
    favourites.Add(entry);
    Lists.Proc_DeleteFileFav(c);
    Proc_DispFav();
    ListBoxFav->SetFocus();
    ListBoxFav->SetItemIndex(ListBoxFav->Count() - 1);
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(c);
}

// ------------------------------------------------ dragging rows

void THisForm::ListBoxFavDragOver(gui::TControl* source, int, int, bool& accept) {
    accept = source == ListBoxHis || source == ListBoxFav;
}

void THisForm::ListBoxFavDragDrop(gui::TControl* source, int x, int y) {
    const int c = Category();
    gui::TStringList& favourites = Lists.MFileList[kHisCategories + c];
    int t = ListBoxFav->ItemAtPos(POINT{x, y});
    if (source == ListBoxFav) {
        const int from = SelectedFavRow();
        if (from < 0 || t < 0 || t >= favourites.Count()) return;
        Proc_SaveUndo(L"お気に入りの順序");
        favourites.Move(from, t);
    } else if (source == ListBoxHis) {
        const gui::TStringList& history = Lists.MFileList[c];
        const int row = ListBoxHis->ItemIndex();
        if (row < 0 || row >= history.Count()) return;
        if (t < 0 || t > favourites.Count()) t = favourites.Count();
        Proc_SaveUndo(L"お気に入りに追加");
        const std::wstring entry = history[row];
        if (const int old = favourites.IndexOf(entry); old >= 0) favourites.Delete(old);
        t = std::min(t, favourites.Count());
        favourites.Insert(t, entry);
    } else {
        return;
    }
    Lists.Proc_DeleteFileFav(c);
    Proc_DispFav();
    ListBoxFav->SetFocus();
    ListBoxFav->SetItemIndex(t < ListBoxFav->Count() ? t : -1);
    Proc_DispStatus();
    TrayMenu.Proc_PPListSet(c);
}

// ------------------------------------------------ the list's own events

void THisForm::ListBoxFavDblClick() {
    Proc_Execute(1, 0);
    Proc_DispStatus();
}

// ----------------------------------------------------------- row hints

void THisForm::ListBoxHisMouseMove(int x, int y) { Proc_ListRowHint(ListBoxHis, x, y); }

void THisForm::ListBoxFavMouseMove(int x, int y) { Proc_ListRowHint(ListBoxFav, x, y); }

void THisForm::Proc_ListRowHint(gui::TListBox* list, int x, int y) {
    const int row = list->ItemAtPos(POINT{x, y});
    list->ShowHint = false;
    if (row >= 0 && row < list->Count()) {
        const std::wstring text = list->Item(row);
        std::wstring hint = text;
        if (Category() == 1 && FileExistsNoRedirect(text)) {
            std::wstring program;
            FindExecutableFor(text, program);
            hint = text + L"\r\n" + program;
        } else if (Category() == 2 && FileExistsNoRedirect(text)) {
            gui::TStringList info;
            GetVersionInfoList(text, info);
            for (int i = 0; i < info.Count(); ++i) {
                const std::wstring& line = info[i];
                if (line.compare(0, 16, L"FileDescription ") == 0) {
                    hint = text + L"\r\n" + (line.size() > kVersionValueStart ? line.substr(kVersionValueStart) : L"");
                    break;
                }
            }
        }
        list->Hint = hint.substr(0, kHintLength);
        list->ShowHint = true;
    }
    if (::GetAsyncKeyState(VK_LBUTTON) < 0 || ::GetAsyncKeyState(VK_RBUTTON) < 0)
        ::InvalidateRect(list->Handle(), nullptr, TRUE);
}
