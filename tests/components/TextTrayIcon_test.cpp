// The text icon: its pixels and mask against the same drawing done with
// plain GDI, frames, offsets, lines, background icons, and no leak over many
// renders.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "tests/components/TrayTestSupport.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/TestSupport.h"

using namespace tray_testing;
using testing_support::IconPixels;
using testing_support::Px;
using testing_support::ReadIcon;

namespace {

struct Look {
    std::wstring text;
    gui::TColor font = gui::clLime;
    gui::TColor color = gui::clBlack;
    bool border = true;
    gui::TColor borderColor = gui::clAqua;
    int offX = 0, offY = 1, lineDistance = 0;
};

// The form resource's settings of both text icons in the program.
void Apply(TTextTrayIcon& icon, const Look& look) {
    icon.Font().SetName(L"Small Fonts");
    icon.Font().SetHeight(-9);
    icon.Font().SetColor(look.font);
    icon.SetColor(look.color);
    icon.SetBorder(look.border);
    icon.SetBorderColor(look.borderColor);
    icon.Options().SetOffsetX(look.offX);
    icon.Options().SetOffsetY(look.offY);
    icon.Options().SetLineDistance(look.lineDistance);
    icon.SetText(look.text);
}

// The same picture drawn with GDI alone, following the rules of the text icon.
std::vector<DWORD> Expected(const Look& look) {
    gui::TColor bg = (look.color == gui::clNone || look.color == look.font) ? (look.font ^ 0xFFFFFF)
                                                                            : look.color;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldBmp = ::SelectObject(dc, bmp);
    HBRUSH back = ::CreateSolidBrush(bg);
    RECT all{0, 0, 16, 16};
    ::FillRect(dc, &all, back);
    HFONT font = ::CreateFontW(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Small Fonts");
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    ::SetTextColor(dc, look.font);
    ::SetBkColor(dc, bg);
    ::SetBkMode(dc, OPAQUE);
    auto extent = [dc](const std::wstring& s) {
        SIZE z{};
        ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &z);
        return z;
    };
    size_t cr = look.text.find(L'\r');
    if (cr == std::wstring::npos) {
        SIZE z = extent(look.text);
        ::TextOutW(dc, (15 - z.cx) / 2 + look.offX, (15 - z.cy) / 2 + look.offY, look.text.c_str(),
                   static_cast<int>(look.text.size()));
    } else {
        std::vector<std::wstring> lines;
        size_t start = 0, at;
        while ((at = look.text.find(L'\r', start)) != std::wstring::npos) {
            lines.push_back(look.text.substr(start, at - start));
            start = at + 1;
        }
        lines.push_back(look.text.substr(start));
        int h = extent(look.text.substr(cr)).cy + look.lineDistance;
        int n = static_cast<int>(lines.size());
        int y0 = (15 - n * h) / 2 + look.offY;
        for (int i = 0; i < n; ++i)
            ::TextOutW(dc, (15 - extent(lines[i]).cx) / 2 + look.offX, y0 + i * h, lines[i].c_str(),
                       static_cast<int>(lines[i].size()));
    }
    if (look.border) {
        HBRUSH frame = ::CreateSolidBrush(look.borderColor);
        ::FrameRect(dc, &all, frame);
        ::DeleteObject(frame);
    }
    ::GdiFlush();
    std::vector<DWORD> out(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 256);
    for (DWORD& p : out) p &= 0xFFFFFF;
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBmp);
    ::DeleteObject(font);
    ::DeleteObject(back);
    ::DeleteDC(dc);
    ::DeleteObject(bmp);
    return out;
}

// Rows (top to bottom) that hold a pixel of the given colour inside the frame.
std::vector<int> InkRows(const IconPixels& px, DWORD ink) {
    std::vector<int> rows;
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x)
            if (!px.Clear(x, y) && px.At(x, y) == ink) {
                rows.push_back(y);
                break;
            }
    return rows;
}

