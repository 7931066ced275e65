// Canvas, bitmaps, fonts and colours: what lands in the pixels.
#include <gtest/gtest.h>

#include "gui/Canvas.h"
#include "gui/Graphics.h"
#include "tests/support/GuiPixels.h"

using namespace gui;
using testing_support::Px;

namespace {

DWORD PixelAt(TBitmap& b, int x, int y) { return b.ScanLine(y)[x] & 0xFFFFFF; }

// Counts of live GDI and USER objects must come back to where a test began.
class GuiObjectsBalance : public testing::Test {
protected:
    void SetUp() override {
        gdi_ = LiveGuiObjects(TGuiObjectKind::Gdi);
        user_ = LiveGuiObjects(TGuiObjectKind::User);
    }
    void TearDown() override {
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::Gdi), gdi_) << "GDI objects left behind";
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user_) << "USER objects left behind";
    }
    long gdi_ = 0, user_ = 0;
};

using Canvas = GuiObjectsBalance;

TEST_F(Canvas, FillAndFrameWithRgbSystemAndNoneColours) {
    TBitmap b(8, 8);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(RECT{0, 0, 8, 8});
    EXPECT_EQ(PixelAt(b, 0, 0), Px(clRed));
    EXPECT_EQ(PixelAt(b, 7, 7), Px(clRed));

    c.Brush().SetColor(clBtnFace);
    c.FillRect(RECT{0, 0, 4, 4});
    EXPECT_EQ(PixelAt(b, 3, 3), Px(::GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelAt(b, 4, 4), Px(clRed)) << "fill stops at the rectangle's right and bottom";

    // "None" paints nothing.
    c.Brush().SetColor(clNone);
    c.FillRect(RECT{0, 0, 8, 8});
    EXPECT_EQ(PixelAt(b, 7, 7), Px(clRed));
    c.Brush().SetColor(clYellow);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.FillRect(RECT{0, 0, 8, 8});
    EXPECT_EQ(PixelAt(b, 7, 7), Px(clRed));

    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.Brush().SetColor(clAqua);
    c.FrameRect(RECT{0, 0, 8, 8});
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(PixelAt(b, i, 0), Px(clAqua));
        EXPECT_EQ(PixelAt(b, i, 7), Px(clAqua));
        EXPECT_EQ(PixelAt(b, 0, i), Px(clAqua));
        EXPECT_EQ(PixelAt(b, 7, i), Px(clAqua));
    }
    EXPECT_EQ(PixelAt(b, 5, 5), Px(clRed)) << "a frame is one pixel wide";

    EXPECT_EQ(ColorToRGB(clMenu), ::GetSysColor(COLOR_MENU));
    EXPECT_EQ(ColorToRGB(clLime), clLime);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
}

TEST_F(Canvas, BitmapSizeKeepsTheImageAndFillsNewAreaWithTheBrush) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Canvas().Handle(), nullptr) << "no image, no DC";
    b.SetSize(2, 2);
    EXPECT_EQ(PixelAt(b, 1, 1), Px(clWhite)) << "a new bitmap is white";
    b.Canvas().SetPixel(1, 1, clBlue);
    b.Canvas().Brush().SetColor(clGreen);
    b.SetSize(4, 3);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 3);
    EXPECT_EQ(PixelAt(b, 1, 1), Px(clBlue));
    EXPECT_EQ(PixelAt(b, 0, 0), Px(clWhite));
    EXPECT_EQ(PixelAt(b, 3, 2), Px(clGreen));
    EXPECT_EQ(b.Canvas().Pixel(3, 0), clGreen);

    TBitmap copy;
    copy.Transparent = false;
    b.Transparent = true;
    b.TransparentColor = clBlue;
    copy.Assign(b);
    EXPECT_EQ(copy.Width(), 4);
    EXPECT_EQ(PixelAt(copy, 1, 1), Px(clBlue));
    EXPECT_TRUE(copy.Transparent);
    EXPECT_EQ(copy.TransparentColor, clBlue);
    b.Canvas().SetPixel(1, 1, clRed);
    EXPECT_EQ(PixelAt(copy, 1, 1), Px(clBlue)) << "a copy has its own pixels";

    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
}

