#include "components/NumEdit.h"

#include <imm.h>
#include <cwchar>
#include <windowsx.h>

#include "gui/Handles.h"
#include "toolkit/QuorvinText.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Full-width digits, minus, point and comma as the half-width ones; other
// characters as they are.
wchar_t HalfWidth(wchar_t c) {
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<wchar_t>(L'0' + (c - 0xFF10));
    if (c == 0xFF0D || c == 0x2212) return L'-';
    if (c == 0xFF0E) return L'.';
    if (c == 0xFF0C) return L',';
    return c;
}

// The integer digits (before the point, sign not counted) and the decimals.
void CountDigits(const std::wstring& s, int& integers, int& decimals, bool& point) {
    integers = decimals = 0;
    point = false;
    for (wchar_t c : s) {
        if (c == L'.') point = true;
        else if (IsDigit(c)) (point ? decimals : integers)++;
    }
}

// Exactly Shift, or exactly Ctrl, held (Alt and the other one up).
bool ShiftOnly() {
    return ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0;
}
bool CtrlOnly() {
    return ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0;
}
bool NoModifier() {
    return ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0;
}

}  // namespace

std::wstring StripLeadingZeros(const std::wstring& text) {
    std::wstring s = text;
    bool minus = !s.empty() && s[0] == L'-';
    if (minus) s.erase(0, 1);
    size_t zeros = 0;
    while (zeros < s.size() && s[zeros] == L'0') ++zeros;
    s.erase(0, zeros);
    if (s.empty() && zeros > 0) s = L"0";
    else if (!s.empty() && s[0] == L'.') s.insert(0, L"0");
    return minus ? L"-" + s : s;
}

TNumEdit::TNumEdit(gui::TComponent* owner) : TWinControl(owner) {
    NowInit = true;
    FValText = FormatDisplayText(L"0");
}

// --- window ----------------------------------------------------------------------------

void TNumEdit::CreateParams(gui::TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TNumEdit";
    params.ClassStyle = CS_DBLCLKS;  // no redraw of the whole box on every size change
    params.Background = nullptr;     // the box paints its own background
    params.Style |= WS_TABSTOP;
    if (FBorderStyle == TNumBorderStyle::bsSingle) {
        if (FCtl3D) params.ExStyle |= WS_EX_CLIENTEDGE;
        else params.Style |= WS_BORDER;
    }
    if (params.Width <= 0) params.Width = 121;
    if (params.Height <= 0) params.Height = 20;
}

void TNumEdit::CreateWnd() {
    // Placed on its parent: the font's height decides the box's height.
    NowInit = false;
    FontChangedMessage();
    FColor = gui::clWindow;
    Repaint();
}

