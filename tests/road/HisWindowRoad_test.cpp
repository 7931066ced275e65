// The history window's road, walked as a user walks it: a text is copied
// while Wine's Notepad is in front, a double click on Orvandel's CPU tray
// icon opens the history window, a click picks the text's row and Enter
// pastes it into Notepad. Driven with synthesized input, read from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

// The history list: the largest visible list box of the window.
struct ListSearch {
    HWND best = nullptr;
    LONG area = 0;
};

BOOL CALLBACK LargerList(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<ListSearch*>(lp);
    wchar_t cls[32] = {};
    ::GetClassNameW(w, cls, 32);
    RECT r{};
    ::GetWindowRect(w, &r);
    const LONG area = (r.right - r.left) * (r.bottom - r.top);
    if (std::wstring(cls) == L"TListBox" && ::IsWindowVisible(w) && area > s->area) {
        s->best = w;
        s->area = area;
    }
    return TRUE;
}

HWND HistoryListOf(HWND window) {
    ListSearch search;
    ::EnumChildWindows(window, LargerList, reinterpret_cast<LPARAM>(&search));
    return search.best;
}

using HisWindowRoad = NotepadRoad;

TEST_F(HisWindowRoad, ADoubleClickOnTheTrayIconOpensTheWindowAndEnterPastesTheRow) {
    // The window shown at the end of the start is closed first.
    HWND shown = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (shown = HistoryWindowOf(program_.Pid())) != nullptr; }, 30000))
        << "the history window shows at start";
    ::PostMessageW(shown, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return HistoryWindowOf(program_.Pid()) == nullptr; }, 20000));
    ClickIntoNotepad();
    if (HasFatalFailure()) return;
    const std::wstring text = L"履歴ウィンドウから 2";
    DelayedClipboardText copy(text);
    CopyAndWaitRecorded(copy);
    if (HasFatalFailure()) return;
    const POINT icon = TrayIconPoint();
    ASSERT_GE(icon.x, 0);
    ClickAt(icon, /*twice=*/true);
    HWND his = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (his = HistoryWindowOf(program_.Pid())) != nullptr; }, 30000))
        << "the double click opens the history window";
    EXPECT_EQ(MenuWindowsOf(program_.Pid()), 0) << "and no menu";
    // A user types once the window is in front; under load it takes a while.
    ASSERT_TRUE(WaitUntil([&] { return ::GetAncestor(::GetForegroundWindow(), GA_ROOT) == his; }, 30000))
        << "the history window comes to the front\n" << VisibleWindowsInZOrder();
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (list = HistoryListOf(his)) != nullptr; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) >= 1; }, 10000));
    const int rowHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    ClickAt(ScreenPoint(list, 30, rowHeight / 2));
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }, 10000));
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(edit_) == text; }, 30000))
        << "pasted into Notepad: " << gui::WideToUtf8(WindowTextOf(edit_)) << "\n"
        << VisibleWindowsInZOrder();
    EXPECT_EQ(::GetForegroundWindow(), main_) << "Notepad is in front again";
    EXPECT_NE(HistoryWindowOf(program_.Pid()), nullptr) << "the window stays open";
}

}  // namespace
