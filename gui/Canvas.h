// TCanvas: drawing with a font and a brush on a DC: fill, frame, text and its
// extent, bitmaps (opaque or with a transparent colour), icons, pixels.
// TBitmap: a 32-bit image with its own canvas.
//
// The canvas selects its font and brush into the DC for each operation and
// puts the DC's own objects back afterwards, so a changed font or brush can
// always be deleted and the DC is left as it was found.
#pragma once

#include <windows.h>
#include <string_view>

#include "gui/Graphics.h"

namespace gui {

class TBitmap;

class TCanvas {
public:
    // A canvas over a DC that stays its owner's (may be set later).
    explicit TCanvas(HDC dc = nullptr) noexcept : dc_(dc) {}
    virtual ~TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() { return RequireDC(); }
    void SetHandle(HDC dc) noexcept { dc_ = dc; }

    TFont& Font() noexcept { return font_; }
    TBrush& Brush() noexcept { return brush_; }

    // Fills with the brush; a brush that paints nothing leaves the pixels.
    void FillRect(const RECT& r);
    // A one-pixel frame in the brush colour.
    void FrameRect(const RECT& r);
    // Text in the font and its colour; the cells get the brush colour
    // behind them unless the brush paints nothing.
    void TextOut(int x, int y, std::wstring_view text);
    SIZE TextExtent(std::wstring_view text);
    int TextWidth(std::wstring_view text) { return TextExtent(text).cx; }
    int TextHeight(std::wstring_view text) { return TextExtent(text).cy; }

    // A bitmap at its own size; a transparent one leaves the pixels of its
    // transparent colour out.
    void Draw(int x, int y, TBitmap& bitmap);
    void Draw(int x, int y, const TIcon& icon);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

protected:
    virtual HDC RequireDC() { return dc_; }

private:
    HDC dc_;
    TFont font_;
    TBrush brush_;
};

// A top-down 32-bit DIB section. GDI leaves the alpha bytes at 0, which image
// lists and icons read as "no alpha, use the mask"; code that wants alpha
// writes it through ScanLine.
class TBitmap {
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    bool Empty() const noexcept { return width_ == 0 || height_ == 0; }
    // New size; what fits of the old image stays, the rest takes the
    // canvas brush colour (white unless set).
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }

    HBITMAP Handle() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    TCanvas& Canvas() noexcept { return canvas_; }

    // Copies the image and the transparency settings.
    void Assign(const TBitmap& other);
    // Copies the image of any bitmap handle (which stays its owner's).
    bool AssignHandle(HBITMAP bitmap);

    // Drawn with its transparent colour left out. clDefault means the colour
    // of the bottom-left pixel.
    bool Transparent = false;
    TColor TransparentColor = clDefault;
    TColor EffectiveTransparentColor();

    // Pixels of row y as 0xAARRGGBB, after all pending drawing is done.
    DWORD* ScanLine(int y);

private:
    class BitmapCanvas : public TCanvas {
    public:
        explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {}

    protected:
        HDC RequireDC() override;

    private:
        TBitmap* owner_;
    };

    HDC MemoryHandle();
    void ReplaceImage(GdiObject bitmap, void* bits, int width, int height);

    int width_ = 0, height_ = 0;
    GdiObject bitmap_;
    void* bits_ = nullptr;
    MemoryDC dc_;
    HGDIOBJ dcOriginalBitmap_ = nullptr;
    BitmapCanvas canvas_;
};

// A pixel of ScanLine (0xAARRGGBB) as a colour (0x00BBGGRR) and back.
constexpr TColor PixelToColor(DWORD pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}
constexpr DWORD ColorToPixel(TColor rgb, BYTE alpha = 0) {
    return (static_cast<DWORD>(alpha) << 24) | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) |
           ((rgb >> 16) & 0xFF);
}

// A 32-bit top-down DIB section; bits receives its pixels.
GdiObject CreateDib32(int width, int height, void** bits);

}  // namespace gui
