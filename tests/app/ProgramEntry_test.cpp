// Orvandel.exe as a whole process: settings folder, single instance and the
// "/ListError" take-over.
#include <gtest/gtest.h>

#include "app/ProgramEntry.h"
#include "app/SingleInstance.h"
#include "gui/Exception.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinFiles.h"

using namespace testing_support;

namespace {

const std::wstring kTitle = L"Orvandel";

std::wstring ExePath() { return BinDir() + L"Orvandel.exe"; }

std::vector<HWND> TrayForms() { return FindTopWindows(L"TTrayForm", &kTitle); }

bool MutexExists() {
    HANDLE h = ::OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutexName);
    if (h) ::CloseHandle(h);
    return h != nullptr;
}

class ProgramEntry : public testing::Test {
protected:
    void SetUp() override { StopAll(); }
    void TearDown() override { StopAll(); }

    // Ends every running instance the way a user would, then by force.
    static void StopAll() {
        for (HWND w : TrayForms()) {
            DWORD pid = WindowProcessId(w);
            ::PostMessageW(w, WM_CLOSE, 0, 0);
            gui::Handle p(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
            if (p && ::WaitForSingleObject(p.get(), 5000) != WAIT_OBJECT_0)
                ::TerminateProcess(p.get(), 1);
        }
        WaitUntil([] { return TrayForms().empty() && !MutexExists(); }, 20000);
    }

    static ChildProcess StartAndWaitUp(const std::wstring& args = L"") {
        ChildProcess p = ChildProcess::Start(ExePath(), args);
        EXPECT_TRUE(p.Started());
        DWORD pid = p.Pid();
        EXPECT_TRUE(WaitUntil(
            [pid] {
                for (HWND w : TrayForms())
                    if (WindowProcessId(w) == pid) return true;
                return false;
            },
            30000))
            << "no TTrayForm window";
        return p;
    }
};

TEST_F(ProgramEntry, RunsWithHiddenMainFormInTheSettingsFolder) {
    ChildProcess first = StartAndWaitUp();
    auto forms = TrayForms();
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_FALSE(::IsWindowVisible(forms[0]));
    // The window is seen as soon as it exists; its create event sets the style just after.
    HWND main = forms[0];
    EXPECT_TRUE(WaitUntil([main] { return (::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; },
                          5000));
    EXPECT_TRUE(MutexExists());

    std::wstring appdata;
    GetSpecialFolderPath(1, appdata);
    EXPECT_TRUE(DirectoryExistsSafe(appdata + L"\\Quorvin\\Orvandel\\"));

    // The main form closes through its close query and the program ends.
    ::PostMessageW(forms[0], WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitExit(30000));
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST_F(ProgramEntry, SecondStartEndsSilently) {
    ChildProcess first = StartAndWaitUp();
    for (const wchar_t* args : {L"", L"/listerror", L"/LISTERROR", L"/debug", L"ListError"}) {
        SCOPED_TRACE(testing::Message() << "args " << gui::WideToUtf8(args));
        ChildProcess second = ChildProcess::Start(ExePath(), args);
        ASSERT_TRUE(second.Started());
        EXPECT_TRUE(second.WaitExit(30000)) << "a second instance must end by itself";
        EXPECT_EQ(TrayForms().size(), 1u);
        EXPECT_TRUE(first.Running());
    }
}

TEST_F(ProgramEntry, ListErrorTakesOver) {
    ChildProcess first = StartAndWaitUp();
    ChildProcess second = ChildProcess::Start(ExePath(), L"/ListError");
    ASSERT_TRUE(second.Started());
    // Closed by its close query: termination would come only after 5 s.
    EXPECT_TRUE(first.WaitExit(30000)) << "the running instance is closed";
    DWORD pid = second.Pid();
    EXPECT_TRUE(WaitUntil(
        [pid] {
            auto f = TrayForms();
            return f.size() == 1 && WindowProcessId(f[0]) == pid;
        },
        30000));
    EXPECT_TRUE(second.Running());
}

TEST_F(ProgramEntry, ListErrorWithoutInstanceStartsNormally) {
    ChildProcess p = StartAndWaitUp(L"/ListError");
    EXPECT_EQ(TrayForms().size(), 1u);
    EXPECT_TRUE(p.Running());
}

TEST_F(ProgramEntry, SimultaneousStartsLeaveOneInstance) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<ChildProcess> starts;
        for (int i = 0; i < 4; ++i) starts.push_back(ChildProcess::Start(ExePath()));
        // All but one end; the survivor shows its main form.
        EXPECT_TRUE(WaitUntil(
            [&] {
                int running = 0;
                for (auto& s : starts) running += s.Running();
                return running == 1 && TrayForms().size() == 1;
            },
            30000));
        PumpMessages(500);
        EXPECT_EQ(TrayForms().size(), 1u);
        StopAll();
    }
}

TEST_F(ProgramEntry, SettingsFolderThatCannotBeMadeEndsAtOnce) {
    std::wstring appdata;
    GetSpecialFolderPath(1, appdata);
    const std::wstring base = appdata + L"\\Quorvin";
    const std::wstring aside = appdata + L"\\Quorvin.aside-test";
    RemoveTree(aside);
    bool moved = ::MoveFileW(base.c_str(), aside.c_str()) != FALSE;
    ASSERT_TRUE(WriteBytes(base, "a file where the folder belongs"));

    // Looked for all the while the program runs: once it has ended, its
    // window and mutex are gone whatever it did.
    ChildProcess p = ChildProcess::Start(ExePath());
    bool sawWindow = false, sawMutex = false;
    const bool ended = WaitUntil(
        [&] {
            const bool gone = !p.Running();
            sawWindow |= !TrayForms().empty();
            sawMutex |= MutexExists();
            return gone;
        },
        30000, 1);
    const DWORD exitCode = ended ? p.ExitCode() : 1;
    p.Terminate();

    ::DeleteFileW(base.c_str());
    if (moved) ::MoveFileW(aside.c_str(), base.c_str());

    EXPECT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(sawWindow) << "no main form was made";
    EXPECT_FALSE(sawMutex) << "the single-instance mutex was never taken";
}

TEST(CompanionTool, BrackwenExeFromItsSettingsFile) {
    ScratchDir root;
    const std::wstring data = root / L"Quorvin\\Orvandel\\";
    const std::wstring tool = root / L"Quorvin\\Brackwen\\";
    ::CreateDirectoryW((root / L"Quorvin").c_str(), nullptr);
    ::CreateDirectoryW(data.c_str(), nullptr);
    EXPECT_EQ(ReadBrackwenExe(data), L"") << "no Brackwen folder";

    ::CreateDirectoryW(tool.c_str(), nullptr);
    EXPECT_EQ(ReadBrackwenExe(data), L"") << "no Brackwen.ini";

    const std::wstring exe = tool + L"Brackwen.exe";
    ASSERT_TRUE(WriteBytes(exe, "MZ"));
    struct {
        std::string ini;
        std::wstring expected;
    } cases[] = {
        {"[Exe]\r\nFolder=" + gui::WideToUtf8(exe) + "\r\n", exe},
        {"[Exe]\r\nFolder=" + gui::WideToUtf8(tool) + "Missing.exe\r\n", L""},
        {"[Other]\r\nFolder=" + gui::WideToUtf8(exe) + "\r\n", L""},
        {"garbage \x01\x02 [[[ = ]]\r\n\xFF\xFE", L""},
        {"", L""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(tool + L"Brackwen.ini", c.ini));
        EXPECT_EQ(ReadBrackwenExe(data), c.expected) << c.ini;
    }
    // A folder named like the settings file cannot be read as one.
    ::DeleteFileW((tool + L"Brackwen.ini").c_str());
    ::CreateDirectoryW((tool + L"Brackwen.ini").c_str(), nullptr);
    EXPECT_EQ(ReadBrackwenExe(data), L"");
}

}  // namespace
