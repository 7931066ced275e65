// Pasting a clipboard entry into the window the user was in: another
// program's edit below the program's window gets exactly the entry, through
// Ctrl+V or Shift+Insert, from the window's main action and from the tray
// history menu.
#include "tests/acting/ActingFixture.h"

#include "toolkit/QuorvinText.h"

namespace {

using acting::Target;
using acting::TextOf;
using testing_support::WaitUntil;

class Paste : public acting::ActingTest {
protected:
    void SetUp() override {
        ActingTest::SetUp();
        ASSERT_TRUE(target_.Start(L"paste"));
        StackBelowProgram({target_[0]});
    }
    HWND Edit() { return target_[1]; }
    bool EditShows(const std::wstring& text) {
        return WaitUntil([&] { return TextOf(Edit()) == text; }, 3000);
    }
    void Record(const std::vector<std::wstring>& newestLast) {
        for (const auto& s : newestLast) His().Lists.MFileList[0].Insert(0, s);
    }

    Target target_;
};

// Texts a paste could change on the way: "&" escapes, line breaks, tabs,
// characters outside the system code page.
const wchar_t* const kTexts[] = {
    L"f(T&&, U)",
    L"一行目\r\n\t二行目 & 三",
    L"a&&,b",
};

TEST_F(Paste, CtrlVPastesTheEntryExactly) {
    His().Lists.Settings.RadioGroupPaste = 0;
    for (const wchar_t* text : kTexts) {
        SCOPED_TRACE(gui::WideToUtf8(text));
        ::SetWindowTextW(Edit(), L"");
        His().Lists.MFileList[0].Clear();
        Record({L"older", text});
        StackBelowProgram({target_[0]});
        ExecuteHistoryRow(0);
        EXPECT_TRUE(EditShows(text)) << gui::WideToUtf8(TextOf(Edit()));
    }
}

TEST_F(Paste, ShiftInsertPastesWithExtendedKeys) {
    His().Lists.Settings.RadioGroupPaste = 1;
    Record({L"シフト挿入 & more"});
    ExecuteHistoryRow(0);
    EXPECT_TRUE(EditShows(L"シフト挿入 & more")) << gui::WideToUtf8(TextOf(Edit()));
    bool insertSeen = false;
    for (const auto& e : target_.Events(L"key")) {
        if (e.rfind(L"key down 2D ", 0) != 0) continue;
        insertSeen = true;
        unsigned long lp = std::wcstoul(e.substr(12).c_str(), nullptr, 16);
        EXPECT_TRUE(lp & 0x01000000) << "Insert as an extended key: " << gui::WideToUtf8(e);
    }
    EXPECT_TRUE(insertSeen);
}

TEST_F(Paste, AnyOtherPasteChoiceSendsNoKeys) {
    His().Lists.Settings.RadioGroupPaste = 2;
    Record({L"not pasted"});
    ExecuteHistoryRow(0);
    testing_support::PumpMessages(300);
    EXPECT_TRUE(target_.Events(L"key").empty());
    EXPECT_EQ(TextOf(Edit()), L"");
}

TEST_F(Paste, WaitsForTheTargetAndTheConfiguredPause) {
    His().Lists.Settings.UDWait = 400;
    Record({L"waited"});
    DWORD start = ::GetTickCount();
    ExecuteHistoryRow(0);
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_TRUE(EditShows(L"waited"));
    EXPECT_GE(elapsed, 500u + 400u) << "one 500 ms round and the pause";
}

TEST_F(Paste, TrayMenuPicksPasteTheStoredEntry) {
    // The menu shows "&" as "&&,", the pick must not turn it back.
    Record({L"second", L"f(T&&, U)"});
    His().Lists.MFileList[5].Add(L"お気に入り&&,");
    His().TrayMenu.Proc_PPListClick(0);
    EXPECT_TRUE(EditShows(L"f(T&&, U)")) << gui::WideToUtf8(TextOf(Edit()));

    ::SetWindowTextW(Edit(), L"");
    StackBelowProgram({target_[0]});
    His().TrayMenu.Proc_PPListClick(100);  // favourites entry 0
    EXPECT_TRUE(EditShows(L"お気に入り&&,")) << gui::WideToUtf8(TextOf(Edit()));

    ::SetWindowTextW(Edit(), L"");
    StackBelowProgram({target_[0]});
    His().TrayMenu.Proc_PPListClick(1);
    EXPECT_TRUE(EditShows(L"second"));
}

TEST_F(Paste, PicksBeyondTheListDoNothing) {
    Record({L"only"});
    ASSERT_TRUE(SetClipboardTextRetry(L"untouched"));
    for (int tag : {1, 2, 19, 100, 99, 5000, -1}) His().TrayMenu.Proc_PPListClick(tag);
    testing_support::PumpMessages(200);
    EXPECT_EQ(TextOf(Edit()), L"");
    EXPECT_TRUE(target_.Events(L"key").empty());
}

TEST_F(Paste, AfterTheActionTheSelectionAndButtonsAreReset) {
    Record({L"reset"});
    testing_support::Named<gui::TToolButton>(His(), L"TBContx")->SetEnabled(true);
    testing_support::Named<gui::TToolButton>(His(), L"TBBrackwen")->SetEnabled(true);
    testing_support::Named<gui::TToolButton>(His(), L"TBexe")->Hint = L"hint";
    testing_support::Named<gui::TStatusBar>(His(), L"StatusBar")->SetSimpleText(L"status");
    His().Lists.MFileList[5].Add(L"favourite");
    SelectRow(1, 0);
    ExecuteHistoryRow(0);
    ASSERT_TRUE(EditShows(L"reset"));
    EXPECT_EQ(testing_support::Named<gui::TListBox>(His(), L"ListBoxHis")->ItemIndex(), -1);
    EXPECT_EQ(testing_support::Named<gui::TListBox>(His(), L"ListBoxFav")->ItemIndex(), -1);
    EXPECT_EQ(testing_support::Named<gui::TStatusBar>(His(), L"StatusBar")->PanelText(0), L"");
    for (gui::TToolButton* b : {testing_support::Named<gui::TToolButton>(His(), L"TBexe"), testing_support::Named<gui::TToolButton>(His(), L"TBUpExp"), testing_support::Named<gui::TToolButton>(His(), L"TBUpFol")}) EXPECT_EQ(b->Hint, L"");
    for (gui::TToolButton* b : {testing_support::Named<gui::TToolButton>(His(), L"TBexe"), testing_support::Named<gui::TToolButton>(His(), L"TBUpExp"), testing_support::Named<gui::TToolButton>(His(), L"TBUpFol"), testing_support::Named<gui::TToolButton>(His(), L"TBContx"), testing_support::Named<gui::TToolButton>(His(), L"TBBrackwen")})
        EXPECT_FALSE(b->Enabled());

    // A disabled button acts on nothing.
    ::SetWindowTextW(Edit(), L"");
    SelectRow(0, 0);
    His().Proc_Execute(0, 0);
    testing_support::PumpMessages(200);
    EXPECT_EQ(TextOf(Edit()), L"");
}

}  // namespace
