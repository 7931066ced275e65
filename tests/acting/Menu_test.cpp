// The tray history menu as the history window fills it: captions on one
// line, cut and shortened to the menu's width, "&" shown as "&,", empty
// slots, entries enabled only while their file or folder is there, and
// tags that lead a pick to the entry the item shows.
#include "tests/acting/ActingFixture.h"

#include <cstdlib>

#include "app/history/HisMenuText.h"
#include "tests/tray/TrayFixture.h"
#include "toolkit/QuorvinText.h"

namespace {

using acting::ClassKey;
using helper_windows::RecordFile;
using testing_support::ScratchDir;

std::wstring WithoutSlash(std::wstring s) {
    if (!s.empty() && s.back() == L'\\') s.pop_back();
    return s;
}

// One pixel a character.
int CharWidth(const std::wstring& s) { return static_cast<int>(s.size()); }

TEST(MenuText, ClipboardTextsOnOneLine) {
    EXPECT_EQ(ClipMenuText(L"a\tb\r\nc", 64), L"a＞b･･c");
    EXPECT_EQ(ClipMenuText(L"\n\r\t", 64), L"･･＞");
    EXPECT_EQ(ClipMenuText(std::wstring(100, L'x'), 16), std::wstring(16, L'x'));
    EXPECT_EQ(ClipMenuText(L"short", 16), L"short");
    // A character outside the basic plane is not cut in half.
    EXPECT_EQ(ClipMenuText(L"ab\U0001F600cd", 3), L"ab");
    EXPECT_EQ(ClipMenuText(L"ab\U0001F600cd", 4), L"ab\U0001F600");
}

TEST(MenuText, PathsLoseLeadingFoldersUntilTheyFit) {
    const std::wstring path = L"C:\\aaaa\\bbbb\\cccc\\name.txt";  // 26 characters
    const std::pair<int, std::wstring> cases[] = {
        {26, path},
        {25, L"C:\\...\\bbbb\\cccc\\name.txt"},
        {24, L"C:\\...\\cccc\\name.txt"},
        {20, L"C:\\...\\cccc\\name.txt"},
        {19, L"C:\\...\\name.txt"},
        {15, L"C:\\...\\name.txt"},
        {14, L"...\\name.txt"},
        {12, L"...\\name.txt"},
        {11, L"name.txt"},
        {3, L"name.txt"},  // the bare name even when too wide
    };
    for (const auto& [width, expected] : cases)
        EXPECT_EQ(MinimizePathName(path, width, CharWidth), expected) << "width " << width;

    // A folder keeps its own name with the backslash.
    EXPECT_EQ(MinimizePathName(L"C:\\Users\\someone\\Documents\\", 20, CharWidth), L"C:\\...\\Documents\\");
    EXPECT_EQ(MinimizePathName(L"C:\\Users\\someone\\Documents\\", 5, CharWidth), L"Documents\\");
    EXPECT_EQ(MinimizePathName(L"D:\\", 1, CharWidth), L"D:\\");
    EXPECT_EQ(MinimizePathName(L"\\\\server\\share\\dir\\x.txt", 16, CharWidth), L"\\...\\dir\\x.txt");
}

TEST(MenuText, CaptionsByCategory) {
    EXPECT_EQ(HisMenuCaption(0, L"f(T&&, U)", 64, 9, CharWidth), L"f(T&&,&&,, U)");
    EXPECT_EQ(HisMenuCaption(0, std::wstring(40, L'y'), 32, 9, CharWidth), std::wstring(32, L'y'));
    // Paths: g characters of Trunc(size * 1.2) pixels each: 2 * 10 = 20 here.
    EXPECT_EQ(HisMenuCaption(1, L"C:\\Docs & Notes\\more\\r&d.txt", 2, 9, CharWidth), L"C:\\...\\more\\r&&,d.txt");
    EXPECT_EQ(HisMenuCaption(3, L"C:\\Docs", 2, 9, CharWidth), L"C:\\Docs");
}

// The whole program's main form, whose menu the history window fills.
class Menu : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        tray_.StartTray();
        ASSERT_TRUE(TrayForm && HisForm);
    }
    void TearDown() override {
        tray_.StopTray();
        DataFolder = oldFolder_;
    }
    THisForm& His() { return *HisForm; }
    gui::TMenuItem* Item(int c, int r) { return TrayForm->MPPList[c * 40 + r]; }
    std::wstring Caption(int c, int r) { return Item(c, r)->Caption(); }
    void Fill(int c, const std::vector<std::wstring>& history, const std::vector<std::wstring>& favourites = {}) {
        His().Lists.MFileList[c].Clear();
        for (const auto& s : history) His().Lists.MFileList[c].Add(s);
        His().Lists.MFileList[5 + c].Clear();
        for (const auto& s : favourites) His().Lists.MFileList[5 + c].Add(s);
        His().TrayMenu.Proc_PPListSet(c);
    }
    void Check(gui::TMenuItem* item, bool checked) { item->SetChecked(checked); }

    TrayFormFixture tray_;
    std::wstring oldFolder_;
};

