// The foreground window feeds three histories: its program, the folder a
// file dialog shows, and the folder an Explorer window shows. Other
// programs' windows come from the window host, with the class chains of
// those windows.
#include <vector>

#include "app/history/HisCapture.h"
#include "tests/capture/CaptureFixture.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinWindows.h"

using namespace testing_support;
using helper_windows::WindowHost;

namespace {

std::wstring LongPath(const std::wstring& path) {
    std::wstring out;
    GetLongPathNameStr(path, out);
    return out;
}

class WindowCapture : public capture_test::CaptureTest {
protected:
    // The window host copied under that name into a folder of its own.
    std::wstring HostCopy(const std::wstring& name) {
        std::wstring folder = dir / (L"Prog" + std::to_wstring(++copies_));
        ::CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring exe = folder + L"\\" + name;
        EXPECT_TRUE(::CopyFileW((BinDir() + L"OrvWindowHost.exe").c_str(), exe.c_str(), FALSE));
        return exe;
    }

    // Folders that exist, for the dialogs and Explorer windows to show.
    std::wstring Folder(const std::wstring& name) {
        std::wstring path = dir / name;
        ::CreateDirectoryW(path.c_str(), nullptr);
        return LongPath(path);
    }

    // One poll with that foreground window, as the heartbeat gives it.
    static void Poll(HWND foreground, bool changed = true) { HisForm->Capture.Proc_TimerHis(foreground, changed); }

    int copies_ = 0;
};

// ---------------------------------------------------------------- programs

TEST_F(WindowCapture, ProgramOfTheForegroundWindowUnlessItsNameRulesItOut) {
    struct {
        const wchar_t* name;
        bool recorded;
    } cases[] = {{L"CapTool.exe", true},     {L"Setup_tool.exe", false}, {L"MYSETUP.EXE", false},
                 {L"msiexec.exe", false},    {L"capture_tests.exe", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << gui::WideToUtf8(c.name));
        std::wstring exe = HostCopy(c.name);
        WindowHost host;
        ASSERT_TRUE(host.Start({L"class=CapProgWindow\ttitle=プログラム"}, exe));
        HisForm->Lists.History(2).Clear();
        Poll(host[0]);
        EXPECT_EQ(History(2), c.recorded ? Items{LongPath(exe)} : Items{});
        EXPECT_EQ(HisForm->Capture.MExe, host[0]) << "the window counts as seen either way";
    }
}

TEST_F(WindowCapture, ProgramIsRecordedAgainOnlyWhenTheForegroundWindowChanges) {
    std::wstring exe = HostCopy(L"CapTool.exe");
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=CapProgWindow\ttitle=一つ目", L"class=CapProgWindow\ttitle=二つ目"}, exe));
    const std::wstring other = L"C:\\Other\\other.exe";
    auto otherOnTop = [&] { HisForm->Lists.RecordHistoryEntry(2, other); };

    // Through the real heartbeat: the foreground window is the host's.
    ASSERT_TRUE(ForceForegroundWindow(host[0]));
    Tick();
    ASSERT_EQ(Top(2), LongPath(exe));
    otherOnTop();
    Tick();
    EXPECT_EQ(Top(2), other) << "staying in one window records its program once";

    ASSERT_TRUE(ForceForegroundWindow(host[1]));
    Tick();
    EXPECT_EQ(Top(2), LongPath(exe)) << "another window of the same program records it again";
    otherOnTop();
    ASSERT_TRUE(ForceForegroundWindow(host[0]));
    Tick();
    EXPECT_EQ(History(2), (Items{LongPath(exe), other}));
}

TEST_F(WindowCapture, RecordedProgramReachesTheShownLauncher) {
    std::wstring exe = HostCopy(L"CapLaunched.exe");
    WindowHost host;
    ASSERT_TRUE(host.Start({L"class=CapProgWindow\ttitle=ランチャへ"}, exe));
    ASSERT_TRUE(LaunchForm);
    // With the history window hidden only the capture itself can tell the
    // launcher.
    HisForm->Hide();
    ASSERT_FALSE(HisForm->Visible());
    LaunchForm->Show();
    ASSERT_TRUE(LaunchForm->Visible());
    const int before = LaunchForm->ListViewHis->Count();
    Poll(host[0]);
    ASSERT_EQ(Top(2), LongPath(exe));
    ASSERT_EQ(LaunchForm->ListViewHis->Count(), before + 1);
    EXPECT_EQ(LaunchForm->ListViewHis->ItemText(0), L"CapLaunched")
        << "the bare name of a program without a description";
    EXPECT_EQ(LaunchForm->ImageListHis->Count(), before + 1) << "with its icon";
    LaunchForm->Hide();
}

TEST_F(WindowCapture, NoProgramForNoWindowOrAGoneOne) {
    Poll(nullptr);
    HWND gone = nullptr;
    {
        WindowHost host;
        ASSERT_TRUE(host.Start({L"class=CapProgWindow\ttitle=消える"}, HostCopy(L"CapGone.exe")));
        gone = host[0];
    }
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(gone); }, 5000));
    Poll(gone);
    EXPECT_EQ(History(2), Items{});
}

