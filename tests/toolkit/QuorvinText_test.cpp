#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Handles.h"
#include "tests/support/ListItems.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinText.h"

using gui::TStringList;
using testing_support::Lines;
using gui::TTextEncoding;
using testing_support::BinDir;
using testing_support::ClipboardText;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

namespace {

std::wstring CurrentFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = ::GetCurrentDirectoryW(MAX_PATH, buf);
    std::wstring s(buf, n);
    if (!s.empty() && s.back() != L'\\') s += L'\\';
    return s;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(TextHelpers, PathAndNameParts) {
    struct {
        std::wstring in, stripped, bare;
    } cases[] = {
        {L"C:\\dir\\", L"C:\\dir", L""},
        {L"C:\\dir\\\\", L"C:\\dir\\", L""},
        {L"C:\\dir", L"C:\\dir", L"dir"},
        {L"C:\\dir.x\\name", L"C:\\dir.x\\name", L"name"},
        {L"C:\\dir\\a.b.c", L"C:\\dir\\a.b.c", L"a.b"},
        {L"C:readme.txt", L"C:readme.txt", L"readme"},
        {L"D:/フォルダ/資料.docx", L"D:/フォルダ/資料.docx", L"資料"},
        {L"\\\\server\\share\\.hidden", L"\\\\server\\share\\.hidden", L""},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(c.in));
        std::wstring out;
        StripTrailingBackslash(c.in, out);
        EXPECT_EQ(out, c.stripped);
        StripFileExt(c.in, out);
        EXPECT_EQ(out, c.bare);
        ExtractBareFileName(c.in, out);
        EXPECT_EQ(out, c.bare);
    }
    // The out-parameter may be the input itself.
    std::wstring s = L"C:\\a\\b.txt";
    StripFileExt(s, s);
    EXPECT_EQ(s, L"b");
}

TEST(TextHelpers, NulCutsAndTrims) {
    std::wstring out;
    CutAtNul(std::wstring(L"abc\0def", 7), out);
    EXPECT_EQ(out, L"abc");
    CutAtNul(L"no nul", out);
    EXPECT_EQ(out, L"no nul");
    CutAtNulTrimRight(std::wstring(L"タイトル \t\r\n\0garbage ", 18), out);
    EXPECT_EQ(out, L"タイトル");
    CutAtNulTrimRight(L"  lead kept  ", out);
    EXPECT_EQ(out, L"  lead kept");
    CutAtNulTrimRight(std::wstring(L"\0", 1), out);
    EXPECT_EQ(out, L"");
}

TEST(TextHelpers, StrToIntSafe) {
    struct {
        std::wstring in;
        int value;
    } cases[] = {
        {L"", 0},          {L"0", 0},
        {L"42", 42},       {L"-17", -17},
        {L"+5", 5},        {L"4294967297", 1},  // 2^32 + 1 cut to 32 bits
        {L"4294967295", -1}, {L"2147483648", -2147483647 - 1},
        {L"12a", 0},       {L"a12", 0},
        {L"12 ", 0},       {L" 12", 12},
        {L"-", 0},         {L"$1F", 31},
        {L"0x10", 16},     {L"x1A", 26},
        {L"$100000001", 1}, {L"9223372036854775807", -1},
        {L"9223372036854775808", 0},  // beyond 64 bits: no integer
        {L"-9223372036854775808", 0},
        {L"１２", 0},     // fullwidth digits are no integer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(c.in));
        EXPECT_EQ(StrToIntSafe(c.in), c.value);
    }
}

TEST(TextHelpers, LastCharPosAndFileNames) {
    EXPECT_EQ(LastCharPos(L"\\", L"C:\\a\\b"), 5);
    EXPECT_EQ(LastCharPos(L".", L"a.b.c"), 4);
    EXPECT_EQ(LastCharPos(L"x", L"abc"), 0);
    EXPECT_EQ(LastCharPos(L"", L"abc"), 0);
    EXPECT_EQ(LastCharPos(L"あ", L"あいあう"), 3);

    for (const wchar_t* ok : {L"", L"a\"b", L"a,b;c", L"日本語 名前.txt", L"a.b"})
        EXPECT_TRUE(IsValidFileName(ok)) << gui::WideToUtf8(ok);
    for (const wchar_t* bad : {L"a:b", L"a\\b", L"a/b", L"a*", L"a?", L"<a", L"a>", L"a|b"})
        EXPECT_FALSE(IsValidFileName(bad)) << gui::WideToUtf8(bad);
}