class TextIcon : public testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(TextIcon, DefaultsAndEveryChangeRendersAgain) {
    RecordingTextIcon icon(nullptr);
    EXPECT_EQ(icon.Color(), gui::clBtnFace);
    EXPECT_EQ(icon.BorderColor(), gui::clBlack);
    EXPECT_FALSE(icon.Border());
    EXPECT_TRUE(icon.Text().empty());
    EXPECT_EQ(icon.Options().OffsetY(), 0);
    EXPECT_TRUE(icon.calls.empty()) << "nothing is drawn at construction";

    icon.SetText(L"42");
    ASSERT_FALSE(icon.Icon().Empty());
    HICON first = icon.Icon().Handle();
    EXPECT_EQ(icon.Last().data.hIcon, first);
    size_t n = icon.calls.size();
    icon.Font().SetColor(gui::clYellow);
    EXPECT_GT(icon.calls.size(), n) << "a font change renders";
    n = icon.calls.size();
    icon.Options().SetOffsetX(2);
    EXPECT_GT(icon.calls.size(), n) << "an options change renders";
    n = icon.calls.size();
    icon.Options().SetOffsetX(2);
    EXPECT_EQ(icon.calls.size(), n) << "an equal offset is no change";

    TOffsetOptions other;
    other.SetOffsetX(-1);
    other.SetOffsetY(3);
    other.SetLineDistance(2);
    icon.SetOptions(other);
    EXPECT_EQ(icon.Options().OffsetX(), -1);
    EXPECT_EQ(icon.Options().OffsetY(), 3);
    EXPECT_EQ(icon.Options().LineDistance(), 2);
    EXPECT_EQ(icon.calls.size(), n + 1) << "a whole copy renders once";

    // A text icon never animates: the next render switches cycling off.
    gui::TImageList list(nullptr);
    icon.SetIconList(&list);
    icon.SetCycleInterval(50);
    icon.SetCycleIcons(true);
    icon.SetText(L"7");
    EXPECT_FALSE(icon.CycleIcons());
    icon.SetIconList(nullptr);
}

TEST_F(TextIcon, PixelsAndMaskForTextsColoursAndFrames) {
    const Look cases[] = {
        {L"42"},                                                        // as the CPU icon shows it
        {L" 42", gui::clYellow},                                        // three characters, blank first
        {L"100", gui::clBlack, gui::clRed},                             // full load
        {L"42", gui::clLime, gui::clLime},                              // colour equal to the font
        {L"42", gui::clLime, gui::clNone, false},                       // transparent background
        {L"", gui::clLime, gui::clBlack},                               // frame only
        {L"8", gui::clRed, gui::clWhite, false, gui::clBlack, 3, -2},   // offsets
        {L"1\r2"},                                                      // two lines
        {L"1\r\n2"},                                                    // the line feed stays
        {L"1\r2\r", gui::clLime, gui::clBlack, true, gui::clAqua, 0, 0, 1},  // line distance, empty last line
        {L"WWWWWW"},                                                    // wider than the icon
    };
    for (const Look& look : cases) {
        SCOPED_TRACE(gui::WideToUtf8(look.text) + " font " + std::to_string(look.font) + " colour " +
                     std::to_string(look.color));
        RecordingTextIcon icon(nullptr);
        Apply(icon, look);
        IconPixels px;
        ASSERT_TRUE(ReadIcon(icon.Icon().Handle(), px));
        ASSERT_EQ(px.Width, 16);
        ASSERT_EQ(px.Height, 16);
        std::vector<DWORD> expected = Expected(look);
        bool clearBackground = look.color == gui::clNone;
        DWORD bg = Px((look.color == gui::clNone || look.color == look.font) ? (look.font ^ 0xFFFFFF)
                                                                              : look.color);
        int wrong = 0, wrongMask = 0, ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                DWORD want = expected[y * 16 + x];
                bool wantClear = clearBackground && want == bg;
                if (px.Clear(x, y) != wantClear) ++wrongMask;
                if (!wantClear && px.At(x, y) != want) ++wrong;
                if (want == Px(look.font)) ++ink;
            }
        EXPECT_EQ(wrong, 0) << "colour pixels";
        EXPECT_EQ(wrongMask, 0) << "mask pixels";
        if (!look.text.empty()) {
            EXPECT_GT(ink, 3) << "the text shows";
        }
        if (look.border) {
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(px.At(i, 0), Px(look.borderColor));
                EXPECT_EQ(px.At(15, i), Px(look.borderColor));
            }
        }
        EXPECT_EQ(icon.Last().data.hIcon, icon.Icon().Handle());
    }
}

