// Texts copied in other programs reach the clipboard history on the next
// heartbeat, by the rules of the clipboard recorder.
#include "tests/capture/CaptureFixture.h"

#include <string>

#include "gui/Handles.h"

using namespace testing_support;

namespace {

using ClipCapture = capture_test::CaptureTest;

TEST_F(ClipCapture, CopiedTextIsTheTopEntryAfterOneTick) {
    const std::wstring text = L"コピーした\tテキスト\r\n二行目";
    ASSERT_TRUE(CopyInOtherProgram(text));
    Tick();
    EXPECT_EQ(History(0), Items{text});
    EXPECT_EQ(HisForm->Capture.MClipB, text);
    EXPECT_EQ(::GetOpenClipboardWindow(), nullptr) << "the clipboard is closed again";

    ASSERT_TRUE(CopyInOtherProgram(L"second"));
    Tick();
    EXPECT_EQ(History(0), (Items{L"second", text}));
}

TEST_F(ClipCapture, SameTextTwiceIsRecordedOnceButOtherLetterCaseIsAnotherText) {
    ASSERT_TRUE(CopyInOtherProgram(L"abc"));
    Tick();
    ASSERT_TRUE(CopyInOtherProgram(L"abc"));
    Tick();
    Tick();
    EXPECT_EQ(History(0), Items{L"abc"});

    // A text equal to the last one recorded is skipped even after it has
    // left the list.
    HisForm->Lists.History(0).Clear();
    ASSERT_TRUE(CopyInOtherProgram(L"abc"));
    Tick();
    EXPECT_EQ(History(0), Items{}) << "still the last text recorded";

    ASSERT_TRUE(CopyInOtherProgram(L"ABC"));
    Tick();
    ASSERT_TRUE(CopyInOtherProgram(L"abc"));
    Tick();
    EXPECT_EQ(History(0), (Items{L"abc", L"ABC"}));
}

TEST_F(ClipCapture, TextCopiedBackMovesTheOlderEntryToTheTop) {
    for (const wchar_t* t : {L"a", L"b", L"c"}) {
        ASSERT_TRUE(CopyInOtherProgram(t));
        Tick();
    }
    ASSERT_EQ(History(0), (Items{L"c", L"b", L"a"}));
    ASSERT_TRUE(CopyInOtherProgram(L"a"));
    Tick();
    EXPECT_EQ(History(0), (Items{L"a", L"c", L"b"}));
}

TEST_F(ClipCapture, TextsAtTheSizeLimitAreIgnoredWhole) {
    const int limit = 1024 * HisForm->Lists.Settings.UDMaxClip;
    ASSERT_EQ(limit, 32768) << "the default limit";
    // Lengths only in the messages: the texts are long.
    auto topLength = [] { return HisForm->Lists.History(0).Count() ? Top(0).size() : 0u; };

    ASSERT_TRUE(CopyInOtherProgram(std::wstring(limit, L'y')));
    Tick();
    EXPECT_EQ(History(0).size(), 0u);
    EXPECT_EQ(HisForm->Capture.MClipB.size(), 0u) << "an ignored text does not count as recorded";

    ASSERT_TRUE(CopyInOtherProgram(std::wstring(limit - 1, L'x')));
    Tick();
    EXPECT_EQ(History(0).size(), 1u);
    EXPECT_EQ(topLength(), static_cast<size_t>(limit - 1));

    // A text over a lower limit is taken once the limit is raised, without
    // being copied again.
    HisForm->Lists.Settings.UDMaxClip = 8;
    ASSERT_TRUE(CopyInOtherProgram(std::wstring(9 * 1024, L'z')));
    Tick();
    Tick();
    EXPECT_EQ(History(0).size(), 1u);
    HisForm->Lists.Settings.UDMaxClip = 16;
    Tick();
    EXPECT_EQ(History(0).size(), 2u);
    EXPECT_EQ(topLength(), 9u * 1024);
    EXPECT_TRUE(Top(0) == std::wstring(9 * 1024, L'z'));
}

TEST_F(ClipCapture, ClipboardHeldOpenByAnotherProgramIsReadOnALaterTick) {
    ASSERT_TRUE(CopyInOtherProgram(L"held"));
    // The holder keeps the clipboard until the test lets it go.
    const std::wstring name = L"OrvClipHold" + std::to_wstring(::GetCurrentProcessId());
    gui::Handle release(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(release);
    ChildProcess holder = ChildProcess::Start(BinDir() + L"ClipboardHolder.exe",
                                              L"60000 " + name);
    ASSERT_TRUE(WaitUntil([] { return ::GetOpenClipboardWindow() != nullptr; }, 30000));
    Tick();
    EXPECT_EQ(History(0), Items{}) << "five tries, then the tick passes";
    ::SetEvent(release.get());
    ASSERT_TRUE(holder.WaitExit(30000));
    Tick();
    EXPECT_EQ(History(0), Items{L"held"});
}

TEST_F(ClipCapture, ClipboardWithoutTextRecordsNothing) {
    ASSERT_TRUE(CopyInOtherProgram(L"text"));
    Tick();
    ASSERT_TRUE(CopyBitmapInOtherProgram());
    Tick();
    EXPECT_EQ(History(0), Items{L"text"});
    EXPECT_EQ(::GetOpenClipboardWindow(), nullptr);
    ASSERT_TRUE(CopyInOtherProgram(L"after"));
    Tick();
    EXPECT_EQ(History(0), (Items{L"after", L"text"}));
}

TEST_F(ClipCapture, StoppedHistoryRecordsNothingUntilItGoesOn) {
    TrayForm->PPHisStop->SetChecked(true);
    ASSERT_TRUE(CopyInOtherProgram(L"while stopped"));
    Tick();
    Tick();
    EXPECT_EQ(History(0), Items{});
    TrayForm->PPHisStop->SetChecked(false);
    Tick();
    EXPECT_EQ(History(0), Items{L"while stopped"});
}

TEST_F(ClipCapture, HeartbeatTimerRecordsOnItsOwn) {
    TrayForm->TimerMain->SetEnabled(true);
    ASSERT_TRUE(CopyInOtherProgram(L"by the timer"));
    EXPECT_TRUE(WaitUntil([] { return Top(0) == L"by the timer"; }, 3000));
}

}  // namespace