TEST(TextHelpers, Ampersands) {
    std::wstring out;
    EscapeAmpersands(L"A&B", out);
    EXPECT_EQ(out, L"A&&,B");
    UnescapeAmpersands(out, out);
    EXPECT_EQ(out, L"A&B");
    EscapeAmpersands(L"no amp", out);
    EXPECT_EQ(out, L"no amp");
    EscapeAmpersands(L"&&", out);
    EXPECT_EQ(out, L"&&,&&,");
    UnescapeAmpersands(out, out);
    EXPECT_EQ(out, L"&&");
    // Repeated until none is left: an unescaped result that again holds the
    // sequence is unescaped once more.
    UnescapeAmpersands(L"&&&,,", out);
    EXPECT_EQ(out, L"&");
}

std::wstring Helper(const wchar_t* name) { return BinDir() + name; }

TEST(VersionInfo, RowsInFixedOrderPaddedTo16) {
    TStringList list;
    list.Add(L"kept");
    ASSERT_TRUE(GetVersionInfoList(Helper(L"VersionInfoFull.exe"), list));
    const TStringList expected = Lines({
        L"kept",
        L"CompanyName     ：クォーヴィン",
        L"FileDescription ：試験用プログラム",
        L"FileVersion     ：1.2.3.4",
        L"InternalName    ：inner",
        L"LegalTrademarks ：なし",
        L"ProductName     ：オルヴァンデル試験",
        L"Comments        ：版情報の読み取り試験",
        L"Sample-Number   ：42",
    });
    ASSERT_EQ(list.Count(), expected.Count()) << gui::WideToUtf8(list.Text());
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list[i], expected[i]) << i;
    EXPECT_EQ(list[2].substr(17), L"試験用プログラム") << "the value starts at character 18";
}

TEST(VersionInfo, MissingInformation) {
    TStringList list;
    list.Add(L"kept");
    EXPECT_FALSE(GetVersionInfoList(Helper(L"ClipboardHolder.exe"), list)) << "no version resource";
    EXPECT_FALSE(GetVersionInfoList(Helper(L"NoSuchProgram.exe"), list));
    EXPECT_EQ(list.Count(), 1);

    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir / L"text.exe", "not a program"));
    EXPECT_FALSE(GetVersionInfoList(dir / L"text.exe", list));
}

TEST(VersionInfo, FileDescription) {
    std::wstring desc = L"stale";
    GetFileDescription(Helper(L"VersionInfoPlain.exe"), desc);
    EXPECT_EQ(desc, L"Plain sample tool");
    GetFileDescription(Helper(L"VersionInfoFull.exe"), desc);
    EXPECT_EQ(desc, L"試験用プログラム");
    desc = L"stale";
    GetFileDescription(Helper(L"VersionInfoSame.exe"), desc);
    EXPECT_EQ(desc, L"") << "a description equal to the version is no description";
    desc = L"stale";
    GetFileDescription(Helper(L"ClipboardHolder.exe"), desc);
    EXPECT_EQ(desc, L"");
    desc = L"stale";
    GetFileDescription(Helper(L"NoSuchProgram.exe"), desc);
    EXPECT_EQ(desc, L"");
}

const std::string kSjisNihongo = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語 in code page 932
const std::string kUtf8Nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";

TEST(DetectTextEncoding, Table) {
    struct {
        const char* name;
        std::string bytes;
        int kind;
    } cases[] = {
        {"empty", "", 0},
        {"ascii", "abc\r\ndef\r\n", 0},
        {"utf16le mark", std::string("\xFF\xFE" "a\0", 4), 1},
        {"utf16be mark", std::string("\xFE\xFF\0a", 4), 2},
        {"utf8 mark", "\xEF\xBB\xBF" "abc", 3},
        {"utf16le mark alone", "\xFF\xFE", 1},
        {"utf8 mark alone", "\xEF\xBB\xBF", 3},
        {"one byte", "\xFF", 0},
        {"cut utf8 mark", "\xEF\xBB", 0},
        {"utf8 on third line", "first\r\nsecond\r\n" + kUtf8Nihongo + "\r\n", 4},
        {"same text in 932", "first\r\nsecond\r\n" + kSjisNihongo + "\r\n", 0},
        {"halfwidth kana in 932", "\xB1\xB2\xB3\r\n", 0},
        {"bad line then utf8 line", "\xC0\x80\r\n" + kUtf8Nihongo, 4},
        {"sequence cut by line end", "\xE3\x81\r\n\x82", 0},
        {"sequence cut by lone LF", "\xE3\x81\n\x82\n", 0},
        {"overlong E0", "\xE0\x80\x80", 0},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 0},
        {"four-byte emoji", "\xF0\x9F\x98\x80", 4},
        {"two-byte", "caf\xC3\xA9", 4},
        {"lone continuation", "\x80", 0},
        {"nul in the middle", std::string("a\0b\r\n", 5) + kUtf8Nihongo, 4},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring file = dir / L"t.txt";
        ASSERT_TRUE(WriteBytes(file, c.bytes));
        int kind = -1;
        TTextEncoding enc = DetectTextEncoding(file, kind);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(static_cast<int>(enc), c.kind);
    }
}

