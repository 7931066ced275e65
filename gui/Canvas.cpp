#include "gui/Canvas.h"

#include <algorithm>
#include <cstring>

namespace gui {

GdiObject CreateDib32(int width, int height, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    GdiObject dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0));
    if (bits) *bits = dib ? p : nullptr;
    return dib;
}

// ---------------------------------------------------------------------------
// TCanvas

void TCanvas::FillRect(const RECT& r) {
    HDC dc = RequireDC();
    if (!dc || brush_.PaintsNothing()) return;
    ::FillRect(dc, &r, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& r) {
    HDC dc = RequireDC();
    if (!dc || brush_.PaintsNothing()) return;
    ::FrameRect(dc, &r, brush_.Handle());
}

void TCanvas::TextOut(int x, int y, std::wstring_view text) {
    HDC dc = RequireDC();
    if (!dc) return;
    SelectObjectScope font(dc, font_.Handle());
    ::SetTextColor(dc, ColorToRGB(font_.Color()));
    if (brush_.PaintsNothing()) {
        ::SetBkMode(dc, TRANSPARENT);
    } else {
        ::SetBkMode(dc, OPAQUE);
        ::SetBkColor(dc, ColorToRGB(brush_.Color()));
    }
    ::ExtTextOutW(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(std::wstring_view text) {
    SIZE size{};
    HDC dc = RequireDC();
    if (!dc) return size;
    SelectObjectScope font(dc, font_.Handle());
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
    HDC dc = RequireDC();
    if (!dc || bitmap.Empty()) return;
    HDC src = bitmap.Canvas().Handle();
    if (!src) return;
    int w = bitmap.Width(), h = bitmap.Height();
    if (bitmap.Transparent) {
        TColor key = bitmap.EffectiveTransparentColor();
        ::GdiTransparentBlt(dc, x, y, w, h, src, 0, 0, w, h, ColorToRGB(key));
    } else {
        ::BitBlt(dc, x, y, w, h, src, 0, 0, SRCCOPY);
    }
}

void TCanvas::Draw(int x, int y, const TIcon& icon) {
    HDC dc = RequireDC();
    if (!dc || icon.Empty()) return;
    ::DrawIconEx(dc, x, y, icon.Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}

TColor TCanvas::Pixel(int x, int y) {
    HDC dc = RequireDC();
    return dc ? ::GetPixel(dc, x, y) : clNone;
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    HDC dc = RequireDC();
    if (dc && color != clNone) ::SetPixelV(dc, x, y, ColorToRGB(color));
}

// ---------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : canvas_(this) {}

TBitmap::TBitmap(int width, int height) : canvas_(this) { SetSize(width, height); }

TBitmap::~TBitmap() {
    if (dc_ && dcOriginalBitmap_) ::SelectObject(dc_.get(), dcOriginalBitmap_);
}

HDC TBitmap::BitmapCanvas::RequireDC() { return owner_->MemoryHandle(); }

HDC TBitmap::MemoryHandle() {
    if (!bitmap_) return nullptr;
    if (!dc_) {
        dc_.reset(::CreateCompatibleDC(nullptr));
        if (!dc_) return nullptr;
        dcOriginalBitmap_ = ::SelectObject(dc_.get(), bitmap_.get());
    }
    return dc_.get();
}

void TBitmap::ReplaceImage(GdiObject bitmap, void* bits, int width, int height) {
    if (dc_) {
        // The old image leaves the DC before it is deleted.
        ::SelectObject(dc_.get(), dcOriginalBitmap_);
        if (bitmap) ::SelectObject(dc_.get(), bitmap.get());
    }
    bitmap_ = std::move(bitmap);
    bits_ = bits;
    width_ = bitmap_ ? width : 0;
    height_ = bitmap_ ? height : 0;
    if (!bitmap_ && dc_) {
        dc_.reset();
        dcOriginalBitmap_ = nullptr;
    }
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    if (width == 0 || height == 0) {
        ReplaceImage(GdiObject(), nullptr, 0, 0);
        return;
    }
    void* bits = nullptr;
    GdiObject dib = CreateDib32(width, height, &bits);
    if (!dib) return;
    {
        MemoryDC dc(::CreateCompatibleDC(nullptr));
        SelectObjectScope sel(dc.get(), dib.get());
        TBrush& brush = canvas_.Brush();
        RECT all{0, 0, width, height};
        if (!brush.PaintsNothing()) ::FillRect(dc.get(), &all, brush.Handle());
        if (HDC old = bitmap_ ? MemoryHandle() : nullptr)
            ::BitBlt(dc.get(), 0, 0, std::min(width, width_), std::min(height, height_), old, 0, 0,
                     SRCCOPY);
        ::GdiFlush();
    }
    ReplaceImage(std::move(dib), bits, width, height);
}

void TBitmap::Assign(const TBitmap& other) {
    if (&other == this) return;
    Transparent = other.Transparent;
    TransparentColor = other.TransparentColor;
    if (other.Empty()) {
        ReplaceImage(GdiObject(), nullptr, 0, 0);
        return;
    }
    void* bits = nullptr;
    GdiObject dib = CreateDib32(other.width_, other.height_, &bits);
    if (!dib) return;
    ::GdiFlush();
    std::memcpy(bits, other.bits_, static_cast<size_t>(other.width_) * other.height_ * 4);
    ReplaceImage(std::move(dib), bits, other.width_, other.height_);
}

bool TBitmap::AssignHandle(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0)
        return false;
    int w = bm.bmWidth, h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    void* bits = nullptr;
    GdiObject dib = CreateDib32(w, h, &bits);
    if (!dib) return false;
    {
        MemoryDC src(::CreateCompatibleDC(nullptr));
        MemoryDC dst(::CreateCompatibleDC(nullptr));
        SelectObjectScope s(src.get(), bitmap);
        SelectObjectScope d(dst.get(), dib.get());
        ::BitBlt(dst.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    ReplaceImage(std::move(dib), bits, w, h);
    return true;
}

TColor TBitmap::EffectiveTransparentColor() {
    if (TransparentColor != clDefault) return TransparentColor;
    if (Empty()) return clNone;
    return PixelToColor(ScanLine(height_ - 1)[0]);
}

DWORD* TBitmap::ScanLine(int y) {
    if (!bits_ || y < 0 || y >= height_) return nullptr;
    ::GdiFlush();
    return static_cast<DWORD*>(bits_) + static_cast<size_t>(y) * width_;
}

}  // namespace gui
