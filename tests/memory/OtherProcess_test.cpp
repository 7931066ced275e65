#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/Form.h"
#include "gui/Handles.h"
#include "tests/support/PlacedWindow.h"
#include "toolkit/FindExe.h"
#include "toolkit/GetCMDLine.h"
#include "toolkit/TextHelpers.h"

using testing_support::PlacedExe;
using testing_support::RawChild;
using testing_support::WaitPlacedWindow;

namespace {

TEST(CommandLine, ArgumentsCutByTheProgramPath) {
    const std::wstring exe = L"C:\\Tools\\a.exe";
    struct Case {
        std::wstring line, expected;
    };
    const Case cases[] = {
        {L"\"C:\\Tools\\a.exe\" -x file", L"-x file"},
        {L"C:\\Tools\\a.exe -x", L" -x"},
        {L"\"C:\\Tools\\a.exe\"", L""},  // no stray quote
        {L"C:\\Tools\\a.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CutCMDLineOptions(c.line, exe), c.expected) << "line: " << testing::PrintToString(c.line);
}

// A 32-bit helper started from a command line written out, asked through its window.
TEST(CommandLine, ReadFromAnotherProcess) {
    const std::wstring exe = PlacedExe();
    struct Case {
        std::wstring line, expected;
        bool needsNoBlank;  // an unquoted path must not contain a blank
    };
    const Case cases[] = {
        {L"\"" + exe + L"\" -x \"file a\"", L"-x \"file a\"", false},
        {L"\"" + exe + L"\"", L"", false},
        {exe + L" -x", L" -x", true},
    };
    for (const Case& c : cases) {
        if (c.needsNoBlank && exe.find(L' ') != std::wstring::npos) continue;
        SCOPED_TRACE(testing::PrintToString(c.line));
        RawChild child(c.line);
        ASSERT_TRUE(child.Started());
        HWND wnd = WaitPlacedWindow(child.Pid());
        ASSERT_TRUE(wnd);
        std::wstring whole;
        GetCMDLineByPEB(wnd, whole);
        EXPECT_EQ(whole, c.line) << "the whole command line, quotes included";
        EXPECT_EQ(GetCMDLineOptions(wnd, exe), c.expected);
    }
}

TEST(CommandLine, TooLongForTheEnvironmentBlockRead) {
    // 300 characters: the environment block read gives nothing, so WMI is asked.
    const std::wstring exe = PlacedExe();
    std::wstring line = L"\"" + exe + L"\" ";
    line += std::wstring(300 - line.size(), L'x');
    RawChild child(line);
    HWND wnd = WaitPlacedWindow(child.Pid());
    ASSERT_TRUE(wnd);
    std::wstring whole = L"unchanged";
    GetCMDLineByPEB(wnd, whole);
    EXPECT_EQ(whole, L"");
    // This Wine's WMI gives no command line for a process other than the
    // asking one: the answer is emptied, not left as it was.
    std::wstring wmi = L"unchanged";
    GetCMDLineByWMI(wnd, wmi);
    EXPECT_EQ(wmi, L"");
    EXPECT_EQ(GetCMDLineOptions(wnd, exe), L"") << "neither way gives the long line here";
}

TEST(CommandLine, NotAWindowGivesNothing) {
    EXPECT_EQ(GetCMDLineOptions(nullptr, L"x.exe"), L"");
    EXPECT_EQ(GetCMDLineOptions(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7ff0)), L"x.exe"), L"");
    EXPECT_EQ(QueryProcessPEB(nullptr), 0u);
    EXPECT_NE(QueryProcessPEB(::GetCurrentProcess()), 0u);
}

TEST(CommandLine, WMIAnswersForTheAskingProcess) {
    // A window of this process: WMI knows the command line of its asker.
    HWND own = ::CreateWindowExW(0, L"STATIC", L"own", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(own);
    gui::OwnedWindow guard(own);
    std::wstring wmi;
    GetCMDLineByWMI(own, wmi);
    std::wstring peb;
    GetCMDLineByPEB(own, peb);
    EXPECT_EQ(peb, ::GetCommandLineW());
    EXPECT_EQ(wmi, ::GetCommandLineW());
}

// ------------------------------------------------------------- program windows

TEST(FindExe, WindowFoundByItsPathInAnyCase) {
    testing_support::ChildProcess child = testing_support::ChildProcess::Start(PlacedExe());
    HWND wnd = WaitPlacedWindow(child.Pid());
    ASSERT_TRUE(wnd);
    ASSERT_TRUE(testing_support::WaitUntil([&] { return ::IsWindowVisible(wnd) != FALSE; }, 10000));
    EXPECT_EQ(FindWindowByExe(UpperCase(PlacedExe())), wnd);
    EXPECT_EQ(FindWindowByExe(LowerCase(PlacedExe())), wnd);
    EXPECT_EQ(FindExeWnd, wnd);
    EXPECT_EQ(FindWindowByExe(testing_support::BinDir() + L"NoSuchProgram.exe"), nullptr);
    EXPECT_TRUE(IsExeRunning(L"placedwindow.EXE"));
    EXPECT_FALSE(IsExeRunning(L"PlacedWindow"));
    EXPECT_FALSE(IsExeRunning(L"NoSuchProgram.exe"));
    child.Terminate();
    ASSERT_TRUE(child.WaitExit(10000));
    EXPECT_TRUE(testing_support::WaitUntil([] { return !IsExeRunning(L"PlacedWindow.exe"); }, 10000));
}

TEST(FindExe, OnlyHiddenWindowsAreRunningButNotFound) {
    testing_support::ChildProcess child = testing_support::ChildProcess::Start(PlacedExe(), L"/hidden");
    HWND wnd = WaitPlacedWindow(child.Pid());
    ASSERT_TRUE(wnd);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_TRUE(IsExeRunning(L"PLACEDWINDOW.EXE"));
    EXPECT_EQ(FindWindowByExe(PlacedExe()), nullptr);
}

}  // namespace