TEST(DetectTextEncoding, MissingOrHeldByAWriter) {
    ScratchDir dir;
    int kind = -1;
    EXPECT_EQ(DetectTextEncoding(dir / L"missing.txt", kind), TTextEncoding::Ansi);
    EXPECT_EQ(kind, 0);

    std::wstring file = dir / L"held.txt";
    ASSERT_TRUE(WriteBytes(file, "\xEF\xBB\xBF" "text"));
    {
        gui::FileHandle writer(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        kind = -1;
        EXPECT_EQ(DetectTextEncoding(file, kind), TTextEncoding::Ansi);
        EXPECT_EQ(kind, 0) << "a file a writer holds cannot be read while denying writers";
    }
    DetectTextEncoding(file, kind);
    EXPECT_EQ(kind, 3);
}

TEST(IsTextFile, Table) {
    std::string longText(400, 'a');
    std::string controlAfter300 = longText + "\x01";
    struct {
        const char* name;
        std::string bytes;
        bool text;
    } cases[] = {
        {"empty", "", true},
        {"plain", "line\r\n\tindented\nlast", true},
        {"japanese 932", kSjisNihongo + "\r\n", true},
        {"utf8", "\xEF\xBB\xBF" + kUtf8Nihongo, true},
        {"utf16le with mark", std::string("\xFF\xFE\xE5\x65\x2C\x67\x0D\x00\x0A\x00", 10), true},
        {"utf16be with mark", std::string("\xFE\xFF\x65\xE5\x00\x09", 6), true},
        {"utf16le with a control", std::string("\xFF\xFE" "a\0\x01\0", 6), false},
        {"program", std::string("MZ\x90\0\x03\0\0\0", 8), false},
        {"png", "\x89PNG\r\n\x1A\n", false},
        {"escape", "a\x1B[0m", false},
        {"form feed", "page\x0Cnext", false},
        {"vertical tab", "a\x0B", false},
        {"delete is text", "a\x7F", true},
        {"control after 300 bytes", controlAfter300, true},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(dir / L"f.bin", c.bytes));
        EXPECT_EQ(IsTextFile(dir / L"f.bin"), c.text);
    }
    EXPECT_TRUE(IsTextFile(dir / L"missing.txt"));

    gui::FileHandle exclusive(::CreateFileW((dir / L"f.bin").c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(IsTextFile(dir / L"f.bin")) << "a read error is no text";
}

struct EncodingCase {
    TTextEncoding enc;
    std::string expected;  // bytes of the list {"日本語", "ab"}
};

TEST(ListFiles, WriteEachEncodingExactly) {
    const EncodingCase cases[] = {
        {TTextEncoding::Ansi, kSjisNihongo + "\r\nab\r\n"},
        {TTextEncoding::Utf16LE, std::string("\xFF\xFE\xE5\x65\x2C\x67\x9E\x8A\r\0\n\0a\0b\0\r\0\n\0", 20)},
        {TTextEncoding::Utf16BE, std::string("\xFE\xFF\x65\xE5\x67\x2C\x8A\x9E\0\r\0\n\0a\0b\0\r\0\n", 20)},
        {TTextEncoding::Utf8, "\xEF\xBB\xBF" + kUtf8Nihongo + "\r\nab\r\n"},
        {TTextEncoding::Utf8NoBom, kUtf8Nihongo + "\r\nab\r\n"},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.enc));
        std::wstring file = dir / L"list.lst";
        ASSERT_TRUE(WriteListFile(Lines({L"日本語", L"ab"}), file, c.enc));
        EXPECT_EQ(ReadBytes(file), c.expected);
        TStringList back;
        back.Add(L"old");
        EXPECT_EQ(ReadListFile(back, file, c.enc), 2);
        EXPECT_EQ(back, Lines({L"日本語", L"ab"}));
        int kind = -1;
        DetectTextEncoding(file, kind);
        EXPECT_EQ(kind, static_cast<int>(c.enc)) << "detection names the kind written";
    }
}

