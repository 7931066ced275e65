#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "components/RAMCleanX64.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/PlacedWindow.h"
#include "toolkit/AppExecute.h"

using testing_support::EndWindowProcess;
using testing_support::PlacedExe;
using testing_support::ScratchDir;
using testing_support::WaitUntil;

namespace {

struct WindowState {
    RECT rect{};
    bool zoomed = false, iconic = false;
};

WindowState StateOf(HWND w) {
    WindowState s;
    ::GetWindowRect(w, &s.rect);
    s.zoomed = ::IsZoomed(w) != FALSE;
    s.iconic = ::IsIconic(w) != FALSE;
    return s;
}

TEST(ExecuteProgram, PlacementOfTheStartedWindow) {
    struct Case {
        const char* name;
        const wchar_t* args;
        int showCmd, placeMode, x, y, w, h;
        RECT expected;  // {0,0,0,0}: not checked
        bool zoomed, iconic;
    };
    // The helper's window stands at 120, 120 sized 320 x 240.
    const Case cases[] = {
        {"position", L"", SW_SHOWDEFAULT, epPosition, 50, 60, 999, 999, {50, 60, 370, 300}, false, false},
        {"size", L"", SW_SHOWDEFAULT, epSize, 0, 0, 400, 300, {120, 120, 520, 420}, false, false},
        {"position and size", L"", SW_SHOWDEFAULT, epPositionSize, 70, 80, 200, 150, {70, 80, 270, 230}, false, false},
        {"nothing asked", L"", SW_SHOWDEFAULT, epNone, 70, 80, 200, 150, {120, 120, 440, 360}, false, false},
        {"maximised", L"", SW_SHOWMAXIMIZED, epNone, 0, 0, 0, 0, {0, 0, 0, 0}, true, false},
        // A program that shows its window normal whatever it was asked: the
        // start brings it into the state asked for.
        {"maximised by the start", L"/normal", SW_SHOWMAXIMIZED, epNone, 0, 0, 0, 0, {0, 0, 0, 0}, true, false},
        {"minimised by the start", L"/normal", SW_MINIMIZE, epNone, 0, 0, 0, 0, {0, 0, 0, 0}, false, true},
        {"shown minimised: left as it is", L"/normal", SW_SHOWMINIMIZED, epNone, 0, 0, 0, 0,
         {120, 120, 440, 360}, false, false},
        {"a form under its application window", L"/app", SW_SHOWDEFAULT, epPositionSize, 30, 40, 250, 180,
         {30, 40, 280, 220}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExecuteProgram(L"\"" + PlacedExe() + L"\" " + c.args, testing_support::BinDir(), c.showCmd, 0,
                       c.placeMode, c.x, c.y, c.w, c.h, false);
        HWND placed = nullptr;
        for (HWND w : testing_support::FindTopWindows(L"OrvPlacedWindow"))
            if (::IsWindowVisible(w)) placed = w;
        ASSERT_TRUE(placed) << "the window was up when the program became idle";
        HWND main = ExecuteMainWnd;
        ASSERT_TRUE(main);
        struct End {
            HWND w;
            ~End() { EndWindowProcess(w); }
        } end{placed};
        if (std::wstring(c.args) == L"/app") {
            EXPECT_NE(main, placed) << "the application window is the main window";
            EXPECT_EQ(ExecuteSecondWnd, placed) << "its form is placed";
        } else {
            EXPECT_EQ(main, placed);
        }
        WindowState s = StateOf(placed);
        if (c.iconic) s.iconic = ::IsIconic(main) != FALSE;
        EXPECT_EQ(s.zoomed, c.zoomed);
        EXPECT_EQ(s.iconic, c.iconic);
        if (c.expected.right) {
            EXPECT_EQ(s.rect.left, c.expected.left);
            EXPECT_EQ(s.rect.top, c.expected.top);
            EXPECT_EQ(s.rect.right, c.expected.right);
            EXPECT_EQ(s.rect.bottom, c.expected.bottom);
        }
    }
}

TEST(ExecuteProgram, AStartFailureRaisesWithTheCommandLine) {
    const std::wstring line = L"\"" + testing_support::BinDir() + L"NoSuchProgram.exe\" 5";
    try {
        ExecuteProgram(line, L"", SW_SHOWDEFAULT, 0, epNone, 0, 0, 0, 0, true);
        ADD_FAILURE() << "no exception";
    } catch (const gui::Exception& e) {
        EXPECT_EQ(e.Message(), line + L"を起動できません。");
    }
}

// The stand-in cleaner in a scratch program folder whose name has a blank,
// recording into a file and held until released.
class StandIn {
public:
    StandIn() {
        folder = dir / L"prog dir\\";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        EXPECT_TRUE(::CopyFileW((testing_support::BinDir() + L"CleanerStandIn.exe").c_str(),
                                (folder + L"Murvel.exe").c_str(), FALSE));
        // A program a path with a blank would start by mistake: "prog.exe".
        EXPECT_TRUE(::CopyFileW((testing_support::BinDir() + L"CleanerStandIn.exe").c_str(),
                                (dir / L"prog.exe").c_str(), FALSE));
        record = dir / L"record.txt";
        eventName = L"OrvStandInRelease" + std::to_wstring(::GetCurrentProcessId());
        release.reset(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", record.c_str());
        ::SetEnvironmentVariableW(L"ORV_RELEASE_EVENT", eventName.c_str());
    }
    ~StandIn() {
        Release();
        ::SetEnvironmentVariableW(L"ORV_RECORD_FILE", nullptr);
        ::SetEnvironmentVariableW(L"ORV_RELEASE_EVENT", nullptr);
    }
    void Release() { ::SetEvent(release.get()); }
    bool Recorded() { return !testing_support::ReadBytes(record).empty(); }
    std::wstring Recording() { return gui::Utf8ToWide(testing_support::ReadBytes(record)); }

    ScratchDir dir;
    std::wstring folder, record, eventName;
    gui::Handle release;
};

TEST(ExecuteProgram, WaitReturnsOnlyWhenTheProgramHasEnded) {
    StandIn standIn;
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        ExecuteProgram(L"\"" + standIn.folder + L"Murvel.exe\" 7", standIn.folder, SW_SHOWDEFAULT,
                       NORMAL_PRIORITY_CLASS, epNone, 0, 0, 0, 0, true);
        returned = true;
    });
    ASSERT_TRUE(WaitUntil([&] { return standIn.Recorded(); }, 30000));
    EXPECT_FALSE(returned) << "the program still runs";
    standIn.Release();
    EXPECT_TRUE(WaitUntil([&] { return returned.load(); }, 30000));
    caller.join();
}

TEST(CleanerThread, RunsTheCleanerFromAFolderWithABlankAndEndsOnTheOwnerThread) {
    StandIn standIn;
    DWORD endThread = 0;
    int ends = 0;
    TRAMCleanX64 thread(standIn.folder, 1639, [&](TRAMCleanX64*) {
        ++ends;
        endThread = ::GetCurrentThreadId();
    });
    ASSERT_TRUE(WaitUntil([&] { return standIn.Recorded(); }, 30000));
    EXPECT_EQ(standIn.Recording(), L"\"" + standIn.folder + L"Murvel.exe\" 1639\n" +
                                       standIn.folder.substr(0, standIn.folder.size() - 1) + L"\n");
    thread.Terminate();
    EXPECT_TRUE(thread.Terminated());
    testing_support::PumpMessages(200);
    EXPECT_EQ(ends, 0) << "a termination request does not shorten the wait";
    standIn.Release();
    ASSERT_TRUE(WaitUntil([&] { return ends == 1; }, 30000));
    EXPECT_EQ(endThread, ::GetCurrentThreadId());
    EXPECT_TRUE(thread.Finished());
    EXPECT_FALSE(thread.FatalException());
}

TEST(CleanerThread, AStartFailureStillEndsOnTheOwnerThread) {
    ScratchDir dir;
    int ends = 0;
    TRAMCleanX64 thread(dir.Path(), 10, [&](TRAMCleanX64*) { ++ends; });
    ASSERT_TRUE(WaitUntil([&] { return ends == 1; }, 30000));
    ASSERT_TRUE(thread.FatalException());
    try {
        std::rethrow_exception(thread.FatalException());
    } catch (const gui::Exception& e) {
        EXPECT_EQ(e.Message(), TRAMCleanX64::CommandLine(dir.Path(), 10) + L"を起動できません。");
    }
    EXPECT_EQ(TRAMCleanX64::CommandLine(L"C:\\a b\\", 42), L"\"C:\\a b\\Murvel.exe\" 42");
}

}  // namespace
