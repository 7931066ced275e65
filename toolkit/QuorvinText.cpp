#include "toolkit/QuorvinText.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string_view>
#include <vector>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/FileIO.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"

namespace {

// The folder of the running program; list-file routines leave the process
// there, so a later relative path means the program's folder.
void SetCurrentFolderToProgram() {
    std::wstring folder = ProgramFolder();
    if (!folder.empty()) ::SetCurrentDirectoryW(folder.c_str());
}

bool IsBlankOrControl(wchar_t c) { return static_cast<unsigned>(c) <= L' '; }

// Parses the digits of s from i on in the base; false when there are none,
// when anything else follows, or when the value does not fit 64 bits.
bool ParseDigits(const std::wstring& s, size_t i, int base, bool neg, int64_t& out) {
    if (i >= s.size()) return false;
    uint64_t v = 0;
    const uint64_t limit = base == 16 ? UINT64_MAX : (neg ? uint64_t(INT64_MAX) + 1 : uint64_t(INT64_MAX));
    for (; i < s.size(); ++i) {
        wchar_t c = s[i];
        unsigned d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else return false;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    out = neg ? static_cast<int64_t>(0 - v) : static_cast<int64_t>(v);
    return true;
}

}  // namespace

void StripTrailingBackslash(const std::wstring& path, std::wstring& result) {
    if (!path.empty() && path.back() == L'\\') result = path.substr(0, path.size() - 1);
    else result = path;
}

void StripFileExt(const std::wstring& fileName, std::wstring& name) {
    size_t sep = fileName.find_last_of(L"\\/:");
    std::wstring n = sep == std::wstring::npos ? fileName : fileName.substr(sep + 1);
    size_t dot = n.rfind(L'.');
    if (dot != std::wstring::npos) n.resize(dot);
    name = std::move(n);
}

void ExtractBareFileName(const std::wstring& path, std::wstring& name) { StripFileExt(path, name); }

void CutAtNul(const std::wstring& s, std::wstring& result) {
    size_t nul = s.find(L'\0');
    result = nul == std::wstring::npos ? s : s.substr(0, nul);
}

void CutAtNulTrimRight(const std::wstring& s, std::wstring& result) {
    std::wstring r;
    CutAtNul(s, r);
    size_t end = r.size();
    while (end > 0 && IsBlankOrControl(r[end - 1])) --end;
    r.resize(end);
    result = std::move(r);
}

int StrToIntSafe(const std::wstring& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == L' ') ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) neg = s[i++] == L'-';
    int base = 10;
    if (i < s.size() && (s[i] == L'$' || s[i] == L'x' || s[i] == L'X')) {
        base = 16, ++i;
    } else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
        base = 16, i += 2;
    }
    int64_t v = 0;
    if (!ParseDigits(s, i, base, neg, v)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int LastCharPos(const std::wstring& ch, const std::wstring& s) {
    if (ch.empty()) return 0;
    size_t p = s.rfind(ch[0]);
    return p == std::wstring::npos ? 0 : static_cast<int>(p) + 1;
}

bool IsValidFileName(const std::wstring& name) {
    return name.find_first_of(L"\\/:*?<>|") == std::wstring::npos;
}

void EscapeAmpersands(const std::wstring& s, std::wstring& result) {
    std::wstring r;
    r.reserve(s.size());
    for (wchar_t c : s) {
        if (c == L'&') r += L"&&,";
        else r += c;
    }
    result = std::move(r);
}

void UnescapeAmpersands(const std::wstring& s, std::wstring& result) {
    std::wstring r = s;
    // Each pass shortens the text, so this ends.
    for (size_t p = r.find(L"&&,"); p != std::wstring::npos; p = r.find(L"&&,")) {
        std::wstring next;
        size_t from = 0;
        for (; p != std::wstring::npos; p = r.find(L"&&,", from)) {
            next.append(r, from, p - from);
            next += L'&';
            from = p + 3;
        }
        next.append(r, from, std::wstring::npos);
        r = std::move(next);
    }
    result = std::move(r);
}

bool GetVersionInfoList(const std::wstring& fileName, gui::TStringList& list) {
    static const wchar_t* const kKeys[] = {
        L"CompanyName",    L"FileDescription", L"FileVersion",      L"InternalName",
        L"LegalCopyright", L"LegalTrademarks", L"OriginalFilename", L"ProductName",
        L"ProductVersion", L"Comments",        L"SpecialBuild",     L"PrivateBuild",
        L"Sample-Number",
    };
    DWORD dummy = 0;
    DWORD size = ::GetFileVersionInfoSizeW(fileName.c_str(), &dummy);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(fileName.c_str(), 0, size, data.data())) return false;

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* tr = nullptr;
    UINT trLen = 0;
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr),
                          &trLen) ||
        !tr || trLen < sizeof(Translation))
        return false;

    wchar_t prefix[40];
    ::swprintf(prefix, 40, L"\\StringFileInfo\\%04X%04X\\", tr->language, tr->codePage);
    for (const wchar_t* key : kKeys) {
        std::wstring query = std::wstring(prefix) + key;
        wchar_t* value = nullptr;
        UINT len = 0;
        if (!::VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &len))
            continue;
        std::wstring v = value ? std::wstring(value, len) : std::wstring();
        CutAtNul(v, v);
        std::wstring row = key;
        if (row.size() < 16) row.append(16 - row.size(), L' ');
        list.Add(row + L"：" + v);
    }
    return true;
}

