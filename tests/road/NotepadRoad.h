// What every road test starts from: the real Orvandel.exe up with its
// first start's history window shown, the virtual desktop's taskbar, and
// Wine's own Notepad with its edit box. A test can write Orvandel's settings
// before it starts; they are put back as they were at the end.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/support/PrefixGuard.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"
#include "tests/support/TrayRoad.h"

namespace testing_support {

class NotepadRoad : public testing::Test {
protected:
    void SetUp() override {
        PrepareSettings();
        if (HasFatalFailure()) return;
        program_ = ChildProcess::Start(BinDir() + L"Orvandel.exe");
        ASSERT_TRUE(program_.Started());
        form_ = WaitForTrayForm(program_.Pid());
        ASSERT_NE(form_, nullptr) << "Orvandel is up\n" << VisibleWindowsInZOrder();
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
        if (HasFailure()) std::printf("%s", RoadState(icon_).c_str());
        if (form_) {
            SendClose(form_);
            program_.WaitExit(30000);
        }
        notepad_.Terminate();
        notepad_.WaitExit(10000);
    }

    // Writes the settings the test starts Orvandel with (KeepSettingsFile
    // first for every file it writes).
    virtual void PrepareSettings() {}

    // The file of the settings folder is restored as it is now once the test
    // and the program it started have ended.
    void KeepSettingsFile(const std::wstring& name) {
        kept_.push_back(std::make_unique<FileRestore>(SettingsFolder() + name));
    }

    // The user clicks into Notepad's text.
    void ClickIntoNotepad() {
        ASSERT_TRUE(WaitUntil([&] { return ClickedIntoNotepad(); }, 20000)) << "Notepad is in front";
    }
    // One click into Notepad's text where it shows (another window, such as
    // the history window shown at start, may cover its middle); true when
    // Notepad came to the front.
    bool ClickedIntoNotepad() {
        MouseAt(VisiblePointOf(edit_), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
        return WaitUntil([&] { return ::GetForegroundWindow() == main_; }, 2000);
    }
    // The first point of a grid over the window, from its middle outwards,
    // where the window itself is under the pointer; its middle when none is.
    static POINT VisiblePointOf(HWND wnd) {
        RECT r{};
        ::GetWindowRect(wnd, &r);
        const POINT middle = Centre(wnd);
        for (int ring = 0; ring <= 4; ++ring)
            for (int dy = -ring; dy <= ring; ++dy)
                for (int dx = -ring; dx <= ring; ++dx) {
                    const POINT pt{middle.x + dx * (r.right - r.left) / 10, middle.y + dy * (r.bottom - r.top) / 10};
                    if (::WindowFromPoint(pt) == wnd) return pt;
                }
        return middle;
    }

    // The user copies the text in some program; Orvandel's heartbeat reads it.
    void CopyAndWaitRecorded(DelayedClipboardText& copy) {
        ASSERT_TRUE(copy.Put());
        ASSERT_TRUE(WaitUntil(
            [&] {
                for (DWORD pid : copy.Readers())
                    if (pid == program_.Pid()) return true;
                return false;
            },
            30000))
            << "Orvandel recorded the copied text";
    }

    // The user presses Esc until the program's menus have closed.
    void CloseMenusWithEsc() {
        EXPECT_TRUE(WaitUntil(
            [&] {
                PressKey(VK_ESCAPE);
                return WaitUntil([&] { return MenuWindowsOf(program_.Pid()) == 0; }, 2000);
            },
            20000))
            << "Esc closes the menu";
    }

    // Where the CPU icon shows in the taskbar's notification area.
    POINT TrayIconPoint() {
        std::wstring tips;
        EXPECT_TRUE(WaitUntil(
            [&] {
                tips.clear();
                icon_ = TrayIconWithTip(taskbar_, IsCPUIconTip, &tips);
                return icon_.x >= 0;
            },
            30000))
            << "the CPU icon shows in the notification area; the tips read: " << gui::WideToUtf8(tips);
        return icon_;
    }

    POINT icon_{-1, -1};
    HWND taskbar_ = nullptr, form_ = nullptr, main_ = nullptr, edit_ = nullptr;
    // Declared first: the files are restored after both programs have gone.
    std::vector<std::unique_ptr<FileRestore>> kept_;
    ChildProcess program_, notepad_;
};

}  // namespace testing_support
