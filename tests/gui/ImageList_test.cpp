// Image lists: images in and out as icons and bitmaps, masks and alpha,
// and images drawn when a list is first used.
#include <gtest/gtest.h>

#include <functional>

#include "gui/ImageList.h"
#include "tests/support/GuiPixels.h"

using namespace gui;
using testing_support::IconPixels;
using testing_support::Px;
using testing_support::ReadIcon;

namespace {

void Fill(TBitmap& b, TColor color, int size) {
    b.SetSize(size, size);
    b.Canvas().Brush().SetColor(color);
    b.Canvas().FillRect(RECT{0, 0, size, size});
}

class ImageList : public testing::Test {
protected:
    void SetUp() override {
        gdi_ = LiveGuiObjects(TGuiObjectKind::Gdi);
        user_ = LiveGuiObjects(TGuiObjectKind::User);
    }
    void TearDown() override {
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::Gdi), gdi_);
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user_);
    }
    long gdi_ = 0, user_ = 0;
};

TEST_F(ImageList, IconsByIndexAtSixteenAndThirtyTwoPixels) {
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        TImageList list(nullptr, size, size);
        EXPECT_EQ(list.Count(), 0);
        int changes = 0;
        list.OnChange = [&](TImageList*) { ++changes; };
        const TColor colors[] = {clRed, clLime, clBlue};
        for (TColor c : colors) {
            TBitmap b;
            Fill(b, c, size);
            int next = list.Count();
            EXPECT_EQ(list.Add(b), next);
        }
        EXPECT_EQ(list.Count(), 3);
        EXPECT_EQ(changes, 3);
        for (int i = 0; i < 3; ++i) {
            TIcon icon;
            ASSERT_TRUE(list.GetIcon(i, icon));
            IconPixels px;
            ASSERT_TRUE(ReadIcon(icon.Handle(), px));
            EXPECT_EQ(px.Width, size);
            EXPECT_EQ(px.Height, size);
            EXPECT_EQ(px.At(size / 2, size / 2), Px(colors[i]));
            EXPECT_FALSE(px.Clear(0, 0)) << "without a mask every pixel shows";
        }
        TIcon keep;
        keep.SetHandle(testing_support::MakeIcon(size, [](int, int) { return 0xFF000000u; }));
        HICON before = keep.Handle();
        EXPECT_FALSE(list.GetIcon(3, keep));
        EXPECT_FALSE(list.GetIcon(-1, keep));
        EXPECT_EQ(keep.Handle(), before) << "a bad index leaves the icon alone";
    }
}

TEST_F(ImageList, MaskColourMaskBitmapAndNoMask) {
    TBitmap b;
    Fill(b, clFuchsia, 16);
    b.Canvas().Brush().SetColor(clYellow);
    b.Canvas().FillRect(RECT{4, 4, 12, 12});

    TImageList list(nullptr);
    EXPECT_EQ(list.AddMasked(b, clFuchsia), 0);
    EXPECT_EQ(list.AddMasked(b, clNone), 1);
    TBitmap mask;
    Fill(mask, clBlack, 16);
    mask.Canvas().Brush().SetColor(clWhite);
    mask.Canvas().FillRect(RECT{0, 0, 8, 16});  // left half transparent
    EXPECT_EQ(list.Add(b, &mask), 2);

    IconPixels px;
    TIcon icon;
    ASSERT_TRUE(list.GetIcon(0, icon));
    ASSERT_TRUE(ReadIcon(icon.Handle(), px));
    EXPECT_TRUE(px.Clear(0, 0));
    EXPECT_TRUE(px.Clear(15, 15));
    EXPECT_FALSE(px.Clear(8, 8));
    EXPECT_EQ(px.At(8, 8), Px(clYellow));

    ASSERT_TRUE(list.GetIcon(1, icon));
    ASSERT_TRUE(ReadIcon(icon.Handle(), px));
    EXPECT_FALSE(px.Clear(0, 0)) << "clNone: no pixel is transparent";
    EXPECT_EQ(px.At(0, 0), Px(clFuchsia));

    ASSERT_TRUE(list.GetIcon(2, icon));
    ASSERT_TRUE(ReadIcon(icon.Handle(), px));
    EXPECT_TRUE(px.Clear(1, 1));
    EXPECT_TRUE(px.Clear(7, 15));
    EXPECT_FALSE(px.Clear(8, 0));
    EXPECT_EQ(px.At(14, 0), Px(clFuchsia));

    // The source bitmap is not changed by being added.
    EXPECT_EQ(b.ScanLine(0)[0] & 0xFFFFFF, Px(clFuchsia));
}

TEST_F(ImageList, KeepsThirtyTwoBitAlpha) {
    TBitmap b(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            // Left half opaque red, right half half-transparent red.
            b.ScanLine(y)[x] = x < 8 ? 0xFFFF0000u : 0x80FF0000u;
    TImageList list(nullptr);
    ASSERT_EQ(list.Add(b), 0);

    TIcon icon;
    ASSERT_TRUE(list.GetIcon(0, icon));
    IconPixels px;
    ASSERT_TRUE(ReadIcon(icon.Handle(), px));
    EXPECT_EQ(px.AlphaAt(2, 2), 0xFF);
    EXPECT_NEAR(px.AlphaAt(12, 2), 0x80, 2);

    TBitmap white;
    Fill(white, clWhite, 16);
    list.Draw(white.Canvas(), 0, 0, 0);
    DWORD opaque = white.ScanLine(5)[2] & 0xFFFFFF;
    DWORD half = white.ScanLine(5)[12] & 0xFFFFFF;
    EXPECT_EQ(opaque, 0xFF0000u);
    EXPECT_EQ((half >> 16) & 0xFF, 0xFFu) << std::hex << half;
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 0x7F, 3) << "blended half way to white";
}

