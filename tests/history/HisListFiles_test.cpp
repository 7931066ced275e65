// The history list files: line files in UTF-16LE read by their mark, the
// clipboard lists as a list box component stream (byte for byte), damaged
// files, "/ListError", saving that fails or is killed half-way.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "app/history/HisFiles.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "gui/TextCodec.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"

using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

using namespace testing_support;

namespace {

// Parts of a component stream, written out by hand.
std::string Name(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string U32(uint32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i));
    return b;
}
std::string Utf16Units(const std::wstring& s) {
    std::string b;
    for (wchar_t ch : s) b += {static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
    return b;
}
std::string ListBoxStream(const std::string& strings) {
    std::string s = "TPF0" + Name("TListBox") + Name("ListBoxClip");
    if (!strings.empty()) s += Name("Items.Strings") + '\x01' + strings + '\0';
    return s + '\0' + '\0';
}

TEST(ClipListFile, StreamIsByteExactForEachKindOfString) {
    const std::string a255(255, 'a'), a256(256, 'a');
    struct Case {
        const char* name;
        std::wstring text;
        std::string value;  // type byte and data
    } cases[] = {
        {"ASCII", L"abc", "\x06\x03" "abc"},
        {"ASCII of 255 bytes", std::wstring(255, L'a'), "\x06\xFF" + a255},
        {"ASCII above 255 bytes", std::wstring(256, L'a'), "\x0C" + U32(256) + a256},
        {"tabs and line breaks", L"a\tb\r\nc\n", "\x06\x07" "a\tb\r\nc\n"},
        {"accented Latin", L"café", "\x14" + U32(5) + "caf\xC3\xA9"},
        {"one accented letter: UTF-8 is not shorter", L"é", "\x12" + U32(1) + Utf16Units(L"é")},
        {"Japanese", L"日本語", "\x12" + U32(3) + Utf16Units(L"日本語")},
        {"mostly ASCII with Japanese", L"ab日", "\x14" + U32(5) + "ab\xE6\x97\xA5"},
        {"a surrogate pair", L"\U0001F600", "\x12" + U32(2) + Utf16Units(L"\U0001F600")},
        {"empty", L"", "\x12" + U32(0)},
        {"an unpaired surrogate stays UTF-16", L"abc\xD800", "\x12" + U32(4) + Utf16Units(L"abc\xD800")},
    };
    ScratchDir dir;
    const std::wstring file = dir / L"His00.lst";
    std::string all;
    gui::TStringList allItems;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        gui::TStringList items;
        items.Add(k.text);
        ASSERT_TRUE(WriteClipListFile(file, items));
        EXPECT_EQ(ReadBytes(file), ListBoxStream(k.value));
        gui::TStringList back;
        ASSERT_TRUE(ReadClipListFile(file, back));
        EXPECT_EQ(ItemsOf(back), Items{k.text});
        all += k.value;
        allItems.Add(k.text);
    }
    // All of them in one list, in list order.
    ASSERT_TRUE(WriteClipListFile(file, allItems));
    EXPECT_EQ(ReadBytes(file), ListBoxStream(all));
    gui::TStringList back;
    ASSERT_TRUE(ReadClipListFile(file, back));
    EXPECT_EQ(ItemsOf(back), ItemsOf(allItems));
}

TEST(ClipListFile, EmptyListIsAnObjectWithoutItems) {
    ScratchDir dir;
    gui::TStringList none;
    ASSERT_TRUE(WriteClipListFile(dir / L"His10.lst", none));
    EXPECT_EQ(ReadBytes(dir / L"His10.lst"), ListBoxStream(""));
    gui::TStringList back;
    back.Add(L"old");
    ASSERT_TRUE(ReadClipListFile(dir / L"His10.lst", back));
    EXPECT_TRUE(back.Empty());
}

