#include "gui/IniFile.h"

#include <windows.h>
#include <cwchar>

#include "gui/FileIO.h"

namespace gui {

namespace {

bool SameText(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned>(s[b]) <= L' ') ++b;
    while (e > b && static_cast<unsigned>(s[e - 1]) <= L' ') --e;
    return s.substr(b, e - b);
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
    if (base == 10 && v > (neg ? 2147483648LL : 2147483647LL)) return false;
    out = static_cast<int>(neg ? -v : v);
    return true;
}

}  // namespace

TMemIniFile::TMemIniFile(std::wstring fileName) : fileName_(std::move(fileName)) { Load(); }

TMemIniFile::TMemIniFile(std::wstring fileName, TTextEncoding encoding)
    : fileName_(std::move(fileName)) {
    Load();
    encoding_ = encoding;
}

void TMemIniFile::Load() {
    std::string bytes;
    if (!ReadWholeFile(fileName_, bytes)) return;
    loaded_ = true;
    size_t bom = 0;
    encoding_ = DetectBom(bytes, &bom);
    hadBom_ = bom > 0;
    SetText(DecodeText(std::string_view(bytes).substr(bom), encoding_));
}

void TMemIniFile::SetText(const std::wstring& text) {
    sections_.clear();
    Section* current = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", pos);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = Trim(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n')
            ++end;
        pos = end + 1;
        if (line.empty() || line[0] == L';') continue;
        if (line.front() == L'[' && line.back() == L']') {
            std::wstring name = Trim(line.substr(1, line.size() - 2));
            current = const_cast<Section*>(FindSection(name));
            if (!current) current = &AddSection(name);
            continue;
        }
        if (!current) continue;
        size_t eq = line.find(L'=');
        std::wstring key = eq == std::wstring::npos ? line : Trim(line.substr(0, eq));
        std::wstring value = eq == std::wstring::npos ? L"" : line.substr(eq + 1);
        current->values.emplace_back(std::move(key), std::move(value));
    }
}

std::wstring TMemIniFile::Text() const {
    std::wstring out;
    for (const Section& s : sections_) {
        out += L"[" + s.name + L"]\r\n";
        for (const auto& [k, v] : s.values) out += k + L"=" + v + L"\r\n";
        out += L"\r\n";
    }
    return out;
}

const TMemIniFile::Section* TMemIniFile::FindSection(const std::wstring& name) const {
    for (const Section& s : sections_)
        if (SameText(s.name, name)) return &s;
    return nullptr;
}

TMemIniFile::Section& TMemIniFile::AddSection(const std::wstring& name) {
    sections_.push_back(Section{name, {}});
    return sections_.back();
}

std::wstring TMemIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& def) const {
    if (const Section* s = FindSection(section))
        for (const auto& [k, v] : s->values)
            if (SameText(k, key)) return v;
    return def;
}

int TMemIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int def) const {
    int v;
    return ParseInt(ReadString(section, key, L""), v) ? v : def;
}

bool TMemIniFile::ReadBool(const std::wstring& section, const std::wstring& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& value) {
    Section* s = const_cast<Section*>(FindSection(section));
    if (!s) s = &AddSection(section);
    for (auto& [k, v] : s->values)
        if (SameText(k, key)) {
            v = value;
            return;
        }
    s->values.emplace_back(key, value);
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
    if (const Section* s = FindSection(section))
        for (const auto& kv : s->values)
            if (SameText(kv.first, key)) return true;
    return false;
}

std::vector<std::wstring> TMemIniFile::ReadSections() const {
    std::vector<std::wstring> out;
    for (const Section& s : sections_) out.push_back(s.name);
    return out;
}

std::vector<std::wstring> TMemIniFile::ReadSection(const std::wstring& section) const {
    std::vector<std::wstring> out;
    if (const Section* s = FindSection(section))
        for (const auto& kv : s->values) out.push_back(kv.first);
    return out;
}

void TMemIniFile::EraseSection(const std::wstring& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        if (SameText(it->name, section)) {
            sections_.erase(it);
            return;
        }
}

void TMemIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    Section* s = const_cast<Section*>(FindSection(section));
    if (!s) return;
    for (auto it = s->values.begin(); it != s->values.end(); ++it)
        if (SameText(it->first, key)) {
            s->values.erase(it);
            return;
        }
}

void TMemIniFile::Clear() { sections_.clear(); }

bool TMemIniFile::UpdateFile() const { return WriteWholeFile(fileName_, EncodeText(Text(), encoding_)); }

}  // namespace gui