TEST_F(ImageList, ReplaceDeleteAndDraw) {
    TImageList list(nullptr);
    TBitmap red, lime, blue;
    Fill(red, clRed, 16);
    Fill(lime, clLime, 16);
    Fill(blue, clBlue, 16);
    list.Add(red);
    list.Add(lime);
    list.Add(blue);

    EXPECT_TRUE(list.Replace(1, blue));
    EXPECT_FALSE(list.Replace(3, blue));
    TIcon icon;
    icon.SetHandle(testing_support::MakeIcon(
        16, [](int, int) { return 0xFF00FFFFu; }, [](int x, int) { return x >= 8; }));
    EXPECT_TRUE(list.ReplaceIcon(0, icon));
    EXPECT_FALSE(list.ReplaceIcon(5, icon));
    EXPECT_EQ(list.AddIcon(icon), 3);
    EXPECT_EQ(list.Count(), 4);

    IconPixels px;
    TIcon out;
    ASSERT_TRUE(list.GetIcon(1, out));
    ASSERT_TRUE(ReadIcon(out.Handle(), px));
    EXPECT_EQ(px.At(3, 3), Px(clBlue));

    // Drawing leaves the transparent half alone; GetBitmap shows the
    // bitmap's brush colour there.
    TBitmap target;
    Fill(target, clGreen, 20);
    list.Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.ScanLine(5)[3] & 0xFFFFFF, 0x00FFFFu);
    EXPECT_EQ(target.ScanLine(5)[14] & 0xFFFFFF, Px(clGreen));
    EXPECT_EQ(target.ScanLine(0)[0] & 0xFFFFFF, Px(clGreen));

    TBitmap back;
    back.Canvas().Brush().SetColor(clMaroon);
    ASSERT_TRUE(list.GetBitmap(3, back));
    EXPECT_EQ(back.Width(), 16);
    EXPECT_EQ(back.ScanLine(0)[15] & 0xFFFFFF, Px(clMaroon));
    EXPECT_EQ(back.ScanLine(0)[0] & 0xFFFFFF, 0x00FFFFu);
    EXPECT_FALSE(list.GetBitmap(9, back));

    EXPECT_TRUE(list.Delete(0));
    EXPECT_EQ(list.Count(), 3);
    ASSERT_TRUE(list.GetIcon(0, out));
    ASSERT_TRUE(ReadIcon(out.Handle(), px));
    EXPECT_EQ(px.At(3, 3), Px(clBlue)) << "the others move up";
    EXPECT_FALSE(list.Delete(3));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);

    list.SetSize(32, 32);
    list.AddMasked(red, clNone);
    EXPECT_EQ(list.Count(), 0) << "a 16-pixel image makes no 32-pixel one";
}

// A list given its drawing draws nothing until it is first used, whichever
// way that use comes, and then draws once.
TEST_F(ImageList, DrawnWhenFirstUsedAndOnlyOnce) {
    struct Use {
        const char* name;
        std::function<void(TImageList&)> run;
    };
    const Use uses[] = {
        {"count", [](TImageList& l) { l.Count(); }},
        {"handle", [](TImageList& l) { l.Handle(); }},
        {"icon",
         [](TImageList& l) {
             TIcon icon;
             EXPECT_TRUE(l.GetIcon(1, icon));
         }},
        {"bitmap",
         [](TImageList& l) {
             TBitmap b;
             EXPECT_TRUE(l.GetBitmap(0, b));
         }},
        {"draw",
         [](TImageList& l) {
             TBitmap b;
             Fill(b, clWhite, 16);
             l.Draw(b.Canvas(), 0, 0, 0);
             EXPECT_EQ(b.ScanLine(8)[8] & 0xFFFFFF, Px(clRed));
         }},
        {"add", [](TImageList& l) {
             TBitmap b;
             Fill(b, clBlue, 16);
             EXPECT_EQ(l.Add(b), 2) << "an image added at first use comes after the drawn ones";
         }},
    };
    for (const Use& use : uses) {
        SCOPED_TRACE(use.name);
        TImageList list(nullptr);
        int drawn = 0;
        list.SetFiller([&](TImageList& l) {
            ++drawn;
            EXPECT_EQ(l.Count(), 0) << "the drawing starts from an empty list";
            for (TColor c : {clRed, clLime}) {
                TBitmap b;
                Fill(b, c, 16);
                l.Add(b);
            }
        });
        EXPECT_EQ(drawn, 0) << "nothing is drawn before the list is used";
        use.run(list);
        EXPECT_EQ(drawn, 1);
        TIcon second;
        ASSERT_TRUE(list.GetIcon(1, second));
        IconPixels px;
        ASSERT_TRUE(ReadIcon(second.Handle(), px));
        EXPECT_EQ(px.At(8, 8), Px(clLime));
        EXPECT_GE(list.Count(), 2);
        EXPECT_EQ(drawn, 1) << "a list is drawn once";
    }
}

TEST(ImageListOwner, FreedWithItsOwnerAndTellsWhoAsked) {
    struct Watcher : TComponent {
        Watcher() : TComponent(nullptr) {}
        TComponent* gone = nullptr;
        void Notification(TComponent* c, TOperation op) override {
            if (op == TOperation::opRemove) gone = c;
        }
    } watcher;
    TComponent owner(nullptr);
    auto* list = new TImageList(&owner, 16, 16);
    list->Name = L"ImageListCPU";
    list->FreeNotification(&watcher);
    EXPECT_EQ(owner.Find<TImageList>(L"imagelistcpu"), list);
    TComponent::Free(list);
    EXPECT_EQ(watcher.gone, list);
    EXPECT_EQ(owner.ComponentCount(), 0u);
}

}  // namespace
