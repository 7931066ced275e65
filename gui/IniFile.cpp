#include "gui/IniFile.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "gui/FileIO.h"
#include "toolkit/TextHelpers.h"

namespace gui {

namespace {

std::wstring Trim(std::wstring_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned>(s[b]) <= L' ') ++b;
    while (e > b && static_cast<unsigned>(s[e - 1]) <= L' ') --e;
    return std::wstring(s.substr(b, e - b));
}

bool ParseInt(const std::wstring& raw, int& out) {
    std::wstring s = Trim(raw);
    if (s.empty()) return false;
    bool neg = false;
    size_t i = 0;
    if (s[i] == L'-' || s[i] == L'+') neg = s[i++] == L'-';
    int base = 10;
    if (i < s.size() && s[i] == L'$') base = 16, ++i;
    else if (i + 1 < s.size() && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) base = 16, i += 2;
    if (i >= s.size()) return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        int d;
        wchar_t c = s[i];
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL) return false;
    }
    // Hexadecimal may use all 32 bits ("$FFFFFFFF" is -1); decimal must fit.
    if (base == 10 && v > (neg ? 2147483648LL : 2147483647LL)) return false;
    out = static_cast<int>(static_cast<unsigned>(neg ? -v : v));
    return true;
}

// The n of a name `prefix` + n written in plain decimal (no sign, no leading
// zero, within int); -1 for any other name.
int IndexAfterPrefix(const std::wstring& name, const std::wstring& prefix) {
    if (name.size() <= prefix.size()) return -1;
    if (!SameText(name.substr(0, prefix.size()), prefix)) return -1;
    const size_t first = prefix.size();
    if (name[first] == L'0' && name.size() > first + 1) return -1;
    long long v = 0;
    for (size_t i = first; i < name.size(); ++i) {
        if (name[i] < L'0' || name[i] > L'9') return -1;
        v = v * 10 + (name[i] - L'0');
        if (v > 2147483647LL) return -1;
    }
    return static_cast<int>(v);
}

}  // namespace

TMemIniFile::TMemIniFile(std::wstring fileName) : fileName_(std::move(fileName)) { Load(nullptr); }

TMemIniFile::TMemIniFile(std::wstring fileName, TTextEncoding encoding)
    : fileName_(std::move(fileName)) {
    Load(&encoding);
}

void TMemIniFile::Load(const TTextEncoding* forced) {
    encoding_ = forced ? *forced : TTextEncoding::Ansi;
    std::string bytes;
    if (!ReadWholeFile(fileName_, bytes)) {
        DWORD attr = ::GetFileAttributesW(fileName_.c_str());
        unreadable_ = attr != INVALID_FILE_ATTRIBUTES;
        return;
    }
    loaded_ = true;
    size_t bom = 0;
    TTextEncoding found = DetectBom(bytes, &bom);
    hadBom_ = bom > 0;
    TTextEncoding readAs = found;
    if (!hadBom_ && forced && *forced != TTextEncoding::Utf16LE && *forced != TTextEncoding::Utf16BE)
        readAs = *forced;
    if (!forced) encoding_ = found;
    SetText(DecodeText(std::string_view(bytes).substr(bom), readAs));
}

void TMemIniFile::SetText(const std::wstring& text) {
    sections_.clear();
    Section* current = nullptr;
    for (const std::wstring& raw : SplitLines(text)) {
        std::wstring line = Trim(raw);
        if (line.empty() || line[0] == L';') continue;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            sections_.push_back(Section{Trim(std::wstring_view(line).substr(1, line.size() - 2)), {}});
            current = &sections_.back();
            continue;
        }
        if (!current) continue;  // no section yet: not part of any
        size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) {
            current->lines.push_back(Line{line, L"", false});
        } else {
            current->lines.push_back(Line{Trim(std::wstring_view(line).substr(0, eq)),
                                          Trim(std::wstring_view(line).substr(eq + 1)), true});
        }
    }
}

