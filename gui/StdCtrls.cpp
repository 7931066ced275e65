#include "gui/StdCtrls.h"

#include <windowsx.h>
#include <algorithm>

#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "toolkit/TextHelpers.h"

namespace gui {

namespace {

bool IsCommand(const TParentMessage& m, WORD code) {
    return m.Msg == WM_COMMAND && HIWORD(m.WParam) == code;
}

std::wstring ListText(HWND wnd, UINT lenMsg, UINT textMsg, int index) {
    LRESULT n = ::SendMessageW(wnd, lenMsg, index, 0);
    if (n < 0) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::SendMessageW(wnd, textMsg, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return text;
}

}  // namespace

// ---- TButton ----

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TButton";
    params.BaseClass = L"BUTTON";
    params.Style |= WS_TABSTOP | BS_PUSHBUTTON;
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (TForm* form = ParentForm()) {
        if (isDefault) form->SetDefaultButton(this);
        else if (form->DefaultButton() == this) form->SetDefaultButton(nullptr);
    }
    if (!ownerDraw_) Perform(BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool isCancel) {
    cancel_ = isCancel;
    if (TForm* form = ParentForm()) {
        if (isCancel) form->SetCancelButton(this);
        else if (form->CancelButton() == this) form->SetCancelButton(nullptr);
    }
}

void TButton::Click() {
    if (ModalResult != 0)
        if (TForm* form = ParentForm()) form->ModalResult = ModalResult;
    RunHandler(OnClick, this);
}

void TButton::ParentMessage(TParentMessage& m) {
    if (!IsCommand(m, BN_CLICKED)) return;
    m.Handled = true;
    Click();
}

// ---- TImageButton ----

void TImageButton::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.ClassName = L"TBitBtn";
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TImageButton::SetGlyph(TBitmap& glyph, TColor transparentColor) {
    glyph_.SetSize(glyph.Width(), glyph.Height());
    if (transparentColor == clNone)
        transparentColor = static_cast<TColor>(::GetPixel(glyph.Canvas().Handle(), 0, glyph.Height() - 1));
    hasGlyph_ = glyph_.AddMasked(glyph, transparentColor) >= 0;
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImageButton::ClearGlyph() {
    hasGlyph_ = false;
    glyph_.Clear();
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImageButton::ParentMessage(TParentMessage& m) {
    if (m.Msg != WM_DRAWITEM) {
        TButton::ParentMessage(m);
        return;
    }
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    RECT r = dis->rcItem;
    bool pressed = dis->itemState & ODS_SELECTED;
    bool disabled = dis->itemState & ODS_DISABLED;
    ::FillRect(dis->hDC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dis->hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (Default() || (dis->itemState & ODS_FOCUS)) {
        RECT f = r;
        ::InflateRect(&f, -4, -4);
        if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dis->hDC, &f);
    }
    std::wstring text = Caption();
    SelectObjectScope font(dis->hDC, Font().Handle());
    SIZE ts{};
    ::GetTextExtentPoint32W(dis->hDC, text.c_str(), static_cast<int>(text.size()), &ts);
    int gw = hasGlyph_ ? glyph_.Width() : 0, gh = hasGlyph_ ? glyph_.Height() : 0;
    int gap = hasGlyph_ && !text.empty() ? 4 : 0;
    int total = gw + gap + ts.cx;
    int x = (r.left + r.right - total) / 2 + (pressed ? 1 : 0);
    int cy = (r.top + r.bottom) / 2 + (pressed ? 1 : 0);
    if (hasGlyph_)
        ::ImageList_DrawEx(glyph_.Handle(), 0, dis->hDC, x, cy - gh / 2, gw, gh, CLR_NONE, CLR_NONE,
                           disabled ? ILD_BLEND50 : ILD_TRANSPARENT);
    ::SetBkMode(dis->hDC, TRANSPARENT);
    ::SetTextColor(dis->hDC, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::TextOutW(dis->hDC, x + gw + gap, cy - ts.cy / 2, text.c_str(), static_cast<int>(text.size()));
    m.Result = TRUE;
    m.Handled = true;
}

// ---- TLabel ----

void TLabel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TLabel";
    params.BaseClass = L"STATIC";
    params.Style |= (label_.ShowAccelChar ? 0 : SS_NOPREFIX) |
                    (label_.Alignment == TAlignment::taRightJustify ? SS_RIGHT
                     : label_.Alignment == TAlignment::taCenter     ? SS_CENTER
                                                                    : SS_LEFT);
}

// ---- TEdit ----

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TEdit";
    params.BaseClass = L"EDIT";
    params.Style |= WS_TABSTOP | ES_AUTOHSCROLL;
    if (edit_.Border) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::SetReadOnly(bool readOnly) { Perform(EM_SETREADONLY, readOnly, 0); }

void TEdit::SetMaxLength(int length) { Perform(EM_LIMITTEXT, length, 0); }

void TEdit::SelectAll() { Perform(EM_SETSEL, 0, -1); }

void TEdit::SetAlignment(TAlignment alignment) {
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE) & ~(ES_LEFT | ES_RIGHT | ES_CENTER);
    style |= alignment == TAlignment::taRightJustify ? ES_RIGHT
             : alignment == TAlignment::taCenter     ? ES_CENTER
                                                     : ES_LEFT;
    ::SetWindowLongW(Handle(), GWL_STYLE, style);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TEdit::SetLinkLook(bool link) {
    link_ = link;
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETCURSOR:
            if (link_ && LOWORD(lp) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            break;
        case WM_LBUTTONUP: {
            bool wasPressed = pressed_;
            pressed_ = false;
            auto alive = AliveToken();
            LRESULT r = DefaultHandler(msg, wp, lp);
            if (wasPressed && *alive) RunHandler(OnClick, this);
            return r;
        }
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

void TEdit::ParentMessage(TParentMessage& m) {
    if (IsCommand(m, EN_CHANGE)) {
        m.Handled = true;
        RunHandler(OnChange, this);
        return;
    }
    if ((m.Msg == WM_CTLCOLOREDIT || m.Msg == WM_CTLCOLORSTATIC) && link_) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        ::SetTextColor(dc, ::GetSysColor(COLOR_HOTLIGHT));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        m.Result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        m.Handled = true;
    }
}

void TMemo::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.ClassName = L"TMemo";
    params.Style |= ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | ES_AUTOVSCROLL;
    if (memo_.WordWrap) params.Style &= ~ES_AUTOHSCROLL;
    else params.Style |= WS_HSCROLL;
}

// ---- TCheckBox, TRadioButton, TGroupBox, TRadioGroup ----

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TCheckBox";
    params.BaseClass = L"BUTTON";
    params.Style |= WS_TABSTOP | BS_AUTOCHECKBOX;
}

bool TCheckBox::Checked() const {
    return HandleAllocated() && ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) { Perform(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }

void TCheckBox::ParentMessage(TParentMessage& m) {
    if (!IsCommand(m, BN_CLICKED)) return;
    m.Handled = true;
    RunHandler(OnClick, this);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TCheckBox::CreateParams(params);
    params.ClassName = L"TRadioButton";
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_AUTORADIOBUTTON;
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TGroupBox";
    params.BaseClass = L"BUTTON";
    params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        // The system's group box leaves its face unpainted between the children.
        RECT r = ClientRect();
        ::FillRect(reinterpret_cast<HDC>(wp), &r, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    return DefaultHandler(msg, wp, lp);
}

RECT TGroupBox::AlignRect() const {
    RECT r = ClientRect();
    r.left += 6;
    r.right -= 6;
    r.top += 18;
    r.bottom -= 6;
    return r;
}

void TRadioGroup::SetItems(const std::vector<std::wstring>& items) {
    for (TRadioButton* b : buttons_) Free(b);
    buttons_.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        auto* b = NewControl<TRadioButton>(
            this, {.Parent = this, .Caption = items[i], .Style = i == 0 ? static_cast<DWORD>(WS_GROUP) : 0u});
        b->Font().Assign(Font());
        b->OnClick = [this](TCheckBox*) { RunHandler(OnClick, this); };
        buttons_.push_back(b);
    }
    ArrangeButtons();
}

int TRadioGroup::ItemIndex() const {
    for (size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->Checked()) return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == index);
}

void TRadioGroup::ArrangeButtons() {
    if (buttons_.empty() || !HandleAllocated()) return;
    RECT r = AlignRect();
    int cols = std::max(group_.Columns, 1);
    int rows = (static_cast<int>(buttons_.size()) + cols - 1) / cols;
    int cw = (r.right - r.left) / cols;
    int rh = std::max<int>((r.bottom - r.top) / std::max(rows, 1), 1);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        int col = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(r.left + col * cw, r.top + row * rh, cw, std::min(rh, 20));
    }
}

LRESULT TRadioGroup::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    auto alive = AliveToken();
    LRESULT r = TGroupBox::WndProc(msg, wp, lp);
    if (!*alive) return r;
    if (msg == WM_SIZE) ArrangeButtons();
    return r;
}

// ---- TListBox ----

void TListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TListBox";
    params.BaseClass = L"LISTBOX";
    params.Style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_HASSTRINGS;
    if (list_.Style == TListBoxStyle::lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
    if (list_.Sorted) params.Style |= LBS_SORT;
    if (list_.MultiSelect) params.Style |= LBS_EXTENDEDSEL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TListBox::Count() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

void TListBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw Exception(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
}

int TListBox::Add(const std::wstring& text, LPARAM data) {
    auto i = static_cast<int>(::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (i >= 0) ::SendMessageW(Handle(), LB_SETITEMDATA, i, data);
    return i;
}

void TListBox::Insert(int index, const std::wstring& text, LPARAM data) {
    if (index < 0 || index > Count())
        throw Exception(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    auto i = static_cast<int>(::SendMessageW(Handle(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (i >= 0) ::SendMessageW(Handle(), LB_SETITEMDATA, i, data);
}

void TListBox::Delete(int index) {
    CheckIndex(index);
    Perform(LB_DELETESTRING, index);
}

void TListBox::Clear() { Perform(LB_RESETCONTENT); }

std::wstring TListBox::Item(int index) const {
    CheckIndex(index);
    return ListText(Handle(), LB_GETTEXTLEN, LB_GETTEXT, index);
}

LPARAM TListBox::Data(int index) const {
    CheckIndex(index);
    return ::SendMessageW(Handle(), LB_GETITEMDATA, index, 0);
}

void TListBox::SetData(int index, LPARAM data) {
    CheckIndex(index);
    Perform(LB_SETITEMDATA, index, data);
}

int TListBox::IndexOf(const std::wstring& text) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (SameText(ListText(Handle(), LB_GETTEXTLEN, LB_GETTEXT, i), text)) return i;
    return -1;
}

int TListBox::ItemIndex() const {
    if (list_.MultiSelect) return static_cast<int>(::SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
    if (list_.MultiSelect) {
        Perform(LB_SETSEL, FALSE, -1);
        if (index >= 0) Perform(LB_SETSEL, TRUE, index);
        Perform(LB_SETCARETINDEX, index, FALSE);
    } else {
        Perform(LB_SETCURSEL, index);
    }
}

bool TListBox::Selected(int index) const {
    CheckIndex(index);
    return ::SendMessageW(Handle(), LB_GETSEL, index, 0) > 0;
}

void TListBox::SetSelected(int index, bool selected) {
    CheckIndex(index);
    if (list_.MultiSelect) Perform(LB_SETSEL, selected, index);
    else Perform(LB_SETCURSEL, selected ? index : -1);
}

int TListBox::TopIndex() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TListBox::SetTopIndex(int index) { Perform(LB_SETTOPINDEX, index); }

int TListBox::ItemHeight() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0)); }

void TListBox::SetItemHeight(int height) {
    Perform(LB_SETITEMHEIGHT, 0, height);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TListBox::SetHorizontalExtent(int width) { Perform(LB_SETHORIZONTALEXTENT, width); }

int TListBox::ItemAtPos(POINT pt) const {
    LRESULT r = ::SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    if (HIWORD(r)) return -1;
    return LOWORD(r);
}

RECT TListBox::ItemRect(int index) const {
    RECT r{};
    ::SendMessageW(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TListBox::ParentMessage(TParentMessage& m) {
    switch (m.Msg) {
        case WM_COMMAND:
            if (HIWORD(m.WParam) == LBN_SELCHANGE) {
                m.Handled = true;
                RunHandler(OnClick, this);
            }
            break;
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            int height = list_.ItemHeight;
            RunHandler(OnMeasureItem, this, static_cast<int>(mis->itemID), height);
            mis->itemHeight = height;
            m.Result = TRUE;
            m.Handled = true;
            break;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            m.Result = TRUE;
            m.Handled = true;
            if (static_cast<int>(dis->itemID) < 0) {
                if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dis->hDC, &dis->rcItem);
                break;
            }
            TCanvas canvas(dis->hDC);
            TDrawItemInfo item{static_cast<int>(dis->itemID), canvas, dis->rcItem,
                               (dis->itemState & ODS_SELECTED) != 0, (dis->itemState & ODS_FOCUS) != 0};
            int saved = ::SaveDC(dis->hDC);
            if (OnDrawItem) RunHandler(OnDrawItem, this, item);
            else DrawItem(item);
            ::RestoreDC(dis->hDC, saved);
            break;
        }
        default:
            break;
    }
}

void TListBox::DrawItem(TDrawItemInfo& item) {
    HDC dc = item.Canvas.Handle();
    ::FillRect(dc, &item.Rect, ::GetSysColorBrush(item.Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(item.Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SelectObjectScope font(dc, Font().Handle());
    std::wstring text = ListText(Handle(), LB_GETTEXTLEN, LB_GETTEXT, item.Index);
    RECT r = item.Rect;
    r.left += 2;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (item.Focused) ::DrawFocusRect(dc, &item.Rect);
}

// ---- TCheckListBox ----

namespace {
// The rows a check list draws its boxes in are owner-drawn.
TListBoxArgs OwnerDrawn(TListBoxArgs list) {
    list.Style = TListBoxStyle::lbOwnerDrawFixed;
    return list;
}
}  // namespace

TCheckListBox::TCheckListBox(TComponent* owner, const TListBoxArgs& list) : TListBox(owner, OwnerDrawn(list)) {}

void TCheckListBox::CreateParams(TCreateParams& params) {
    TListBox::CreateParams(params);
    params.ClassName = L"TCheckListBox";
}

bool TCheckListBox::Checked(int index) const { return Data(index) != 0; }

void TCheckListBox::SetChecked(int index, bool checked) {
    SetData(index, checked ? 1 : 0);
    RECT r = ItemRect(index);
    ::InvalidateRect(Handle(), &r, TRUE);
}

void TCheckListBox::Toggle(int index) {
    if (index < 0 || index >= Count()) return;
    SetChecked(index, !Checked(index));
    RunHandler(OnClickCheck, this);
}

LRESULT TCheckListBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        int index = ItemAtPos(pt);
        auto alive = AliveToken();
        LRESULT r = TListBox::WndProc(msg, wp, lp);
        if (*alive && index >= 0 && pt.x < ItemHeight() + 2) Toggle(index);
        return r;
    }
    if (msg == WM_CHAR && wp == L' ') {
        Toggle(ItemIndex());
        return 0;
    }
    return TListBox::WndProc(msg, wp, lp);
}

void TCheckListBox::DrawItem(TDrawItemInfo& item) {
    HDC dc = item.Canvas.Handle();
    int h = item.Rect.bottom - item.Rect.top;
    RECT box{item.Rect.left + 1, item.Rect.top + 1, item.Rect.left + h - 1, item.Rect.bottom - 1};
    RECT face = item.Rect;
    face.right = box.right + 1;
    ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawFrameControl(dc, &box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (Checked(item.Index) ? DFCS_CHECKED : 0));
    TDrawItemInfo rest = item;
    rest.Rect.left = box.right + 2;
    TListBox::DrawItem(rest);
}

// ---- TComboBox ----

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TComboBox";
    params.BaseClass = L"COMBOBOX";
    params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL |
                    (combo_.Style == TComboBoxStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    params.Height += ListHeight();
}

int TComboBox::ListHeight() const { return std::max(combo_.DropDownCount, 1) * 18 + 4; }

void TComboBox::SetBounds(int left, int top, int width, int height) {
    // The window's height includes the dropped-down list.
    TWinControl::SetBounds(left, top, width, height + ListHeight());
}

int TComboBox::Count() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

int TComboBox::Add(const std::wstring& text) {
    return static_cast<int>(Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void TComboBox::Insert(int index, const std::wstring& text) {
    if (index < 0 || index > Count())
        throw Exception(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    Perform(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
}

void TComboBox::Delete(int index) {
    if (index < 0 || index >= Count())
        throw Exception(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    Perform(CB_DELETESTRING, index);
}

void TComboBox::Clear() { Perform(CB_RESETCONTENT); }

std::wstring TComboBox::Item(int index) const {
    if (index < 0 || index >= Count())
        throw Exception(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    return ListText(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int TComboBox::IndexOf(const std::wstring& text) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (SameText(ListText(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, i), text)) return i;
    return -1;
}

int TComboBox::ItemIndex() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int index) { Perform(CB_SETCURSEL, index); }

void TComboBox::SetMaxLength(int length) { Perform(CB_LIMITTEXT, length); }

bool TComboBox::DroppedDown() const { return ::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TComboBox::ParentMessage(TParentMessage& m) {
    if (IsCommand(m, CBN_SELCHANGE)) {
        // The box puts the picked text into its edit only after this
        // notification; until then Text() answers with the pick.
        const int index = ItemIndex();
        m.Handled = true;
        picked_ = index >= 0 ? ListText(Handle(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index) : Caption();
        picking_ = true;
        auto alive = AliveToken();
        RunHandler(OnChange, this);
        if (*alive) picking_ = false;
        return;
    }
    if (IsCommand(m, CBN_SELCHANGE) || IsCommand(m, CBN_EDITCHANGE)) {
        m.Handled = true;
        RunHandler(OnChange, this);
    }
}

}  // namespace gui
