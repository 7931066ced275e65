// The dual list box: two lists side by side that name each other as partner
// keep the same top row whichever of them the user scrolls, with keys, the
// scroll bar or the wheel; a list without its scroll bar; the partner freed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "components/DualListBox.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "tests/support/UserInput.h"
#include "tests/support/TestSupport.h"


using namespace testing_support;

namespace {

class TDualTestForm : public gui::TForm {
public:
    explicit TDualTestForm(gui::TComponent* owner) : TForm(owner, L"TDualTestForm") {
        CreationCaption = L"二列の一覧";
        CreationLeft = CreationTop = 100;
        CreationWidth = 500;
        CreationHeight = 400;
    }
    TDualListBox* Left = nullptr;
    TDualListBox* Right = nullptr;

protected:
    void FormCreate() override {
        Left = gui::NewControl<TDualListBox>(this, {.Name = L"Left", .Bounds = gui::Bounds(10, 10, 200, 300)},
                                             {.HideScrollBar = true});
        Right = gui::NewControl<TDualListBox>(this, {.Name = L"Right", .Bounds = gui::Bounds(210, 10, 220, 300)});
        for (int i = 0; i < 100; ++i) {
            Left->Add(L"名前 " + std::to_wstring(i));
            Right->Add(L"shell:Row" + std::to_wstring(i));
        }
        Left->SetSynListBox(Right);
        Right->SetSynListBox(Left);
    }
};

TDualTestForm* DualForm = nullptr;

bool HasVScroll(const gui::TWinControl* c) { return (::GetWindowLongW(c->Handle(), GWL_STYLE) & WS_VSCROLL) != 0; }

class DualListBox : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        app_.CreateForm(DualForm);
        form_ = DualForm;
        form_->Show();
        ASSERT_TRUE(BringToFront(form_->Handle()));
        PumpApp(50);
    }
    void TearDown() override { app_.DestroyForms(); }

    // Both lists show the same top row, and it is not the first.
    ::testing::AssertionResult InStepAwayFromTop() {
        const bool ok = WaitApp([&] { return form_->Left->TopIndex() == form_->Right->TopIndex(); }, 10000);
        const int l = form_->Left->TopIndex(), r = form_->Right->TopIndex();
        if (!ok) return ::testing::AssertionFailure() << "left top " << l << ", right top " << r;
        if (l == 0) return ::testing::AssertionFailure() << "neither list scrolled";
        return ::testing::AssertionSuccess() << "top " << l;
    }

    void ScrollBothToTop() {
        form_->Left->SetTopIndex(0);
        form_->Right->SetTopIndex(0);
        form_->Left->SetItemIndex(0);
        form_->Right->SetItemIndex(0);
        ASSERT_TRUE(WaitApp([&] { return form_->Left->TopIndex() == 0 && form_->Right->TopIndex() == 0; }, 5000));
    }

    gui::TApplication app_;
    TDualTestForm* form_ = nullptr;
};