void TNumEdit::ApplyBorderStyles() {
    if (!HandleAllocated()) return;
    LONG style = ::GetWindowLongW(Handle(), GWL_STYLE) & ~WS_BORDER;
    LONG ex = ::GetWindowLongW(Handle(), GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE;
    if (FBorderStyle == TNumBorderStyle::bsSingle) {
        if (FCtl3D) ex |= WS_EX_CLIENTEDGE;
        else style |= WS_BORDER;
    }
    ::SetWindowLongW(Handle(), GWL_STYLE, style);
    ::SetWindowLongW(Handle(), GWL_EXSTYLE, ex);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TNumEdit::FontChangedMessage() {
    if (NowInit || !HandleAllocated()) return;
    bool focused = Focused();
    if (focused) DestroyEditCaret();
    gui::WindowDC dc(Handle());
    gui::SelectObjectScope font(dc.get(), Font().Handle());
    SIZE sz{};
    ::GetTextExtentPoint32W(dc.get(), L"M", 1, &sz);
    FFontHeight = sz.cy;
    AdjustHeight();
    CaretWidth = (Font().Style() & gui::fsBold) ? 2 : 1;
    if (focused) {
        CreateEditCaret();
        SetEditCaretPos();
    }
    Repaint();
}

void TNumEdit::AdjustHeight() {
    if (!FAutoSize || !HandleAllocated()) return;
    SetClientSize(ClientWidth(), FFontHeight + FTopMargin + FBottomMargin);
}

void TNumEdit::Repaint(bool now) {
    if (!HandleAllocated()) return;
    ::InvalidateRect(Handle(), nullptr, TRUE);
    if (now) ::UpdateWindow(Handle());
}

void TNumEdit::Changed() { RunHandler(OnChange, this); }

// --- properties ----------------------------------------------------------------------------

void TNumEdit::SetText(const std::wstring& value) {
    if (value == FText) return;
    FText = StripLeadingZeros(NormalizeText(value));
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetMinus(bool value) {
    if (value == FMinus) return;
    FMinus = value;
    FText = NormalizeText(FText);
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetIntegerLength(int value) {
    if (value == FIntegerLength || value < 0) return;
    FIntegerLength = value;
    FText = NormalizeText(FText);
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetDecimalLength(int value) {
    if (value == FDecimalLength || value < 0) return;
    FDecimalLength = value;
    FText = NormalizeText(FText);
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetDecimalFixed(bool value) {
    if (value == FDecimalFixed) return;
    FDecimalFixed = value;
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetComma(bool value) {
    if (value == FComma) return;
    FComma = value;
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetLeftMark(const std::wstring& value) {
    if (value == FLeftMark) return;
    FLeftMark = value;
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetRightMark(const std::wstring& value) {
    if (value == FRightMark) return;
    FRightMark = value;
    ReFormat();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetAlignment(gui::TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetVertAlignment(TVertAlignment value) {
    if (value == FVertAlignment) return;
    FVertAlignment = value;
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetLeftMargin(int value) {
    if (value == FLeftMargin || value < 0) return;
    FLeftMargin = value;
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetRightMargin(int value) {
    if (value == FRightMargin || value < 0) return;
    FRightMargin = value;
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetTopMargin(int value) {
    if (value == FTopMargin || value < 0) return;
    FTopMargin = value;
    AdjustHeight();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetBottomMargin(int value) {
    if (value == FBottomMargin || value < 0) return;
    FBottomMargin = value;
    AdjustHeight();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    AdjustHeight();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetBorderStyle(TNumBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    ApplyBorderStyles();
    AdjustHeight();
    Repaint();
    SetEditCaretPos();
}

void TNumEdit::SetCtl3D(bool value) {
    if (value == FCtl3D) return;
    FCtl3D = value;
    if (FBorderStyle == TNumBorderStyle::bsSingle) ApplyBorderStyles();
    AdjustHeight();
}

void TNumEdit::SetColor(gui::TColor value) {
    if (value == FColor) return;
    FColor = value;
    Repaint();
}

void TNumEdit::SetDisabledColor(gui::TColor value) {
    if (value == FDisabledColor) return;
    FDisabledColor = value;
    Repaint();
}

void TNumEdit::SetAutoSelect(bool value) {
    if (value == FAutoSelect) return;
    FAutoSelect = value;
    Repaint();
}

// --- value and format ----------------------------------------------------------------------

std::wstring TNumEdit::NormalizeText(const std::wstring& s) const {
    std::wstring r;
    bool point = false;
    for (size_t i = 0; i < s.size(); ++i) {
        wchar_t c = s[i];
        if (c >= 0xD800 && c <= 0xDFFF) break;  // half of a surrogate pair: the rest goes
        c = HalfWidth(c);
        if (IsDigit(c)) {
            r += c;
        } else if (c == L',') {
            // accepted and dropped
        } else if (c == L'.' && !point && FDecimalLength > 0) {
            point = true;
            r += c;
        } else if (c == L'-' && r.empty() && i == 0 && FMinus) {
            r += c;
        } else {
            break;
        }
    }
    if (r.empty()) return r;
    const bool minus = r[0] == L'-';
    const size_t dot = r.find(L'.');
    if (dot != std::wstring::npos) {
        if (r.size() - dot - 1 > static_cast<size_t>(FDecimalLength)) r.resize(dot + 1 + FDecimalLength);
        const size_t integers = dot - (minus ? 1 : 0);
        if (integers > static_cast<size_t>(FIntegerLength)) r.clear();
    } else {
        const size_t integers = r.size() - (minus ? 1 : 0);
        if (integers > static_cast<size_t>(FIntegerLength)) r.resize((minus ? 1 : 0) + FIntegerLength);
    }
    return r;
}

std::wstring TNumEdit::FormatDisplayText(const std::wstring& text) const {
    std::wstring s = text;
    const bool minus = !s.empty() && s[0] == L'-';
    if (minus) s.erase(0, 1);
    const size_t dot = s.find(L'.');
    const bool hadPoint = dot != std::wstring::npos;
    std::wstring i = hadPoint ? s.substr(0, dot) : s;
    std::wstring d = hadPoint ? s.substr(dot + 1) : std::wstring();
    if (FComma && i.size() > 3) {
        std::wstring grouped;
        const size_t n = i.size();
        for (size_t k = 0; k < n; ++k) {
            if (k > 0 && (n - k) % 3 == 0) grouped += L',';
            grouped += i[k];
        }
        i = grouped;
    }
    if (FDecimalFixed) {
        d = d.substr(0, FDecimalLength);
        d.append(static_cast<size_t>(FDecimalLength) - d.size(), L'0');
    }
    if (hadPoint || FDecimalFixed) {
        d = L"." + d;
        if (FDecimalFixed && i.empty()) i = L"0";
    }
    std::wstring r = i + d;
    if (minus) r = L"-" + r;
    if (!r.empty()) r = FLeftMark + r + FRightMark;
    return r;
}

int TNumEdit::CalcWidth(const std::wstring& s) {
    if (s.empty()) return 0;
    HWND wnd = HandleAllocated() ? Handle() : nullptr;
    gui::WindowDC dc(wnd);
    gui::SelectObjectScope font(dc.get(), Font().Handle());
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc.get(), s.c_str(), static_cast<int>(s.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return r.right - r.left;
}

int TNumEdit::DisplayWidth(const std::wstring& s) { return CalcWidth(FormatDisplayText(s)); }

// --- painting --------------------------------------------------------------------------------

int TNumEdit::LeftEdge(int width) const {
    const int cw = HandleAllocated() ? ClientWidth() : 0;
    switch (FAlignment) {
        case gui::TAlignment::taLeftJustify: return FLeftMargin;
        case gui::TAlignment::taRightJustify: return cw - width - FRightMargin - 1;
        default: return (cw - FLeftMargin - FRightMargin) / 2 + FLeftMargin - width / 2 - 1;
    }
}

int TNumEdit::TopEdge() const {
    const int ch = HandleAllocated() ? ClientHeight() : 0;
    switch (FVertAlignment) {
        case TVertAlignment::taTopJustify: return FTopMargin;
        case TVertAlignment::taBottomJustify: return ch - FFontHeight - FBottomMargin;
        default: return (ch - FFontHeight - FTopMargin - FBottomMargin) / 2 + FTopMargin;
    }
}

void TNumEdit::PaintTo(HDC dc) {
    const int w = DisplayWidth(FText);
    const int x = LeftEdge(w);
    const int y = TopEdge();
    gui::TColor fore, back;
    if (!::IsWindowEnabled(Handle())) {
        fore = FDisabledColor;
        back = FColor;
    } else if (FSelLength > 0) {
        fore = gui::clHighlightText;
        back = gui::clHighlight;
    } else {
        fore = Font().Color();
        back = FColor;
    }
    FDrawRect = RECT{x, y, x + CalcWidth(FValText), y + FFontHeight};
    gui::GdiObject brush(::CreateSolidBrush(gui::ColorToRGB(back)));
    ::FillRect(dc, &FDrawRect, static_cast<HBRUSH>(brush.get()));
    gui::SelectObjectScope font(dc, Font().Handle());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, gui::ColorToRGB(fore));
    RECT r = FDrawRect;
    ::DrawTextW(dc, FValText.c_str(), static_cast<int>(FValText.size()), &r,
                DT_SINGLELINE | DT_CENTER | DT_NOPREFIX);
}

// --- caret -------------------------------------------------------------------------------------

void TNumEdit::CreateEditCaret() {
    ::CreateCaret(Handle(), nullptr, CaretWidth, FFontHeight);
    SetEditCaretPos();
}

void TNumEdit::SetEditCaretPos() {
    if (!HandleAllocated() || !Focused()) return;
    const int x = CaretOffset(FText) + LeftEdge(DisplayWidth(FText));
    const int y = TopEdge();
    ::ShowCaret(Handle());
    ::SetCaretPos(x, y);
    if (HIMC imc = ::ImmGetContext(Handle())) {
        COMPOSITIONFORM cf{};
        cf.dwStyle = CFS_POINT;
        cf.ptCurrentPos = POINT{x, y};
        ::ImmSetCompositionWindow(imc, &cf);
        LOGFONTW lf = Font().LogFont();
        ::ImmSetCompositionFontW(imc, &lf);
        ::ImmReleaseContext(Handle(), imc);
    }
}

void TNumEdit::DestroyEditCaret() {
    ::HideCaret(Handle());
    ::DestroyCaret();
}

int TNumEdit::CaretOffset(const std::wstring& s) {
    // The caret stands before the right mark (and before the zero fill).
    const std::wstring right = FRightMark;
    FRightMark.clear();
    struct Restore {
        TNumEdit* self;
        std::wstring mark;
        ~Restore() { self->FRightMark = mark; }
    } restore{this, right};
    if (!FDecimalFixed) return CalcWidth(FormatDisplayText(s));
    const size_t dot = s.find(L'.');
    const std::wstring i = dot == std::wstring::npos ? s : s.substr(0, dot);
    const std::wstring p = dot == std::wstring::npos ? std::wstring() : s.substr(dot);
    std::wstring shown;
    if (i.empty()) {
        shown = FLeftMark + L"0";
    } else if (i == L"-") {
        shown = FLeftMark + L"-0";
    } else {
        const int decimals = FDecimalLength;
        FDecimalLength = 0;
        FDecimalFixed = false;
        shown = FormatDisplayText(i);
        FDecimalLength = decimals;
        FDecimalFixed = true;
    }
    return CalcWidth(shown) + (p.empty() ? 0 : CalcWidth(p));
}

// --- editing ---------------------------------------------------------------------------------

void TNumEdit::SelectAll() {
    FSelStart = 0;
    FSelLength = static_cast<int>(FValText.size());
    Repaint();
}

void TNumEdit::ClearSelect() {
    FSelStart = 0;
    FSelLength = 0;
    Repaint();
}

void TNumEdit::Clear() {
    StoreUndo();
    FText = L"0";
    ReFormat();
    ClearSelect();
    SetEditCaretPos();
    FModified = false;
}

void TNumEdit::ClearSelection() {
    if (HasSelection()) Clear();
}

void TNumEdit::ClearUndo() {
    UndoBuffer.clear();
    FCanUndo = false;
}

void TNumEdit::StoreUndo() {
    UndoBuffer = FText;
    FCanUndo = true;
}

void TNumEdit::SwapUndo() {
    std::swap(FText, UndoBuffer);
    FCanUndo = true;
}

void TNumEdit::Undo() {
    if (!FCanUndo) return;
    SwapUndo();
    ReFormat();
    SelectAll();
    SetEditCaretPos();
    Changed();
}

void TNumEdit::CopyToClipboard() {
    if (!HasSelection()) return;
    SetClipboardTextRetry(ImageCopy ? FValText : FText);
}

void TNumEdit::CutToClipboard() {
    if (!HasSelection()) return;
    CopyToClipboard();
    Clear();
    Changed();
}

void TNumEdit::PasteFromClipboard() {
    if (!::IsClipboardFormatAvailable(CF_TEXT) && !::IsClipboardFormatAvailable(CF_UNICODETEXT)) return;
    std::wstring t;
    if (!::OpenClipboard(Handle())) return;
    if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) {
            // Another program's text need not end with a NUL: never read past its block.
            t.assign(p, ::wcsnlen(p, ::GlobalSize(h) / sizeof(wchar_t)));
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    StoreUndo();
    FText = HasSelection() ? NormalizeText(t) : NormalizeText(FText + t);
    FText = StripLeadingZeros(FText);
    ReFormat();
    ClearSelect();
    SetEditCaretPos();
    Changed();
}

bool TNumEdit::TextFits(const std::wstring& s) { return DisplayWidth(s) <= AvailableWidth(); }

int TNumEdit::AvailableWidth() const {
    const int b = FBorderStyle == TNumBorderStyle::bsSingle && FCtl3D ? 2 : 1;
    return (HandleAllocated() ? ClientWidth() : 0) - FLeftMargin - FRightMargin - 2 * b;
}

void TNumEdit::Refuse() {
    if (ErrorBeep) ::MessageBeep(0);
}

void TNumEdit::Accept(const std::wstring& value) {
    StoreUndo();
    FText = value;
    ReFormat();
    Repaint();
    SetEditCaretPos();
    FModified = true;
    Changed();
}

void TNumEdit::TypeDigit(wchar_t c) {
    if (HasSelection()) Clear();
    int integers = 0, decimals = 0;
    bool point = false;
    CountDigits(FText, integers, decimals, point);
    if (point ? decimals >= FDecimalLength : integers >= FIntegerLength) {
        Refuse();
        return;
    }
    std::wstring v = StripLeadingZeros(FText + c);
    if (!TextFits(v)) {
        Refuse();
        return;
    }
    if (v.empty() || v == L"-") v = L"0";
    Accept(v);
}

void TNumEdit::TypePoint() {
    if (FDecimalLength == 0) {
        Refuse();
        return;
    }
    if (HasSelection()) Clear();
    if (FText.find(L'.') != std::wstring::npos) {
        Refuse();
        return;
    }
    const std::wstring v = FText + L".";
    if (!TextFits(v)) {
        Refuse();
        return;
    }
    Accept(StripLeadingZeros(v));
}

void TNumEdit::TypeMinus() {
    if (!FMinus) {
        Refuse();
        return;
    }
    if (HasSelection()) Clear();
    if (FText.find(L'-') != std::wstring::npos) {
        std::wstring v = FText;
        v.erase(v.find(L'-'), 1);
        Accept(v);
        return;
    }
    std::wstring v = L"-" + FText;
    if (!TextFits(v)) {
        Refuse();
        return;
    }
    if (!FDecimalFixed && v == L"-0") v = L"-1";
    Accept(v);
}

void TNumEdit::DeleteLastChar() {
    if (ReadOnly) return;
    if (FText.empty()) {
        FText = L"0";
        ReFormat();
        Repaint();
        return;
    }
    if (HasSelection()) {
        Clear();
        return;
    }
    std::wstring v = FText;
    v.pop_back();
    if (!v.empty() && v.back() == L'.') v.pop_back();
    if (v.empty() || v == L"-") v = L"0";
    Accept(v);
}

// --- keys, focus and mouse ---------------------------------------------------------------------

void TNumEdit::MoveFocus(bool previous) {
    HWND form = ::GetAncestor(Handle(), GA_ROOT);
    if (HWND next = ::GetNextDlgTabItem(form, Handle(), previous)) ::SetFocus(next);
}

void TNumEdit::KeyDown(WORD key) {
    if (ShiftOnly() && (key == VK_LEFT || key == VK_RIGHT)) {
        SelectAll();
        return;
    }
    if (CtrlOnly() && key == 'A') {
        SelectAll();
        return;
    }
    if (CtrlOnly() && key == 'C') {
        CopyToClipboard();
        return;
    }
    if (NoModifier()) {
        switch (key) {
            case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_RIGHT:
                ClearSelect();
                return;
            case VK_UP: case VK_DOWN:
                ClearSelect();
                if (ArrowFocusMove) MoveFocus(key == VK_UP);
                return;
            default:
                break;
        }
    }
    if (ReadOnly) return;
    if (CtrlOnly() && key == 'V') PasteFromClipboard();
    else if (CtrlOnly() && key == 'X') CutToClipboard();
    else if (NoModifier() && (key == VK_BACK || key == VK_DELETE)) DeleteLastChar();
}

void TNumEdit::KeyPress(wchar_t ch) {
    if (ReadOnly) return;  // every character is swallowed
    ch = HalfWidth(ch);
    switch (ch) {
        case 1: case 3: case 8: case 22: case 24:
            return;  // handled as keys
        case L'-':
            TypeMinus();
            return;
        case L'.':
            TypePoint();
            return;
        default:
            break;
    }
    if (ch == L'\r' && EnterFocusMove) {
        MoveFocus(false);
        return;
    }
    if (IsDigit(ch)) {
        TypeDigit(ch);
        return;
    }
    Refuse();
}

void TNumEdit::DoEnter() {
    RunHandler(OnEnter, this);
    if (FAutoSelect) SelectAll();
}

void TNumEdit::DoExit() {
    RunHandler(OnExit, this);
    if (FText == L"-") {
        FText = L"0";
        ReFormat();
        Repaint();
    }
    if (HideSelection) ClearSelect();
}

void TNumEdit::MouseDown(bool left, bool dbl) {
    if (!DblClickFlag && left && !dbl) {
        DWORD pid = 0;
        HWND fg = ::GetForegroundWindow();
        if (fg && ::GetWindowThreadProcessId(fg, &pid) == ::GetCurrentThreadId()) SetFocus();
        ClearSelect();
    }
    DblClickFlag = false;
}

void TNumEdit::DblClick() {
    SelectAll();
    DblClickFlag = true;
}

void TNumEdit::MouseMove(int x, bool leftDown) {
    if (leftDown && x >= FDrawRect.left && x <= FDrawRect.right) SelectAll();
}

LRESULT TNumEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r = ClientRect();
            gui::GdiObject brush(::CreateSolidBrush(gui::ColorToRGB(FColor)));
            ::FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(brush.get()));
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            PaintTo(dc);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            HDC dc = reinterpret_cast<HDC>(wp);
            RECT r = ClientRect();
            gui::GdiObject brush(::CreateSolidBrush(gui::ColorToRGB(FColor)));
            ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
            PaintTo(dc);
            return 0;
        }
        case WM_SETFONT: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            FontChangedMessage();
            return r;
        }
        case WM_ENABLE: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            Repaint();
            return r;
        }
        case WM_SIZE: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            Repaint(true);
            if (Focused()) SetEditCaretPos();
            return r;
        }
        case WM_GETDLGCODE:
            DefaultHandler(msg, wp, lp);
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (EnterFocusMove ? DLGC_WANTALLKEYS : 0);
        case WM_SETFOCUS: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            CreateEditCaret();
            SetEditCaretPos();
            DoEnter();
            return r;
        }
        case WM_KILLFOCUS: {
            LRESULT r = DefaultHandler(msg, wp, lp);
            DestroyEditCaret();
            DoExit();
            return r;
        }
        case WM_KEYDOWN:
            KeyDown(static_cast<WORD>(wp));
            return 0;
        case WM_CHAR:
            KeyPress(static_cast<wchar_t>(wp));
            return 0;
        case WM_LBUTTONDOWN:
            MouseDown(true, false);
            return 0;
        case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            MouseDown(false, false);
            return DefaultHandler(msg, wp, lp);
        case WM_LBUTTONDBLCLK:
            DblClick();
            MouseDown(true, true);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(GET_X_LPARAM(lp), (wp & MK_LBUTTON) != 0);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

void MakeReadOnlyDisplay(TNumEdit& edit, int integerLength) {
    edit.ReadOnly = true;
    edit.ErrorBeep = false;
    edit.SetAutoSize(false);
    edit.SetBorderStyle(TNumBorderStyle::bsNone);
    edit.SetColor(gui::clBtnFace);
    edit.SetComma(false);
    edit.SetMinus(false);
    edit.SetIntegerLength(integerLength);
}