TEST(ClipListFile, ReadsPastOtherPropertiesAndChildObjects) {
    std::string s = "TPF0" + Name("TListBox") + Name("ListBoxClip");
    s += Name("Left") + std::string("\x03\x10\x00", 3);
    s += Name("Top") + "\x02\x05";
    s += Name("Width") + "\x04" + U32(121);
    s += Name("Visible") + "\x08";
    s += Name("TabStop") + "\x09";
    s += Name("Font.Name") + "\x06" + Name("Tahoma");
    s += Name("Font.Style") + "\x0B" + Name("fsBold") + Name("fsItalic") + '\0';
    s += Name("Color") + "\x07" + Name("clWindow");
    s += Name("Ratio") + "\x05" + std::string(10, '\x01');
    s += Name("Items.Strings") + "\x01" + "\x06\x03one" + "\x12" + U32(2) + Utf16Units(L"日本") + "\x14" + U32(5) +
         "caf\xC3\xA9" + "\x0C" + U32(3) + "two" + '\0';
    s += Name("Data") + "\x0A" + U32(3) + "xyz";
    s += Name("Columns") + "\x0E" + "\x01" + Name("Caption") + "\x06\x01" "a" + '\0' + "\x02\x07" "\x01" +
         Name("Width") + "\x02\x20" + '\0' + '\0';
    s += Name("Scale") + "\x0F" + U32(0x3F800000);
    s += Name("Money") + "\x10" + std::string(8, '\x02');
    s += Name("When") + "\x11" + std::string(8, '\x03');
    s += Name("Big") + "\x13" + std::string(8, '\x04');
    s += Name("Exact") + "\x15" + std::string(8, '\x05');
    s += Name("Nothing") + "\x0D";
    s += Name("Hint") + "\x12" + U32(1) + Utf16Units(L"ヒ");
    s += Name("Url") + "\x14" + U32(1) + "u";
    s += Name("Tags") + "\x01" + std::string("\x02\x01" "\x03\x02\x00" "\x06\x01x", 8) + '\0';
    s += '\0';  // end of properties
    s += Name("TButton") + Name("Btn") + Name("Caption") + "\x06\x02ok" + '\0' + '\0';
    s += Name("TPanel") + Name("Pnl") + '\0' + Name("TLabel") + Name("Lbl") + '\0' + '\0' + '\0';
    s += '\0';  // end of children

    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir / L"His00.lst", s));
    gui::TStringList items;
    ASSERT_TRUE(ReadClipListFile(dir / L"His00.lst", items));
    EXPECT_EQ(ItemsOf(items), (Items{L"one", L"日本", L"café", L"two"}));
}

TEST(ClipListFile, DamagedFilesGiveAnEmptyListAndStayAsTheyAre) {
    const std::string good = ListBoxStream("\x06\x03" "abc" "\x12" + U32(1) + Utf16Units(L"あ"));
    std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"garbage", "hello, this is no stream"},
        {"another signature", "TPF1" + good.substr(4)},
        {"a string longer than the file", ListBoxStream("\x0C" + U32(0x7FFFFFF0) + "abc")},
        {"a UTF-16 count beyond the file", ListBoxStream("\x12" + U32(0x40000000))},
        {"an unknown value type", ListBoxStream("\x63\x01")},
    };
    for (size_t n = 0; n < good.size(); ++n) cases.push_back({"cut at " + std::to_string(n), good.substr(0, n)});

    ScratchDir dir;
    const std::wstring file = dir / L"His00.lst";
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteBytes(file, bytes));
        gui::TStringList items;
        items.Add(L"before");
        EXPECT_FALSE(ReadClipListFile(file, items));
        EXPECT_TRUE(items.Empty());
        EXPECT_EQ(ReadBytes(file), bytes);
    }
    // Through the whole load: the other lists still load and the file is not rewritten.
    ASSERT_TRUE(WriteBytes(file, "garbage"));
    ASSERT_TRUE(WriteClipListFile(dir / L"His10.lst", [] {
        gui::TStringList l;
        l.Add(L"fav");
        return l;
    }()));
    THisLists lists;
    SetItems(lists.History(0), {L"in memory"});
    LoadHisLists(dir.Path(), lists, false);
    EXPECT_TRUE(lists.History(0).Empty());
    EXPECT_EQ(ItemsOf(lists.Favourites(0)), Items{L"fav"});
    EXPECT_EQ(ReadBytes(file), "garbage");
}

