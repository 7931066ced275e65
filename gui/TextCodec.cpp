#include "gui/TextCodec.h"

#include <windows.h>

namespace gui {

namespace {

std::wstring FromCodePage(std::string_view bytes, UINT cp) {
    if (bytes.empty()) return {};
    int n = ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string ToCodePage(std::wstring_view text, UINT cp) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                  nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

}  // namespace

TTextEncoding DetectBom(std::string_view b, size_t* bomLength) {
    auto at = [&](size_t i) { return static_cast<unsigned char>(b[i]); };
    size_t len = 0;
    TTextEncoding enc = TTextEncoding::Ansi;
    if (b.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
        enc = TTextEncoding::Utf8, len = 3;
    } else if (b.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
        enc = TTextEncoding::Utf16LE, len = 2;
    } else if (b.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
        enc = TTextEncoding::Utf16BE, len = 2;
    }
    if (bomLength) *bomLength = len;
    return enc;
}

std::wstring DecodeText(std::string_view bytes, TTextEncoding enc) {
    switch (enc) {
        case TTextEncoding::Utf16LE:
        case TTextEncoding::Utf16BE: {
            std::wstring out(bytes.size() / 2, L'\0');
            for (size_t i = 0; i < out.size(); ++i) {
                auto lo = static_cast<unsigned char>(bytes[2 * i]);
                auto hi = static_cast<unsigned char>(bytes[2 * i + 1]);
                if (enc == TTextEncoding::Utf16BE) std::swap(lo, hi);
                out[i] = static_cast<wchar_t>(lo | (hi << 8));
            }
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

std::string EncodeText(std::wstring_view text, TTextEncoding enc) {
    switch (enc) {
        case TTextEncoding::Utf16LE:
        case TTextEncoding::Utf16BE: {
            std::string out;
            out.reserve(2 + text.size() * 2);
            out += enc == TTextEncoding::Utf16LE ? "\xFF\xFE" : "\xFE\xFF";
            for (wchar_t c : text) {
                char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
                if (enc == TTextEncoding::Utf16LE) { out += lo; out += hi; }
                else { out += hi; out += lo; }
            }
            return out;
        }
        case TTextEncoding::Utf8:
            return "\xEF\xBB\xBF" + ToCodePage(text, CP_UTF8);
        case TTextEncoding::Utf8NoBom:
            return ToCodePage(text, CP_UTF8);
        case TTextEncoding::Ansi:
        default:
            return ToCodePage(text, CP_ACP);
    }
}

}  // namespace gui