TEST_F(TextIcon, OffsetYMovesTheTextOneRowDown) {
    RecordingTextIcon a(nullptr), b(nullptr);
    Look look{L"42"};
    look.border = false;
    look.offY = 0;
    Apply(a, look);
    look.offY = 1;
    Apply(b, look);
    IconPixels pa, pb;
    ASSERT_TRUE(ReadIcon(a.Icon().Handle(), pa));
    ASSERT_TRUE(ReadIcon(b.Icon().Handle(), pb));
    std::vector<int> ra = InkRows(pa, Px(gui::clLime)), rb = InkRows(pb, Px(gui::clLime));
    ASSERT_FALSE(ra.empty());
    ASSERT_EQ(ra.size(), rb.size());
    for (size_t i = 0; i < ra.size(); ++i) EXPECT_EQ(rb[i], ra[i] + 1);

    // Horizontally the text sits inside (15 - width) div 2 onwards.
    gui::TBitmap measure(16, 16);
    measure.Canvas().Font().Assign(b.Font());
    int width = measure.Canvas().TextWidth(L"42");
    int left = 16, right = -1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (pb.At(x, y) == Px(gui::clLime)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GE(left, (15 - width) / 2);
    EXPECT_LT(right, (15 - width) / 2 + width);
}

TEST_F(TextIcon, BackgroundIconUnderTheTextAndFrame) {
    // Left half red, right half transparent.
    gui::TIcon back;
    back.SetHandle(testing_support::MakeIcon(
        16, [](int, int) { return 0xFF000000u | Px(gui::clRed); }, [](int x, int) { return x >= 8; }));

    RecordingTextIcon icon(nullptr);
    Look look{L""};
    look.border = false;
    Apply(icon, look);
    icon.SetBackgroundIcon(back);
    IconPixels px;
    ASSERT_TRUE(ReadIcon(icon.Icon().Handle(), px));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            ASSERT_EQ(px.Clear(x, y), x >= 8) << "the background icon itself";
            if (x < 8) {
                ASSERT_EQ(px.At(x, y), Px(gui::clRed));
            }
        }

    // A frame and a text cover the icon; the rest stays as it was.
    icon.SetBorder(true);
    icon.SetText(L"8");
    ASSERT_TRUE(ReadIcon(icon.Icon().Handle(), px));
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(px.Clear(15, i));
        EXPECT_EQ(px.At(15, i), Px(gui::clAqua));
        EXPECT_EQ(px.At(i, 0), Px(gui::clAqua));
    }
    int inkLeft = 0, inkRight = 0, clearRight = 0;
    for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) {
            if (!px.Clear(x, y) && px.At(x, y) == Px(gui::clLime)) (x < 8 ? inkLeft : inkRight)++;
            if (x >= 8 && px.Clear(x, y)) ++clearRight;
        }
    EXPECT_GT(inkLeft + inkRight, 3);
    EXPECT_GT(inkRight, 0) << "text over the transparent half shows";
    EXPECT_GT(clearRight, 20) << "around the text the icon stays transparent";
    EXPECT_EQ(icon.TextBitmap().Width(), 16);

    // An empty background icon takes the background away again.
    icon.SetBackgroundIcon(gui::TIcon());
    ASSERT_TRUE(ReadIcon(icon.Icon().Handle(), px));
    EXPECT_FALSE(px.Clear(10, 10));
    EXPECT_NE(px.At(3, 8), Px(gui::clRed));
}

