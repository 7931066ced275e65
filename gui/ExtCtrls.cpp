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
    if (panel_.BevelOuter != TBevelCut::bvNone) ::InflateRect(&r, -1, -1);
    return r;
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return DefaultHandler(msg, wp, lp);
    PAINTSTRUCT ps{};
    HDC dc = msg == WM_PAINT ? ::BeginPaint(Handle(), &ps) : reinterpret_cast<HDC>(wp);
    RECT r = ClientRect();
    GdiObject brush(::CreateSolidBrush(ColorToRGB(color_)));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    if (panel_.BevelOuter != TBevelCut::bvNone)
        ::DrawEdge(dc, &r, panel_.BevelOuter == TBevelCut::bvRaised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
    if (panel_.ShowCaption) {
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
    params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    params.Background = nullptr;
}

void TImage::Changed() {
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::SetIcon(HICON icon) {
    bitmap_.reset();
    icon_.AssignHandle(icon);
    Changed();
}

void TImage::SetBitmap(HBITMAP bitmap) {
    icon_.Clear();
    bitmap_.reset(bitmap ? ::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION) : nullptr);
    Changed();
}

void TImage::SetStretch(bool on) {
    stretch_ = on;
    Changed();
}

void TImage::SetProportional(bool on) {
    proportional_ = on;
    Changed();
}

void TImage::SetCenter(bool on) {
    center_ = on;
    Changed();
}

void TImage::SetColor(TColor color) {
    color_ = color;
    Changed();
}

SIZE TImage::PictureSize() const {
    if (bitmap_) {
        BITMAP bm{};
        if (::GetObjectW(bitmap_.get(), sizeof(bm), &bm)) return SIZE{bm.bmWidth, std::abs(bm.bmHeight)};
        return SIZE{0, 0};
    }
    if (!icon_.Empty()) return SIZE{icon_.Width(), icon_.Height()};
    return SIZE{0, 0};
}

RECT TImage::PictureRect() const {
    const SIZE size = PictureSize();
    if (size.cx <= 0 || size.cy <= 0) return RECT{};
    const RECT client = ClientRect();
    int w = size.cx, h = size.cy;
    if (stretch_) {
        w = client.right;
        h = client.bottom;
        if (proportional_) {
            // The largest size of the picture's shape that fits.
            if (static_cast<long long>(client.right) * size.cy <= static_cast<long long>(client.bottom) * size.cx) {
                w = client.right;
                h = static_cast<int>(static_cast<long long>(size.cy) * client.right / size.cx);
            } else {
                h = client.bottom;
                w = static_cast<int>(static_cast<long long>(size.cx) * client.bottom / size.cy);
            }
        }
    }
    const int x = center_ ? (client.right - w) / 2 : 0;
    const int y = center_ ? (client.bottom - h) / 2 : 0;
    return RECT{x, y, x + w, y + h};
}

void TImage::Paint(HDC dc) {
    const RECT client = ClientRect();
    if (color_ != clNone) {
        GdiObject brush(::CreateSolidBrush(ColorToRGB(color_)));
        ::FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));
    }
    const RECT r = PictureRect();
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (!icon_.Empty()) {
        ::DrawIconEx(dc, r.left, r.top, icon_.Handle(), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    const SIZE size = PictureSize();
    MemoryDC source(::CreateCompatibleDC(dc));
    if (!source) return;
    SelectObjectScope select(source.get(), bitmap_.get());
    // Smoothed when made smaller; each pixel a clean block when enlarged.
    const bool shrinking = w < size.cx || h < size.cy;
    const int oldMode = ::SetStretchBltMode(dc, shrinking ? HALFTONE : COLORONCOLOR);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, r.left, r.top, w, h, source.get(), 0, 0, size.cx, size.cy, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}

LRESULT TImage::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PRINTCLIENT) {
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    }
    if (msg != WM_PAINT) return DefaultHandler(msg, wp, lp);
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(Handle(), &ps);
    Paint(dc);
    ::EndPaint(Handle(), &ps);
    return 0;
}

}  // namespace gui
