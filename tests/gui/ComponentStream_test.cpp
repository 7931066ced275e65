#include <gtest/gtest.h>

#include "gui/ComponentStream.h"
#include "gui/Exception.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"

using gui::TMemoryStream;
using gui::TStringList;
using testing_support::Lines;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

// Builds stream bytes by hand.
struct Bytes {
    std::string b;
    Bytes& u8(unsigned v) { b += static_cast<char>(v); return *this; }
    Bytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(std::string_view s) { b += s; return *this; }
    Bytes& name(std::string_view s) { return u8(static_cast<unsigned>(s.size())).raw(s); }
    Bytes& str(std::string_view s) { return u8(6).name(s); }  // a short string value
};

std::string Write(const TStringList& items, const std::string& name = "ListBoxClip") {
    TMemoryStream m;
    gui::WriteListBoxComponent(m, name, items);
    return m.Bytes();
}

TStringList Read(const std::string& bytes) {
    TMemoryStream m(bytes);
    TStringList items;
    gui::ReadListBoxComponent(m, items);
    return items;
}

TEST(ComponentStream, WritesTheListBoxLayout) {
    const std::string expected = Bytes()
                                     .raw("TPF0")
                                     .name("TListBox")
                                     .name("ListBoxClip")
                                     .name("Items.Strings")
                                     .u8(1)
                                     .str("ab")
                                     .u8(18).u32(2).raw(std::string("\xE5\x65\x2C\x67", 4))  // 日本
                                     .u8(20).u32(3).raw("a\xC3\xA9")                          // aé
                                     .u8(18).u32(0)                                           // ''
                                     .u8(0)
                                     .u8(0)
                                     .u8(0)
                                     .b;
    EXPECT_EQ(Write(Lines({L"ab", L"日本", L"aé", L""})), expected);
    EXPECT_EQ(Write(TStringList()), Bytes().raw("TPF0").name("TListBox").name("ListBoxClip").u8(0).u8(0).b)
        << "no items, no property";
}