TEST_F(TextIcon, ColourEqualToTheFontOverABackgroundIcon) {
    gui::TIcon back;
    back.SetHandle(testing_support::MakeIcon(16, [](int, int) { return 0xFF000000u | Px(gui::clBlue); }));
    RecordingTextIcon icon(nullptr);
    Look look{L"8", gui::clLime, gui::clLime, false};
    Apply(icon, look);
    icon.SetBackgroundIcon(back);
    IconPixels px;
    ASSERT_TRUE(ReadIcon(icon.Icon().Handle(), px));
    int blue = 0, lime = 0, clear = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (px.Clear(x, y)) {
                ++clear;
            } else if (px.At(x, y) == Px(gui::clBlue)) {
                ++blue;
            } else if (px.At(x, y) == Px(gui::clLime)) {
                ++lime;
            }
        }
    EXPECT_EQ(clear, 0) << "the icon is opaque everywhere";
    EXPECT_GT(lime, 3);
    EXPECT_GT(blue, 150);
}

TEST_F(TextIcon, ThousandRendersLeaveNothingBehind) {
    RecordingTextIcon icon(nullptr);
    Apply(icon, Look{L"  0"});
    icon.SetHint(L"CPU使用率:  0%");
    icon.SetIconVisible(true);
    ASSERT_TRUE(icon.Last().result);
    gui::TIcon back;
    back.SetHandle(testing_support::MakeIcon(16, [](int, int) { return 0xFF808080u; }));
    // Once through both ways of drawing first: the text bitmap keeps one DC
    // for being drawn from, made the first time it is.
    icon.SetBackgroundIcon(back);
    icon.SetBackgroundIcon(gui::TIcon());

    long gdi = gui::LiveGuiObjects(gui::TGuiObjectKind::Gdi);
    long user = gui::LiveGuiObjects(gui::TGuiObjectKind::User);
    std::vector<HICON> handedOut;
    std::vector<HBITMAP> renders;
    // Three renders a round, as each slow tick of the CPU display makes them.
    for (int i = 0; i < 334; ++i) {
        int v = (i * 7) % 101;
        std::wstring t = v < 10 ? L"  " + std::to_wstring(v) : v < 100 ? L" " + std::to_wstring(v)
                                                                        : L"100";
        icon.Font().SetColor(v <= 50 ? gui::clLime : v < 80 ? gui::clYellow : v < 100 ? gui::clRed
                                                                                       : gui::clBlack);
        icon.SetColor(v == 100 ? gui::clRed : gui::clBlack);
        icon.SetText(t);
        if (i % 100 == 50) icon.SetBackgroundIcon(back);
        if (i % 100 == 60) icon.SetBackgroundIcon(gui::TIcon());
        if (i < 3) {
            handedOut.push_back(icon.Last().data.hIcon);
            renders.push_back(icon.TextBitmap().Handle());
        }
    }
    ASSERT_TRUE(icon.Last().result) << "still in the notification area";
    EXPECT_EQ(gui::LiveGuiObjects(gui::TGuiObjectKind::Gdi), gdi);
    EXPECT_EQ(gui::LiveGuiObjects(gui::TGuiObjectKind::User), user);
    // The icons and bitmaps of earlier renders are really gone.
    for (HICON h : handedOut) {
        ICONINFO ii{};
        EXPECT_FALSE(::GetIconInfo(h, &ii));
    }
    for (HBITMAP b : renders) EXPECT_EQ(::GetObjectType(b), 0u);
    icon.SetIconVisible(false);
}

}  // namespace
