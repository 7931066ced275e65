#include "gui/ComCtrls.h"

#include <commctrl.h>
#include <richedit.h>
#include <algorithm>

#include "gui/Exception.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/WindowClass.h"

namespace gui {

// ---- TTabControl ----

void TTabControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TTabControl";
    params.BaseClass = WC_TABCONTROLW;
    params.Style |= WS_TABSTOP | WS_CLIPCHILDREN | (tabs_.TabPosition == TTabPosition::tpBottom ? TCS_BOTTOM : 0);
}

int TTabControl::TabCount() const { return static_cast<int>(::SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0)); }

int TTabControl::AddTab(const std::wstring& caption, int imageIndex) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.iImage = imageIndex;
    auto index = static_cast<int>(Perform(TCM_INSERTITEMW, TabCount(), reinterpret_cast<LPARAM>(&item)));
    Realign();
    return index;
}

void TTabControl::SetTab(int index, const std::wstring& caption, int imageIndex) {
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.iImage = imageIndex;
    Perform(TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
}

void TTabControl::DeleteTab(int index) {
    Perform(TCM_DELETEITEM, index);
    Realign();
}

int TTabControl::TabIndex() const { return static_cast<int>(::SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)); }

void TTabControl::SetTabIndex(int index) {
    Perform(TCM_SETCURSEL, index);
    Changed();
}

void TTabControl::SetImages(TImageList* images) {
    Perform(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
    Realign();
}

RECT TTabControl::DisplayRect() const {
    RECT r = ClientRect();
    ::SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TTabControl::Changed() { RunHandler(OnChange, this); }

void TTabControl::ParentMessage(TParentMessage& m) {
    if (m.Msg != WM_NOTIFY) return;
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        bool allow = true;
        RunHandler(OnChanging, this, allow);
        m.Result = allow ? FALSE : TRUE;
        m.Handled = true;
    } else if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
        m.Handled = true;
        Changed();
    }
}

// ---- TPageControl, TTabSheet ----

void TPageControl::CreateParams(TCreateParams& params) {
    TTabControl::CreateParams(params);
    params.ClassName = L"TPageControl";
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    AddTab(page->Caption());
    if (pages_.size() == 1) Perform(TCM_SETCURSEL, 0);
    ShowActive();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    int index = static_cast<int>(it - pages_.begin());
    pages_.erase(it);
    if (HandleAllocated()) {
        DeleteTab(index);
        if (TabIndex() < 0 && !pages_.empty()) Perform(TCM_SETCURSEL, 0);
        ShowActive();
    }
}

TTabSheet* TPageControl::ActivePage() const {
    int i = TabIndex();
    return i >= 0 && i < PageCount() ? pages_[i] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end()) SetActivePageIndex(static_cast<int>(it - pages_.begin()));
}

void TPageControl::SetActivePageIndex(int index) { SetTabIndex(index); }

void TPageControl::ShowActive() {
    // Every sheet keeps the display area's size, shown or not, so the
    // controls on a hidden sheet are laid out too.
    TTabSheet* active = ActivePage();
    RECT r = DisplayRect();
    for (TTabSheet* p : pages_) {
        if (!p->HandleAllocated()) continue;
        ::SetWindowPos(p->Handle(), HWND_TOP, r.left, r.top, std::max<int>(r.right - r.left, 0),
                       std::max<int>(r.bottom - r.top, 0),
                       SWP_NOACTIVATE | (p == active ? SWP_SHOWWINDOW : SWP_HIDEWINDOW | SWP_NOZORDER));
    }
}

LRESULT TPageControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    auto alive = AliveToken();
    LRESULT r = TTabControl::WndProc(msg, wp, lp);
    if (msg == WM_SIZE && *alive) ShowActive();
    return r;
}

void TPageControl::Changed() {
    ShowActive();
    TTabControl::Changed();
}

void TTabSheet::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TTabSheet";
    params.Style |= WS_CLIPCHILDREN;
    params.Style &= ~WS_VISIBLE;
}

void TTabSheet::CreateWnd() {
    // The page control places its sheets itself.
    if (TPageControl* pc = PageControl()) pc->InsertPage(this);
}

void TTabSheet::BeforeDestruction() {
    if (TPageControl* pc = PageControl()) pc->RemovePage(this);
    TWinControl::BeforeDestruction();
}

TPageControl* TTabSheet::PageControl() const { return dynamic_cast<TPageControl*>(Parent()); }