TEST(ListFiles, RoundTripJapaneseInEveryEncoding) {
    const TStringList list = Lines({L"C:\\Users\\試験\\デスクトップ\\資料.txt", L"", L"  空白  ",
                                    L"ｶﾀｶﾅ と 全角英数ＡＢＣ", L"記号①②", L"tab\there"});
    ScratchDir dir;
    for (int k = 0; k <= 4; ++k) {
        SCOPED_TRACE(k);
        auto enc = static_cast<TTextEncoding>(k);
        ASSERT_TRUE(WriteListFile(list, dir / L"rt.lst", enc));
        TStringList back;
        EXPECT_EQ(ReadListFile(back, dir / L"rt.lst", enc), list.Count());
        EXPECT_EQ(back, list);
    }
}

TEST(ListFiles, EmptyListAndOddInput) {
    ScratchDir dir;
    std::wstring file = dir / L"e.lst";
    ASSERT_TRUE(WriteListFile(TStringList(), file, TTextEncoding::Utf16LE));
    EXPECT_EQ(ReadBytes(file), "\xFF\xFE") << "an empty list is the mark alone";
    ASSERT_TRUE(WriteListFile(TStringList(), file, TTextEncoding::Ansi));
    EXPECT_EQ(ReadBytes(file), "");

    TStringList list;
    list.Add(L"stale");
    EXPECT_EQ(ReadListFile(list, dir / L"missing.lst", TTextEncoding::Ansi), 0);
    EXPECT_EQ(list.Count(), 0) << "cleared also when the file is missing";

    ASSERT_TRUE(WriteBytes(file, std::string("a\rb\nc\r\n\r\nd\0e", 12)));
    EXPECT_EQ(ReadListFile(list, file, TTextEncoding::Ansi), 5);
    EXPECT_EQ(list, Lines({L"a", L"b", L"c", L"", std::wstring(L"d\0e", 3)}));

    // A mark that is not the encoding's is not skipped but read as text.
    ASSERT_TRUE(WriteBytes(file, "\xEF\xBB\xBF" "x\r\n"));
    ReadListFile(list, file, TTextEncoding::Utf8);
    EXPECT_EQ(list, Lines({L"x"}));
    ReadListFile(list, file, TTextEncoding::Utf8NoBom);
    EXPECT_EQ(list, Lines({L"\xFEFFx"})) << "UTF-8 without mark has no mark to skip";
    ReadListFile(list, file, TTextEncoding::Utf16LE);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_NE(list[0], L"x");
}