TEST(ProgramRules, NamesLeftOut) {
    struct {
        const wchar_t* path;
        bool skipped;
    } cases[] = {
        {L"C:\\Users\\A\\Downloads\\Setup_tool.exe", true}, {L"C:\\x\\MSIEXEC.EXE", true},
        {L"C:\\x\\orvandel.EXE", true},                     {L"C:\\x\\tool.exe", false},
        {L"C:\\setup\\tool.exe", false},                    {L"C:\\x\\msiexec2.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSkippedProgramName(c.path, L"Orvandel.exe"), c.skipped) << gui::WideToUtf8(c.path);
}

TEST(ProgramRules, PlacesLeftOutAndTheStoreNotepad) {
    TProgramPlaces places{L"Orvandel.exe", L"C:\\Windows", L"C:\\Program Files\\WindowsApps\\", true};
    const std::wstring storeNotepad =
        L"C:\\Program Files\\WindowsApps\\Microsoft.WindowsNotepad_11.2\\Notepad\\Notepad.exe";
    struct {
        std::wstring path;
        bool windows11;
        bool admitted;
        std::wstring recorded;
    } cases[] = {
        {L"C:\\Tools\\app.exe", true, true, L"C:\\Tools\\app.exe"},
        {L"C:\\WINDOWS\\SystemApps\\Microsoft.Shell\\StartMenu.exe", true, false, L""},
        {L"c:\\windows\\system32\\rundll32.exe", false, false, L""},
        {L"C:\\Windows\\System32\\ApplicationFrameHost.exe", false, false, L""},
        {L"C:\\Windows\\System32\\notepad.exe", true, true, L"C:\\Windows\\System32\\notepad.exe"},
        {storeNotepad, true, true, L"C:\\Windows\\notepad.exe"},
        {storeNotepad, false, false, L""},
        {L"C:\\Program Files\\WindowsApps\\Other_1.0\\other.exe", true, false, L""},
        {L"D:\\Program Files\\WindowsApps\\Other_1.0\\other.exe", true, true,
         L"D:\\Program Files\\WindowsApps\\Other_1.0\\other.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(c.path));
        places.Windows11 = c.windows11;
        std::wstring path = c.path;
        EXPECT_EQ(AdmitProgramPlace(path, places), c.admitted);
        if (c.admitted) {
            EXPECT_EQ(path, c.recorded);
        }
    }
}

// ---------------------------------------------------------------- file dialogs

// A file dialog of the newer kind: shell view, OK and Cancel, and the
// address bar's breadcrumb holding the label and the folder.
std::vector<std::wstring> FileDialog(const std::wstring& folder, bool withCancel = true) {
    std::vector<std::wstring> l{
        L"class=#32770\tsys=1\ttitle=名前を付けて保存\tstyle=0x10CF0000",
        L"class=SHELLDLL_DefView\tparent=0",
        L"class=Button\tsys=1\tparent=0\tid=1\ttitle=OK\ty=160\tw=60\th=20",
        L"class=WorkerW\tparent=0",
        L"class=ReBarWindow32\tparent=3",
        L"class=Address Band Root\tparent=4",
        L"class=msctls_progress32\tparent=5",
        L"class=Breadcrumb Parent\tparent=6",
        L"class=ToolbarWindow32\tparent=7\ttitle=アドレス: " + folder,
    };
    if (withCancel) l.push_back(L"class=Button\tsys=1\tparent=0\tid=2\ttitle=Cancel\ty=160\tx=70\tw=60\th=20");
    return l;
}
const int kBreadcrumb = 8;

TEST_F(WindowCapture, FileDialogFolderGoesToTheTopOfBothFolderLists) {
    const std::wstring a = Folder(L"保存先A"), b = Folder(L"保存先B");
    WindowHost host;
    ASSERT_TRUE(host.Start(FileDialog(a)));
    ASSERT_TRUE(IsFileDialogWindow(host[0]));
    Poll(host[0]);
    EXPECT_EQ(History(3), Items{a});
    EXPECT_EQ(History(4), Items{a});
    EXPECT_EQ(HisForm->Capture.MDlgAdrB, a);

    // The same folder on the next ticks is not recorded again.
    HisForm->Lists.RecordHistoryEntry(3, L"C:\\Other");
    HisForm->Lists.RecordHistoryEntry(4, L"C:\\Other");
    Poll(host[0], false);
    Poll(host[0], false);
    EXPECT_EQ(Top(3), L"C:\\Other");
    EXPECT_EQ(Top(4), L"C:\\Other");

    // The dialog goes to another folder, written in other letter case: the
    // entry takes the folder's true case.
    ::SetWindowTextW(host[kBreadcrumb], (L"アドレス: " + b).c_str());
    Poll(host[0], false);
    EXPECT_EQ(History(3), (Items{b, L"C:\\Other", a}));
    EXPECT_EQ(History(4), (Items{b, L"C:\\Other", a}));
    std::wstring upper = a;
    ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    ::SetWindowTextW(host[kBreadcrumb], (L"アドレス: " + upper).c_str());
    Poll(host[0], false);
    EXPECT_EQ(History(3), (Items{a, b, L"C:\\Other"}));
}

TEST_F(WindowCapture, FileDialogRecordsNothingUnlessItIsAnEnabledDialogShowingAFolder) {
    const std::wstring a = Folder(L"保存先");
    {
        WindowHost host;
        ASSERT_TRUE(host.Start(FileDialog(a + L"\\無い")));
        Poll(host[0]);
    }
    {
        WindowHost host;
        ASSERT_TRUE(host.Start(FileDialog(a, /*withCancel=*/false)));
        Poll(host[0]);
    }
    {
        WindowHost host;
        ASSERT_TRUE(host.Start(FileDialog(a)));
        ::EnableWindow(host[0], FALSE);
        Poll(host[0]);
        ::ShowWindow(host[0], SW_MINIMIZE);
        ::EnableWindow(host[0], TRUE);
        Poll(host[0]);
    }
    EXPECT_EQ(History(3), Items{});
    EXPECT_EQ(History(4), Items{});
}

// ---------------------------------------------------------------- Explorer windows

// An Explorer window of that class with the address bar's chain.
std::vector<std::wstring> ExplorerWindow(const std::wstring& cls, const std::wstring& folder,
                                         bool withProgress = true) {
    std::vector<std::wstring> l{L"class=" + cls + L"\ttitle=エクスプローラー", L"class=WorkerW\tparent=0",
                                L"class=ReBarWindow32\tparent=1", L"class=Address Band Root\tparent=2"};
    if (withProgress) l.push_back(L"class=msctls_progress32\tparent=3");
    const std::wstring last = std::to_wstring(l.size() - 1);
    l.push_back(L"class=Breadcrumb Parent\tparent=" + last);
    l.push_back(L"class=ToolbarWindow32\tparent=" + std::to_wstring(l.size() - 1) + L"\ttitle=アドレス: " + folder);
    return l;
}

TEST_F(WindowCapture, ExplorerFolderGoesToTheListOfItsKind) {
    const std::wstring a = Folder(L"表示中A"), b = Folder(L"表示中B");
    WindowHost single, twoPane;
    ASSERT_TRUE(single.Start(ExplorerWindow(L"CabinetWClass", a)));
    ASSERT_TRUE(twoPane.Start(ExplorerWindow(L"ExploreWClass", b)));

    Poll(single[0]);
    EXPECT_EQ(History(3), Items{a});
    EXPECT_EQ(History(4), Items{});
    EXPECT_EQ(HisForm->Capture.MExpDir, a);

    Poll(twoPane[0]);
    EXPECT_EQ(History(3), Items{a});
    EXPECT_EQ(History(4), Items{b});

    // Unchanged on the next ticks: not recorded again.
    HisForm->Lists.RecordHistoryEntry(4, L"C:\\Other");
    Poll(twoPane[0], false);
    EXPECT_EQ(Top(4), L"C:\\Other");
}

TEST_F(WindowCapture, ExplorerWithoutItsAddressBarOrFolderRecordsNothing) {
    const std::wstring a = Folder(L"表示中");
    struct {
        const char* what;
        std::vector<std::wstring> windows;
    } cases[] = {
        {"no progress bar level", ExplorerWindow(L"CabinetWClass", a, /*withProgress=*/false)},
        {"missing folder", ExplorerWindow(L"CabinetWClass", a + L"\\無い")},
        {"other class", ExplorerWindow(L"ExplorerWClass", a)},
        {"empty address", ExplorerWindow(L"ExploreWClass", L"")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowHost host;
        ASSERT_TRUE(host.Start(c.windows));
        Poll(host[0]);
        EXPECT_EQ(History(3), Items{});
        EXPECT_EQ(History(4), Items{});
    }
}

TEST_F(WindowCapture, TabbedExplorerShowsItsFolderInTheTabsTitle) {
    const std::wstring a = Folder(L"タブA"), b = Folder(L"タブB");
    HisForm->Target.FWindows11_22H2Moment4 = true;
    WindowHost tabbed, plain;
    ASSERT_TRUE(tabbed.Start({L"class=CabinetWClass\ttitle=" + b, L"class=ShellTabWindowClass\tparent=0\ttitle=" + a}));
    ASSERT_TRUE(plain.Start({L"class=CabinetWClass\ttitle=" + b}));
    Poll(tabbed[0]);
    EXPECT_EQ(History(3), Items{a}) << "the tab's title, not the window's";
    Poll(plain[0]);
    EXPECT_EQ(History(3), (Items{b, a})) << "without a tab window, the window's own title";
}

}  // namespace
