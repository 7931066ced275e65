#include "tests/support/PrefixGuard.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace testing_support {

namespace {

// A record: a kind letter, then fields each led by its length.
class RecordWriter {
public:
    explicit RecordWriter(char kind) { out_.push_back(kind); }
    void Number(uint32_t n) { out_.append(reinterpret_cast<const char*>(&n), sizeof n); }
    void Bytes(const void* data, size_t size) {
        Number(static_cast<uint32_t>(size));
        out_.append(static_cast<const char*>(data), size);
    }
    void Text(const std::wstring& s) { Bytes(s.data(), s.size() * sizeof(wchar_t)); }
    const std::string& Out() const { return out_; }

private:
    std::string out_;
};

// Reads what RecordWriter wrote; every length is bounded by what is left,
// and a short or damaged record reads as failed.
class RecordReader {
public:
    explicit RecordReader(const std::string& in) : in_(in) {}
    char Kind() { return pos_ < in_.size() ? in_[pos_++] : (ok_ = false, '\0'); }
    uint32_t Number() {
        uint32_t n = 0;
        if (in_.size() - pos_ < sizeof n) return ok_ = false, 0;
        std::memcpy(&n, in_.data() + pos_, sizeof n);
        pos_ += sizeof n;
        return n;
    }
    std::string Bytes() {
        const uint32_t size = Number();
        if (!ok_ || in_.size() - pos_ < size) return ok_ = false, std::string();
        std::string b = in_.substr(pos_, size);
        pos_ += size;
        return b;
    }
    std::wstring Text() {
        const std::string b = Bytes();
        std::wstring s(b.size() / sizeof(wchar_t), L'\0');
        if (!s.empty()) std::memcpy(s.data(), b.data(), s.size() * sizeof(wchar_t));
        return s;
    }
    bool Ok() const { return ok_; }

private:
    const std::string& in_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::wstring ProgramName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n < MAX_PATH ? n : 0);
    const size_t slash = p.find_last_of(L"\\/");
    return slash == std::wstring::npos ? p : p.substr(slash + 1);
}

// The journal folder of this test program, in the prefix's temporary folder.
std::wstring JournalFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"orv-restore-journal";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    dir += L"\\" + ProgramName();
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir + L"\\";
}

bool ProcessRuns(DWORD pid) {
    HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h) return false;
    const bool runs = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    ::CloseHandle(h);
    return runs;
}

void WriteKey(RecordWriter& w, const RegKeyRestore::Key& key) {
    w.Number(static_cast<uint32_t>(key.values.size()));
    for (const auto& v : key.values) {
        w.Text(v.name);
        w.Number(v.type);
        w.Bytes(v.data.data(), v.data.size());
    }
    w.Number(static_cast<uint32_t>(key.subKeys.size()));
    for (const auto& [name, sub] : key.subKeys) {
        w.Text(name);
        WriteKey(w, sub);
    }
}

bool ReadKey(RecordReader& r, RegKeyRestore::Key& key, int depth) {
    if (depth > 64) return false;
    const uint32_t values = r.Number();
    for (uint32_t i = 0; i < values && r.Ok(); ++i) {
        RegKeyRestore::Value v;
        v.name = r.Text();
        v.type = r.Number();
        const std::string data = r.Bytes();
        v.data.assign(data.begin(), data.end());
        key.values.push_back(std::move(v));
    }
    const uint32_t subs = r.Number();
    for (uint32_t i = 0; i < subs && r.Ok(); ++i) {
        std::wstring name = r.Text();
        key.subKeys.emplace_back(std::move(name), RegKeyRestore::Key{});
        if (!ReadKey(r, key.subKeys.back().second, depth + 1)) return false;
    }
    return r.Ok();
}

std::string Record(const FileRestore::Saved& s) {
    RecordWriter w('F');
    w.Text(s.path);
    w.Number(s.existed);
    w.Bytes(s.bytes.data(), s.bytes.size());
    return w.Out();
}

std::string Record(const RegValueRestore::Saved& s) {
    RecordWriter w('V');
    w.Number(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s.root)));
    w.Text(s.subKey);
    w.Text(s.name);
    w.Number(s.existed);
    w.Number(s.type);
    w.Bytes(s.data.data(), s.data.size());
    return w.Out();
}

std::string Record(const RegKeyRestore::Saved& s) {
    RecordWriter w('K');
    w.Number(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s.root)));
    w.Text(s.subKey);
    w.Number(s.existed);
    WriteKey(w, s.tree);
    return w.Out();
}

HKEY Root(uint32_t n) { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(n)); }

