// The document history follows the user's Recent folder: a change there
// (reported by the folder watcher 250 ms after a burst) makes the next
// heartbeat record the target of the newest document shortcut.
#include <vector>

#include "app/history/HisCapture.h"
#include "components/MakeShortCuts.h"
#include "components/Watch.h"
#include "tests/capture/CaptureFixture.h"

using namespace testing_support;

namespace {

struct Shortcut {
    std::wstring name;    // the shortcut's file name without ".lnk"
    std::wstring target;  // under the documents folder
    int minutes;          // its time, in minutes from a day ago
};

class RecentCapture : public capture_test::CaptureTest {
protected:
    std::wstring Docs() const { return dir / L"Docs"; }

    // The documents the shortcuts point at.
    void MakeDocuments() {
        ASSERT_TRUE(::CreateDirectoryW(Docs().c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW((Docs() + L"\\Folder").c_str(), nullptr));
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"NoExt", L"x.txt", L"y.txt"})
            ASSERT_TRUE(WriteBytes(Docs() + L"\\" + name, "doc"));
    }

    // Writes the shortcuts with their times elsewhere first, then moves them
    // into the Recent folder together, so the watcher sees one burst.
    void PutShortcuts(const std::vector<Shortcut>& shortcuts) {
        std::wstring staging = dir / L"Staging";
        ::CreateDirectoryW(staging.c_str(), nullptr);
        SYSTEMTIME now;
        ::GetSystemTime(&now);
        FILETIME base;
        ::SystemTimeToFileTime(&now, &base);
        ULONGLONG dayAgo = ((static_cast<ULONGLONG>(base.dwHighDateTime) << 32) | base.dwLowDateTime) -
                           24ull * 3600 * 10000000;
        for (const Shortcut& s : shortcuts) {
            std::wstring file = staging + L"\\" + s.name + L".lnk";
            TMakeShortCuts link(nullptr);
            link.SCFileName = file;
            link.SCExecFile = Docs() + L"\\" + s.target;
            link.SCSave();
            ASSERT_NE(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "made " << s.name;
            ULONGLONG t = dayAgo + static_cast<ULONGLONG>(s.minutes) * 60 * 10000000;
            FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
            gui::FileHandle h(::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
            ASSERT_TRUE(h);
            ASSERT_TRUE(::SetFileTime(h.get(), nullptr, nullptr, &ft));
        }
        for (const Shortcut& s : shortcuts) {
            std::wstring name = L"\\" + s.name + L".lnk";
            ASSERT_TRUE(::MoveFileW((staging + name).c_str(), (RecentDir() + name).c_str()));
        }
    }

    // The watcher's report has come and the next heartbeat has run.
    void TickAfterTheChange() {
        ASSERT_TRUE(WaitUntil([] { return HisForm->Capture.FRecentFile; }, 5000)) << "the watcher reported the change";
        Tick();
        EXPECT_FALSE(HisForm->Capture.FRecentFile) << "the poll takes the report";
    }

    // Shortcut file names in the order the folder lists them.
    std::vector<std::wstring> ListedOrder() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        gui::FindHandle h(::FindFirstFileW((RecentDir() + L"\\*.lnk").c_str(), &fd));
        for (bool more = static_cast<bool>(h); more; more = ::FindNextFileW(h.get(), &fd) != FALSE)
            names.push_back(fd.cFileName);
        return names;
    }
};

TEST_F(RecentCapture, WatchesTheRecentFolderWithAShortDelay) {
    EXPECT_EQ(HisForm->Capture.MRecentDir, RecentDir() + L"\\");
    ASSERT_NE(HisForm->Capture.DirectoryWatcher(), nullptr);
    EXPECT_EQ(HisForm->Capture.DirectoryWatcher()->Directory(), HisForm->Capture.MRecentDir);
    EXPECT_TRUE(HisForm->Capture.DirectoryWatcher()->Delay);
    EXPECT_EQ(HisForm->Capture.DirectoryWatcher()->DelayTime(), 250u);
    EXPECT_FALSE(HisForm->Capture.FRecentFile);
}

TEST_F(RecentCapture, MissingRecentFolderIsNotWatched) {
    StopTray();
    capture_test::RecentFolderOverride missing(dir / L"NoSuchFolder");
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    EXPECT_EQ(HisForm->Capture.MRecentDir, L"");
    EXPECT_EQ(HisForm->Capture.DirectoryWatcher()->Directory(), L"");
    Tick();
    EXPECT_EQ(History(1), Items{});
}

struct RecentCase {
    const char* name;
    std::vector<Shortcut> shortcuts;
    const wchar_t* recorded;  // nullptr: nothing
};

class RecentCases : public RecentCapture, public testing::WithParamInterface<RecentCase> {};

TEST_P(RecentCases, TheNewestDocumentShortcutsTargetIsRecorded) {
    MakeDocuments();
    HisForm->Lists.History(1).Add(L"C:\\older.txt");
    PutShortcuts(GetParam().shortcuts);
    TickAfterTheChange();
    if (GetParam().recorded)
        EXPECT_EQ(History(1), (Items{Docs() + L"\\" + GetParam().recorded, L"C:\\older.txt"}));
    else
        EXPECT_EQ(History(1), Items{L"C:\\older.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Shortcuts, RecentCases,
    testing::Values(
        RecentCase{"NewestByTime", {{L"a.txt", L"a.txt", 10}, {L"b.txt", L"b.txt", 30}, {L"c.txt", L"c.txt", 20}},
                   L"b.txt"},
        RecentCase{"WithoutExtensionDropped", {{L"NoExt", L"NoExt", 40}, {L"a.txt", L"a.txt", 10}}, L"a.txt"},
        RecentCase{"FolderDropped", {{L"Folder", L"Folder", 40}, {L"c.txt", L"c.txt", 10}}, L"c.txt"},
        RecentCase{"NewestTargetGone", {{L"gone.txt", L"gone.txt", 40}, {L"a.txt", L"a.txt", 10}}, nullptr},
        RecentCase{"NoDocumentShortcut", {{L"Folder", L"Folder", 40}}, nullptr}),
    [](const testing::TestParamInfo<RecentCase>& info) { return std::string(info.param.name); });

TEST_F(RecentCapture, OfTwoShortcutsOfOneTimeTheOneListedFirstWins) {
    MakeDocuments();
    PutShortcuts({{L"x.txt", L"x.txt", 10}, {L"y.txt", L"y.txt", 10}});
    std::vector<std::wstring> order = ListedOrder();
    ASSERT_EQ(order.size(), 2u);
    const std::wstring first = order[0].substr(0, order[0].size() - 4);
    TickAfterTheChange();
    EXPECT_EQ(History(1), Items{Docs() + L"\\" + first});
}

TEST_F(RecentCapture, EachNewDocumentGoesToTheTop) {
    MakeDocuments();
    PutShortcuts({{L"a.txt", L"a.txt", 10}});
    TickAfterTheChange();
    PutShortcuts({{L"b.txt", L"b.txt", 20}});
    TickAfterTheChange();
    // Opening a again writes its shortcut anew.
    ::DeleteFileW((RecentDir() + L"\\a.txt.lnk").c_str());
    PutShortcuts({{L"a.txt", L"a.txt", 30}});
    TickAfterTheChange();
    EXPECT_EQ(History(1), (Items{Docs() + L"\\a.txt", Docs() + L"\\b.txt"}));
}

TEST(RecentInsertByTime, NewestFirstAndAfterEqualTimes) {
    std::vector<TRecentShortcut> list{{L"a", 50}, {L"b", 40}, {L"c", 40}, {L"d", 30}};
    EXPECT_EQ(Proc_InsertByTime({}, 7), 0);
    EXPECT_EQ(Proc_InsertByTime(list, 60), 0);
    EXPECT_EQ(Proc_InsertByTime(list, 50), 1);
    EXPECT_EQ(Proc_InsertByTime(list, 45), 1);
    EXPECT_EQ(Proc_InsertByTime(list, 40), 3);
    EXPECT_EQ(Proc_InsertByTime(list, 30), 4);
    EXPECT_EQ(Proc_InsertByTime(list, 10), 4);
    // Times beyond 32 bits keep their order.
    std::vector<TRecentShortcut> wide{{L"n", 0x100000001ull}, {L"o", 0xFFFFFFFFull}};
    EXPECT_EQ(Proc_InsertByTime(wide, 0x100000000ull), 1);
}

}  // namespace