TEST(LineListFiles, Utf16WithMarkLinesSeparatedByCrLf) {
    ScratchDir dir;
    THisLists lists;
    SetItems(lists.History(1), {L"C:\\a.txt", L"D:\\資料\\b.doc"});
    ASSERT_TRUE(SaveHisLists(dir.Path(), lists));
    EXPECT_EQ(ReadBytes(dir / L"His01.lst"), "\xFF\xFE" + Utf16Units(L"C:\\a.txt\r\nD:\\資料\\b.doc\r\n"));
    EXPECT_EQ(ReadBytes(dir / L"His12.lst"), "\xFF\xFE") << "an empty list is the mark alone";
}

TEST(LineListFiles, OtherEncodingsAreReadByTheirMark) {
    ASSERT_EQ(::GetACP(), 932u);
    const Items want = {L"C:\\ソフト\\a.exe", L"C:\\b.exe"};
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"UTF-8 with mark", "\xEF\xBB\xBF" "C:\\\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88\\a.exe\r\nC:\\b.exe\r\n"},
        {"UTF-16BE", gui::EncodeText(L"C:\\ソフト\\a.exe\r\nC:\\b.exe\r\n", gui::TTextEncoding::Utf16BE)},
        {"code page 932 without mark", "C:\\\x83\\\x83t\x83g\\a.exe\r\nC:\\b.exe"},
        {"lone line feeds", "\xFF\xFE" + Utf16Units(L"C:\\ソフト\\a.exe\nC:\\b.exe\n")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        ScratchDir dir;
        ASSERT_TRUE(WriteBytes(dir / L"His02.lst", k.bytes));
        THisLists lists;
        LoadHisLists(dir.Path(), lists, false);
        EXPECT_EQ(ItemsOf(lists.History(2)), want);
    }
}

void FillEveryList(THisLists& lists) {
    for (int k = 0; k <= 1; ++k)
        for (int c = 0; c < kHisCategories; ++c)
            SetItems(lists.MFileList[k * 5 + c],
                     Numbered(L"C:\\list" + std::to_wstring(k) + std::to_wstring(c) + L"\\entry", 3 + c));
    SetItems(lists.History(0), {L"tab\there", L"two\r\nlines\r\nand more", L"日本語のテキスト", L"  spaced  "});
    SetItems(lists.Favourites(0), {L"favourite\ttext\r\n", L"", L"x"});
    SetItems(lists.CBFindItems, {L"report", L"検索"});
    SetItems(lists.EditLines, {L"memo line 1", L"", L"メモ"});
}

void ExpectSameLists(THisLists& a, THisLists& b) {
    for (int i = 0; i < kHisListCount; ++i) EXPECT_EQ(ItemsOf(a.MFileList[i]), ItemsOf(b.MFileList[i])) << "list " << i;
    EXPECT_EQ(ItemsOf(a.CBFindItems), ItemsOf(b.CBFindItems));
    EXPECT_EQ(ItemsOf(a.EditLines), ItemsOf(b.EditLines));
}

TEST(HisLists, EveryListRoundTrips) {
    ScratchDir dir;
    THisLists saved;
    FillEveryList(saved);
    ASSERT_TRUE(SaveHisLists(dir.Path(), saved));
    for (const wchar_t* name : {L"His00.lst", L"His01.lst", L"His02.lst", L"His03.lst", L"His04.lst", L"His10.lst",
                                L"His11.lst", L"His12.lst", L"His13.lst", L"His14.lst", L"Find.lst", L"Memo.lst"})
        EXPECT_NE(::GetFileAttributesW((dir / name).c_str()), INVALID_FILE_ATTRIBUTES) << gui::WideToUtf8(name);
    THisLists loaded;
    LoadHisLists(dir.Path(), loaded, false);
    ExpectSameLists(loaded, saved);
}