TEST(ComponentStream, StringFormsByLength) {
    std::string ascii255(255, 'a'), ascii256(256, 'b');
    struct {
        const char* name;
        std::wstring text;
        unsigned type;
    } cases[] = {
        {"ascii up to 255", std::wstring(ascii255.begin(), ascii255.end()), 6},
        {"ascii above 255", std::wstring(ascii256.begin(), ascii256.end()), 12},
        {"mostly ascii", L"path\\ファイル.txt with a long ascii tail", 20},
        {"japanese", L"日本語のテキスト", 18},
        {"empty", L"", 18},
        {"lone surrogate", L"abc\xD800", 18},  // UTF-8 cannot hold it
        {"tab and line breaks", L"a\tb\r\nc\nd", 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = Write(Lines({c.text}));
        size_t valueAt = 4 + 9 + 12 + 14 + 1;
        ASSERT_GT(bytes.size(), valueAt);
        EXPECT_EQ(static_cast<unsigned char>(bytes[valueAt]), c.type);
        EXPECT_EQ(Read(bytes), Lines({c.text}));
    }
}

TEST(ComponentStream, RoundTripKeepsEveryEntry) {
    const TStringList items = Lines({L"コピーした\ttext\r\n二行目\r\nthird", L"", std::wstring(L"nul\0inside", 10),
                                     std::wstring(70000, L'長'), L"😀 emoji", L"plain"});
    ScratchDir dir;
    TMemoryStream out;
    gui::WriteListBoxComponent(out, "ListBoxClip", items);
    out.SaveToFile(dir / L"His00.lst");
    gui::TFileStream in(dir / L"His00.lst", gui::TFileMode::OpenRead);
    TStringList back;
    gui::ReadListBoxComponent(in, back);
    EXPECT_EQ(back, items);
}

// A list box as a full writer stores it: other properties of every value
// type around "Items.Strings", and child objects.
std::string HandMadeStream() {
    Bytes s;
    s.raw("TPF0").name("TListBox").name("ListBoxClip");
    s.name("Left").u8(3).u16(0xFF38);                 // Int16 -200
    s.name("AutoCompleteDelayInMilliseconds").u8(3).u16(500);  // a name longer than any type byte
    s.name("Top").u8(2).u8(8);                         // Int8
    s.name("Width").u8(4).u32(100000);                 // Int32
    s.name("Color").u8(7).name("clWindow");            // identifier
    s.name("Font.Style").u8(11).name("fsBold").name("fsItalic").u8(0);  // set
    s.name("Scale").u8(5).raw(std::string(10, '\x01'));                 // extended
    s.name("Ratio").u8(15).u32(0x3F800000);            // single
    s.name("Price").u8(16).u32(1).u32(0);              // currency
    s.name("When").u8(17).u32(0).u32(0x40E00000);      // date
    s.name("Exact").u8(21).u32(0).u32(0x3FF00000);     // double
    s.name("Big").u8(19).u32(1).u32(1);                // Int64
    s.name("Data").u8(10).u32(5).raw(std::string("\x00\x01\x02\x03\x04", 5));  // binary
    s.name("PopupMenu").u8(13);                        // nil
    s.name("Hint").u8(0);                              // null
    s.name("Visible").u8(8);                           // false
    s.name("TabStop").u8(9);                           // true
    s.name("Items.Strings").u8(1).str("first").u8(12).u32(3).raw("two").u8(20).u32(6).raw("\xE4\xB8\x89\xE7\x95\xAA")
        .u8(18).u32(1).u16(0x56DB).u8(0);              // first, two, 三番, 四
    s.name("Columns").u8(14)                           // collection of two items
        .u8(2).u8(0).u8(1).name("Width").u8(2).u8(50).name("Caption").str("c").u8(0)
        .u8(1).name("Width").u8(3).u16(300).u8(0)
        .u8(0);
    s.name("Nested").u8(1).u8(1).u8(2).u8(1).u8(1).u8(9).u8(0).u8(0).u8(6).u8(0).u8(0);  // [[1,[True]],'']
    s.name("Caption").u8(12).u32(4).raw("\x93\xFA\x96\x7B");  // old writers: text of the code page
    s.u8(0);                                            // end of properties
    // Children: one with its position among siblings, one inherited, one nested.
    s.u8(0xF2).u8(2).u8(1).name("TButton").name("Child1").name("Tag").u8(2).u8(7).u8(0).u8(0);
    s.name("TPanel").name("Child2").u8(0);
    s.name("TLabel").name("GrandChild").name("Caption").str("x").u8(0).u8(0);  // grandchild's end
    s.u8(0);                                            // Child2's children end
    s.u8(0xF1).name("TEdit").name("Child3").u8(0).u8(0);
    s.name("TCheckListBoxWithALongClassName").name("Child4").u8(0).u8(0);
    s.u8(0);                                            // end of children
    return s.b;
}

TEST(ComponentStream, ReadsItemsAndSkipsEverythingElse) {
    TStringList items = Read(HandMadeStream());
    EXPECT_EQ(items, Lines({L"first", L"two", L"三番", L"四"}));

    // Without the property there are no items; a repeated one replaces the first.
    EXPECT_EQ(Read(Bytes().raw("TPF0").name("TListBox").name("L").name("Top").u8(2).u8(1).u8(0).u8(0).b).Count(),
              0);
    Bytes twice;
    twice.raw("TPF0").name("TListBox").name("L");
    twice.name("Items.Strings").u8(1).str("old").u8(0);
    twice.name("items.strings").u8(1).str("other case").u8(0);  // names are matched exactly
    twice.name("Items.Strings").u8(1).str("new").u8(0);
    twice.u8(0).u8(0);
    EXPECT_EQ(Read(twice.b), Lines({L"new"}));
    // An old-code-page string reads as text of the code page.
    Bytes ansi;
    ansi.raw("TPF0").name("TListBox").name("L").name("Items.Strings").u8(1).str("\x83\x65\x83\x58\x83\x67").u8(0).u8(0).u8(0);
    EXPECT_EQ(Read(ansi.b), Lines({L"テスト"}));
}

TEST(ComponentStream, CorruptStreamsFailAndChangeNothing) {
    const std::string good = HandMadeStream();
    std::string deepList = Bytes().raw("TPF0").name("T").name("L").name("Deep").b;
    for (int i = 0; i < 100; ++i) deepList += '\x01';
    deepList += std::string(100, '\0') + std::string(2, '\0');
    std::string deepChildren = Bytes().raw("TPF0").name("T").name("L").u8(0).b;
    for (int i = 0; i < 100; ++i) deepChildren += Bytes().name("T").name("C").u8(0).b;
    deepChildren += std::string(101, '\0');

    struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"bad signature", "TPF1" + good.substr(4)},
        {"text file", "hello, world\r\n"},
        {"signature only", "TPF0"},
        {"string beyond the end", Bytes().raw("TPF0").name("TListBox").name("L").name("Items.Strings").u8(1).u8(12).u32(0x7FFFFFFF).raw("abc").b},
        {"wide string beyond the end", Bytes().raw("TPF0").name("T").name("L").name("Items.Strings").u8(1).u8(18).u32(0xFFFFFFFF).b},
        {"binary beyond the end", Bytes().raw("TPF0").name("T").name("L").name("Data").u8(10).u32(0x10000000).raw("xx").b},
        {"name beyond the end", Bytes().raw("TPF0").u8(200).raw("TListBox").b},
        {"unknown value type", Bytes().raw("TPF0").name("T").name("L").name("Odd").u8(0x30).u8(0).u8(0).b},
        {"number among the items", Bytes().raw("TPF0").name("T").name("L").name("Items.Strings").u8(1).str("a").u8(2).u8(5).u8(0).u8(0).u8(0).b},
        {"items not a list", Bytes().raw("TPF0").name("T").name("L").name("Items.Strings").str("a").u8(0).u8(0).b},
        {"collection item without list byte", Bytes().raw("TPF0").name("T").name("L").name("C").u8(14).u8(2).u8(0).u8(7).u8(0).u8(0).u8(0).b},
        {"lists nested too deep", deepList},
        {"children nested too deep", deepChildren},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream m(c.bytes);
        TStringList items = Lines({L"unchanged"});
        EXPECT_THROW(gui::ReadListBoxComponent(m, items), gui::Exception);
        EXPECT_EQ(items, Lines({L"unchanged"}));
    }
    // Every cut of a good stream fails: the ends of its lists are all at the end.
    for (size_t n = 0; n < good.size(); ++n) {
        TMemoryStream m(good.substr(0, n));
        TStringList items = Lines({L"unchanged"});
        EXPECT_THROW(gui::ReadListBoxComponent(m, items), gui::Exception) << "cut at " << n;
        EXPECT_EQ(items, Lines({L"unchanged"}));
    }
}

TEST(ComponentStream, AFileThatFailsLeavesTheFileAlone) {
    ScratchDir dir;
    std::wstring file = dir / L"His10.lst";
    const std::string broken = HandMadeStream().substr(0, 120);
    ASSERT_TRUE(WriteBytes(file, broken));
    TStringList items = Lines({L"favourite"});
    {
        gui::TFileStream in(file, gui::TFileMode::OpenRead);
        EXPECT_THROW(gui::ReadListBoxComponent(in, items), gui::Exception);
    }
    EXPECT_EQ(items, Lines({L"favourite"}));
    EXPECT_EQ(ReadBytes(file), broken);
}

}  // namespace
