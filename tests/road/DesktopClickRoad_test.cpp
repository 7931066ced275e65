// The desktop middle click walked with the real Orvandel.exe: the option is
// on in "His.ini", the pointer rests on a desktop (a stand-in "Progman" of a
// helper program with its shell view, as Wine has none), a real middle click
// there pops up the history menu, and Esc closes it. Read from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/IniFile.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

class DesktopClickRoad : public NotepadRoad {
protected:
    void PrepareSettings() override {
        KeepSettingsFile(L"His.ini");
        gui::TMemIniFile ini(SettingsFolder() + L"His.ini");
        ini.WriteBool(L"History", L"DeskTopWClick", true);
        ini.WriteInteger(L"History", L"DeskTopWClickKey", 0);
        ASSERT_TRUE(ini.UpdateFile());
    }
    void TearDown() override {
        desktop_.Terminate();
        desktop_.WaitExit(10000);
        NotepadRoad::TearDown();
    }
    ChildProcess desktop_;
};

TEST_F(DesktopClickRoad, AMiddleClickOnTheDesktopPopsUpTheHistoryMenu) {
    desktop_ = ChildProcess::Start(BinDir() + L"HookFakeDesktop.exe");
    ASSERT_TRUE(desktop_.Started());
    const std::wstring title = L"desktop-progman";
    HWND progman = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w : FindTopWindows(L"Progman", &title))
                if (::IsWindowVisible(w)) progman = w;
            return progman != nullptr;
        },
        20000));
    const POINT onDesktop = Centre(progman);
    ASSERT_EQ(MenuWindowsOf(program_.Pid()), 0);

    // The pointer rests on the desktop; the program's heartbeat puts the hook
    // in within a tick, so the user clicks again until the menu shows.
    MouseAt(onDesktop);
    ASSERT_TRUE(WaitUntil(
        [&] {
            MiddleClickAt(onDesktop);
            return WaitUntil([&] { return MenuWindowsOf(program_.Pid()) >= 1; }, 3000);
        },
        30000))
        << "the history menu pops up on a middle click on the desktop\n"
        << VisibleWindowsInZOrder();

    CloseMenusWithEsc();
}

}  // namespace