TEST(HisLists, MissingFilesLeaveTheListsAsTheyWere) {
    ScratchDir dir;
    THisLists lists;
    FillEveryList(lists);
    THisLists before;
    FillEveryList(before);
    LoadHisLists(dir.Path(), lists, false);
    ExpectSameLists(lists, before);
}

TEST(HisLists, LoadingTrimsToTheLengthsAndTheFavouritesLimit) {
    ScratchDir dir;
    THisLists big;
    SetItems(big.History(0), Numbered(L"text", 150));
    SetItems(big.History(3), Numbered(L"C:\\d", 150));
    SetItems(big.Favourites(0), Numbered(L"fav", 120));
    SetItems(big.Favourites(2), Numbered(L"C:\\p.exe", 120));
    ASSERT_TRUE(SaveHisLists(dir.Path(), big));

    THisLists lists;
    lists.Settings.MHisListNum[3] = 20;
    std::vector<int> cut;
    lists.OnFavouritesCut = [&](int c) { cut.push_back(c); };
    LoadHisLists(dir.Path(), lists, false);
    EXPECT_EQ(lists.History(0).Count(), 100);
    EXPECT_EQ(ItemsOf(lists.History(3)), Numbered(L"C:\\d", 20));
    EXPECT_EQ(ItemsOf(lists.Favourites(0)), Numbered(L"fav", 100));
    EXPECT_EQ(lists.Favourites(2).Count(), 100);
    EXPECT_EQ(cut, (std::vector<int>{2, 0})) << "one warning for each category cut";
}

TEST(HisLists, NoSaveEmptiesTheHistoriesButKeepsTheFavourites) {
    ScratchDir dir;
    THisLists lists;
    FillEveryList(lists);
    lists.Settings.CHKNoSave = true;
    ASSERT_TRUE(SaveHisLists(dir.Path(), lists));
    for (int c = 0; c < kHisCategories; ++c) EXPECT_TRUE(lists.History(c).Empty()) << "in memory, category " << c;
    THisLists loaded;
    FillEveryList(loaded);
    LoadHisLists(dir.Path(), loaded, false);
    for (int c = 0; c < kHisCategories; ++c) {
        EXPECT_TRUE(loaded.History(c).Empty()) << "on disk, category " << c;
        EXPECT_EQ(ItemsOf(loaded.Favourites(c)), ItemsOf(lists.Favourites(c)));
    }
}

TEST(HisLists, ListErrorStartKeepsOnlyTheFavourites) {
    ScratchDir dir;
    THisLists saved;
    FillEveryList(saved);
    ASSERT_TRUE(SaveHisLists(dir.Path(), saved));

    THisLists lists;
    LoadHisLists(dir.Path(), lists, true);
    for (int c = 0; c < kHisCategories; ++c) {
        EXPECT_TRUE(lists.History(c).Empty()) << c;
        EXPECT_EQ(ItemsOf(lists.Favourites(c)), ItemsOf(saved.Favourites(c))) << c;
    }
    EXPECT_EQ(ItemsOf(lists.CBFindItems), ItemsOf(saved.CBFindItems));
    EXPECT_EQ(ItemsOf(lists.EditLines), ItemsOf(saved.EditLines));

    // The next save overwrites the damaged histories with empty lists.
    ASSERT_TRUE(SaveHisLists(dir.Path(), lists));
    THisLists after;
    LoadHisLists(dir.Path(), after, false);
    for (int c = 0; c < kHisCategories; ++c) {
        EXPECT_TRUE(after.History(c).Empty()) << c;
        EXPECT_EQ(ItemsOf(after.Favourites(c)), ItemsOf(saved.Favourites(c))) << c;
    }
}

