// THisForm: the rows of the two list boxes (drawn with the entries' icons,
// fetched one row per paint), the find box, the favourites' undo snapshot,
// and what the status line and tool buttons show for the selection.
#include "app/history/His.h"

#include <algorithm>

#include "app/Globals.h"
#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/Wow64.h"

namespace {

constexpr int kFindHistoryMax = 100;

std::wstring Upper(std::wstring s) {
    if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) { return Upper(a) == Upper(b); }

}  // namespace

// ------------------------------------------------------------------ undo

void THisForm::Proc_SaveUndo(const std::wstring& actionName) {
    const int c = Category();
    gui::TStringList& undo = MUndoList[c];
    undo.Clear();
    undo.Add(actionName);
    const gui::TStringList& favs = Lists.Favourites(c);
    for (int i = 0; i < favs.Count(); ++i) undo.Add(favs[i]);
}

void THisForm::PPUndoClick() {
    const int c = Category();
    gui::TStringList& favs = Lists.Favourites(c);
    gui::TStringList& undo = MUndoList[c];
    favs.Clear();
    for (int i = 1; i < undo.Count(); ++i) favs.Add(undo[i]);
    undo.Clear();
    PPUndo->SetCaption(L"元に戻す(&Z)");
    ListBoxFav->SetItemIndex(-1);
    Proc_DispFav();
    Proc_DispStatus();
}

// ------------------------------------------------------------------ find

void THisForm::CBFindChange() {
    const bool on = !CBFind->Text().empty() && (ListBoxHis->Count() > 0 || ListBoxFav->Count() > 0);
    BtnFindUp->SetEnabled(on);
    BtnFindDown->SetEnabled(on);
}

void THisForm::BtnFindDownClick() { Proc_Find(true); }

void THisForm::BtnFindUpClick() { Proc_Find(false); }

void THisForm::Proc_Find(bool down) {
    const std::wstring text = CBFind->Text();
    const int c = Category();
    gui::TListBox* list = ListBoxFav->ItemIndex() >= 0 ? ListBoxFav : ListBoxHis;
    const int before = list->ItemIndex();
    // With nothing selected the search starts on the history's first row;
    // an empty history has none to start on.
    if (ListBoxFav->ItemIndex() < 0 && ListBoxHis->ItemIndex() < 0 && ListBoxHis->Count() > 0)
        ListBoxHis->SetItemIndex(0);
    list->SetFocus();

    const int k = list == ListBoxHis ? 0 : 1;
    const gui::TStringList& entries = MFileList[k * kHisCategories + c];
    const int count = std::min(list->Count(), entries.Count());
    const int from = list->ItemIndex();
    int hit = -1;
    if (!text.empty() && from >= 0) {
        const std::wstring needle = Upper(text);
        if (down) {
            for (int i = from + 1; i < count && hit < 0; ++i)
                if (Upper(entries[i]).find(needle) != std::wstring::npos) hit = i;
        } else {
            for (int i = std::min(from, count) - 1; i >= 0 && hit < 0; --i)
                if (Upper(entries[i]).find(needle) != std::wstring::npos) hit = i;
        }
    }
    if (hit >= 0) list->SetItemIndex(hit);
    if (list->ItemIndex() != before) {
        ::InvalidateRect(list->Handle(), nullptr, TRUE);
        Proc_DispStatus();
    }

    if (text.empty()) return;
    std::vector<std::wstring> items{text};
    for (int i = 0; i < CBFind->Count(); ++i) {
        std::wstring item = CBFind->Item(i);
        if (!SameIgnoringCase(item, text)) items.push_back(item);
    }
    if (items.size() > kFindHistoryMax) items.resize(kFindHistoryMax);
    CBFind->Clear();
    for (const std::wstring& item : items) CBFind->Add(item);
    CBFind->SetItemIndex(0);
}

// ------------------------------------------------------------------ rows

void THisForm::DrawListRow(gui::TListBox* list, gui::TImageList* images, int k, gui::TDrawItemInfo& item) {
    const int c = Category();
    const gui::TStringList& entries = MFileList[k * kHisCategories + c];
    HDC dc = item.Canvas.Handle();
    const bool selected = item.Index == list->ItemIndex();
    const COLORREF back = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (!selected) {
        const gui::TColor colour = list->Font().Color();
        fore = (colour & 0xFF000000u) ? ::GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
    }
    gui::OwnedGdiObject brush(::CreateSolidBrush(back));
    ::FillRect(dc, &item.Rect, static_cast<HBRUSH>(brush.get()));
    if (item.Index < 0 || item.Index >= list->Count()) return;

    const std::wstring text = list->Item(item.Index);
    int x = item.Rect.left + 1, y = item.Rect.top;
    if (Lists.Settings.CHKIconList && !entries.Empty()) {
        if (c != 0 && images->Count() == item.Index && item.Index < entries.Count()) {
            gui::TIcon icon;
            icon.SetHandle(GetFileIconNoRedirect(entries[item.Index]));
            images->AddIcon(icon);
        }
        if (item.Index < images->Count()) images->Draw(item.Canvas, item.Rect.left + 1, item.Rect.top + 1, item.Index);
        x += images->Width();
        if (k == 1) y += 1;
    }
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, fore);
    HGDIOBJ old = ::SelectObject(dc, list->Font().Handle());
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &item.Rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    ::SelectObject(dc, old);
}

