#include "gui/ExtCtrls.h"

#include <windowsx.h>
#include <algorithm>

#include "gui/Handles.h"

namespace gui {

// ---- TPanel ----

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TPanel";
    params.Style |= WS_CLIPCHILDREN;
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

RECT TPanel::AlignRect() const {
    RECT r = ClientRect();
    if (BevelOuter != TBevelCut::bvNone) ::InflateRect(&r, -1, -1);
    return r;
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return DefaultHandler(msg, wp, lp);
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? ::BeginPaint(Handle(), &ps) : reinterpret_cast<HDC>(wp);
    RECT r = ClientRect();
    GdiObject brush(::CreateSolidBrush(ColorToRGB(color_)));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    if (BevelOuter != TBevelCut::bvNone)
        ::DrawEdge(dc, &r, BevelOuter == TBevelCut::bvRaised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
    if (ShowCaption) {
        std::wstring text = Caption();
        SelectObjectScope font(dc, Font().Handle());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (msg == WM_PAINT) ::EndPaint(Handle(), &ps);
    return 0;
}

void TPanel::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

// ---- TSplitter ----

void TSplitter::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TSplitter";
}

TControl* TSplitter::ResizeControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    RECT me = BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || c->Align() != Align() || !c->Visible()) continue;
        RECT r = c->BoundsRect();
        switch (Align()) {
            case TAlign::alLeft: if (r.right == me.left) return c; break;
            case TAlign::alRight: if (r.left == me.right) return c; break;
            case TAlign::alTop: if (r.bottom == me.top) return c; break;
            case TAlign::alBottom: if (r.top == me.bottom) return c; break;
            default: break;
        }
    }
    return nullptr;
}

TControl* TSplitter::ClientControl() const {
    TWinControl* parent = Parent();
    if (!parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i)->Align() == TAlign::alClient && parent->Controls(i)->Visible())
            return parent->Controls(i);
    return nullptr;
}

LRESULT TSplitter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, Horizontal() ? IDC_SIZENS : IDC_SIZEWE));
            return TRUE;
        case WM_LBUTTONDOWN: {
            resizing_ = ResizeControl();
            if (!resizing_) break;
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ::ClientToScreen(Handle(), &pt);
            startPos_ = Horizontal() ? pt.y : pt.x;
            startSize_ = Horizontal() ? resizing_->Height() : resizing_->Width();
            TControl* client = ClientControl();
            int room = client ? (Horizontal() ? client->Height() : client->Width()) : 0;
            maxSize_ = std::max(startSize_ + room - MinSize, MinSize);
            ::SetCapture(Handle());
            return 0;
        }
        case WM_MOUSEMOVE:
            if (resizing_ && ::GetCapture() == Handle()) {
                POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                ::ClientToScreen(Handle(), &pt);
                int delta = (Horizontal() ? pt.y : pt.x) - startPos_;
                if (Align() == TAlign::alRight || Align() == TAlign::alBottom) delta = -delta;
                int size = std::clamp(startSize_ + delta, MinSize, maxSize_);
                if (Horizontal()) resizing_->SetHeight(size);
                else resizing_->SetWidth(size);
                if (Parent()) Parent()->Realign();
                return 0;
            }
            break;
        case WM_LBUTTONUP:
            if (resizing_) {
                resizing_ = nullptr;
                ::ReleaseCapture();
                RunHandler(OnMoved, this);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            resizing_ = nullptr;
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wp, lp);
}

// ---- TImage ----

void TImage::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"TImage";
    params.BaseClass = L"STATIC";
    params.Style |= SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE;
}

void TImage::SetIcon(HICON icon) {
    icon_.AssignHandle(icon);
    Perform(STM_SETICON, reinterpret_cast<WPARAM>(icon_.Handle()), 0);
}

}  // namespace gui