TEST(HisLists, AFileThatCannotBeWrittenKeepsItsContentsAndTheRestIsWritten) {
    ScratchDir dir;
    THisLists first;
    FillEveryList(first);
    ASSERT_TRUE(SaveHisLists(dir.Path(), first));
    const std::string oldFav0 = ReadBytes(dir / L"His10.lst");
    const std::string oldFav1 = ReadBytes(dir / L"His11.lst");

    THisLists second;
    FillEveryList(second);
    SetItems(second.Favourites(0), {L"new clipboard favourite"});
    SetItems(second.Favourites(1), {L"C:\\new.txt"});
    SetItems(second.Favourites(2), {L"C:\\new.exe"});
    bool saved;
    {
        // Another program holds two of the files open without sharing.
        gui::FileHandle lock0(::CreateFileW((dir / L"His10.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        gui::FileHandle lock1(::CreateFileW((dir / L"His11.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock0 && lock1);
        saved = SaveHisLists(dir.Path(), second);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(dir / L"His10.lst"), oldFav0);
    EXPECT_EQ(ReadBytes(dir / L"His11.lst"), oldFav1);
    THisLists loaded;
    LoadHisLists(dir.Path(), loaded, false);
    EXPECT_EQ(ItemsOf(loaded.Favourites(0)), ItemsOf(first.Favourites(0)));
    EXPECT_EQ(ItemsOf(loaded.Favourites(1)), ItemsOf(first.Favourites(1)));
    EXPECT_EQ(ItemsOf(loaded.Favourites(2)), Items{L"C:\\new.exe"}) << "the other files were written";
}

}  // namespace

namespace {

// A list file another program holds without sharing while the lists are
// loaded is noted as unread and left alone by the save that follows, even
// once it can be opened again; a file that reads but does not parse is no
// such file: its list starts empty and is written anew.
TEST(HisListFiles, FilesThatCouldNotBeReadAreNotWrittenOver) {
    ScratchDir dir;
    const std::wstring held = HisListFileName(dir.Path(), 1, 1);
    const std::wstring heldClip = HisListFileName(dir.Path(), 0, 0);
    const std::wstring damaged = HisListFileName(dir.Path(), 1, 0);
    const std::string heldBytes = gui::EncodeText(L"C:\\a.txt\r\nC:\\b.txt\r\n", gui::TTextEncoding::Utf16LE);
    ASSERT_TRUE(WriteBytes(held, heldBytes));
    ASSERT_TRUE(WriteBytes(heldClip, "held clipboard list"));
    ASSERT_TRUE(WriteBytes(damaged, "TPF0 damaged"));

    THisLists lists;
    {
        gui::FileHandle a(::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        gui::FileHandle b(::CreateFileW(heldClip.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(a && b);
        LoadHisLists(dir.Path(), lists, false);
    }
    EXPECT_EQ(lists.UnreadFiles, (std::set<std::wstring>{held, heldClip}));
    lists.Favourites(1).Add(L"C:\\new.txt");
    lists.History(0).Add(L"新しい");
    EXPECT_TRUE(SaveHisLists(dir.Path(), lists));
    EXPECT_EQ(ReadBytes(held), heldBytes);
    EXPECT_EQ(ReadBytes(heldClip), "held clipboard list");
    EXPECT_EQ(ReadBytes(damaged), ListBoxStream("")) << "a damaged list is replaced";

    // Read once it can be: from then on it is the program's own again.
    LoadHisLists(dir.Path(), lists, false);
    EXPECT_TRUE(lists.UnreadFiles.count(held) == 0);
    EXPECT_EQ(ItemsOf(lists.Favourites(1)), (Items{L"C:\\a.txt", L"C:\\b.txt"}));
}

}  // namespace
