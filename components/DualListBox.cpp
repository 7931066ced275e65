#include "components/DualListBox.h"

#include <string>
#include <utility>
#include <vector>

#include "gui/Application.h"

void TDualListBox::SetSynListBox(gui::TListBox* value) {
    if (value == FSynListBox) return;
    if (value == this) {
        const wchar_t text[] = L"自分自身は選択出来ません";
        const wchar_t caption[] = L"エラー";
        if (gui::Application) gui::Application->MessageBox(text, caption, MB_OK | MB_ICONERROR);
        else ::MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
        return;
    }
    if (FSynListBox) RemoveFreeNotification(FSynListBox);
    FSynListBox = value;
    if (value) FreeNotification(value);
}

void TDualListBox::SetHideScrollBar(bool value) {
    if (value == FHideScrollBar) return;
    FHideScrollBar = value;
    if (HandleAllocated()) RecreateWnd();
}

void TDualListBox::CreateParams(gui::TCreateParams& params) {
    gui::TListBox::CreateParams(params);
    if (FHideScrollBar) params.Style &= ~static_cast<DWORD>(WS_VSCROLL);
}

LRESULT TDualListBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    auto alive = AliveToken();
    const LRESULT result = gui::TListBox::WndProc(msg, wp, lp);
    // Only a change is passed on: a partner that already shows the row is not
    // made to paint again, so a mutual pair settles after one exchange.
    if (msg == WM_PAINT && *alive && FSynListBox && FSynListBox->HandleAllocated() && HandleAllocated()) {
        const int top = TopIndex();
        if (FSynListBox->TopIndex() != top) FSynListBox->SetTopIndex(top);
    }
    return result;
}

void TDualListBox::Notification(gui::TComponent* component, gui::TOperation operation) {
    gui::TListBox::Notification(component, operation);
    if (operation == gui::TOperation::opRemove && component == FSynListBox) FSynListBox = nullptr;
}

void TDualListBox::RecreateWnd() {
    HWND old = Handle();
    // What the list holds and shows, to be put back into the new window.
    std::vector<std::pair<std::wstring, LPARAM>> items;
    for (int i = 0, n = Count(); i < n; ++i) items.emplace_back(Item(i), Data(i));
    std::vector<int> selected;
    for (int i = 0, n = Count(); i < n; ++i)
        if (::SendMessageW(old, LB_GETSEL, i, 0) > 0) selected.push_back(i);
    const int itemIndex = ItemIndex();
    const int top = TopIndex();
    const auto extent = static_cast<int>(::SendMessageW(old, LB_GETHORIZONTALEXTENT, 0, 0));
    const bool focused = ::GetFocus() == old;
    const RECT bounds = BoundsRect();
    const LONG style = ::GetWindowLongW(old, GWL_STYLE);
    HWND before = ::GetWindow(old, GW_HWNDPREV);

    DestroyHandle();
    gui::TCreateParams params;
    CreateParams(params);
    params.X = bounds.left;
    params.Y = bounds.top;
    params.Width = bounds.right - bounds.left;
    params.Height = bounds.bottom - bounds.top;
    params.Style = (params.Style & ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED)) |
                   (style & (WS_VISIBLE | WS_DISABLED));
    CreateHandle(params);
    FontChanged();
    CreateWnd();
    ::SetWindowPos(Handle(), before ? before : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    for (const auto& [text, data] : items) Add(text, data);
    if (extent > 0) SetHorizontalExtent(extent);
    if (MultiSelect()) {
        for (int i : selected) Perform(LB_SETSEL, TRUE, i);
        if (itemIndex >= 0) Perform(LB_SETCARETINDEX, itemIndex, FALSE);
    } else {
        SetItemIndex(itemIndex);
    }
    SetTopIndex(top);
    if (focused) SetFocus();
}