TEST_F(Menu, EntriesAndEmptySlots) {
    Fill(0, {L"一", L"二", L"三"});
    for (int r = 0; r < 40; ++r) {
        SCOPED_TRACE(r);
        if (r < 3) {
            EXPECT_EQ(Caption(0, r), (std::vector<std::wstring>{L"一", L"二", L"三"}[r]));
            EXPECT_TRUE(Item(0, r)->Enabled());
        } else {
            EXPECT_EQ(Caption(0, r), L"(空)");
            EXPECT_FALSE(Item(0, r)->Enabled());
        }
        EXPECT_TRUE(Item(0, r)->Visible()) << "favourites are shown at first";
    }
    EXPECT_FALSE(His().TrayMenu.FPPLSet);

    Check(TrayForm->PPMenuFav, false);
    His().TrayMenu.Proc_PPListSet(0);
    for (int r = 0; r < 40; ++r) EXPECT_EQ(Item(0, r)->Visible(), r < 20) << r;
}

TEST_F(Menu, ClipboardCaptionsFollowTheMenuWidth) {
    const std::wstring text(100, L'w');
    struct Case {
        bool wide, narrow;
        size_t chars;
    } cases[] = {{false, false, 64}, {true, false, 32}, {false, true, 32}, {true, true, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "wide " << c.wide << " narrow " << c.narrow);
        Check(TrayForm->PPMenuWide, c.wide);
        Check(TrayForm->PPMenuNarrow, c.narrow);
        Fill(0, {text, L"a\tb\r\nc & d"}, {text});
        EXPECT_EQ(Caption(0, 0), std::wstring(c.chars, L'w'));
        EXPECT_EQ(Caption(0, 1), L"a＞b･･c &&, d");
        EXPECT_EQ(Caption(0, 20), std::wstring(c.chars, L'w'));
    }
}

TEST_F(Menu, PathsAreShortenedToFitTheMenu) {
    ScratchDir dir;
    std::wstring deep = dir.Path();
    for (int i = 0; i < 6; ++i) {
        deep += L"とても長いフォルダの名前" + std::to_wstring(i) + L"\\";
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    }
    const std::wstring file = deep + L"文書.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "x"));
    Check(TrayForm->PPMenuNarrow, true);  // 32 characters
    Fill(1, {file});
    const std::wstring caption = Caption(1, 0);
    EXPECT_LT(caption.size(), file.size());
    EXPECT_EQ(caption.substr(caption.size() - 7), L"\\文書.txt");
    EXPECT_NE(caption.find(L"..."), std::wstring::npos);

    // It fits the width the menu allows, in the menus' font.
    gui::TBitmap measure(1, 1);
    NONCLIENTMETRICSW ncm{sizeof(ncm)};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
    measure.Canvas().Font().SetName(ncm.lfMenuFont.lfFaceName);
    measure.Canvas().Font().SetHeight(ncm.lfMenuFont.lfHeight);
    int size = std::abs(measure.Canvas().Font().Size());
    EXPECT_LE(measure.Canvas().TextWidth(caption), 32 * static_cast<int>(size * 1.2));
    EXPECT_GT(measure.Canvas().TextWidth(file), 32 * static_cast<int>(size * 1.2)) << "the path needed shortening";
}

