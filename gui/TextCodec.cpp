#include "gui/TextCodec.h"

#include <windows.h>

namespace gui {

namespace {

// Lengths fit an int: a 32-bit process never holds a 2 GB text in one piece.
std::wstring FromCodePage(std::string_view bytes, UINT cp) {
    if (bytes.empty()) return {};
    int n = ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string ToCodePage(std::wstring_view text, UINT cp) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

bool StartsWith(std::string_view b, std::string_view mark) {
    return b.size() >= mark.size() && b.substr(0, mark.size()) == mark;
}

const std::string_view kUtf8Bom("\xEF\xBB\xBF", 3);
const std::string_view kUtf16LEBom("\xFF\xFE", 2);
const std::string_view kUtf16BEBom("\xFE\xFF", 2);

}  // namespace

TTextEncoding DetectBom(std::string_view b, size_t* bomLength) {
    size_t len = 0;
    TTextEncoding enc = TTextEncoding::Ansi;
    if (StartsWith(b, kUtf16LEBom)) {
        enc = TTextEncoding::Utf16LE, len = 2;
    } else if (StartsWith(b, kUtf16BEBom)) {
        enc = TTextEncoding::Utf16BE, len = 2;
    } else if (StartsWith(b, kUtf8Bom)) {
        enc = TTextEncoding::Utf8, len = 3;
    }
    if (bomLength) *bomLength = len;
    return enc;
}

size_t MatchingBomLength(std::string_view b, TTextEncoding enc) {
    switch (enc) {
        case TTextEncoding::Utf16LE: return StartsWith(b, kUtf16LEBom) ? 2 : 0;
        case TTextEncoding::Utf16BE: return StartsWith(b, kUtf16BEBom) ? 2 : 0;
        case TTextEncoding::Utf8: return StartsWith(b, kUtf8Bom) ? 3 : 0;
        case TTextEncoding::Utf8NoBom:
        case TTextEncoding::Ansi:
        default: return 0;
    }
}

std::wstring DecodeText(std::string_view bytes, TTextEncoding enc) {
    switch (enc) {
        case TTextEncoding::Utf16LE:
        case TTextEncoding::Utf16BE: {
            const bool be = enc == TTextEncoding::Utf16BE;
            std::wstring out(bytes.size() / 2, L'\0');
            for (size_t i = 0; i < out.size(); ++i) {
                auto a = static_cast<unsigned char>(bytes[2 * i]);
                auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
                out[i] = static_cast<wchar_t>(be ? (a << 8) | b : a | (b << 8));
            }
            // A truncated file: the half character left over is shown as such.
            if (bytes.size() % 2) out += L'\xFFFD';
            return out;
        }
        case TTextEncoding::Utf8:
        case TTextEncoding::Utf8NoBom:
            return FromCodePage(bytes, CP_UTF8);
        case TTextEncoding::Ansi:
        default:
            return FromCodePage(bytes, CP_ACP);
    }
}

std::wstring DecodeTextAuto(std::string_view bytes, TTextEncoding* found) {
    size_t bom = 0;
    TTextEncoding enc = DetectBom(bytes, &bom);
    if (found) *found = enc;
    return DecodeText(bytes.substr(bom), enc);
}

std::wstring DecodeTextAs(std::string_view bytes, TTextEncoding enc) {
    return DecodeText(bytes.substr(MatchingBomLength(bytes, enc)), enc);
}

std::string EncodeText(std::wstring_view text, TTextEncoding enc) {
    switch (enc) {
        case TTextEncoding::Utf16LE:
        case TTextEncoding::Utf16BE: {
            const bool be = enc == TTextEncoding::Utf16BE;
            std::string out(be ? kUtf16BEBom : kUtf16LEBom);
            out.reserve(2 + text.size() * 2);
            for (wchar_t c : text) {
                char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
                if (be) { out += hi; out += lo; }
                else { out += lo; out += hi; }
            }
            return out;
        }
        case TTextEncoding::Utf8:
            return std::string(kUtf8Bom) + ToCodePage(text, CP_UTF8);
        case TTextEncoding::Utf8NoBom:
            return ToCodePage(text, CP_UTF8);
        case TTextEncoding::Ansi:
        default:
            return ToCodePage(text, CP_ACP);
    }
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring_view::npos) {
            lines.emplace_back(text.substr(pos));
            break;
        }
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == L'\r' && pos < text.size() && text[pos] == L'\n') ++pos;
    }
    return lines;
}

}  // namespace gui
