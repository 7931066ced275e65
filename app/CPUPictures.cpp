#include "app/CPUPictures.h"

#include <string>

#include "gui/Canvas.h"

namespace cpu_pictures {

namespace {

using gui::TBitmap;
using gui::TColor;

void Fill(TBitmap& b, const RECT& r, TColor c) {
    b.Canvas().Brush().SetColor(c);
    b.Canvas().FillRect(r);
}

// Seven segments a-g of each digit, in the usual order.
const unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// One seven-segment digit in the box (x, y, w, h) with strokes t thick.
void DrawDigit(TBitmap& b, int digit, int x, int y, int w, int h, int t, TColor on) {
    const unsigned char s = kSegments[digit];
    const int mid = y + (h - t) / 2;
    const RECT seg[7] = {
        {x, y, x + w, y + t},                          // a: top
        {x + w - t, y, x + w, mid + t},                // b: upper right
        {x + w - t, mid, x + w, y + h},                // c: lower right
        {x, y + h - t, x + w, y + h},                  // d: bottom
        {x, mid, x + t, y + h},                        // e: lower left
        {x, y, x + t, mid + t},                        // f: upper left
        {x, mid, x + w, mid + t},                      // g: middle
    };
    for (int i = 0; i < 7; ++i)
        if (s & (1 << i)) Fill(b, seg[i], on);
}

// The percent right-aligned in three digit places (leading places blank).
void DrawPercent(TBitmap& b, int value, int x, int y, int w, int h, int t, int gap, TColor on) {
    const std::wstring text = std::to_wstring(value);
    for (size_t i = 0; i < text.size(); ++i) {
        int place = static_cast<int>(3 - text.size() + i);
        DrawDigit(b, text[i] - L'0', x + place * (w + gap), y, w, h, t, on);
    }
}

void Blank(TBitmap& b, TColor c) { Fill(b, RECT{0, 0, b.Width(), b.Height()}, c); }

}  // namespace

void FillDigital(gui::TImageList& list) {
    list.SetSize(32, 32);
    for (int v = 0; v <= 100; ++v) {
        TBitmap b(32, 32);
        Blank(b, gui::clBlack);
        DrawPercent(b, v, 1, 6, 9, 20, 2, 1, v == 100 ? gui::clRed : gui::clLime);
        list.Add(b);
    }
}

void FillNumbers(gui::TImageList& list, TColor digitColor) {
    list.SetSize(16, 16);
    for (int v = 0; v <= 100; ++v) {
        TBitmap b(16, 16);
        Blank(b, gui::clBlack);
        DrawPercent(b, v, 1, 3, 4, 10, 1, 1, digitColor);
        list.Add(b);
    }
    // The busy picture: an hourglass.
    TBitmap b(16, 16);
    Blank(b, gui::clBlack);
    for (int i = 0; i < 6; ++i) {
        Fill(b, RECT{3 + i, 2 + i, 13 - i, 3 + i}, gui::clYellow);
        Fill(b, RECT{3 + i, 13 - i, 13 - i, 14 - i}, gui::clYellow);
    }
    Fill(b, RECT{3, 1, 13, 2}, gui::clWhite);
    Fill(b, RECT{3, 14, 13, 15}, gui::clWhite);
    list.Add(b);
}

void FillLevel(gui::TImageList& list) {
    list.SetSize(32, 32);
    for (int tenth = 0; tenth <= 10; ++tenth) {
        TBitmap b(32, 32);
        Blank(b, gui::clBlack);
        // Ten bars from the bottom; the lit ones change colour with the load.
        for (int bar = 0; bar < 10; ++bar) {
            int top = 29 - (bar + 1) * 3;
            TColor c = bar >= tenth ? TColor(0x003000)
                       : bar >= 8   ? gui::clRed
                       : bar >= 5   ? gui::clYellow
                                    : gui::clLime;
            Fill(b, RECT{6, top + 1, 26, top + 3}, c);
        }
        list.Add(b);
    }
}

namespace {

// A processor chip whose pins light one after another.
void DrawChip(TBitmap& b, int frame) {
    Blank(b, gui::clBlack);
    Fill(b, RECT{8, 8, 24, 24}, gui::clGray);
    Fill(b, RECT{10, 10, 22, 22}, gui::clSilver);
    for (int i = 0; i < 4; ++i) {
        TColor c = frame >= 0 && i == frame ? gui::clLime : TColor(0x404040);
        int p = 10 + i * 3;
        Fill(b, RECT{p, 4, p + 2, 8}, c);           // top pins
        Fill(b, RECT{24, p, 28, p + 2}, c);         // right pins
        Fill(b, RECT{22 - i * 3, 24, 24 - i * 3, 28}, c);  // bottom pins
        Fill(b, RECT{4, 22 - i * 3, 8, 24 - i * 3}, c);    // left pins
    }
}

}  // namespace

void FillClassic(gui::TImageList& list) {
    list.SetSize(32, 32);
    for (int frame = 0; frame < 4; ++frame) {
        TBitmap b(32, 32);
        DrawChip(b, frame);
        list.Add(b);
    }
}

void DrawClassicStill(gui::TIcon& icon) {
    gui::TImageList one(nullptr, 32, 32);
    TBitmap b(32, 32);
    DrawChip(b, -1);
    one.Add(b);
    one.GetIcon(0, icon);
}

}  // namespace cpu_pictures
