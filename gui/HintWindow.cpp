#include "gui/HintWindow.h"

#include "gui/Handles.h"

namespace gui {

namespace {
const int kMargin = 3;
}

THintWindow::THintWindow(TComponent* owner) : TWinControl(owner) {
    Name = L"";
    Create(TControlArgs{.Parent = nullptr, .Visible = false});
}

void THintWindow::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"THintWindow";
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    params.ClassStyle = CS_SAVEBITS;
    params.Background = ::GetSysColorBrush(COLOR_INFOBK);
    params.WndParent = nullptr;
    params.Id = 0;
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::wstring& text) {
    RECT r{0, 0, maxWidth, 0};
    WindowDC dc(Handle());
    SelectObjectScope font(dc.get(), Font().Handle());
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
    r.right += 2 * kMargin + 2;
    r.bottom += 2 * kMargin + 2;
    return r;
}

void THintWindow::ActivateHint(const RECT& screenRect, const std::wstring& text) {
    text_ = text;
    ::SetWindowTextW(Handle(), text.c_str());
    ::SetWindowPos(Handle(), HWND_TOPMOST, screenRect.left, screenRect.top,
                   screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void THintWindow::ReleaseHint() {
    if (HandleAllocated()) ::ShowWindow(Handle(), SW_HIDE);
}

LRESULT THintWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(Handle(), &ps);
            RECT r = ClientRect();
            ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_INFOBK));
            ::InflateRect(&r, -kMargin, -kMargin);
            SelectObjectScope font(dc, Font().Handle());
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
            ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r,
                        DT_WORDBREAK | DT_NOPREFIX | DT_LEFT);
            ::EndPaint(Handle(), &ps);
            return 0;
        }
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        default:
            return DefaultHandler(msg, wp, lp);
    }
}

}  // namespace gui
