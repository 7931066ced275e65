// The history lists' rules: recording most recent first, trimming to the
// lengths and the favourites limit, pruning by category, exclusions and the
// automatic delete (on real files and folders).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/history/HisLists.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/Wow64.h"

using testing_support::ScratchDir;

using namespace testing_support;

namespace {

TEST(RecordHistoryEntry, MostRecentFirstWithoutDuplicates) {
    struct Case {
        const char* name;
        int c;
        Items before;
        std::wstring text;
        int oldIndex;
        Items after;
    } cases[] = {
        {"new text goes on top", 0, {L"b", L"a"}, L"c", -1, {L"c", L"b", L"a"}},
        {"the same text again stays once", 0, {L"abc"}, L"abc", 0, {L"abc"}},
        {"clipboard texts differing in case are two", 0, {L"abc"}, L"ABC", -1, {L"ABC", L"abc"}},
        {"an older text moves up", 0, {L"x", L"y", L"z"}, L"z", 2, {L"z", L"x", L"y"}},
        // A soft hyphen is ignored by locale comparison; the texts still differ.
        {"clipboard texts equal only character for character", 0, {L"ab"}, L"a\u00ADb", -1,
         {L"a\u00ADb", L"ab"}},
        {"clipboard text with line breaks", 0, {L"a\r\nb", L"a\nb"}, L"a\nb", 1, {L"a\nb", L"a\r\nb"}},
        {"a path in other letter case moves up, written the new way", 1,
         {L"C:\\x.txt", L"C:\\y.txt", L"c:\\data\\report.txt"}, L"C:\\Data\\Report.txt", 2,
         {L"C:\\Data\\Report.txt", L"C:\\x.txt", L"C:\\y.txt"}},
        {"folders ignore case", 3, {L"C:\\Work\\"}, L"c:\\work\\", 0, {L"c:\\work\\"}},
        {"Japanese path", 1, {L"C:\\資料\\メモ.txt", L"C:\\a.txt"}, L"C:\\資料\\メモ.txt", 0,
         {L"C:\\資料\\メモ.txt", L"C:\\a.txt"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        THisLists lists;
        SetItems(lists.History(k.c), k.before);
        EXPECT_EQ(lists.RecordHistoryEntry(k.c, k.text), k.oldIndex);
        EXPECT_EQ(ItemsOf(lists.History(k.c)), k.after);
        EXPECT_TRUE(lists.Favourites(k.c).Empty()) << "favourites are not touched";
    }
}

TEST(RecordHistoryEntry, TrimsToTheCategoryLength) {
    THisLists lists;
    lists.Settings.MHisListNum[2] = 10;
    SetItems(lists.History(2), Numbered(L"C:\\p", 10));
    EXPECT_EQ(lists.RecordHistoryEntry(2, L"C:\\new.exe"), -1);
    Items want = Numbered(L"C:\\p", 9);
    want.insert(want.begin(), L"C:\\new.exe");
    EXPECT_EQ(ItemsOf(lists.History(2)), want);
    // Other categories keep their own lengths.
    SetItems(lists.History(1), Numbered(L"C:\\f", 100));
    lists.RecordHistoryEntry(1, L"C:\\g");
    EXPECT_EQ(lists.History(1).Count(), 100);
}

TEST(RecordHistoryEntry, RejectsAnUnknownCategory) {
    THisLists lists;
    EXPECT_ANY_THROW(lists.RecordHistoryEntry(5, L"x"));
    EXPECT_ANY_THROW(lists.Proc_PruneList(-1));
}

TEST(Proc_DeleteFileHis, DropsTheOldestBeyondTheLength) {
    struct Case {
        int length;
        int entries;
        int remain;
    } cases[] = {{100, 150, 100}, {10, 100, 10}, {10, 10, 10}, {100, 5, 5},
                 {5, 20, 5}, {0, 20, 0}, {-3, 20, 0}};
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "length " << k.length << ", entries " << k.entries);
        THisLists lists;
        lists.Settings.MHisListNum[1] = k.length;
        Items all = Numbered(L"C:\\f", k.entries);
        SetItems(lists.History(1), all);
        lists.Proc_DeleteFileHis(1);
        EXPECT_EQ(ItemsOf(lists.History(1)), Items(all.begin(), all.begin() + k.remain))
            << "the newest entries stay, in order";
    }
}

TEST(Proc_DeleteFileFav, KeepsTheFirstHundredAndTellsOnce) {
    THisLists lists;
    std::vector<int> told;
    lists.OnFavouritesCut = [&](int c) { told.push_back(c); };
    Items all = Numbered(L"fav", 120);
    SetItems(lists.Favourites(3), all);
    EXPECT_TRUE(lists.Proc_DeleteFileFav(3));
    EXPECT_EQ(ItemsOf(lists.Favourites(3)), Items(all.begin(), all.begin() + 100));
    EXPECT_FALSE(lists.Proc_DeleteFileFav(3)) << "a hundred are allowed";
    EXPECT_EQ(told, std::vector<int>{3});
    EXPECT_TRUE(lists.History(3).Empty());
}

// One entry of a category under some settings, kept or removed by pruning.
struct PruneCase {
    const char* name;
    int c;
    std::wstring entry;
    bool kept;
    Items noDrive{};
    Items dirs{};
    Items exes{};
    bool network = false;
};

TEST(Proc_PruneList, CategoryRulesAndExclusions) {
    const PruneCase cases[] = {
        {"empty clipboard text", 0, L"", false},
        {"clipboard text", 0, L"hello", true},
        {"clipboard text never meets the exclusions", 0, L"\\\\server\\share\\TEMP\\x.exe", true,
         {L"\\\\SERVER\\SHARE\\"}, {L"TEMP"}, {L"X.EXE"}},
        {"a program is no document", 1, L"C:\\Tools\\App.EXE", false},
        {"a document", 1, L"C:\\Docs\\a.txt", true},
        {"a document without extension", 1, L"C:\\Docs\\README", true},
        {"a folder named like a program holds documents", 1, L"C:\\x.exe\\a.txt", true},
        {"a document is no program", 2, L"C:\\Docs\\a.txt", false},
        {"a program", 2, L"C:\\Tools\\App.Exe", true},
        {"a missing folder stays without automatic delete", 3, L"C:\\no-such-folder-orv\\", true},
        {"a missing Explorer folder stays too", 4, L"C:\\no-such-folder-orv", true},
        {"a missing file stays without automatic delete", 1, L"C:\\no-such-file-orv.txt", true},
        {"an excluded drive", 1, L"d:\\work\\a.txt", false, {L"D:\\"}},
        {"another drive", 1, L"C:\\work\\a.txt", true, {L"D:\\"}},
        {"an excluded drive holds the folder root too", 3, L"D:\\", false, {L"D:\\"}},
        {"an excluded network share", 1, L"\\\\server\\share\\a.txt", false, {L"\\\\SERVER\\SHARE\\"}, {}, {},
         true},
        {"another share", 1, L"\\\\server\\other\\a.txt", true, {L"\\\\SERVER\\SHARE\\"}, {}, {}, true},
        {"an excluded folder text anywhere", 1, L"C:\\Users\\A\\AppData\\Local\\Temp\\x.txt", false, {},
         {L"TEMP"}},
        {"excluded folder texts ignore case", 3, L"C:\\Users\\A\\AppData\\Local\\Temp\\", false, {},
         {L"\\local\\temp"}},
        {"an excluded Japanese folder", 1, L"C:\\仕事\\秘密\\a.txt", false, {}, {L"秘密"}},
        {"an empty folder text excludes nothing", 1, L"C:\\Docs\\a.txt", true, {}, {L""}},
        {"an empty drive item excludes nothing", 1, L"C:\\Docs\\a.txt", true, {L""}},
        {"a network path without the network option", 1, L"\\\\server\\share\\a.txt", false},
        {"a network path with the network option", 1, L"\\\\server\\share\\a.txt", true, {}, {}, {}, true},
        {"a network folder without the network option", 3, L"\\\\server\\share\\dir", false},
        {"a network program with the network option", 2, L"\\\\server\\tools\\a.exe", true, {}, {}, {}, true},
        {"an excluded program text", 2, L"C:\\Windows\\notepad.exe", false, {}, {}, {L"NOTEPAD"}},
        {"excluded program texts ignore case", 2, L"C:\\Windows\\Notepad.exe", false, {}, {}, {L"notepad.exe"}},
        {"excluded program texts apply to programs only", 1, L"C:\\Notes\\notepad.txt", true, {}, {},
         {L"NOTEPAD"}},
        {"an empty program text excludes nothing", 2, L"C:\\a.exe", true, {}, {}, {L""}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        THisLists lists;
        SetItems(lists.Settings.ListBoxNoDrive, k.noDrive);
        SetItems(lists.Settings.ListBoxDir, k.dirs);
        SetItems(lists.Settings.ListBoxExe, k.exes);
        lists.Settings.ChkNetwork = k.network;
        SetItems(lists.History(k.c), {k.entry});
        SetItems(lists.Favourites(k.c), {k.entry});
        lists.Proc_PruneList(k.c);
        EXPECT_EQ(lists.History(k.c).Count(), k.kept ? 1 : 0);
        EXPECT_EQ(ItemsOf(lists.Favourites(k.c)), Items{k.entry}) << "favourites are never pruned";
    }
}

TEST(Proc_PruneList, KeepsTheOrderOfWhatStays) {
    THisLists lists;
    SetItems(lists.Settings.ListBoxDir, {L"TEMP"});
    SetItems(lists.History(1), {L"C:\\a.txt", L"C:\\Temp\\b.txt", L"C:\\c.exe", L"C:\\d.txt",
                                L"\\\\srv\\s\\e.txt", L"C:\\f.txt"});
    lists.Proc_PruneList(1);
    EXPECT_EQ(ItemsOf(lists.History(1)), (Items{L"C:\\a.txt", L"C:\\d.txt", L"C:\\f.txt"}));
    // Ticking the network option later brings nothing back.
    lists.Settings.ChkNetwork = true;
    lists.Proc_PruneList(1);
    EXPECT_EQ(lists.History(1).Count(), 3);
}

TEST(Proc_PruneList, AutomaticDeleteOnRealFilesAndFolders) {
    ScratchDir dir;
    const std::wstring doc = dir / L"doc.txt", gone = dir / L"gone.txt";
    const std::wstring prog = dir / L"tool.exe", goneProg = dir / L"old.exe";
    const std::wstring sub = dir / L"sub", goneSub = dir / L"removed";
    ASSERT_TRUE(testing_support::WriteBytes(doc, "x"));
    ASSERT_TRUE(testing_support::WriteBytes(gone, "x"));
    ASSERT_TRUE(testing_support::WriteBytes(prog, "MZ"));
    ASSERT_TRUE(testing_support::WriteBytes(goneProg, "MZ"));
    ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(goneSub.c_str(), nullptr));
    ASSERT_TRUE(::DeleteFileW(gone.c_str()));
    ASSERT_TRUE(::DeleteFileW(goneProg.c_str()));
    ASSERT_TRUE(::RemoveDirectoryW(goneSub.c_str()));

    THisLists lists;
    lists.Settings.CHKAutoDel = true;
    SetItems(lists.History(1), {doc, gone, sub, L"Q:\\not-ready.txt"});
    SetItems(lists.History(2), {prog, goneProg});
    SetItems(lists.History(3), {sub, goneSub, doc, dir.Path(), L"Q:\\"});
    SetItems(lists.History(4), {goneSub, sub + L"\\"});
    SetItems(lists.Favourites(3), {goneSub});
    for (int c = 1; c <= 4; ++c) lists.Proc_PruneList(c);
    EXPECT_EQ(ItemsOf(lists.History(1)), Items{doc}) << "a folder is no file; drive Q: is never ready";
    EXPECT_EQ(ItemsOf(lists.History(2)), Items{prog});
    EXPECT_EQ(ItemsOf(lists.History(3)), (Items{sub, dir.Path()})) << "a file is no folder";
    EXPECT_EQ(ItemsOf(lists.History(4)), Items{sub + L"\\"});
    EXPECT_EQ(ItemsOf(lists.Favourites(3)), Items{goneSub}) << "favourites are never pruned";

    // Without the automatic delete the same lists keep what is gone.
    THisLists keep;
    SetItems(keep.History(3), {goneSub, doc});
    SetItems(keep.History(1), {gone});
    keep.Proc_PruneList(3);
    keep.Proc_PruneList(1);
    EXPECT_EQ(keep.History(3).Count(), 2);
    EXPECT_EQ(keep.History(1).Count(), 1);
}

// Programs are tested where they really are, not in the 32-bit copy of the
// system folder that a 32-bit program is shown.
TEST(Proc_PruneList, AutomaticDeleteLooksPastRedirection) {
    InitWow64();
    ASSERT_TRUE(Wow64Active) << "the tests run as a 32-bit program on 64-bit Wine";
    std::wstring win;
    GetWindowsDir(win);
    const std::wstring realOnly =
        win + L"\\system32\\orvhis-real-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    // The file goes again however the test ends.
    struct Remove {
        const std::wstring& path;
        ~Remove() {
            Wow64RedirectionOff off;
            ::DeleteFileW(path.c_str());
        }
    } remove{realOnly};
    {
        Wow64RedirectionOff off;
        ASSERT_TRUE(testing_support::WriteBytes(realOnly, "MZ"));
    }
    ASSERT_FALSE(FileExistsSafe(realOnly)) << "the redirected view does not show it";

    THisLists lists;
    lists.Settings.CHKAutoDel = true;
    SetItems(lists.History(2), {realOnly});
    lists.Proc_PruneList(2);
    EXPECT_EQ(ItemsOf(lists.History(2)), Items{realOnly});
    EXPECT_FALSE(FileExistsSafe(realOnly)) << "redirection is back on afterwards";
}

}  // namespace
