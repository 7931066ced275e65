#include "gui/HintWindow.h"

#include "gui/Handles.h"

namespace gui {

namespace {

// The system's tooltip font, as the status font of the non-client metrics says.
void UseStatusFont(TFont& font) {
    NONCLIENTMETRICSW m{};
    m.cbSize = sizeof(m);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0)) return;
    font.SetName(m.lfStatusFont.lfFaceName);
    if (m.lfStatusFont.lfHeight) font.SetHeight(m.lfStatusFont.lfHeight);
    font.SetCharset(m.lfStatusFont.lfCharSet);
}

}  // namespace

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {
    UseStatusFont(font_);
    font_.SetColor(clInfoText);
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::wstring& text) {
    RECT r{0, 0, maxWidth, 0};
    OwnedDC dc(::CreateCompatibleDC(nullptr));
    SelectObjectScope select(dc.get(), font_.Handle());
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
    return r;
}

void THintWindow::ActivateHint(const RECT& r, const std::wstring& text) {
    text_ = text;
    if (!HandleAllocated()) {
        TCreateParams params;
        params.ClassName = L"THintWindow";
        params.ClassStyle = CS_SAVEBITS | CS_DROPSHADOW;
        params.Style = WS_POPUP | WS_BORDER;
        params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        params.X = r.left;
        params.Y = r.top;
        params.Width = r.right - r.left;
        params.Height = r.bottom - r.top;
        CreateHandle(params);
    }
    ::SetWindowTextW(Handle(), text.c_str());
    ::SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT THintWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            RECT r;
            ::GetClientRect(Handle(), &r);
            ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_INFOBK));
            SelectObjectScope select(dc, font_.Handle());
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
            r.left += 2;
            r.top += 1;
            ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
                        DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

}  // namespace gui
