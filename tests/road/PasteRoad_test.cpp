// The paste road walked as a user walks it, with a program nobody here
// wrote: Wine's own Notepad is clicked into, a text is copied, the user
// clicks Orvandel's tray icon with the mouse, presses "C" and Enter in the
// history menu, and the text arrives in Notepad. Everything is driven with
// synthesized input and read back from outside the program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/Canvas.h"
#include "gui/Handles.h"
#include "gui/TextCodec.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"
#include "tests/support/TrayRoad.h"
#include "tests/toolkit/HelperWindows.h"

using namespace testing_support;

namespace {

class PasteRoad : public testing::Test {
protected:
    void SetUp() override {
        program_ = ChildProcess::Start(BinDir() + L"Orvandel.exe");
        ASSERT_TRUE(program_.Started());
        form_ = WaitForTrayForm(program_.Pid());
        ASSERT_NE(form_, nullptr) << "Orvandel is up";
        // The start ends with the history window shown; the user goes on after it.
        ASSERT_TRUE(WaitUntil([&] { return HistoryWindowOf(program_.Pid()) != nullptr; }, 30000))
            << "the history window shows at start";
        // The virtual desktop, with its taskbar, comes with the first window.
        ASSERT_TRUE(WaitUntil([&] { return (taskbar_ = ::FindWindowW(L"Shell_TrayWnd", nullptr)) != nullptr; },
                              30000))
            << "the tests run on a virtual desktop with a taskbar";

        wchar_t sys[MAX_PATH] = {};
        ::GetSystemDirectoryW(sys, MAX_PATH);
        notepad_ = ChildProcess::Start(std::wstring(sys) + L"\\notepad.exe");
        ASSERT_TRUE(notepad_.Started());
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (HWND w : FindTopWindows(L"Notepad"))
                    if (WindowProcessId(w) == notepad_.Pid() && ::IsWindowVisible(w)) main_ = w;
                return main_ && (edit_ = ::FindWindowExW(main_, nullptr, L"Edit", nullptr)) != nullptr;
            },
            30000))
            << "Notepad shows its edit box";
    }
    void TearDown() override {
        if (form_) {
            SendClose(form_);
            program_.WaitExit(30000);
        }
    }

    // The user clicks into Notepad's text.
    void ClickIntoNotepad() {
        ASSERT_TRUE(WaitUntil(
            [&] {
                MouseAt(Centre(edit_), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
                return WaitUntil([&] { return ::GetForegroundWindow() == main_; }, 2000);
            },
            20000))
            << "Notepad is in front";
    }

    HWND taskbar_ = nullptr, form_ = nullptr, main_ = nullptr, edit_ = nullptr;
    ChildProcess program_, notepad_;
};

TEST_F(PasteRoad, ATrayMenuPickIsPastedIntoNotepadAfterARealClick) {
    ClickIntoNotepad();
    const std::wstring text = L"メモ帳へ貼る 1";
    DelayedClipboardText copy(text);
    ASSERT_TRUE(copy.Put());
    // The heartbeat reads the copied text.
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (DWORD pid : copy.Readers())
                if (pid == program_.Pid()) return true;
            return false;
        },
        30000))
        << "Orvandel read the copied text";

    POINT icon{-1, -1};
    SweepNotificationArea(taskbar_);
    ASSERT_TRUE(WaitUntil([&] { return (icon = CPUIconPoint(taskbar_)).x >= 0; }, 30000))
        << "the CPU icon shows in the notification area";
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
