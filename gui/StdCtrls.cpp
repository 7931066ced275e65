#include "gui/StdCtrls.h"

#include "gui/Form.h"

namespace gui {

namespace {

TCreateParams ChildParams(TWinControl* parent, const wchar_t* className, const wchar_t* baseClass,
                          DWORD style, DWORD exStyle, const RECT& r, const std::wstring& text) {
    TCreateParams p;
    p.ClassName = className;
    p.BaseClass = baseClass;
    p.Caption = text;
    p.Style = WS_CHILD | WS_VISIBLE | style;
    p.ExStyle = exStyle;
    p.X = r.left;
    p.Y = r.top;
    p.Width = r.right - r.left;
    p.Height = r.bottom - r.top;
    p.WndParent = parent->Handle();
    return p;
}

TForm* ParentForm(TWinControl* control) {
    for (HWND w = control->Handle(); w; w = ::GetParent(w))
        if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(w))) return form;
    return nullptr;
}

}  // namespace

TControl::TControl(TWinControl* parent, const wchar_t* className, const wchar_t* baseClass,
                   DWORD style, DWORD exStyle, const RECT& bounds, const std::wstring& text)
    : TWinControl(parent), parent_(parent), font_(DefaultFont()) {
    CreateHandle(ChildParams(parent, className, baseClass, style, exStyle, bounds, text));
    FontChanged();
    font_.OnChange = [this](TFont*) { FontChanged(); };
}

TFont& TControl::DefaultFont() {
    static TFont font = [] {
        TFont f;
        NONCLIENTMETRICSW ncm{sizeof(ncm)};
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
            f.SetName(ncm.lfMenuFont.lfFaceName);
        f.SetSize(9);
        return f;
    }();
    return font;
}

void TControl::FontChanged() { Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE); }

TButton::TButton(TWinControl* parent, const std::wstring& caption, const RECT& bounds)
    : TControl(parent, L"TButton", L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, bounds, caption) {}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    // The dialog keys find the default button by the id IDOK, the cancel
    // button by IDCANCEL.
    if (isDefault) ::SetWindowLongPtrW(Handle(), GWLP_ID, IDOK);
    Perform(BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool isCancel) {
    cancel_ = isCancel;
    if (isCancel) ::SetWindowLongPtrW(Handle(), GWLP_ID, IDCANCEL);
}

void TButton::Click() {
    if (ModalResult != 0)
        if (TForm* form = ParentForm(this)) form->ModalResult = ModalResult;
    if (OnClick) OnClick(this);
}

bool TButton::HandleNotify(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

TLabel::TLabel(TWinControl* parent, const std::wstring& caption, const RECT& bounds, TAlignment alignment)
    : TControl(parent, L"TLabel", L"STATIC",
               SS_NOPREFIX | (alignment == TAlignment::taRightJustify ? SS_RIGHT
                              : alignment == TAlignment::taCenter     ? SS_CENTER
                                                                      : SS_LEFT),
               0, bounds, caption) {}

TEdit::TEdit(TWinControl* parent, const std::wstring& text, const RECT& bounds, bool border)
    : TControl(parent, L"TEdit", L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | (border ? WS_BORDER : 0), 0,
               bounds, text) {}

void TEdit::SetReadOnly(bool readOnly) { Perform(EM_SETREADONLY, readOnly, 0); }

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
            LRESULT r = DefaultHandler(msg, wp, lp);
            if (pressed_ && OnClick) {
                pressed_ = false;
                OnClick(this);
            }
            pressed_ = false;
            return r;
        }
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

bool TEdit::HandleColor(HDC dc, HBRUSH& brush) {
    if (!link_) return false;
    ::SetTextColor(dc, ::GetSysColor(COLOR_HOTLIGHT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    brush = ::GetSysColorBrush(COLOR_BTNFACE);
    return true;
}

TImage::TImage(TWinControl* parent, const RECT& bounds)
    : TControl(parent, L"TImage", L"STATIC", SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE, 0, bounds,
               L"") {}

void TImage::SetIcon(HICON icon) {
    icon_.AssignHandle(icon);
    Perform(STM_SETICON, reinterpret_cast<WPARAM>(icon_.Handle()), 0);
}

}  // namespace gui
