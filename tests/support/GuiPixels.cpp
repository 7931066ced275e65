#include "tests/support/GuiPixels.h"

#include "gui/Canvas.h"

namespace testing_support {

std::vector<DWORD> ReadBitmap(HBITMAP bitmap, int& width, int& height) {
    std::vector<DWORD> pixels;
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm)) return pixels;
    width = bm.bmWidth;
    height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    pixels.resize(static_cast<size_t>(width) * height);
    HDC dc = ::CreateCompatibleDC(nullptr);
    int lines = ::GetDIBits(dc, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS);
    ::DeleteDC(dc);
    if (lines != height) pixels.clear();
    return pixels;
}

HICON MakeIcon(int size, const std::function<DWORD(int, int)>& pixel,
               const std::function<bool(int, int)>& clear) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!color) return nullptr;
    auto* p = static_cast<DWORD*>(bits);
    int stride = ((size + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool c = clear && clear(x, y);
            p[y * size + x] = c ? 0 : pixel(x, y);
            if (c) maskBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    HBITMAP mask = ::CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = ::CreateIconIndirect(&ii);
    ::DeleteObject(mask);
    ::DeleteObject(color);
    return icon;
}

bool ReadIcon(HICON icon, IconPixels& out) {
    out = IconPixels{};
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    bool ok = false;
    if (info.hbmColor && info.hbmMask) {
        int w = 0, h = 0, mw = 0, mh = 0;
        out.Color = ReadBitmap(info.hbmColor, w, h);
        std::vector<DWORD> mask = ReadBitmap(info.hbmMask, mw, mh);
        if (!out.Color.empty() && mask.size() == out.Color.size()) {
            out.Width = w;
            out.Height = h;
            out.Transparent.resize(mask.size());
            for (size_t i = 0; i < mask.size(); ++i) out.Transparent[i] = (mask[i] & 0xFFFFFF) != 0;
            ok = true;
        }
    }
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return ok;
}

POINT FindOnScreen(HWND wnd, DWORD pixel) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    gui::TBitmap shot(w, h);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shot.Canvas().Handle(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    // The icon's middle: the centre of all pixels of that colour.
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((shot.ScanLine(y)[x] & 0xFFFFFF) == pixel) {
                sx += x;
                sy += y;
                ++n;
            }
    if (n < 50) return POINT{-1, -1};
    return POINT{r.left + static_cast<int>(sx / n), r.top + static_cast<int>(sy / n)};
}

}  // namespace testing_support
