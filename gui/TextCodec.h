// Text file encodings: detection by byte-order mark, decoding to and encoding
// from UTF-16, and splitting text into lines. The values are the program's
// text-encoding kinds as stored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gui {

enum class TTextEncoding : int {
    Ansi = 0,             // system code page, no mark
    Utf16LE = 1,          // UTF-16 little endian with mark
    Utf16BE = 2,          // UTF-16 big endian with mark
    Utf8 = 3,             // UTF-8 with mark
    Utf8NoBom = 4,        // UTF-8 without mark
};

// The encoding its byte-order mark announces, and the mark's length; without
// a mark: Ansi and 0. Only bytes the data has are compared.
TTextEncoding DetectBom(std::string_view bytes, size_t* bomLength = nullptr);

// The length of the mark of `enc` when the bytes start with it, else 0. UTF-8
// without mark has none: bytes EF BB BF there are the character U+FEFF, so
// a list whose first entry starts with it reads back as written.
size_t MatchingBomLength(std::string_view bytes, TTextEncoding enc);

// Decodes bytes (mark already removed) in the given encoding. Never fails:
// malformed input gives U+FFFD where it cannot be read (an odd byte at the
// end of UTF-16 too); NUL characters are kept.
std::wstring DecodeText(std::string_view bytes, TTextEncoding enc);
// Detects the mark and decodes the rest; the encoding found goes to *found.
// Bytes without a mark are read in the system code page.
std::wstring DecodeTextAuto(std::string_view bytes, TTextEncoding* found = nullptr);
// Decodes in `enc`, skipping its mark when the bytes start with it.
std::wstring DecodeTextAs(std::string_view bytes, TTextEncoding enc);
// Encodes the text, with the mark the encoding calls for. Characters the
// system code page lacks become its default character.
std::string EncodeText(std::wstring_view text, TTextEncoding enc);

// Splits text into lines: CR LF, a lone CR and a lone LF each end a line; a
// line end at the very end adds no empty line.
std::vector<std::wstring> SplitLines(std::wstring_view text);

}  // namespace gui