TEST_F(Canvas, TextOutUsesFontColourAndBrushBehindTheText) {
    TBitmap b(40, 20);
    TCanvas& c = b.Canvas();
    c.Brush().SetColor(clBlack);
    c.FillRect(RECT{0, 0, 40, 20});
    c.Font().SetName(L"Tahoma");
    c.Font().SetHeight(-12);
    c.Font().SetColor(clLime);
    c.Brush().SetColor(clNavy);
    SIZE ext = c.TextExtent(L"W8");
    ASSERT_GT(ext.cx, 0);
    ASSERT_GT(ext.cy, 0);
    c.TextOut(2, 1, L"W8");
    int lime = 0, navy = 0, outside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            DWORD p = PixelAt(b, x, y);
            bool inCell = x >= 2 && x < 2 + ext.cx && y >= 1 && y < 1 + ext.cy;
            if (!inCell && p != Px(clBlack)) ++outside;
            if (inCell && p == Px(clLime)) ++lime;
            if (inCell && p == Px(clNavy)) ++navy;
        }
    EXPECT_GT(lime, 5) << "glyphs in the font colour";
    EXPECT_GT(navy, 5) << "the cell takes the brush colour";
    EXPECT_EQ(outside, 0) << "nothing drawn outside the text's cell";

    // With a brush that paints nothing the text goes on what is there.
    c.Brush().SetColor(clNone);
    c.TextOut(2, 1, L"W8");
    c.Brush().SetColor(clBlack);
    c.FillRect(RECT{0, 0, 40, 20});
    c.Brush().SetColor(clNone);
    c.TextOut(2, 1, L"W8");
    navy = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            if (PixelAt(b, x, y) == Px(clNavy)) ++navy;
    EXPECT_EQ(navy, 0);

    // Widths agree with GDI's own measure of the same font.
    HDC dc = c.Handle();
    HGDIOBJ old = ::SelectObject(dc, c.Font().Handle());
    SIZE gdi{};
    ::GetTextExtentPoint32W(dc, L"C:\\folder\\name.txt", 18, &gdi);
    ::SelectObject(dc, old);
    EXPECT_EQ(c.TextWidth(L"C:\\folder\\name.txt"), gdi.cx);
    EXPECT_EQ(c.TextWidth(L""), 0);
    EXPECT_GT(c.TextWidth(L"WW"), c.TextWidth(L"W"));
}

TEST_F(Canvas, DrawsBitmapsWithTheirTransparentColourLeftOut) {
    TBitmap src(4, 4);
    src.Canvas().Brush().SetColor(clFuchsia);
    src.Canvas().FillRect(RECT{0, 0, 4, 4});
    src.Canvas().Brush().SetColor(clYellow);
    src.Canvas().FillRect(RECT{1, 1, 3, 3});

    TBitmap dst(6, 6);
    dst.Canvas().Brush().SetColor(clGreen);
    dst.Canvas().FillRect(RECT{0, 0, 6, 6});
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(PixelAt(dst, 1, 1), Px(clFuchsia)) << "opaque by default";

    dst.Canvas().FillRect(RECT{0, 0, 6, 6});
    src.Transparent = true;  // clDefault: the bottom-left pixel, fuchsia
    EXPECT_EQ(src.EffectiveTransparentColor(), clFuchsia);
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(PixelAt(dst, 1, 1), Px(clGreen));
    EXPECT_EQ(PixelAt(dst, 2, 2), Px(clYellow));
    EXPECT_EQ(PixelAt(dst, 3, 3), Px(clYellow));
    EXPECT_EQ(PixelAt(dst, 4, 4), Px(clGreen));

    src.TransparentColor = clYellow;
    dst.Canvas().FillRect(RECT{0, 0, 6, 6});
    dst.Canvas().Draw(1, 1, src);
    EXPECT_EQ(PixelAt(dst, 1, 1), Px(clFuchsia));
    EXPECT_EQ(PixelAt(dst, 2, 2), Px(clGreen));
}