void GetFileDescription(const std::wstring& fileName, std::wstring& desc) {
    gui::TStringList rows;
    std::wstring description, version;
    bool hasDescription = false;
    if (GetVersionInfoList(fileName, rows)) {
        for (int i = 0; i < rows.Count(); ++i) {
            const std::wstring& row = rows[i];
            std::wstring value = row.size() > 17 ? row.substr(17) : L"";
            if (row.compare(0, 16, L"FileDescription ") == 0) description = value, hasDescription = true;
            else if (row.compare(0, 16, L"FileVersion     ") == 0) version = value;
        }
    }
    desc = hasDescription && description != version ? description : L"";
}

namespace {

bool IsContinuation(unsigned char b) { return b >= 0x80 && b <= 0xBF; }

// Whether every byte of 0x80 or above in the line belongs to a well-formed
// UTF-8 sequence; a sequence cut off by the end of the line is not.
bool IsWellFormedUtf8(std::string_view line) {
    size_t i = 0;
    const size_t n = line.size();
    auto at = [&](size_t k) { return static_cast<unsigned char>(line[k]); };
    while (i < n) {
        unsigned char b = at(i);
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t follow;
        unsigned char lo = 0x80, hi = 0xBF;  // range of the first continuation byte
        if (b >= 0xC2 && b <= 0xDF) follow = 1;
        else if (b == 0xE0) follow = 2, lo = 0xA0;
        else if (b >= 0xE1 && b <= 0xEF) follow = 2;
        else if (b == 0xF0) follow = 3, lo = 0x90;
        else if (b >= 0xF1 && b <= 0xF3) follow = 3;
        else if (b == 0xF4) follow = 3, hi = 0x8F;
        else return false;
        if (i + follow >= n) return false;
        if (at(i + 1) < lo || at(i + 1) > hi) return false;
        for (size_t k = 2; k <= follow; ++k)
            if (!IsContinuation(at(i + k))) return false;
        i += follow + 1;
    }
    return true;
}

// A file without a mark is UTF-8 when one of its lines has bytes of 0x80 or
// above and is well-formed UTF-8. The raw bytes are tested: code page 932
// never uses CR or LF inside a character, so splitting the bytes at them
// gives the same lines as decoding would, without the decoding changing
// bytes it cannot map.
bool HasUtf8Line(std::string_view bytes) {
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        bool high = false;
        for (char c : line)
            if (static_cast<unsigned char>(c) >= 0x80) {
                high = true;
                break;
            }
        if (high && IsWellFormedUtf8(line)) return true;
        pos = end + 1;
    }
    return false;
}

}  // namespace

gui::TTextEncoding DetectTextEncoding(const std::wstring& fileName, int& kind) {
    gui::TTextEncoding enc = gui::TTextEncoding::Ansi;
    std::string bytes;
    if (FileExistsSafe(fileName) && gui::ReadWholeFile(fileName, bytes, FILE_SHARE_READ)) {
        size_t bom = 0;
        enc = gui::DetectBom(bytes, &bom);
        if (bom == 0 && HasUtf8Line(bytes)) enc = gui::TTextEncoding::Utf8NoBom;
    }
    kind = static_cast<int>(enc);
    return enc;
}

