// THisForm: the rows of the two list boxes (drawn with the entries' icons,
// fetched one row per paint), the find box and the favourites' undo
// snapshot.
#include "app/history/His.h"

#include <algorithm>

#include "app/Globals.h"
#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

namespace {

constexpr int kFindHistoryMax = 100;

}  // namespace

// ------------------------------------------------------------------ undo

void THisForm::Proc_SaveUndo(const std::wstring& actionName) {
    const int c = Category();
    gui::TStringList& undo = Lists.MUndoList[c];
    undo.Clear();
    undo.Add(actionName);
    const gui::TStringList& favs = Lists.Favourites(c);
    for (int i = 0; i < favs.Count(); ++i) undo.Add(favs[i]);
}

void THisForm::PPUndoClick() {
    const int c = Category();
    gui::TStringList& favs = Lists.Favourites(c);
    gui::TStringList& undo = Lists.MUndoList[c];
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
    const gui::TStringList& entries = Lists.MFileList[k * kHisCategories + c];
    const int count = std::min(list->Count(), entries.Count());
    const int from = list->ItemIndex();
    int hit = -1;
    if (!text.empty() && from >= 0) {
        const std::wstring needle = UpperCase(text);
        if (down) {
            for (int i = from + 1; i < count && hit < 0; ++i)
                if (UpperCase(entries[i]).find(needle) != std::wstring::npos) hit = i;
        } else {
            for (int i = std::min(from, count) - 1; i >= 0 && hit < 0; --i)
                if (UpperCase(entries[i]).find(needle) != std::wstring::npos) hit = i;
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
        if (!SameText(item, text)) items.push_back(item);
    }
    if (items.size() > kFindHistoryMax) items.resize(kFindHistoryMax);
    CBFind->Clear();
    for (const std::wstring& item : items) CBFind->Add(item);
    CBFind->SetItemIndex(0);
}

// ------------------------------------------------------------------ rows

void THisForm::DrawListRow(gui::TListBox* list, gui::TImageList* images, int k, gui::TDrawItemInfo& item) {
    const int c = Category();
    const gui::TStringList& entries = Lists.MFileList[k * kHisCategories + c];
    HDC dc = item.Canvas.Handle();
    const bool selected = item.Index == list->ItemIndex();
    const COLORREF back = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (!selected) {
        const gui::TColor colour = list->Font().Color();
        fore = (colour & 0xFF000000u) ? ::GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
    }
    gui::GdiObject brush(::CreateSolidBrush(back));
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
    gui::SelectObjectScope font(dc, list->Font().Handle());
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &item.Rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
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
