// Reading back what the GUI layer drew: the colour and mask pixels of an
// icon, and the pixels of a bitmap, as 0xAARRGGBB values, row by row from
// the top.
#pragma once

#include <windows.h>
#include <functional>
#include <vector>

namespace testing_support {

struct IconPixels {
    int Width = 0, Height = 0;
    std::vector<DWORD> Color;         // the colour bitmap
    std::vector<bool> Transparent;    // the mask: set where the icon shows nothing
    DWORD At(int x, int y) const { return Color[static_cast<size_t>(y) * Width + x] & 0xFFFFFF; }
    BYTE AlphaAt(int x, int y) const { return static_cast<BYTE>(Color[static_cast<size_t>(y) * Width + x] >> 24); }
    bool Clear(int x, int y) const { return Transparent[static_cast<size_t>(y) * Width + x]; }
};

// False when the icon cannot be read. Destroys nothing it was given.
bool ReadIcon(HICON icon, IconPixels& out);

// The pixels of any bitmap as 32-bit values.
std::vector<DWORD> ReadBitmap(HBITMAP bitmap, int& width, int& height);

// A new icon (the caller's to destroy) of the given size; pixel(x, y) gives
// 0xAARRGGBB, clear(x, y) true for a transparent pixel.
HICON MakeIcon(int size, const std::function<DWORD(int, int)>& pixel,
               const std::function<bool(int, int)>& clear = nullptr);

// A pixel value (0x00RRGGBB) from a colour (0x00BBGGRR).
// Where the screen shows this pixel value (0xRRGGBB) inside the window:
// the centre of all such pixels, or {-1, -1} when fewer than 50 show it.
POINT FindOnScreen(HWND wnd, DWORD pixel);

constexpr DWORD Px(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace testing_support