// Puts back what one record holds; false when it cannot be read.
bool PutBack(const std::string& record) {
    RecordReader r(record);
    switch (r.Kind()) {
        case 'F': {
            FileRestore::Saved s;
            s.path = r.Text();
            s.existed = r.Number() != 0;
            s.bytes = r.Bytes();
            if (!r.Ok()) return false;
            s.PutBack();
            return true;
        }
        case 'V': {
            RegValueRestore::Saved s;
            s.root = Root(r.Number());
            s.subKey = r.Text();
            s.name = r.Text();
            s.existed = r.Number() != 0;
            s.type = r.Number();
            const std::string data = r.Bytes();
            s.data.assign(data.begin(), data.end());
            if (!r.Ok()) return false;
            s.PutBack();
            return true;
        }
        case 'K': {
            RegKeyRestore::Saved s;
            s.root = Root(r.Number());
            s.subKey = r.Text();
            s.existed = r.Number() != 0;
            if (!ReadKey(r, s.tree, 0)) return false;
            s.PutBack();
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

bool RestoreLeftovers() {
    const std::wstring dir = JournalFolder();
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd{};
    HANDLE find = ::FindFirstFileW((dir + L"*.rec").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do names.push_back(fd.cFileName);
        while (::FindNextFileW(find, &fd));
        ::FindClose(find);
    }
    // Named "<time>-<process id>-<sequence>.rec", time and sequence
    // zero-padded: the latest change is put back first, so the oldest
    // state wins.
    std::sort(names.rbegin(), names.rend());
    for (const std::wstring& name : names) {
        const size_t dash = name.find(L'-');
        if (dash == std::wstring::npos) continue;
        const DWORD pid = static_cast<DWORD>(std::wcstoul(name.c_str() + dash + 1, nullptr, 10));
        if (pid == ::GetCurrentProcessId() || ProcessRuns(pid)) continue;
        PutBack(ReadBytes(dir + name));
        ::DeleteFileW((dir + name).c_str());
    }
    return true;
}

void JournalEntry::Write(const std::string& record) {
    Done();
    static LONG sequence = 0;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long time = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    wchar_t name[80];
    std::swprintf(name, 80, L"%020llu-%lu-%010ld.rec", time, ::GetCurrentProcessId(),
                  ::InterlockedIncrement(&sequence));
    file_ = JournalFolder() + name;
    if (!WriteBytes(file_, record)) file_.clear();
}

void JournalEntry::Done() {
    if (!file_.empty()) ::DeleteFileW(file_.c_str());
    file_.clear();
}

FileRestore::FileRestore(std::wstring path) {
    saved_.path = std::move(path);
    saved_.existed = ::GetFileAttributesW(saved_.path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (saved_.existed) saved_.bytes = ReadBytes(saved_.path);
    entry_.Write(Record(saved_));
}

FileRestore::~FileRestore() {
    saved_.PutBack();
    entry_.Done();
}

void FileRestore::Saved::PutBack() const {
    if (existed) WriteBytes(path, bytes);
    else ::DeleteFileW(path.c_str());
}

RegValueRestore::RegValueRestore(HKEY root, std::wstring subKey, std::wstring name) {
    saved_.root = root;
    saved_.subKey = std::move(subKey);
    saved_.name = std::move(name);
    DWORD size = 0;
    saved_.existed = ::RegGetValueW(root, saved_.subKey.c_str(), saved_.name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                                    &saved_.type, nullptr, &size) == ERROR_SUCCESS;
    if (saved_.existed) {
        saved_.data.resize(size);
        ::RegGetValueW(root, saved_.subKey.c_str(), saved_.name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &saved_.type,
                       saved_.data.empty() ? nullptr : saved_.data.data(), &size);
        saved_.data.resize(size);
    }
    entry_.Write(Record(saved_));
}

RegValueRestore::~RegValueRestore() {
    saved_.PutBack();
    entry_.Done();
}

void RegValueRestore::Saved::PutBack() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (existed)
        ::RegSetValueExW(key, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                         static_cast<DWORD>(data.size()));
    else
        ::RegDeleteValueW(key, name.c_str());
    ::RegCloseKey(key);
}

namespace {

void ReadTree(HKEY key, RegKeyRestore::Key& into) {
    for (DWORD i = 0;; ++i) {
        std::vector<wchar_t> name(16384);
        DWORD nameLen = 16384, type = 0, size = 0;
        if (::RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        RegKeyRestore::Value v{std::wstring(name.data(), nameLen), type, std::vector<BYTE>(size)};
        nameLen = 16384;
        ::RegEnumValueW(key, i, name.data(), &nameLen, nullptr, &type, v.data.empty() ? nullptr : v.data.data(),
                        &size);
        v.data.resize(size);
        into.values.push_back(std::move(v));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLen = 256;
        if (::RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (::RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        into.subKeys.emplace_back(std::wstring(name, nameLen), RegKeyRestore::Key{});
        ReadTree(sub, into.subKeys.back().second);
        ::RegCloseKey(sub);
    }
}

void WriteTree(HKEY key, const RegKeyRestore::Key& from) {
    for (const auto& v : from.values)
        ::RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                         static_cast<DWORD>(v.data.size()));
    for (const auto& [name, sub] : from.subKeys) {
        HKEY k = nullptr;
        if (::RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            continue;
        WriteTree(k, sub);
        ::RegCloseKey(k);
    }
}

}  // namespace

RegKeyRestore::RegKeyRestore(HKEY root, std::wstring subKey) {
    saved_.root = root;
    saved_.subKey = std::move(subKey);
    HKEY key = nullptr;
    saved_.existed = ::RegOpenKeyExW(root, saved_.subKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (saved_.existed) {
        ReadTree(key, saved_.tree);
        ::RegCloseKey(key);
    }
    entry_.Write(Record(saved_));
}

RegKeyRestore::~RegKeyRestore() {
    saved_.PutBack();
    entry_.Done();
}

void RegKeyRestore::Saved::PutBack() const {
    ::RegDeleteTreeW(root, subKey.c_str());
    ::RegDeleteKeyW(root, subKey.c_str());
    if (!existed) return;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    WriteTree(key, tree);
    ::RegCloseKey(key);
}

}  // namespace testing_support
