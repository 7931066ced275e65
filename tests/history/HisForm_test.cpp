// The history window keeps its lists and settings over a restart: it loads
// them when it is created and saves them when it closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "gui/IniFile.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"

using testing_support::ReadBytes;
using testing_support::ScratchDir;

using namespace testing_support;

namespace {

// One run of the program's history window: an application object and the
// form, created as the program creates it, freed at the end.
class HisFormRun {
public:
    HisFormRun() {
        app_.Initialize();
        app_.CreateForm(HisForm);
    }
    ~HisFormRun() {
        app_.DestroyForms();
        HisForm = nullptr;
    }
    THisForm& Form() { return *HisForm; }

private:
    gui::TApplication app_;
};

class HisFormFiles : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        DataFolder = dir_.Path();
    }
    void TearDown() override { DataFolder = oldFolder_; }

    ScratchDir dir_;
    std::wstring oldFolder_;
};

TEST_F(HisFormFiles, ListsAndSettingsSurviveARestart) {
    RECT bounds{};
    {
        HisFormRun run;
        THisForm& f = run.Form();
        for (int c = 0; c < kHisCategories; ++c) EXPECT_TRUE(f.Lists.MFileList[c].Empty()) << "a fresh folder has no history";
        f.RecordHistoryEntry(0, L"first\r\ntext");
        f.RecordHistoryEntry(0, L"second\ttext");
        f.RecordHistoryEntry(1, L"C:\\Docs\\a.txt");
        f.RecordHistoryEntry(2, L"C:\\Tools\\b.exe");
        f.RecordHistoryEntry(3, L"C:\\Docs\\");
        f.RecordHistoryEntry(4, L"D:\\");
        f.Lists.MFileList[5].Add(L"favourite text");
        f.Lists.MFileList[8].Add(L"C:\\お気に入り\\");
        f.Lists.Settings.MHisListNum[1] = 20;
        f.Lists.Settings.FLaunchVisible = true;
        f.Lists.Settings.ListBoxDir.Add(L"TEMP");
        f.SetBounds(40, 50, 600, 420);
        bounds = f.BoundsRect();
        EXPECT_TRUE(f.CloseQuery());
        // Not shutting down: the lists were read back from what was written.
        EXPECT_EQ(ItemsOf(f.Lists.MFileList[0]), (Items{L"second\ttext", L"first\r\ntext"}));
        EXPECT_EQ(ItemsOf(f.Lists.MFileList[8]), Items{L"C:\\お気に入り\\"});
    }
    EXPECT_FALSE(ReadBytes(dir_ / L"His.ini").empty());

    HisFormRun run;
    THisForm& f = run.Form();
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[0]), (Items{L"second\ttext", L"first\r\ntext"}));
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[1]), Items{L"C:\\Docs\\a.txt"});
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[2]), Items{L"C:\\Tools\\b.exe"});
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[3]), Items{L"C:\\Docs\\"});
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[4]), Items{L"D:\\"});
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[5]), Items{L"favourite text"});
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[8]), Items{L"C:\\お気に入り\\"});
    EXPECT_EQ(f.Lists.Settings.MHisListNum[1], 20);
    EXPECT_TRUE(f.Lists.Settings.FLaunchVisible);
    EXPECT_EQ(ItemsOf(f.Lists.Settings.ListBoxDir), Items{L"TEMP"});
    RECT now = f.BoundsRect();
    EXPECT_EQ((std::vector<LONG>{now.left, now.top, now.right, now.bottom}),
              (std::vector<LONG>{bounds.left, bounds.top, bounds.right, bounds.bottom}));
}

TEST_F(HisFormFiles, LoadingTrimsWithTheSavedLengths) {
    {
        HisFormRun run;
        THisForm& f = run.Form();
        for (int i = 0; i < 50; ++i) f.RecordHistoryEntry(2, L"C:\\p" + std::to_wstring(i) + L".exe");
        EXPECT_TRUE(f.CloseQuery());
    }
    // The user lowers the length in the file; the next start trims to it.
    gui::TMemIniFile ini(dir_ / L"His.ini");
    ini.WriteInteger(L"History", L"List2", 10);
    ASSERT_TRUE(ini.UpdateFile());
    HisFormRun run;
    ASSERT_EQ(run.Form().Lists.MFileList[2].Count(), 10);
    EXPECT_EQ(run.Form().Lists.MFileList[2][0], L"C:\\p49.exe");
}

TEST_F(HisFormFiles, MoreThanAHundredFavouritesAreCutWithAWarning) {
    gui::TStringList favs;
    for (int i = 0; i < 120; ++i) favs.Add(L"C:\\fav" + std::to_wstring(i) + L".txt");
    favs.SaveToFile(dir_ / L"His11.lst", gui::TTextEncoding::Utf16LE);

    testing_support::MessageBoxAnswerer closer;
    HisFormRun run;
    ASSERT_EQ(run.Form().Lists.MFileList[6].Count(), 100);
    EXPECT_EQ(run.Form().Lists.MFileList[6][99], L"C:\\fav99.txt");
    EXPECT_EQ(closer.Texts(), std::vector<std::wstring>{L"登録できるのは100までです。"});
}

TEST_F(HisFormFiles, NoSaveEmptiesTheHistoryOnEveryClose) {
    HisFormRun run;
    THisForm& f = run.Form();
    f.Lists.Settings.CHKNoSave = true;
    f.RecordHistoryEntry(1, L"C:\\a.txt");
    f.Lists.MFileList[6].Add(L"C:\\kept.txt");
    EXPECT_TRUE(f.CloseQuery());
    EXPECT_TRUE(f.Lists.MFileList[1].Empty());
    EXPECT_EQ(ItemsOf(f.Lists.MFileList[6]), Items{L"C:\\kept.txt"});
}

TEST(HisForm, WithoutASettingsFolderNothingIsWritten) {
    const std::wstring old = DataFolder;
    DataFolder.clear();
    wchar_t cwd[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    ScratchDir dir;
    ::SetCurrentDirectoryW(dir.Path().c_str());
    {
        HisFormRun run;
        run.Form().RecordHistoryEntry(1, L"C:\\a.txt");
        EXPECT_TRUE(run.Form().CloseQuery());
    }
    EXPECT_EQ(::GetFileAttributesW((dir / L"His.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW((dir / L"His01.lst").c_str()), INVALID_FILE_ATTRIBUTES);
    ::SetCurrentDirectoryW(cwd);
    DataFolder = old;
}

}  // namespace
