// The paste road walked as a user walks it, with a program nobody here
// wrote: Wine's own Notepad is clicked into, a text is copied, the user
// clicks Orvandel's tray icon with the mouse, presses "C" and Enter in the
// history menu, and the text arrives in Notepad. Everything is driven with
// synthesized input and read back from outside the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

using PasteRoad = NotepadRoad;

TEST_F(PasteRoad, ATrayMenuPickIsPastedIntoNotepadAfterARealClick) {
    ClickIntoNotepad();
    if (HasFatalFailure()) return;
    const std::wstring text = L"メモ帳へ貼る 1";
    DelayedClipboardText copy(text);
    CopyAndWaitRecorded(copy);
    if (HasFatalFailure()) return;
    const POINT icon = TrayIconPoint();
    ASSERT_GE(icon.x, 0);
    MouseAt(icon, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) == 1; }, 30000))
        << "the history menu opens after the double-click time";
    PressKey('C');
    ASSERT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) >= 2; }, 30000))
        << "the clipboard category opens";
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(edit_) == text; }, 30000))
        << "pasted into Notepad: " << gui::WideToUtf8(WindowTextOf(edit_)) << "\n"
        << VisibleWindowsInZOrder();
    HWND front = ::GetForegroundWindow();
    wchar_t cls[64] = {};
    ::GetClassNameW(front, cls, 64);
    EXPECT_EQ(front, main_) << "Notepad is in front again, not " << gui::WideToUtf8(cls) << " \""
                            << gui::WideToUtf8(WindowTextOf(front)) << "\"";
}

}  // namespace