bool IsTextFile(const std::wstring& fileName) {
    if (!FileExistsSafe(fileName)) return true;
    gui::FileHandle f(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    unsigned char buf[300];
    DWORD got = 0;
    if (!::ReadFile(f.get(), buf, sizeof(buf), &got, nullptr)) return false;

    auto isControl = [](unsigned c) { return c < 32 && c != 9 && c != 10 && c != 13; };
    // A UTF-16 file (marked, as this program writes them) is scanned by
    // characters: its zero high bytes are not control codes.
    const bool le = got >= 2 && buf[0] == 0xFF && buf[1] == 0xFE;
    const bool be = got >= 2 && buf[0] == 0xFE && buf[1] == 0xFF;
    if (le || be) {
        for (DWORD i = 2; i + 1 < got; i += 2) {
            unsigned c = le ? buf[i] | (buf[i + 1] << 8) : (buf[i] << 8) | buf[i + 1];
            if (isControl(c)) return false;
        }
        return true;
    }
    for (DWORD i = 0; i < got; ++i)
        if (isControl(buf[i])) return false;
    return true;
}

bool WriteListFile(const gui::TStringList& list, const std::wstring& fileName,
                   gui::TTextEncoding encoding) {
    bool ok = true;
    if (FileExistsSafe(fileName)) {
        // Refuse a file another program has open, as replacing it under that
        // program would lose what it writes.
        gui::FileHandle f(::CreateFileW(fileName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ok = static_cast<bool>(f);
    }
    if (ok) ok = gui::WriteWholeFile(fileName, list.TextBytes(encoding));
    SetCurrentFolderToProgram();
    return ok;
}

int ReadListFile(gui::TStringList& list, const std::wstring& fileName, gui::TTextEncoding encoding) {
    list.Clear();
    std::string bytes;
    if (FileExistsSafe(fileName) && gui::ReadWholeFile(fileName, bytes))
        list.SetTextBytes(bytes, encoding);
    SetCurrentFolderToProgram();
    return list.Count();
}

namespace {

// One try: true when the text is on the clipboard.
bool PutClipboardText(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    bool ok = false;
    if (::EmptyClipboard()) {
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
            if (void* p = ::GlobalLock(mem)) {
                std::memcpy(p, text.c_str(), bytes);
                ::GlobalUnlock(mem);
                ok = ::SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
            }
            if (!ok) ::GlobalFree(mem);  // the clipboard owns it only on success
        }
    }
    ::CloseClipboard();
    return ok;
}

}  // namespace

bool SetClipboardTextRetry(const std::wstring& text) {
    HWND owner = gui::Application ? gui::Application->Handle() : nullptr;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (PutClipboardText(owner, text)) return true;
        ::Sleep(100);
    }
    return false;
}

bool ConvertAnsiFileToUtf16(const std::wstring& fileName) {
    if (!FileExistsSafe(fileName)) return false;
    int kind = 0;
    DetectTextEncoding(fileName, kind);
    if (kind != static_cast<int>(gui::TTextEncoding::Ansi)) return false;
    try {
        gui::TStringList lines;
        lines.LoadFromFile(fileName, gui::TTextEncoding::Ansi);
        lines.SaveToFile(fileName, gui::TTextEncoding::Utf16LE);
        return true;
    } catch (const gui::Exception&) {
        return false;  // unreadable or unwritable: it is read as it is
    }
}

gui::TMemIniFile OpenUtf16IniFile(const std::wstring& fileName) {
    int kind = 0;
    DetectTextEncoding(fileName, kind);
    gui::TTextEncoding readAs = kind == static_cast<int>(gui::TTextEncoding::Utf8NoBom)
                                    ? gui::TTextEncoding::Utf8NoBom
                                    : gui::TTextEncoding::Utf16LE;
    gui::TMemIniFile ini(fileName, readAs);
    ini.SetEncoding(gui::TTextEncoding::Utf16LE);
    return ini;
}
