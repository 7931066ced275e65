// Text file encodings: detection by byte-order mark, decoding to and encoding
// from UTF-16. The values are the program's text-encoding kinds as stored.
#pragma once

#include <string>
#include <string_view>

namespace gui {

enum class TTextEncoding : int {
    Ansi = 0,             // system code page, no mark
    Utf16LE = 1,          // UTF-16 little endian with mark
    Utf16BE = 2,          // UTF-16 big endian with mark
    Utf8 = 3,             // UTF-8 with mark
    Utf8NoBom = 4,        // UTF-8 without mark
};

// The encoding its byte-order mark announces, and the mark's length; without
// a mark: Ansi and 0.
TTextEncoding DetectBom(std::string_view bytes, size_t* bomLength = nullptr);

// Decodes bytes (mark already removed) in the given encoding.
std::wstring DecodeText(std::string_view bytes, TTextEncoding enc);
// Detects the mark and decodes the rest; the encoding found goes to *found.
// Bytes without a mark are read in the system code page.
std::wstring DecodeTextAuto(std::string_view bytes, TTextEncoding* found = nullptr);
// Encodes the text, with the mark the encoding calls for.
std::string EncodeText(std::wstring_view text, TTextEncoding enc);

}  // namespace gui
