#include <gtest/gtest.h>

#include <functional>

#include "gui/Exception.h"
#include "gui/Handles.h"
#include "gui/StringList.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"

using gui::TStringList;
using testing_support::Lines;
using gui::TTextEncoding;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

std::wstring ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const gui::Exception& e) {
        return e.Message();
    }
    return L"<no exception>";
}

TEST(StringList, IndexErrorsCarryTheExactText) {
    TStringList l = Lines({L"a", L"b", L"c"});
    int o = 0;
    struct {
        const char* what;
        std::function<void()> f;
        std::wstring message;
    } cases[] = {
        {"get past end", [&] { l.Get(3); }, L"リストのインデックスが範囲を超えています (3)"},
        {"get negative", [&] { (void)l[-1]; }, L"リストのインデックスが範囲を超えています (-1)"},
        {"put", [&] { l.Put(7, L"x"); }, L"リストのインデックスが範囲を超えています (7)"},
        {"objects", [&] { l.Objects(3); }, L"リストのインデックスが範囲を超えています (3)"},
        {"put object", [&] { l.PutObject(-5, &o); }, L"リストのインデックスが範囲を超えています (-5)"},
        {"insert beyond count", [&] { l.Insert(4, L"x"); }, L"リストのインデックスが範囲を超えています (4)"},
        {"delete", [&] { l.Delete(3); }, L"リストのインデックスが範囲を超えています (3)"},
        {"move from", [&] { l.Move(9, 0); }, L"リストのインデックスが範囲を超えています (9)"},
        {"move to", [&] { l.Move(0, 3); }, L"リストのインデックスが範囲を超えています (3)"},
        {"exchange", [&] { l.Exchange(1, 100); }, L"リストのインデックスが範囲を超えています (100)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ErrorOf(c.f), c.message);
        EXPECT_EQ(l, Lines({L"a", L"b", L"c"})) << "a failed call changes nothing";
    }
    TStringList empty;
    EXPECT_EQ(ErrorOf([&] { empty.Get(0); }), L"リストのインデックスが範囲を超えています (0)");
    // The error handler looks for this text in the message.
    EXPECT_NE(ErrorOf([&] { empty.Delete(0); }).find(L"リストのインデックスが範囲を超えています"),
              std::wstring::npos);
}

TEST(StringList, EditingKeepsObjectsWithTheirItems) {
    int a = 1, b = 2, c = 3, d = 4;
    TStringList l;
    EXPECT_EQ(l.AddObject(L"a", &a), 0);
    EXPECT_EQ(l.AddObject(L"b", &b), 1);
    l.AddObject(L"c", &c);
    l.InsertObject(0, L"d", &d);  // d a b c
    l.Insert(4, L"e");           // at Count: appended
    EXPECT_EQ(l, Lines({L"d", L"a", L"b", L"c", L"e"}));
    EXPECT_EQ(l.Objects(4), nullptr);

    l.Move(0, 3);  // a b c d e
    EXPECT_EQ(l, Lines({L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(l.Objects(3), &d);
    l.Move(4, 0);  // e a b c d
    EXPECT_EQ(l, Lines({L"e", L"a", L"b", L"c", L"d"}));
    l.Exchange(1, 4);  // e d b c a
    EXPECT_EQ(l, Lines({L"e", L"d", L"b", L"c", L"a"}));
    EXPECT_EQ(l.Objects(1), &d);
    EXPECT_EQ(l.Objects(4), &a);
    l.Delete(0);
    EXPECT_EQ(l.IndexOfObject(&c), 2);
    EXPECT_EQ(l.IndexOfObject(&d), 0);
    l.Put(0, L"D");
    EXPECT_EQ(l.Objects(0), &d) << "changing the text keeps the object";
    l.PutObject(0, nullptr);
    EXPECT_EQ(l.IndexOfObject(&d), -1);

    TStringList copy = l;
    copy.AddStrings(copy);
    EXPECT_EQ(copy.Count(), 8);
    EXPECT_EQ(copy[4], L"D");
}

TEST(StringList, IndexOfIgnoresCaseUnlessAsked) {
    TStringList l = Lines({L"C:\\Windows", L"Ｆｕｌｌ", L"ｶﾅ", L"カナ", L"c:\\windows", L""});
    EXPECT_EQ(l.IndexOf(L"c:\\WINDOWS"), 0);
    EXPECT_EQ(l.IndexOf(L"ｆｕｌｌ"), 1) << "fullwidth letters have case too";
    EXPECT_EQ(l.IndexOf(L"カナ"), 3) << "halfwidth and fullwidth kana differ";
    EXPECT_EQ(l.IndexOf(L"かな"), -1) << "hiragana and katakana differ";
    EXPECT_EQ(l.IndexOf(L""), 5);
    EXPECT_EQ(l.IndexOf(L"C:\\Windows\\"), -1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf(L"c:\\windows"), 4);
    EXPECT_EQ(l.IndexOf(L"C:\\WINDOWS"), -1);
}

TEST(StringList, SortOrdersWithObjectsAndKeepsEqualsInPlace) {
    int o1 = 1, o2 = 2, o3 = 3, o4 = 4;
    TStringList l;
    l.AddObject(L"banana", &o1);
    l.AddObject(L"Apple", &o2);
    l.AddObject(L"apple", &o3);
    l.AddObject(L"cherry", &o4);
    l.Sort();
    EXPECT_EQ(l, Lines({L"Apple", L"apple", L"banana", L"cherry"}));
    EXPECT_EQ(l.Objects(0), &o2);
    EXPECT_EQ(l.Objects(1), &o3) << "equal without case: order kept";
    EXPECT_EQ(l.Objects(2), &o1);

    TStringList cs = Lines({L"b", L"B", L"a", L"A"});
    cs.SetCaseSensitive(true);
    cs.Sort();
    EXPECT_EQ(cs, Lines({L"a", L"A", L"b", L"B"}));
}

TEST(StringList, TextLinesAndLineEnds) {
    TStringList l;
    l.SetText(L"one\r\ntwo\rthree\nfour");
    EXPECT_EQ(l, Lines({L"one", L"two", L"three", L"four"}));
    EXPECT_EQ(l.Text(), L"one\r\ntwo\r\nthree\r\nfour\r\n") << "CR LF after every line";
    l.SetText(L"");
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Text(), L"");
    l.SetText(L"\r\n");
    EXPECT_EQ(l, Lines({L""}));
}

TEST(StringList, LoadDetectsTheMarkAndFallsBackToTheCodePage) {
    struct {
        const char* name;
        std::string bytes;
        TTextEncoding enc;
    } cases[] = {
        {"932", "\x93\xFA\x96\x7B\r\nab\r\n", TTextEncoding::Ansi},
        {"utf16le", std::string("\xFF\xFE\xE5\x65\x2C\x67\r\0\n\0a\0b\0", 14), TTextEncoding::Utf16LE},
        {"utf16be", std::string("\xFE\xFF\x65\xE5\x67\x2C\0\r\0\n\0a\0b", 14), TTextEncoding::Utf16BE},
        {"utf8", "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC\nab", TTextEncoding::Utf8},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(dir / L"l.txt", c.bytes));
        TStringList l;
        l.LoadFromFile(dir / L"l.txt");
        EXPECT_EQ(l, Lines({L"日本", L"ab"}));
        EXPECT_EQ(l.Encoding(), c.enc);
    }
    // UTF-8 without a mark is not detected here: it reads as the code page.
    ASSERT_TRUE(WriteBytes(dir / L"l.txt", "\xE6\x97\xA5"));
    TStringList l;
    l.LoadFromFile(dir / L"l.txt");
    EXPECT_EQ(l.Encoding(), TTextEncoding::Ansi);
    EXPECT_NE(l[0], L"日");
    l.LoadFromFile(dir / L"l.txt", TTextEncoding::Utf8NoBom);
    EXPECT_EQ(l, Lines({L"日"}));
}

TEST(StringList, SaveInEveryEncodingAndReadBack) {
    const TStringList l = Lines({L"履歴", L"", L"C:\\データ\\a.txt"});
    ScratchDir dir;
    for (int k = 0; k <= 4; ++k) {
        SCOPED_TRACE(k);
        auto enc = static_cast<TTextEncoding>(k);
        l.SaveToFile(dir / L"s.txt", enc);
        EXPECT_EQ(ReadBytes(dir / L"s.txt"), gui::EncodeText(L"履歴\r\n\r\nC:\\データ\\a.txt\r\n", enc));
        TStringList back;
        back.LoadFromFile(dir / L"s.txt", enc);
        EXPECT_EQ(back, l);
    }
}

TEST(StringList, FileErrorsThrowAndChangeNothing) {
    ScratchDir dir;
    TStringList l = Lines({L"kept"});
    std::wstring msg = ErrorOf([&] { l.LoadFromFile(dir / L"missing.txt"); });
    EXPECT_NE(msg.find(L"missing.txt"), std::wstring::npos) << gui::WideToUtf8(msg);
    EXPECT_EQ(l, Lines({L"kept"}));

    l.SaveToFile(dir / L"t.txt", TTextEncoding::Utf16LE);
    const std::string before = ReadBytes(dir / L"t.txt");
    {
        gui::FileHandle holder(::CreateFileW((dir / L"t.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        TStringList other = Lines({L"new"});
        EXPECT_NE(ErrorOf([&] { other.SaveToFile(dir / L"t.txt", TTextEncoding::Utf16LE); }),
                  L"<no exception>");
    }
    EXPECT_EQ(ReadBytes(dir / L"t.txt"), before) << "the old file stays whole";
}

TEST(StringList, LongLinesAndOddBytes) {
    ScratchDir dir;
    std::wstring longLine(100000, L'字');
    std::wstring longAscii(100000, L'x');
    TStringList l = Lines({longLine, longAscii, L"end"});
    for (TTextEncoding enc : {TTextEncoding::Ansi, TTextEncoding::Utf16LE, TTextEncoding::Utf8}) {
        l.SaveToFile(dir / L"long.txt", enc);
        TStringList back;
        back.LoadFromFile(dir / L"long.txt");
        EXPECT_EQ(back, l);
    }

    // A truncated UTF-16 file: the half character at the end reads as U+FFFD.
    ASSERT_TRUE(WriteBytes(dir / L"odd.txt", std::string("\xFF\xFE" "a\0\r\0\n\0b", 9)));
    TStringList odd;
    odd.LoadFromFile(dir / L"odd.txt");
    EXPECT_EQ(odd, Lines({L"a", L"\xFFFD"}));
    // A mark alone is an empty list.
    ASSERT_TRUE(WriteBytes(dir / L"bom.txt", "\xFE\xFF"));
    odd.LoadFromFile(dir / L"bom.txt");
    EXPECT_EQ(odd.Count(), 0);
    EXPECT_EQ(odd.Encoding(), TTextEncoding::Utf16BE);
}

}  // namespace