int TTabSheet::PageIndex() const {
    TPageControl* pc = PageControl();
    if (!pc) return -1;
    for (int i = 0; i < pc->PageCount(); ++i)
        if (pc->Pages(i) == this) return i;
    return -1;
}

// ---- TStatusBar ----

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TStatusBar";
    params.BaseClass = STATUSCLASSNAMEW;
    params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (params.Height <= 0) params.Height = 20;
}

void TStatusBar::CreateWnd() {
    if (align_ == TAlign::alNone) align_ = TAlign::alBottom;
    Perform(SB_SIMPLE, TRUE);
}

void TStatusBar::SetSimpleText(const std::wstring& text) {
    simple_ = true;
    simpleText_ = text;
    Perform(SB_SIMPLE, TRUE);
    Perform(SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::SetPanels(const std::vector<int>& widths) {
    simple_ = false;
    Perform(SB_SIMPLE, FALSE);
    std::vector<int> edges;
    int x = 0;
    for (int w : widths) {
        x = w < 0 ? -1 : x + w;
        edges.push_back(x);
    }
    Perform(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void TStatusBar::SetPanelText(int index, const std::wstring& text) {
    Perform(SB_SETTEXTW, index, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring TStatusBar::PanelText(int index) const {
    if (simple_) return simpleText_;
    int part = index;
    auto n = LOWORD(::SendMessageW(Handle(), SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(n + 1, L'\0');
    ::SendMessageW(Handle(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(n);
    return text;
}

void TStatusBar::ShowAutoHint(const std::wstring& hint) {
    if (!HandleAllocated()) return;
    if (simple_) SetSimpleText(hint);
    else SetPanelText(0, hint);
}

void TStatusBar::ParentMessage(TParentMessage& m) {
    if (m.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == static_cast<UINT>(NM_DBLCLK)) {
        m.Handled = true;
        RunHandler(OnDblClick, this);
    }
}

// ---- TToolBar, TToolButton ----

TToolButton::~TToolButton() {
    if (toolBar_) toolBar_->RemoveButton(this);
}

bool TToolButton::Down() const {
    if (toolBar_ && toolBar_->HandleAllocated())
        return ::SendMessageW(toolBar_->Handle(), TB_ISBUTTONCHECKED, command_, 0) != 0;
    return down_;
}

void TToolButton::SetDown(bool down) {
    down_ = down;
    if (toolBar_) toolBar_->Perform(TB_CHECKBUTTON, command_, MAKELPARAM(down, 0));
}

bool TToolButton::Enabled() const { return enabled_; }

void TToolButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (toolBar_) toolBar_->Perform(TB_ENABLEBUTTON, command_, MAKELPARAM(enabled, 0));
}

void TToolButton::SetVisible(bool visible) {
    visible_ = visible;
    if (toolBar_) {
        toolBar_->Perform(TB_HIDEBUTTON, command_, MAKELPARAM(!visible, 0));
        toolBar_->FitHeight();
    }
}

void TToolButton::SetImageIndex(int index) {
    ImageIndex = index;
    if (toolBar_) toolBar_->Perform(TB_CHANGEBITMAP, command_, MAKELPARAM(index, 0));
}

void TToolButton::Click() { RunHandler(OnClick, this); }

void TToolBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TToolBar";
    params.BaseClass = TOOLBARCLASSNAMEW;
    params.Style |= TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
                    (bar_.ShowCaptions ? TBSTYLE_LIST : 0) | (bar_.Wrapable ? TBSTYLE_WRAPABLE : 0);
}

void TToolBar::CreateWnd() {
    Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    Perform(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | (bar_.ShowCaptions ? TBSTYLE_EX_MIXEDBUTTONS : 0));
    if (align_ == TAlign::alNone) align_ = TAlign::alTop;
}

void TToolBar::SetImages(TImageList* images) {
    Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
    FitHeight();
}

TToolButton* NewToolButton(TComponent* owner, TToolBar* bar, TToolButtonArgs args) {
    auto* button = new TToolButton(owner);
    button->Name = std::move(args.Name);
    button->Caption = std::move(args.Caption);
    button->Hint = std::move(args.Hint);
    button->ImageIndex = args.ImageIndex;
    button->Style = args.Style;
    button->Grouped = args.Grouped;
    button->SetDown(args.Down);
    button->Wrap = args.Wrap;
    button->DropdownMenu = args.DropdownMenu;
    button->OnClick = std::move(args.OnClick);
    bar->AddButton(button);
    return button;
}

void TToolBar::AddButton(TToolButton* button) {
    if (button->toolBar_) return;
    button->toolBar_ = this;
    button->command_ = nextCommand_++;
    buttons_.push_back(button);
    TBBUTTON b{};
    b.idCommand = button->command_;
    b.iBitmap = button->Style == TToolButtonStyle::tbsSeparator ? 6 : button->ImageIndex;
    b.fsState = static_cast<BYTE>((button->enabled_ ? TBSTATE_ENABLED : 0) | (button->down_ ? TBSTATE_CHECKED : 0) |
                                  (button->visible_ ? 0 : TBSTATE_HIDDEN) | (button->Wrap ? TBSTATE_WRAP : 0));
    BYTE style = BTNS_AUTOSIZE;
    switch (button->Style) {
        case TToolButtonStyle::tbsCheck: style |= BTNS_CHECK | (button->Grouped ? BTNS_GROUP : 0); break;
        case TToolButtonStyle::tbsDropDown: style |= BTNS_DROPDOWN; break;
        case TToolButtonStyle::tbsSeparator: style = BTNS_SEP; break;
        default: break;
    }
    if (bar_.ShowCaptions && !button->Caption.empty()) style |= BTNS_SHOWTEXT;
    b.fsStyle = style;
    b.iString = button->Caption.empty() || button->Style == TToolButtonStyle::tbsSeparator
                    ? -1
                    : reinterpret_cast<INT_PTR>(button->Caption.c_str());
    Perform(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    Perform(TB_AUTOSIZE);
    FitHeight();
}

void TToolBar::RemoveButton(TToolButton* button) noexcept {
    auto it = std::find(buttons_.begin(), buttons_.end(), button);
    if (it == buttons_.end()) return;
    buttons_.erase(it);
    if (HandleAllocated()) {
        auto index = ::SendMessageW(Handle(), TB_COMMANDTOINDEX, button->command_, 0);
        if (index >= 0) ::SendMessageW(Handle(), TB_DELETEBUTTON, index, 0);
    }
    button->toolBar_ = nullptr;
}

void TToolBar::BeforeDestruction() {
    for (TToolButton* b : buttons_) {
        b->down_ = b->Down();
        b->toolBar_ = nullptr;
    }
    buttons_.clear();
    TWinControl::BeforeDestruction();
}

std::wstring TToolBar::LongHintAt(POINT client) const {
    if (!HandleAllocated()) return Hint;
    auto index = static_cast<int>(::SendMessageW(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return Hint;
    TBBUTTON info{};
    if (!::SendMessageW(Handle(), TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&info))) return Hint;
    const TToolButton* b = ByCommand(info.idCommand);
    return b && b->Style != TToolButtonStyle::tbsSeparator ? b->Hint : Hint;
}

TToolButton* TToolBar::ByCommand(int command) const {
    for (TToolButton* b : buttons_)
        if (b->command_ == command) return b;
    return nullptr;
}

void TToolBar::SetShowCaptions(bool show) {
    bar_.ShowCaptions = show;
    if (!HandleAllocated()) return;
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    ::SetWindowLongW(Handle(), GWL_STYLE, show ? style | TBSTYLE_LIST : style & ~TBSTYLE_LIST);
    Perform(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | (show ? TBSTYLE_EX_MIXEDBUTTONS : 0));
    // Below the pictures every button shows its caption; beside them only
    // the buttons that have one.
    for (TToolButton* b : buttons_) {
        if (b->Style == TToolButtonStyle::tbsSeparator) continue;
        TBBUTTONINFOW info{sizeof(info)};
        info.dwMask = TBIF_STYLE;
        if (!::SendMessageW(Handle(), TB_GETBUTTONINFOW, b->command_, reinterpret_cast<LPARAM>(&info))) continue;
        if (!b->Caption.empty()) info.fsStyle |= BTNS_SHOWTEXT;
        ::SendMessageW(Handle(), TB_SETBUTTONINFOW, b->command_, reinterpret_cast<LPARAM>(&info));
    }
    Perform(TB_AUTOSIZE);
    ::InvalidateRect(Handle(), nullptr, TRUE);
    FitHeight();
}

int TToolBar::RowCount() const { return static_cast<int>(::SendMessageW(Handle(), TB_GETROWS, 0, 0)); }

int TToolBar::NeededHeight() const {
    int bottom = 0;
    for (int i = 0, n = static_cast<int>(buttons_.size()); i < n; ++i) {
        RECT r{};
        if (::SendMessageW(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
            bottom = std::max<int>(bottom, r.bottom);
    }
    if (bottom == 0) bottom = HIWORD(::SendMessageW(Handle(), TB_GETBUTTONSIZE, 0, 0));
    return bottom + 2;
}

void TToolBar::FitHeight() {
    if (fitting_ || !HandleAllocated()) return;
    fitting_ = true;
    int h = NeededHeight();
    if (h != Height()) {
        RECT r = BoundsRect();
        TWinControl::SetBounds(r.left, r.top, r.right - r.left, h);
        if (Parent()) Parent()->Realign();
    }
    fitting_ = false;
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    auto alive = AliveToken();
    LRESULT r = DefaultHandler(msg, wp, lp);
    if (msg == WM_SIZE && *alive) FitHeight();
    return r;
}

void TToolBar::ParentMessage(TParentMessage& m) {
    if (m.Msg == WM_COMMAND) {
        if (TToolButton* b = ByCommand(LOWORD(m.WParam))) {
            m.Handled = true;
            b->Click();
        }
        return;
    }
    if (m.Msg != WM_NOTIFY) return;
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == static_cast<UINT>(TBN_DROPDOWN)) {
        auto* tb = reinterpret_cast<NMTOOLBARW*>(m.LParam);
        TToolButton* b = ByCommand(tb->iItem);
        m.Handled = true;
        m.Result = TBDDRET_DEFAULT;
        if (b && b->DropdownMenu) {
            RECT r{};
            Perform(TB_GETRECT, tb->iItem, reinterpret_cast<LPARAM>(&r));
            POINT pt{r.left, r.bottom};
            ::ClientToScreen(Handle(), &pt);
            b->DropdownMenu->SetPopupComponent(b);
            b->DropdownMenu->Popup(pt.x, pt.y);
        }
    } else if (hdr->code == static_cast<UINT>(TBN_GETINFOTIPW)) {
        auto* tip = reinterpret_cast<NMTBGETINFOTIPW*>(m.LParam);
        if (TToolButton* b = ByCommand(tip->iItem); b && !b->Hint.empty() && tip->pszText && tip->cchTextMax > 0) {
            lstrcpynW(tip->pszText, b->Hint.c_str(), tip->cchTextMax);
            m.Handled = true;
        }
    }
}

// ---- TListView ----

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TListView";
    params.BaseClass = WC_LISTVIEWW;
    params.Style |= WS_TABSTOP | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                    (view_.ViewStyle == TViewStyle::vsReport ? LVS_REPORT : LVS_ICON) |
                    (view_.SortedAscending ? LVS_SORTASCENDING : 0) | (view_.AutoArrange ? LVS_AUTOARRANGE : 0);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd() {
    DWORD ex = (view_.GridLines ? LVS_EX_GRIDLINES : 0) | (view_.RowSelect ? LVS_EX_FULLROWSELECT : 0);
    Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, ex | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, ex);
    for (const TListColumn& column : view_.Columns) AddColumn(column.Caption, column.Width);
}

void TListView::AddColumn(const std::wstring& caption, int width) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(caption.c_str());
    col.cx = width;
    col.iSubItem = columns_;
    Perform(LVM_INSERTCOLUMNW, columns_++, reinterpret_cast<LPARAM>(&col));
}

int TListView::Count() const { return static_cast<int>(::SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

int TListView::AddItem(const std::wstring& caption, int imageIndex) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.iImage = imageIndex;
    return static_cast<int>(Perform(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void TListView::SetSubItem(int index, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    Perform(LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
}

std::wstring TListView::ItemText(int index, int column) const {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    auto n = ::SendMessageW(Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    text.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
    return text;
}

void TListView::DeleteItem(int index) { Perform(LVM_DELETEITEM, index); }

void TListView::Clear() { Perform(LVM_DELETEALLITEMS); }

int TListView::ItemIndex() const {
    return static_cast<int>(::SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetItemIndex(int index) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (index < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    Perform(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
}

void TListView::SetLargeImages(TImageList* images) {
    Perform(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TListView::SetSmallImages(TImageList* images) {
    Perform(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TListView::SetIconSpacing(int cx, int cy) { Perform(LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)); }

void TListView::ParentMessage(TParentMessage& m) {
    if (m.Msg != WM_NOTIFY) return;
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == static_cast<UINT>(LVN_ITEMCHANGED)) {
        auto* lv = reinterpret_cast<NMLISTVIEW*>(m.LParam);
        if ((lv->uChanged & LVIF_STATE) && ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) {
            m.Handled = true;
            RunHandler(OnSelectItem, this);
        }
    } else if (hdr->code == static_cast<UINT>(NM_DBLCLK)) {
        m.Handled = true;
        RunHandler(OnItemDblClick, this);
    } else if (hdr->code == static_cast<UINT>(NM_CLICK)) {
        m.Handled = true;
        RunHandler(OnClick, this);
    }
}

// ---- TUpDown ----

void TUpDown::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TUpDown";
    params.BaseClass = UPDOWN_CLASSW;
    params.Style |= UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | (upDown_.Wrap ? UDS_WRAP : 0);
}

void TUpDown::SetAssociate(TEdit* edit) {
    Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit ? edit->Handle() : nullptr));
}

void TUpDown::SetRange(int min, int max) { Perform(UDM_SETRANGE32, min, max); }

int TUpDown::Position() const { return static_cast<int>(::SendMessageW(Handle(), UDM_GETPOS32, 0, 0)); }

void TUpDown::SetPosition(int position) { Perform(UDM_SETPOS32, 0, position); }

void TUpDown::SetIncrement(int increment) {
    UDACCEL accel{0, static_cast<UINT>(increment)};
    Perform(UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::ParentMessage(TParentMessage& m) {
    if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) {
        if (LOWORD(m.WParam) == SB_THUMBPOSITION) RunHandler(OnChange, this);
        m.Handled = true;
    }
}

// ---- TTrackBar ----

void TTrackBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TTrackBar";
    params.BaseClass = TRACKBAR_CLASSW;
    params.Style |= WS_TABSTOP | TBS_AUTOTICKS | TBS_HORZ;
}

void TTrackBar::SetRange(int min, int max) {
    Perform(TBM_SETRANGEMIN, FALSE, min);
    Perform(TBM_SETRANGEMAX, TRUE, max);
}

int TTrackBar::Position() const { return static_cast<int>(::SendMessageW(Handle(), TBM_GETPOS, 0, 0)); }

void TTrackBar::SetPosition(int position) { Perform(TBM_SETPOS, TRUE, position); }

void TTrackBar::SetFrequency(int frequency) { Perform(TBM_SETTICFREQ, frequency); }

void TTrackBar::ParentMessage(TParentMessage& m) {
    if (m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) {
        m.Handled = true;
        if (LOWORD(m.WParam) != TB_ENDTRACK) RunHandler(OnChange, this);
    }
}

// ---- TRichEdit ----

void TRichEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TRichEdit";
    params.BaseClass = RichEditClass();
    params.Style |= WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL | ES_AUTOVSCROLL |
                    (edit_.WordWrap ? 0 : WS_HSCROLL | ES_AUTOHSCROLL);
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TRichEdit::CreateWnd() {
    std::wstring text = Caption();
    SetCaption(L"");
    Perform(EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO | TM_MULTICODEPAGE);
    SetCaption(text);
    Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
}

void TRichEdit::SetReadOnly(bool readOnly) { Perform(EM_SETREADONLY, readOnly); }

int TRichEdit::SelStart() const {
    CHARRANGE cr{};
    ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    return cr.cpMin;
}

int TRichEdit::SelLength() const {
    CHARRANGE cr{};
    ::SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    return cr.cpMax - cr.cpMin;
}

void TRichEdit::SetSel(int start, int length) {
    CHARRANGE cr{start, start + length};
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

std::wstring TRichEdit::SelText() const {
    std::wstring text(static_cast<size_t>(SelLength()) + 1, L'\0');
    auto n = ::SendMessageW(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
    return text;
}

void TRichEdit::BeginUpdate() {
    if (updating_++ == 0) Perform(WM_SETREDRAW, FALSE);
}

void TRichEdit::EndUpdate() {
    if (updating_ == 0 || --updating_ != 0) return;
    Perform(WM_SETREDRAW, TRUE);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TRichEdit::SetTabWidth(int dialogUnits) {
    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    pf.dwMask = PFM_TABSTOPS;
    pf.cTabCount = MAX_TAB_STOPS;
    // Twips: a dialog unit is a quarter of an average character (about 90 twips).
    for (int i = 0; i < MAX_TAB_STOPS; ++i) pf.rgxTabs[i] = (i + 1) * dialogUnits * 90 / 4;
    CHARRANGE all{0, -1}, old{};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    Perform(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
}

void TRichEdit::ParentMessage(TParentMessage& m) {
    if (m.Msg == WM_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
        m.Handled = true;
        RunHandler(OnChange, this);
    } else if (m.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == EN_SELCHANGE) {
        m.Handled = true;
        RunHandler(OnSelectionChange, this);
    }
}

}  // namespace gui
