// What acting on a file, program or folder entry starts, observed through a
// program of ours that records how it was started: opened documents,
// started programs, Explorer with its parameters, and opened folders.
#include "tests/acting/ActingFixture.h"

#include "app/history/HisPaths.h"
#include "tests/toolkit/HelperWindows.h"

namespace {

using acting::ClassKey;
using acting::RunWithKeyHeld;
using helper_windows::RecordFile;
using helper_windows::WindowHost;
using testing_support::BinDir;
using testing_support::ScratchDir;

std::wstring Recorder() { return BinDir() + L"OrvRecorder.exe"; }

std::wstring WithoutSlash(std::wstring s) {
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

class Actions : public acting::ActingTest {
protected:
    void SetUp() override {
        ActingTest::SetUp();
        // A window of another program below ours that is no Explorer and no dialog.
        ASSERT_TRUE(other_.Start({L"class=ActNormal\ttitle=ほか"}));
        acting::Settle(other_[0]);
        StackBelowProgram({other_[0]});
        AdrJumpForm->ShellWindowsSource = [] { return nullptr; };
        ExplorerPath = Recorder();
    }
    // An entry acted on from the window's history list of the tab.
    void Execute(int tab, const std::wstring& entry, int action) {
        His().Lists.Settings.Tab = tab;
        His().Lists.MFileList[tab].Clear();
        His().Lists.MFileList[tab].Add(entry);
        StackBelowProgram({other_[0]});
        ExecuteHistoryRow(0, action);
    }

    ScratchDir dir_;
    WindowHost other_;
};

TEST_F(Actions, ExplorerIsStartedWithTheFolder) {
    const std::wstring sub = dir_ / L"サブ";
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    const std::wstring file = sub + L"\\文書.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "x"));
    struct Case {
        const char* what;
        int tab;
        std::wstring entry;
        int action;
        std::wstring params;
    } cases[] = {
        {"file: its folder", 1, file, 1, L" /e,\"" + sub + L"\""},
        {"program: its folder", 2, file, 1, L" /e,\"" + sub + L"\""},
        {"Explorer folder", 4, sub, 0, L" /e,\"" + sub + L"\""},
        {"folder one up, selected", 3, sub, 1, L" /e,/select,\"" + sub + L"\""},
        {"drive root one up: This PC", 4, L"C:\\", 1, L" /e,/select,\"" + kThisPCPath + L"\""},
        {"folder one up without a window to jump", 3, sub, 2, L" /select,\"" + sub + L"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordFile record(dir_ / L"record.txt");
        Execute(c.tab, c.entry, c.action);
        auto rec = acting::WaitForStart(record);
        ASSERT_TRUE(rec.found);
        EXPECT_EQ(rec.commandLine.substr(rec.commandLine.size() - c.params.size()), c.params)
            << gui::WideToUtf8(rec.commandLine);
    }

    // With Shift the two-pane view opens also where a jump would do.
    WindowHost twoPane;
    ASSERT_TRUE(twoPane.Start({L"class=ExploreWClass\ttitle=二枚"}));
    acting::Settle(twoPane[0]);
    for (bool fromMenu : {false, true}) {
        SCOPED_TRACE(fromMenu ? "menu" : "window");
        RecordFile record(dir_ / L"record.txt");
        helper_windows::Record rec;
        // An attempt that lost the key has started its own Explorer: its
        // record is awaited and dropped before the next attempt.
        ASSERT_TRUE(RunWithKeyHeld(
            VK_SHIFT,
            [&] {
                ::DeleteFileW(record.Path().c_str());
                His().Lists.MFileList[4].Clear();
                His().Lists.MFileList[4].Add(sub);
                His().Lists.Settings.Tab = 4;
                StackBelowProgram({twoPane[0]});
            },
            [&] {
                if (fromMenu) His().TrayMenu.Proc_PPListClick(4000);
                else ExecuteHistoryRow(0, 0);
            },
            [&] { rec = acting::WaitForStart(record); }));
        ASSERT_TRUE(rec.found);
        EXPECT_NE(rec.commandLine.find(L" /e,\"" + sub + L"\""), std::wstring::npos) << gui::WideToUtf8(rec.commandLine);
    }
}

TEST_F(Actions, DocumentsAndProgramsAreStartedInTheirFolder) {
    ClassKey ext(L".orvact", L"OrvTestActFile");
    ClassKey command(L"OrvTestActFile\\shell\\open\\command", L"\"" + Recorder() + L"\" \"%1\"");
    const std::wstring doc = dir_ / L"報告 & 案.orvact";
    const std::wstring program = dir_ / L"prog.exe";
    ASSERT_TRUE(testing_support::WriteBytes(doc, "x"));
    ASSERT_TRUE(::CopyFileW(Recorder().c_str(), program.c_str(), FALSE));

    {
        SCOPED_TRACE("document from the window's favourites");
        RecordFile record(dir_ / L"record.txt");
        His().Lists.Settings.Tab = 1;
        His().Lists.MFileList[1].Add(dir_ / L"older.txt");
        His().Lists.MFileList[6].Add(doc);
        testing_support::Named<gui::TToolButton>(His(), L"TBexe")->SetEnabled(true);
        SelectRow(1, 0);
        His().Proc_Execute(1, 0);
        auto rec = acting::WaitForStart(record);
        ASSERT_TRUE(rec.found);
        EXPECT_NE(rec.commandLine.find(doc), std::wstring::npos) << gui::WideToUtf8(rec.commandLine);
        EXPECT_EQ(rec.folder, WithoutSlash(dir_.Path()));
        ASSERT_EQ(His().Lists.MFileList[1].Count(), 2);
        EXPECT_EQ(His().Lists.MFileList[1][0], doc) << "to the top of the file history";
    }
    {
        SCOPED_TRACE("program from the window");
        RecordFile record(dir_ / L"record.txt");
        Execute(2, program, 0);
        auto rec = acting::WaitForStart(record);
        ASSERT_TRUE(rec.found);
        EXPECT_EQ(rec.folder, WithoutSlash(dir_.Path()));
    }
    for (int tag : {1000, 2000}) {
        SCOPED_TRACE(testing::Message() << "from the tray menu, tag " << tag);
        RecordFile record(dir_ / L"record.txt");
        His().Lists.MFileList[1].Clear();
        His().Lists.MFileList[1].Add(doc);
        His().Lists.MFileList[2].Clear();
        His().Lists.MFileList[2].Add(program);
        His().TrayMenu.Proc_PPListClick(tag);
        auto rec = acting::WaitForStart(record);
        ASSERT_TRUE(rec.found);
        if (tag == 1000) {
            EXPECT_NE(rec.commandLine.find(doc), std::wstring::npos) << gui::WideToUtf8(rec.commandLine);
        }
        EXPECT_EQ(rec.folder, WithoutSlash(dir_.Path()));
    }
    {
        SCOPED_TRACE("entries that are gone start nothing");
        RecordFile record(dir_ / L"record.txt");
        His().Lists.MFileList[1].Insert(0, dir_ / L"無い.orvact");
        His().Lists.MFileList[2].Insert(0, dir_ / L"無い.exe");
        His().TrayMenu.Proc_PPListClick(1000);
        His().TrayMenu.Proc_PPListClick(2000);
        EXPECT_FALSE(acting::WaitForStart(record, 1500).found);
    }
}

TEST_F(Actions, CtrlEnterOnAProgramAsksForOptionsInstead) {
    const std::wstring program = dir_ / L"prog.exe";
    ASSERT_TRUE(::CopyFileW(Recorder().c_str(), program.c_str(), FALSE));
    RecordFile record(dir_ / L"record.txt");
    His().Target.FExeCtrlKey = true;
    Execute(2, program, 0);
    EXPECT_FALSE(His().Target.FExeCtrlKey) << "the flag is used once";
    ASSERT_TRUE(RunWithKeyHeld(VK_CONTROL, [&] {
        ::DeleteFileW(record.Path().c_str());
        Execute(2, program, 0);
    }));
    EXPECT_FALSE(acting::WaitForStart(record, 1500).found) << "the options dialog starts the program, not the window";
}

// Wine's own Explorer shows a folder opened by the shell in a window of
// class "ExplorerWClass" titled with the folder's name; it is closed again.
bool ExplorerOpened(const std::wstring& name) {
    bool found = testing_support::WaitUntil([&] { return !testing_support::FindTopWindows(L"ExplorerWClass", &name).empty(); }, 8000);
    for (HWND w : testing_support::FindTopWindows(L"ExplorerWClass")) ::PostMessageW(w, WM_CLOSE, 0, 0);
    testing_support::WaitUntil([] { return testing_support::FindTopWindows(L"ExplorerWClass").empty(); }, 5000);
    return found;
}

TEST_F(Actions, FoldersAreOpenedByTheShell) {
    const std::wstring outer = dir_ / L"外側", inner = outer + L"\\内側";
    ASSERT_TRUE(::CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(inner.c_str(), nullptr));
    struct Case {
        const char* what;
        bool shift;
        int tab, action, tag;  // tag -1: from the window
        std::wstring shown;
    } cases[] = {
        // Without Shift this would start Explorer to show the folder selected.
        {"window, Shift: the folder that holds it", true, 3, 2, -1, L"外側"},
        {"window, no jump: the folder", false, 3, 0, -1, L"内側"},
        {"menu, no jump: the folder", false, 3, 0, 3000, L"内側"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto act = [&] {
            if (c.tag >= 0) {
                His().Lists.MFileList[3].Clear();
                His().Lists.MFileList[3].Add(inner);
                StackBelowProgram({other_[0]});
                His().TrayMenu.Proc_PPListClick(c.tag);
            } else {
                Execute(c.tab, inner, c.action);
            }
        };
        if (c.shift) ASSERT_TRUE(RunWithKeyHeld(VK_SHIFT, act));
        else act();
        EXPECT_TRUE(ExplorerOpened(c.shown));
    }
}

}  // namespace