TEST_F(Menu, EntriesAreEnabledWhileTheyExist) {
    ScratchDir dir;
    const std::wstring file = dir / L"ある.txt", program = dir / L"ある.exe";
    ASSERT_TRUE(testing_support::WriteBytes(file, "x"));
    ASSERT_TRUE(testing_support::WriteBytes(program, "x"));
    const std::wstring folder = WithoutSlash(dir.Path());
    const std::wstring network = L"\\\\orv-no-such-server\\share\\folder";
    His().Lists.Settings.ChkNetwork = true;  // network entries are kept
    Fill(1, {file, dir / L"無い.txt", network + L"\\x.txt"});
    Fill(2, {program, dir / L"無い.exe"});
    Fill(3, {folder, dir / L"無い", L"Q:\\", network});
    const std::vector<std::pair<int, std::vector<bool>>> expected = {
        {1, {true, false, true}}, {2, {true, false}}, {3, {true, false, false, true}}};
    for (const auto& [c, enabled] : expected)
        for (size_t r = 0; r < enabled.size(); ++r)
            EXPECT_EQ(Item(c, static_cast<int>(r))->Enabled(), enabled[r]) << "category " << c << " entry " << r;
}

TEST_F(Menu, AnUntickedCategoryKeepsItsItems) {
    Fill(0, {L"前"});
    His().Lists.Settings.MCHKHisMenuItem[0] = false;
    Fill(0, {L"後"});
    EXPECT_EQ(Caption(0, 0), L"前");
}

TEST_F(Menu, FillingPrunesTheHistory) {
    ScratchDir dir;
    const std::wstring kept = dir / L"残る.txt";
    ASSERT_TRUE(testing_support::WriteBytes(kept, "x"));
    His().Lists.Settings.CHKAutoDel = true;
    Fill(1, {dir / L"消えた.txt", kept});
    ASSERT_EQ(His().Lists.MFileList[1].Count(), 1);
    EXPECT_EQ(Caption(1, 0), kept.substr(kept.size() - Caption(1, 0).size()));
    EXPECT_EQ(Caption(1, 1), L"(空)");
}

TEST_F(Menu, PicturesWithIcons) {
    ScratchDir dir;
    const std::wstring file = dir / L"絵.txt";
    ASSERT_TRUE(testing_support::WriteBytes(file, "x"));
    Check(TrayForm->PPIconMenu, true);
    Fill(0, {L"text"});
    Fill(1, {file, dir / L"無い.txt"});
    auto picture = [](int slot) { return TrayForm->MPPList[slot]->Bitmap(); };
    EXPECT_FALSE(picture(0)) << "clipboard texts have none";
    ASSERT_TRUE(picture(40));
    BITMAP bm{};
    ASSERT_TRUE(::GetObjectW(picture(40), sizeof(bm), &bm));
    EXPECT_GT(bm.bmWidth, 0);
    EXPECT_GT(bm.bmHeight, 0);
    {
        // The icon is drawn on the menu colour.
        gui::MemoryDC dc(::CreateCompatibleDC(nullptr));
        gui::SelectObjectScope select(dc.get(), picture(40));
        const COLORREF menu = ::GetSysColor(COLOR_MENU);
        int background = 0, drawn = 0;
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x) ++(::GetPixel(dc.get(), x, y) == menu ? background : drawn);
        EXPECT_GT(drawn, 0);
        EXPECT_GT(background, 0) << "the icon's transparent parts show the menu colour";
    }
    EXPECT_TRUE(picture(41)) << "a missing file gets the shell's default icon";
    EXPECT_FALSE(picture(42)) << "an empty slot";
    Check(TrayForm->PPIconMenu, false);
    His().TrayMenu.Proc_PPListSet(1);
    EXPECT_EQ(picture(40), nullptr);
}

TEST_F(Menu, EachItemsTagLeadsToTheEntryItShows) {
    std::vector<std::wstring> history, favourites;
    for (int i = 0; i < 25; ++i) history.push_back(L"履歴" + std::to_wstring(i) + L"&");
    for (int i = 0; i < 7; ++i) favourites.push_back(L"お気に入り" + std::to_wstring(i));
    Fill(0, history, favourites);
    for (int r = 0; r < 40; ++r) {
        SCOPED_TRACE(r);
        const int tag = Item(0, r)->Tag;
        const int k = (tag % 1000) / 100, i = tag % 100;
        ASSERT_EQ(tag / 1000, 0);
        const gui::TStringList& list = His().Lists.MFileList[k * 5];
        std::wstring expected = L"(空)";
        if (i < list.Count()) EscapeAmpersands(list[i], expected);
        EXPECT_EQ(Caption(0, r), expected);
    }
}