TEST_F(Canvas, FontAsksForItsNameAndTellsOfChanges) {
    TFont f;
    EXPECT_FALSE(f.Name().empty()) << "starts with the system's GUI font";
    int changes = 0;
    f.OnChange = [&](TFont* sender) {
        EXPECT_EQ(sender, &f);
        ++changes;
    };
    // "Small Fonts" does not exist under Wine: the mapper gives another face.
    f.SetName(L"Small Fonts");
    f.SetHeight(-9);
    EXPECT_EQ(changes, 2);
    f.SetHeight(-9);
    EXPECT_EQ(changes, 2) << "an equal value is no change";
    LOGFONTW lf = f.LogFont();
    EXPECT_STREQ(lf.lfFaceName, L"Small Fonts");
    EXPECT_EQ(lf.lfHeight, -9);
    HFONT h = f.Handle();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(f.Handle(), h) << "made once per change";

    TBitmap b(16, 16);
    b.Canvas().Font().Assign(f);
    HDC dc = b.Canvas().Handle();
    HGDIOBJ old = ::SelectObject(dc, b.Canvas().Font().Handle());
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    EXPECT_NE(face[0], L'\0') << "some face was mapped";
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 9) << "the character height asked for";

    f.SetColor(clLime);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(f.Handle(), h) << "the colour is no part of the font object";
    f.SetStyle(fsBold);
    EXPECT_EQ(f.LogFont().lfWeight, FW_BOLD);
    f.SetSize(9);
    EXPECT_EQ(f.Size(), 9);
    EXPECT_LT(f.Height(), 0);

    TFont g(f);
    EXPECT_EQ(g.Name(), L"Small Fonts");
    EXPECT_EQ(g.Color(), clLime);
    EXPECT_FALSE(g.OnChange) << "a copy has its own listeners";
}

TEST_F(Canvas, IconsAreCopiedAndChangesReported) {
    TIcon a;
    EXPECT_TRUE(a.Empty());
    int changes = 0;
    a.OnChange = [&](TIcon*) { ++changes; };
    a.SetHandle(testing_support::MakeIcon(16, [](int, int) { return Px(clRed); }));
    ASSERT_FALSE(a.Empty());
    EXPECT_EQ(a.Width(), 16);
    EXPECT_EQ(a.Height(), 16);

    TIcon copy;
    copy.Assign(a);
    EXPECT_NE(copy.Handle(), a.Handle()) << "a copy owns its own handle";
    a.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(a.Empty());
    testing_support::IconPixels px;
    ASSERT_TRUE(testing_support::ReadIcon(copy.Handle(), px));
    EXPECT_EQ(px.At(8, 8), Px(clRed));

    TBitmap target(20, 20);
    target.Canvas().Brush().SetColor(clBlack);
    target.Canvas().FillRect(RECT{0, 0, 20, 20});
    target.Canvas().Draw(2, 2, copy);
    EXPECT_EQ(PixelAt(target, 2, 2), Px(clRed));
    EXPECT_EQ(PixelAt(target, 1, 1), Px(clBlack));

    HICON given = copy.ReleaseHandle();
    EXPECT_TRUE(copy.Empty());
    ::DestroyIcon(given);
}

TEST(GuiObjects, CountFollowsTheObjectsHeld) {
    long gdi = LiveGuiObjects(TGuiObjectKind::Gdi);
    long user = LiveGuiObjects(TGuiObjectKind::User);
    {
        TBitmap b(4, 4);
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::Gdi), gdi + 2) << "the image and its canvas brush";
        b.Canvas().Brush().SetColor(clRed);
        b.Canvas().FillRect(RECT{0, 0, 4, 4});
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::Gdi), gdi + 3) << "image, its DC and the brush";
        TIcon icon;
        icon.SetHandle(testing_support::MakeIcon(4, [](int, int) { return 0u; }));
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user + 1);
        HICON h = icon.ReleaseHandle();
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user) << "given away, no longer ours";
        ::DestroyIcon(h);
    }
    EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::Gdi), gdi);
    EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user);
}

}  // namespace
