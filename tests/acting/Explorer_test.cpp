// Navigating an Explorer window below the program's window through its
// address bar: a click turns the breadcrumb into an edit box, the folder is
// typed and confirmed with Enter, and the pointer is left in the folder view.
#include "tests/acting/ActingFixture.h"

#include "app/history/HisJump.h"
#include "app/history/HisPaths.h"
#include "tests/support/TrayRoad.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinVersion.h"

namespace {

using acting::Target;
using helper_windows::RecordFile;
using testing_support::ScratchDir;

std::wstring WithoutTrailing(std::wstring s) {
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

class Explorer : public acting::ActingTest {
protected:
    void SetUp() override {
        ActingTest::SetUp();
        // The address bar of these windows shows a breadcrumb first.
        ASSERT_TRUE(IsVistaOrLater());
        His().Lists.Settings.CBPasteDir = 4;
        His().Target.FWindows11_22H2Moment4 = false;
    }
    // What the address-bar edit had when Enter reached it; the key is
    // posted, so it may still be on its way.
    static std::vector<std::wstring> Entered(const Target& t, DWORD waitMs = 10000) {
        testing_support::WaitUntil([&] { return !t.Events(L"enter").empty(); }, waitMs);
        return t.Events(L"enter");
    }
    static std::string LogText(const Target& t) {
        std::string out;
        for (const std::wstring& line : t.Log()) out += "  " + gui::WideToUtf8(line) + "\n";
        return out;
    }
};

TEST_F(Explorer, FolderIsTypedIntoTheAddressBar) {
    ScratchDir dir;
    const std::wstring work = WithoutTrailing(dir.Path());
    Target window;
    ASSERT_TRUE(window.Start(L"explorer", L"CabinetWClass")) << window.Failure();
    const HWND view = window[3];
    EXPECT_EQ(FindExplorerView(window[0]), view);

    His().Lists.MFileList[3].Add(work);
    StackBelowProgram({window[0]});
    His().TrayMenu.Proc_PPListClick(3000);
    EXPECT_EQ(Entered(window), std::vector<std::wstring>{L"enter " + work});
    // One click turned the breadcrumb into the edit. Where the pointer was
    // for it is not checked: this Wine may report the pointer's place from
    // the X server instead of the one just set.
    EXPECT_EQ(window.Events(L"click").size(), 1u);
    EXPECT_EQ(::GetCapture(), nullptr) << "the mouse is released";

    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(view, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, view) << "the folder view has the focus";
    // Where the pointer rests is not checked: once a capture has ended this
    // Wine takes the pointer's place from the X server, which may still
    // report an older position.
}

TEST_F(Explorer, ABreadcrumbThatNeverTurnsIntoAnEditIsLeftAlone) {
    ScratchDir dir;
    Target window;
    ASSERT_TRUE(window.Start(L"explorer", L"CabinetWClass,late")) << window.Failure();
    His().Lists.MFileList[3].Add(WithoutTrailing(dir.Path()));
    StackBelowProgram({window[0]});
    DWORD start = ::GetTickCount();
    His().TrayMenu.Proc_PPListClick(3000);
    DWORD elapsed = ::GetTickCount() - start;
    EXPECT_EQ(window.Events(L"click").size(), 1u);
    EXPECT_TRUE(Entered(window, 300).empty());
    EXPECT_GE(elapsed, 10u * 500u) << "nine looks, ten pauses of 500 ms";
    EXPECT_EQ(::GetCapture(), nullptr);
    // Where the pointer ends is not checked: this Wine takes the pointer
    // back to where it was moved while the mouse was captured once the
    // capture ends, whatever was set in between.
}

// The window's folder actions on an Explorer target: which folder is typed.
TEST_F(Explorer, FolderActionsTypeTheFolderTheyStandFor) {
    ScratchDir dir;
    const std::wstring sub = dir / L"sub";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::wstring file = sub + L"\\doc.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "x"));
    Target single, dual;
    ASSERT_TRUE(single.Start(L"explorer", L"CabinetWClass"));
    ASSERT_TRUE(dual.Start(L"explorer", L"ExploreWClass"));
    struct Case {
        const char* what;
        int tab, action;
        std::wstring entry;
        const Target* window;
        std::wstring typed;
    } cases[] = {
        {"folder: move there", 3, 0, sub, &single, sub},
        {"folder: one up in the two-pane window", 3, 1, sub, &dual, WithoutTrailing(dir.Path())},
        {"folder: one up in the single-pane window", 3, 2, sub, &single, WithoutTrailing(dir.Path())},
        {"drive root: one up is This PC", 3, 2, L"C:\\", &single, kThisPCPath},
        {"Explorer folder: move there", 4, 0, sub, &dual, sub},
        {"file: its folder in the two-pane window", 1, 1, file, &dual, sub},
        {"file: its folder in the single-pane window", 1, 2, file, &single, sub},
        {"program: its folder in the two-pane window", 2, 1, file, &dual, sub},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const_cast<Target*>(c.window)->ClearLog();
        His().Lists.Settings.Tab = c.tab;
        His().Lists.MFileList[c.tab].Clear();
        His().Lists.MFileList[c.tab].Add(c.entry);
        StackBelowProgram({(*c.window)[0]});
        ExecuteHistoryRow(0, c.action);
        EXPECT_EQ(Entered(*c.window), std::vector<std::wstring>{L"enter " + c.typed})
            << "single-pane window's log:\n" << LogText(single) << "two-pane window's log:\n" << LogText(dual)
            << testing_support::VisibleWindowsInZOrder();
    }
}

TEST_F(Explorer, WithTabsTheAddressBarIsNotDriven) {
    ScratchDir dir;
    const std::wstring sub = dir / L"sub";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    Target window;
    ASSERT_TRUE(window.Start(L"explorer", L"CabinetWClass")) << window.Failure();
    His().Target.FWindows11_22H2Moment4 = true;
    // No Explorer window answers the address jump, so a new Explorer shows
    // the folder selected; Explorer is played by the recorder.
    AdrJumpForm->ShellWindowsSource = [] { return nullptr; };
    RecordFile record(dir / L"record.txt");
    ExplorerPath = testing_support::BinDir() + L"OrvRecorder.exe";
    His().Lists.Settings.Tab = 3;
    His().Lists.MFileList[3].Add(sub);
    StackBelowProgram({window[0]});
    ExecuteHistoryRow(0, 2);
    auto rec = acting::WaitForStart(record);
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L" /select,\"" + sub + L"\""), std::wstring::npos)
        << gui::WideToUtf8(rec.commandLine);
    EXPECT_TRUE(window.Events(L"click").empty());
    EXPECT_TRUE(Entered(window, 300).empty());
}

}  // namespace