TEST(ListFiles, FileHeldOpenIsRefusedAndKept) {
    ScratchDir dir;
    std::wstring file = dir / L"Error.log";
    ASSERT_TRUE(WriteListFile(Lines({L"古い行"}), file, TTextEncoding::Ansi));
    const std::string before = ReadBytes(file);
    {
        // Another program reading it, sharing everything but deletion.
        gui::FileHandle reader(::CreateFileW(file.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_FALSE(WriteListFile(Lines({L"新しい行"}), file, TTextEncoding::Ansi));
        EXPECT_EQ(ReadBytes(file), before);
    }
    EXPECT_TRUE(WriteListFile(Lines({L"新しい行"}), file, TTextEncoding::Ansi));
    TStringList back;
    ReadListFile(back, file, TTextEncoding::Ansi);
    EXPECT_EQ(back, Lines({L"新しい行"}));

    EXPECT_FALSE(WriteListFile(Lines({L"x"}), dir / L"no\\such\\folder.lst", TTextEncoding::Ansi))
        << "a write that fails is reported, not thrown";
}

TEST(ListFiles, LeaveTheProcessInTheProgramFolder) {
    ScratchDir dir;
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
    ASSERT_TRUE(WriteListFile(Lines({L"a"}), dir / L"a.lst", TTextEncoding::Ansi));
    EXPECT_TRUE(SameFolder(CurrentFolder(), BinDir())) << gui::WideToUtf8(CurrentFolder());

    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
    TStringList l;
    ReadListFile(l, dir / L"missing.lst", TTextEncoding::Ansi);
    EXPECT_TRUE(SameFolder(CurrentFolder(), BinDir()));

    ASSERT_TRUE(::SetCurrentDirectoryW(dir.Path().c_str()));
    gui::FileHandle held(::CreateFileW((dir / L"a.lst").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(WriteListFile(Lines({L"a"}), dir / L"a.lst", TTextEncoding::Ansi));
    EXPECT_TRUE(SameFolder(CurrentFolder(), BinDir())) << "also after a refused write";
}

TEST(ListFiles, FiftyMegabytesReadWithoutTrouble) {
    // 50 MB of lines in code page 932, then the same size in UTF-8 whose only
    // non-ASCII line is the last one.
    const std::string line = "\x8D\x73 0123456789 abcdefghijklmnopqrstuvwxyz " + kSjisNihongo + "\r\n";
    const size_t lines = 50u * 1024 * 1024 / line.size();
    std::string big;
    big.reserve(lines * line.size() + 64);
    for (size_t i = 0; i < lines; ++i) big += line;
    ScratchDir dir;
    ASSERT_TRUE(WriteBytes(dir / L"big.lst", big));
    TStringList list;
    EXPECT_EQ(ReadListFile(list, dir / L"big.lst", TTextEncoding::Ansi), static_cast<int>(lines));
    EXPECT_EQ(list[static_cast<int>(lines) - 1], L"行 0123456789 abcdefghijklmnopqrstuvwxyz 日本語");
    int kind = -1;
    DetectTextEncoding(dir / L"big.lst", kind);
    EXPECT_EQ(kind, 0);

    big.assign(lines * line.size(), 'a');
    for (size_t i = 99; i < big.size(); i += 100) big[i] = '\n';
    big += kUtf8Nihongo;
    ASSERT_TRUE(WriteBytes(dir / L"big.lst", big));
    list.Clear();
    DetectTextEncoding(dir / L"big.lst", kind);
    EXPECT_EQ(kind, 4);
}

class Clipboard : public testing::Test {
protected:
    void SetUp() override { app_.Initialize(); }

    // Starts the holder and waits until it has the clipboard open.
    static testing_support::ChildProcess Hold(int ms) {
        auto p = testing_support::ChildProcess::Start(Helper(L"ClipboardHolder.exe"), std::to_wstring(ms));
        EXPECT_TRUE(p.Started());
        DWORD pid = p.Pid();
        EXPECT_TRUE(testing_support::WaitUntil(
            [pid] {
                HWND w = ::GetOpenClipboardWindow();
                return w && testing_support::WindowProcessId(w) == pid;
            },
            5000, 5));
        return p;
    }

    gui::TApplication app_;
};

using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

TEST_F(Clipboard, PutsUnicodeText) {
    ASSERT_TRUE(SetClipboardTextRetry(L"クリップボード\r\n2行目\tタブ"));
    EXPECT_EQ(ClipboardText(), L"クリップボード\r\n2行目\tタブ");
    ASSERT_TRUE(SetClipboardTextRetry(L""));
    EXPECT_EQ(ClipboardText(), L"");
}

TEST_F(Clipboard, RetriesWhileAnotherProgramHoldsIt) {
    ASSERT_TRUE(SetClipboardTextRetry(L"before"));
    auto holder = Hold(250);
    auto start = Clock::now();
    EXPECT_TRUE(SetClipboardTextRetry(L"after the wait"));
    EXPECT_GE(MsSince(start), 90) << "the first try cannot have succeeded";
    EXPECT_TRUE(holder.WaitExit(5000));
    EXPECT_EQ(ClipboardText(), L"after the wait");
}

TEST_F(Clipboard, GivesUpAfterFiveTries) {
    ASSERT_TRUE(SetClipboardTextRetry(L"kept"));
    auto holder = Hold(1500);
    auto start = Clock::now();
    EXPECT_FALSE(SetClipboardTextRetry(L"never"));
    long long ms = MsSince(start);
    EXPECT_GE(ms, 490) << "five tries with 100 ms after each";
    EXPECT_LT(ms, 1400) << "it gave up instead of waiting for the holder";
    EXPECT_TRUE(holder.WaitExit(5000));
    EXPECT_EQ(ClipboardText(), L"kept");
}

}  // namespace