// Each way a user scrolls one list of the pair, on either side.
TEST_F(DualListBox, EitherListScrolledByKeysBarOrWheelTakesThePartnerAlong) {
    struct Case {
        const char* name;
        bool right;
        void (*act)(TDualListBox* list);
    } cases[] = {
        {"End key in the right list", true, [](TDualListBox* l) { l->SetFocus(); PressKeys({VK_END}); }},
        {"End key in the left list", false, [](TDualListBox* l) { l->SetFocus(); PressKeys({VK_END}); }},
        {"Page Down twice in the left list", false,
         [](TDualListBox* l) {
             l->SetFocus();
             PressKeys({VK_NEXT});  // the first goes to the last row in view
             PressKeys({VK_NEXT});
         }},
        {"click on the scroll bar's lower part", true,
         [](TDualListBox* l) {
             RECT w{};
             ::GetWindowRect(l->Handle(), &w);
             const int bar = ::GetSystemMetrics(SM_CXVSCROLL);
             ClickAt(POINT{w.right - 2 - bar / 2, w.bottom - 2 - bar * 3});
         }},
        {"wheel over the right list", true,
         [](TDualListBox* l) {
             l->SetFocus();
             for (int i = 0; i < 3; ++i) WheelAt(ScreenPoint(l->Handle(), 50, 50), -WHEEL_DELTA);
         }},
        {"wheel over the left list", false,
         [](TDualListBox* l) {
             l->SetFocus();
             for (int i = 0; i < 3; ++i) WheelAt(ScreenPoint(l->Handle(), 50, 50), -WHEEL_DELTA);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScrollBothToTop();
        c.act(c.right ? form_->Right : form_->Left);
        EXPECT_TRUE(InStepAwayFromTop());
    }
}

TEST_F(DualListBox, TheListItselfIsRefusedAsPartnerWithAMessage) {
    testing_support::MessageBoxAnswerer answerer;
    form_->Left->SetSynListBox(form_->Left);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Texts()[0], L"自分自身は選択出来ません");
    EXPECT_EQ(form_->Left->SynListBox(), form_->Right) << "the partner stays as it was";
    form_->Left->SetSynListBox(form_->Right);  // the same partner again: nothing, no message
    EXPECT_EQ(answerer.Count(), 1u);
}

TEST_F(DualListBox, AFreedPartnerLeavesTheListWorkingAlone) {
    gui::TComponent::Free(form_->Right);
    form_->Right = nullptr;
    EXPECT_EQ(form_->Left->SynListBox(), nullptr);
    ASSERT_TRUE(BringToFront(form_->Handle()));
    // This Wine's list box takes the first key after getting the focus
    // without a selection as a move to row 0, so a row is selected first.
    form_->Left->SetItemIndex(0);
    form_->Left->SetFocus();
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == form_->Left->Handle(); }, 10000));
    PressKeys({VK_END});
    EXPECT_TRUE(WaitApp([&] { return form_->Left->ItemIndex() == 99 && form_->Left->TopIndex() > 0; }, 10000))
        << "selected " << form_->Left->ItemIndex() << ", top " << form_->Left->TopIndex();
    ::RedrawWindow(form_->Left->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(form_->Left->Count(), 100);
}

// Without its scroll bar the list has none even with 100 rows; switching the
// option on a made list makes its window anew and keeps what it showed.
TEST_F(DualListBox, HiddenScrollBarAndSwitchingIt) {
    ASSERT_GT(form_->Left->Count() * form_->Left->ItemHeight(), form_->Left->ClientHeight());
    EXPECT_FALSE(HasVScroll(form_->Left));
    EXPECT_TRUE(HasVScroll(form_->Right));
    RECT w{};
    ::GetWindowRect(form_->Left->Handle(), &w);
    const int frame = 2 * ::GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(form_->Left->ClientWidth(), w.right - w.left - frame) << "no room taken by a scroll bar";

    form_->Right->SetItemIndex(40);
    form_->Right->SetTopIndex(30);
    ASSERT_TRUE(WaitApp([&] { return form_->Left->TopIndex() == 30; }, 5000));
    const HWND old = form_->Right->Handle();
    const RECT bounds = form_->Right->BoundsRect();
    form_->Right->SetHideScrollBar(true);
    EXPECT_NE(form_->Right->Handle(), old);
    EXPECT_FALSE(::IsWindow(old));
    EXPECT_FALSE(HasVScroll(form_->Right));
    EXPECT_EQ(form_->Right->Count(), 100);
    EXPECT_EQ(form_->Right->Item(99), L"shell:Row99");
    EXPECT_EQ(form_->Right->ItemIndex(), 40);
    EXPECT_EQ(form_->Right->TopIndex(), 30);
    const RECT now = form_->Right->BoundsRect();
    EXPECT_TRUE(::EqualRect(&now, &bounds));
    EXPECT_EQ(gui::TWinControl::FromHandle(form_->Right->Handle()), form_->Right);

    // The new window still leads its partner, and clicks on it reach the form.
    int clicks = 0;
    form_->Right->OnClick = [&](gui::TListBox*) { ++clicks; };
    form_->Right->SetFocus();
    PressKeys({VK_END});
    EXPECT_TRUE(InStepAwayFromTop());
    EXPECT_GE(clicks, 1);

    const HWND hidden = form_->Right->Handle();
    form_->Right->SetHideScrollBar(true);  // no change: the window stays
    EXPECT_EQ(form_->Right->Handle(), hidden);
    form_->Right->SetHideScrollBar(false);
    EXPECT_TRUE(HasVScroll(form_->Right));
}

}  // namespace