std::wstring TMemIniFile::Text() const {
    std::wstring out;
    for (const Section& s : sections_) {
        out += L"[" + s.name + L"]\r\n";
        for (const Line& l : s.lines) {
            out += l.name;
            if (l.isKey) out += L"=" + l.value;
            out += L"\r\n";
        }
        out += L"\r\n";
    }
    return out;
}

const TMemIniFile::Section* TMemIniFile::FindSection(const std::wstring& name) const {
    for (const Section& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

TMemIniFile::Section* TMemIniFile::FindSection(const std::wstring& name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const TMemIniFile::Line* TMemIniFile::FindKey(const std::wstring& section,
                                              const std::wstring& key) const {
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (l.isKey && SameText(l.name, key)) return &l;
    return nullptr;
}

std::wstring TMemIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& def) const {
    const Line* l = FindKey(section, key);
    return l ? l->value : def;
}

int TMemIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int def) const {
    const Line* l = FindKey(section, key);
    int v;
    return l && ParseInt(l->value, v) ? v : def;
}

bool TMemIniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) {
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (Line& l : s->lines)
        if (l.isKey && SameText(l.name, key)) {
            l.name = key;
            l.value = value;
            return;
        }
    s->lines.push_back(Line{key, value, true});
}

void TMemIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

void TMemIniFile::WriteBool(const std::wstring& section, const std::wstring& key, bool value) {
    WriteString(section, key, value ? L"1" : L"0");
}

bool TMemIniFile::SectionExists(const std::wstring& section) const {
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
    return FindKey(section, key) != nullptr;
}

std::vector<std::wstring> TMemIniFile::ReadSections() const {
    std::vector<std::wstring> out;
    for (const Section& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::wstring> TMemIniFile::ReadSection(const std::wstring& section) const {
    std::vector<std::wstring> out;
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (l.isKey) out.push_back(l.name);
    return out;
}

std::vector<int> TMemIniFile::KeyIndexes(const std::wstring& section, const std::wstring& prefix) const {
    std::vector<int> indexes;
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (l.isKey)
                if (const int n = IndexAfterPrefix(l.name, prefix); n >= 0) indexes.push_back(n);
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

int TMemIniFile::HighestSectionIndex(const std::wstring& prefix) const {
    int highest = -1;
    const int count = static_cast<int>(sections_.size());
    for (const Section& s : sections_) {
        const int n = IndexAfterPrefix(s.name, prefix);
        if (n < count) highest = std::max(highest, n);
    }
    return highest;
}

void TMemIniFile::EraseSection(const std::wstring& section) {
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameText(s.name, section); }),
                    sections_.end());
}

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    Section* s = FindSection(section);
    if (!s) return;
    s->lines.erase(std::remove_if(s->lines.begin(), s->lines.end(),
                                  [&](const Line& l) { return l.isKey && SameText(l.name, key); }),
                   s->lines.end());
}

void TMemIniFile::Clear() { sections_.clear(); }

bool TMemIniFile::UpdateFile() const {
    if (unreadable_) return false;
    return WriteWholeFile(fileName_, EncodeText(Text(), encoding_));
}

TBounds BoundsOf(const RECT& r) { return TBounds{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

TBounds ReadBounds(const TMemIniFile& ini, const std::wstring& section, TBounds bounds, TBoundsKeys keys) {
    bounds.Top = ini.ReadInteger(section, L"Top", bounds.Top);
    bounds.Left = ini.ReadInteger(section, L"Left", bounds.Left);
    if (keys == TBoundsKeys::All) bounds.Height = ini.ReadInteger(section, L"Height", bounds.Height);
    if (keys != TBoundsKeys::Position) bounds.Width = ini.ReadInteger(section, L"Width", bounds.Width);
    return bounds;
}

void WriteBounds(TMemIniFile& ini, const std::wstring& section, const TBounds& bounds, TBoundsKeys keys) {
    ini.WriteInteger(section, L"Top", bounds.Top);
    ini.WriteInteger(section, L"Left", bounds.Left);
    if (keys == TBoundsKeys::All) ini.WriteInteger(section, L"Height", bounds.Height);
    if (keys != TBoundsKeys::Position) ini.WriteInteger(section, L"Width", bounds.Width);
}

}  // namespace gui