void THisForm::Proc_KeepIconsInStep(gui::TListBox* list, gui::TImageList* images) {
    const int itemHeight = list->ItemHeight();
    if (itemHeight <= 0) return;
    const int top = list->TopIndex();
    const int rows = list->ClientHeight() / itemHeight;
    if (images->Count() < top + rows) {
        const int target = images->Count() - rows + 1;
        if (target >= 0) list->SetTopIndex(target);
    }
}

void THisForm::TimerWheelTimer() {
    Proc_KeepIconsInStep(ListBoxHis, ImageListHis);
    Proc_KeepIconsInStep(ListBoxFav, ImageListFav);
}

// ------------------------------------------------------- selection status

void THisForm::Proc_SetTBexeImage() {
    if (!ImageListToolbar) return;
    gui::TIcon picture;
    if (Category() == 0 && !TBexeIcon.Empty()) {
        ImageListToolbar->ReplaceIcon(0, TBexeIcon);
    } else if (ImageListToolbar->GetIcon(Category() == 0 ? 3 : 5, picture)) {
        ImageListToolbar->ReplaceIcon(0, picture);
    }
    if (ToolBar) ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
}

void THisForm::Proc_ResetSelection() {
    ListBoxHis->SetItemIndex(-1);
    ListBoxFav->SetItemIndex(-1);
    StatusBar->SetSimpleText(L"");
    TBexe->Hint.clear();
    gui::TIcon plain;
    if (ImageListToolbar->GetIcon(5, plain)) ImageListToolbar->ReplaceIcon(0, plain);
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
}

void THisForm::Proc_DispStatus() {
    if (!PageControl) return;
    if (PageControl->ActivePage() == TabSheetEnv) {
        StatusBar->SetSimpleText(L"設定");
        return;
    }
    gui::TIcon plain;
    if (ImageListToolbar->GetIcon(5, plain)) ImageListToolbar->ReplaceIcon(0, plain);
    gui::TWinControl* active = ActiveControl();
    gui::TListBox* list = active == ListBoxHis ? ListBoxHis : active == ListBoxFav ? ListBoxFav : nullptr;
    const int row = list ? list->ItemIndex() : -1;
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx, TBBrackwen}) b->SetEnabled(false);
    ListBoxHis->ShowHint = ListBoxFav->ShowHint = false;
    StatusBar->SetSimpleText(L"");
    ListBoxHis->SetItemIndex(-1);
    ListBoxFav->SetItemIndex(-1);
    CBFindChange();
    ::InvalidateRect(ToolBar->Handle(), nullptr, TRUE);
    const int c = Category();
    const int k = list == ListBoxFav ? 1 : 0;
    const gui::TStringList& entries = MFileList[k * kHisCategories + c];
    if (list) list->SetItemIndex(row);
    if (!list || row < 0 || row >= entries.Count()) {
        ::InvalidateRect(ListBoxHis->Handle(), nullptr, TRUE);
        ::InvalidateRect(ListBoxFav->Handle(), nullptr, TRUE);
        return;
    }
    const std::wstring s = entries[row];
    const bool network = s.find(L"\\\\") != std::wstring::npos;
    const bool brackwen = FileExistsSafe(BrackwenExe);
    Proc_GetTarget();
    const std::wstring cls = WindowClassName(MClipHandle);
    if (c == 0) {
        StatusBar->SetSimpleText(s.substr(0, 255));
        TBexe->Hint = MClipHandle ? L"貼り付け [Enter]" : L"コピー [Enter]";
        TBUpExp->Hint.clear();
        TBUpFol->Hint.clear();
        Proc_SetTBexeImage();
        TBexe->SetEnabled(true);
        if (!network) {
            TBContx->SetEnabled(DirectoryExistsNoRedirect(s) || FileExistsNoRedirect(s));
            TBBrackwen->SetEnabled(brackwen);
        }
        return;
    }
    const bool exists = c >= 3 ? DirectoryExistsNoRedirect(s) : FileExistsNoRedirect(s);
    if (!exists) {
        for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol}) b->Hint.clear();
        return;
    }
    StatusBar->SetSimpleText(s);
    if (c <= 2) {
        TBexe->Hint = c == 1 ? L"開く [Enter]" : L"実行 [Enter]";
        TBUpExp->Hint = cls == L"ExploreWClass" ? L"フォルダに移動 [ALT+K]" : L"フォルダを開く [ALT+K]";
        TBUpFol->Hint = cls == L"CabinetWClass" ? L"フォルダに移動 [ALT+L]" : L"フォルダを開く [ALT+L]";
    } else {
        const bool dialog = MClipHandle && IsFileDialogWindow(MClipHandle);
        const bool move = dialog || cls == (c == 3 ? L"CabinetWClass" : L"ExploreWClass");
        TBexe->Hint = move ? L"移動 [Enter]" : L"開く [Enter]";
        TBUpExp->Hint = cls == L"ExploreWClass" ? L"一つ上のフォルダに移動 [ALT+K]" : L"一つ上のフォルダを開く [ALT+K]";
        TBUpFol->Hint = cls == L"CabinetWClass" ? L"一つ上のフォルダに移動 [ALT+L]" : L"一つ上のフォルダを開く [ALT+L]";
    }
    gui::TIcon icon;
    icon.SetHandle(GetFileIconNoRedirect(s));
    if (!icon.Empty()) ImageListToolbar->ReplaceIcon(0, icon);
    for (gui::TToolButton* b : {TBexe, TBUpExp, TBUpFol, TBContx}) b->SetEnabled(true);
    TBBrackwen->SetEnabled(brackwen);
}
