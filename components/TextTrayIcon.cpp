#include "components/TextTrayIcon.h"

#include <vector>

#include "gui/Callback.h"
#include "gui/ImageList.h"

namespace {

constexpr int kSize = 16;

// The font colour as RGB, turned around, so text on it stays readable.
gui::TColor Complement(gui::TColor color) { return gui::ColorToRGB(color) ^ 0xFFFFFF; }

}  // namespace

// ---------------------------------------------------------------------------
// TOffsetOptions

void TOffsetOptions::SetOffsetX(int value) {
    if (value == FOffsetX) return;
    FOffsetX = value;
    Change();
}

void TOffsetOptions::SetOffsetY(int value) {
    if (value == FOffsetY) return;
    FOffsetY = value;
    Change();
}

void TOffsetOptions::SetLineDistance(int value) {
    if (value == FLineDistance) return;
    FLineDistance = value;
    Change();
}

void TOffsetOptions::Assign(const TOffsetOptions& other) {
    if (&other == this) return;
    FOffsetX = other.FOffsetX;
    FOffsetY = other.FOffsetY;
    FLineDistance = other.FLineDistance;
    Change();
}

void TOffsetOptions::Change() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TTextTrayIcon

TTextTrayIcon::TTextTrayIcon(gui::TComponent* owner) : TNotifyTrayIcon(owner) {
    FFont.OnChange = [this](gui::TFont*) { Draw(); };
    FOffsetOptions.OnChange = [this](TOffsetOptions*) { Draw(); };
}

TTextTrayIcon::~TTextTrayIcon() {
    FFont.OnChange = nullptr;
    FOffsetOptions.OnChange = nullptr;
    gui::GuardCallback([this] { FBackgroundIcon.Clear(); });
}

void TTextTrayIcon::SetBackgroundIcon(const gui::TIcon& value) {
    FBackgroundIcon.Assign(value);
    Draw();
}

void TTextTrayIcon::SetText(const std::wstring& value) {
    FText = value;
    Draw();
}

void TTextTrayIcon::SetFont(const gui::TFont& value) {
    FFont.Assign(value);  // raises the font's change, which draws
}

void TTextTrayIcon::SetColor(gui::TColor value) {
    FColor = value;
    Draw();
}

void TTextTrayIcon::SetBorder(bool value) {
    FBorder = value;
    Draw();
}

void TTextTrayIcon::SetBorderColor(gui::TColor value) {
    FBorderColor = value;
    Draw();
}

void TTextTrayIcon::SetOptions(const TOffsetOptions& value) {
    FOffsetOptions.Assign(value);  // raises the options' change, which draws
}

void TTextTrayIcon::Draw() {
    SetCycleIcons(false);  // a text icon never animates
    PaintText();

    gui::TIcon icon;
    if (FBackgroundIcon.Empty()) {
        // A set colour is opaque everywhere; clNone leaves the painted
        // background (the complement of the font colour) transparent.
        if (FColor != gui::clNone) FInvertTextColor = gui::clNone;
        BitmapToIcon(FTextBitmap, icon, FInvertTextColor);
    } else {
        gui::TImageList list(nullptr, kSize, kSize);
        list.AddIcon(FBackgroundIcon);
        gui::TColor key = FColor;
        if (FColor == gui::clNone || FColor == FFont.Color()) key = Complement(FFont.Color());
        gui::TBitmap back;
        back.Canvas().Brush().SetColor(key);
        list.GetBitmap(0, back);
        // Only the text and the frame cover the icon.
        FTextBitmap.Transparent = true;
        FTextBitmap.TransparentColor = FInvertTextColor;
        back.Canvas().Draw(0, 0, FTextBitmap);
        list.AddMasked(back, key);
        list.GetIcon(1, icon);
    }
    SetIcon(icon);
}

void TTextTrayIcon::PaintText() {
    gui::TBitmap b(kSize, kSize);
    gui::TCanvas& canvas = b.Canvas();
    if (FColor == gui::clNone || FColor == FFont.Color())
        FInvertTextColor = Complement(FFont.Color());
    else
        FInvertTextColor = FColor;
    canvas.Brush().SetColor(FInvertTextColor);
    canvas.FillRect(RECT{0, 0, kSize, kSize});
    canvas.Font().Assign(FFont);

    // Integer division truncating toward zero, on 15 rather than 16 pixels.
    size_t firstReturn = FText.find(L'\r');
    if (firstReturn != std::wstring::npos) {
        std::vector<std::wstring> lines;
        size_t start = 0;
        for (;;) {
            size_t cr = FText.find(L'\r', start);
            if (cr == std::wstring::npos) {
                lines.push_back(FText.substr(start));
                break;
            }
            lines.push_back(FText.substr(start, cr - start));
            start = cr + 1;
        }
        int h = canvas.TextHeight(std::wstring_view(FText).substr(firstReturn)) +
                FOffsetOptions.LineDistance();
        int n = static_cast<int>(lines.size());
        int y0 = (15 - n * h) / 2 + FOffsetOptions.OffsetY();
        for (int i = 0; i < n; ++i) {
            int x = (15 - canvas.TextWidth(lines[i])) / 2 + FOffsetOptions.OffsetX();
            canvas.TextOut(x, y0 + i * h, lines[i]);
        }
    } else {
        SIZE extent = canvas.TextExtent(FText);
        canvas.TextOut((15 - extent.cx) / 2 + FOffsetOptions.OffsetX(),
                       (15 - extent.cy) / 2 + FOffsetOptions.OffsetY(), FText);
    }

    if (FBorder) {
        canvas.Brush().SetColor(FBorderColor);
        canvas.FrameRect(RECT{0, 0, kSize, kSize});
    }
    FTextBitmap.Assign(b);
}