TEST_F(Menu, APickOpensTheFileItShows) {
    ScratchDir dir;
    ClassKey ext(L".orvact", L"OrvTestActFile");
    ClassKey command(L"OrvTestActFile\\shell\\open\\command",
                     L"\"" + testing_support::BinDir() + L"OrvRecorder.exe\" \"%1\"");
    const std::wstring doc = dir / L"R&D 報告.orvact";
    ASSERT_TRUE(testing_support::WriteBytes(doc, "x"));
    Fill(1, {doc});
    EXPECT_NE(Caption(1, 0).find(L"R&&,D"), std::wstring::npos) << gui::WideToUtf8(Caption(1, 0));
    RecordFile record(dir / L"record.txt");
    Item(1, 0)->Click();
    auto rec = acting::WaitForStart(record);
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L"\"" + doc + L"\""), std::wstring::npos) << gui::WideToUtf8(rec.commandLine);
}

TEST_F(Menu, ChangedListsAreShownAtOnce) {
    Fill(0, {L"古い"});
    His().RecordHistoryEntry(0, L"新しい");
    EXPECT_EQ(Caption(0, 0), L"新しい");
    EXPECT_EQ(Caption(0, 1), L"古い");

    // A file opened from the window's favourites goes to the top of the
    // file history, and the menu shows it there before the next pick.
    ScratchDir dir;
    ClassKey ext(L".orvact", L"OrvTestActFile");
    ClassKey command(L"OrvTestActFile\\shell\\open\\command",
                     L"\"" + testing_support::BinDir() + L"OrvRecorder.exe\" \"%1\"");
    const std::wstring doc = dir / L"上へ.orvact", other = dir / L"他.orvact";
    ASSERT_TRUE(testing_support::WriteBytes(doc, "x"));
    ASSERT_TRUE(testing_support::WriteBytes(other, "x"));
    RecordFile record(dir / L"record.txt");
    Fill(1, {other}, {doc});
    His().Lists.Settings.Tab = 1;
    testing_support::Named<gui::TToolButton>(His(), L"TBexe")->SetEnabled(true);
    His().Proc_DispFav();
    testing_support::Named<gui::TListBox>(His(), L"ListBoxFav")->SetItemIndex(0);
    His().Proc_Execute(1, 0);
    ASSERT_TRUE(acting::WaitForStart(record).found);
    const std::wstring top = Item(1, 0)->Caption();
    EXPECT_EQ(top.substr(top.size() - 10), L"\\上へ.orvact");
    EXPECT_EQ(Item(1, 0)->Tag, 1000);
}

// Visible pop-up menu windows of this process (the menu and its open sub-menus).
int OpenMenuCount() {
    int n = 0;
    for (HWND w : testing_support::FindTopWindows(L"#32768"))
        if (::IsWindowVisible(w) && testing_support::WindowProcessId(w) == ::GetCurrentProcessId()) ++n;
    return n;
}

void PressKey(BYTE vk) {
    ::keybd_event(vk, 0, 0, 0);
    ::keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

TEST_F(Menu, AnEntryPickedFromTheMenuIsPastedIntoTheWindowInFront) {
    acting::Target front;
    ASSERT_TRUE(front.Start(L"paste")) << front.Failure();
    ASSERT_TRUE(testing_support::WaitUntil([&] { return ::GetForegroundWindow() == front[0]; }, 3000));
    His().Lists.Settings.UDWait = 0;
    Fill(0, {L"メニューから & 貼る"});
    // As the tray icon's click opens it. Timers run inside the menu's own
    // loop, so one of ours presses the keys a user would once the menu is up:
    // "C" opens the clipboard category with its first entry highlighted,
    // Enter picks it. A menu still open after 60 s is closed, so a lost key
    // fails the test instead of hanging it.
    int step = 0;
    const DWORD start = ::GetTickCount();
    gui::TTimer* keys = new gui::TTimer(TrayForm);
    keys->SetInterval(30);
    keys->OnTimer = [&](gui::TTimer*) {
        if (::GetTickCount() - start > 60000) {
            ::EndMenu();
        } else if (step == 0 && OpenMenuCount() == 1) {
            PressKey('C');
            step = 1;
        } else if (step == 1 && OpenMenuCount() >= 2) {
            PressKey(VK_RETURN);
            step = 2;
        }
    };
    POINT pt{300, 300};
    TrayForm->PPLMenu->Popup(pt.x, pt.y, TrayForm->Handle());
    gui::TComponent::Free(keys);
    EXPECT_EQ(step, 2) << "the menu and its clipboard category opened";
    EXPECT_TRUE(testing_support::WaitUntil([&] { return acting::TextOf(front[1]) == L"メニューから & 貼る"; }, 5000))
        << gui::WideToUtf8(acting::TextOf(front[1]));
}

}  // namespace
