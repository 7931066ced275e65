#include <gtest/gtest.h>

#include "gui/Exception.h"
#include "gui/TextCodec.h"

using gui::TTextEncoding;

namespace {

TEST(TextCodec, BomDetection) {
    struct {
        std::string bytes;
        TTextEncoding enc;
        size_t len;
    } cases[] = {
        {"", TTextEncoding::Ansi, 0},
        {"\xFF", TTextEncoding::Ansi, 0},
        {"\xFF\xFE", TTextEncoding::Utf16LE, 2},
        {"\xFE\xFF", TTextEncoding::Utf16BE, 2},
        {"\xEF\xBB", TTextEncoding::Ansi, 0},
        {"\xEF\xBB\xBF", TTextEncoding::Utf8, 3},
        {"\xEF\xBB\xBFx", TTextEncoding::Utf8, 3},
        {"\xFE\xFE", TTextEncoding::Ansi, 0},
    };
    for (const auto& c : cases) {
        size_t len = 99;
        EXPECT_EQ(gui::DetectBom(c.bytes, &len), c.enc) << testing::PrintToString(c.bytes);
        EXPECT_EQ(len, c.len);
    }
    EXPECT_EQ(gui::MatchingBomLength("\xEF\xBB\xBFx", TTextEncoding::Utf8), 3u);
    EXPECT_EQ(gui::MatchingBomLength("\xEF\xBB\xBFx", TTextEncoding::Utf8NoBom), 0u);
    EXPECT_EQ(gui::MatchingBomLength("\xFF\xFEx", TTextEncoding::Utf16BE), 0u);
    EXPECT_EQ(gui::MatchingBomLength("\xEF\xBB\xBFx", TTextEncoding::Ansi), 0u);
}

TEST(TextCodec, BadInputDecodesToADefinedText) {
    struct {
        const char* name;
        std::string bytes;
        TTextEncoding enc;
        std::wstring text;
    } cases[] = {
        {"odd utf16le", std::string("a\0b", 3), TTextEncoding::Utf16LE, L"a\xFFFD"},
        {"odd utf16be", std::string("\0a\0", 3), TTextEncoding::Utf16BE, L"a\xFFFD"},
        {"one byte utf16", "x", TTextEncoding::Utf16LE, L"\xFFFD"},
        {"lone surrogate kept", std::string("\x00\xD8", 2), TTextEncoding::Utf16LE, L"\xD800"},
        {"invalid utf8", "a\xC0\xAF" "b", TTextEncoding::Utf8NoBom, L"a\xFFFD\xFFFD" L"b"},
        {"cut utf8", "a\xE3\x81", TTextEncoding::Utf8, L"a\xFFFD"},
        {"nul kept", std::string("a\0b", 3), TTextEncoding::Ansi, std::wstring(L"a\0b", 3)},
        {"nul kept utf8", std::string("a\0b", 3), TTextEncoding::Utf8NoBom, std::wstring(L"a\0b", 3)},
        {"932 text", "\x93\xFA\x96\x7B", TTextEncoding::Ansi, L"日本"},
        {"932 halfwidth kana", "\xB1", TTextEncoding::Ansi, L"ｱ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(gui::DecodeText(c.bytes, c.enc), c.text);
    }
}

TEST(TextCodec, AutoAndForcedDecoding) {
    TTextEncoding found;
    EXPECT_EQ(gui::DecodeTextAuto("\xFF\xFE", &found), L"") << "a mark alone is an empty text";
    EXPECT_EQ(found, TTextEncoding::Utf16LE);
    EXPECT_EQ(gui::DecodeTextAuto(std::string("\xFE\xFF\x65\xE5", 4), &found), L"日");
    EXPECT_EQ(found, TTextEncoding::Utf16BE);
    EXPECT_EQ(gui::DecodeTextAuto("\x93\xFA", &found), L"日");
    EXPECT_EQ(found, TTextEncoding::Ansi);
    // Forced: a matching mark is skipped, another one is text.
    EXPECT_EQ(gui::DecodeTextAs("\xEF\xBB\xBFok", TTextEncoding::Utf8NoBom), L"\xFEFFok")
        << "without a mark the bytes are a character";
    EXPECT_EQ(gui::DecodeTextAs("\xEF\xBB\xBFok", TTextEncoding::Utf8), L"ok");
    EXPECT_EQ(gui::DecodeTextAs("\xEF\xBB\xBFok", TTextEncoding::Ansi).size(), 4u);
}

TEST(TextCodec, EncodesWithMarks) {
    EXPECT_EQ(gui::EncodeText(L"日", TTextEncoding::Utf16LE), std::string("\xFF\xFE\xE5\x65", 4));
    EXPECT_EQ(gui::EncodeText(L"日", TTextEncoding::Utf16BE), std::string("\xFE\xFF\x65\xE5", 4));
    EXPECT_EQ(gui::EncodeText(L"日", TTextEncoding::Utf8), "\xEF\xBB\xBF\xE6\x97\xA5");
    EXPECT_EQ(gui::EncodeText(L"日", TTextEncoding::Utf8NoBom), "\xE6\x97\xA5");
    EXPECT_EQ(gui::EncodeText(L"日", TTextEncoding::Ansi), "\x93\xFA");
    EXPECT_EQ(gui::EncodeText(L"", TTextEncoding::Utf16LE), "\xFF\xFE");
    EXPECT_EQ(gui::EncodeText(L"", TTextEncoding::Ansi), "");
    EXPECT_EQ(gui::EncodeText(L"한", TTextEncoding::Ansi), "?") << "no such character in code page 932";
}

TEST(TextCodec, SplitLines) {
    using V = std::vector<std::wstring>;
    struct {
        std::wstring text;
        V lines;
    } cases[] = {
        {L"", {}},
        {L"a", {L"a"}},
        {L"a\r\n", {L"a"}},
        {L"a\r\nb", {L"a", L"b"}},
        {L"a\rb\nc", {L"a", L"b", L"c"}},
        {L"\r\n", {L""}},
        {L"\r\n\r\n", {L"", L""}},
        {L"a\r\r\n", {L"a", L""}},
        {L"a\n\r", {L"a", L""}},
        {L"a\n\nb", {L"a", L"", L"b"}},
        {std::wstring(L"x\0y\r\n", 5), {std::wstring(L"x\0y", 3)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(gui::WideToUtf8(c.text));
        EXPECT_EQ(gui::SplitLines(c.text), c.lines);
    }
}

}  // namespace
