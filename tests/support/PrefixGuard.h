// Guards for tests that change the Wine prefix outside a scratch folder: a
// file or a registry key is put back exactly as it was when the guard goes,
// also when an assertion ended the test early.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"

namespace testing_support {

// A file's bytes, or its absence, taken when the guard is made and restored
// when it goes.
class FileRestore {
public:
    explicit FileRestore(std::wstring path) : path_(std::move(path)) {
        existed_ = ::GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (existed_) bytes_ = ReadBytes(path_);
    }
    ~FileRestore() {
        if (existed_) WriteBytes(path_, bytes_);
        else ::DeleteFileW(path_.c_str());
    }
    FileRestore(const FileRestore&) = delete;
    FileRestore& operator=(const FileRestore&) = delete;

private:
    std::wstring path_;
    bool existed_ = false;
    std::string bytes_;
};

// One registry value (its type and data, or its absence), taken when the
// guard is made and restored when it goes. The key stays.
class RegValueRestore {
public:
    RegValueRestore(HKEY root, std::wstring subKey, std::wstring name)
        : root_(root), subKey_(std::move(subKey)), name_(std::move(name)) {
        DWORD size = 0;
        existed_ = ::RegGetValueW(root_, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                                  &size) == ERROR_SUCCESS;
        if (existed_) {
            data_.resize(size);
            ::RegGetValueW(root_, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                           data_.empty() ? nullptr : data_.data(), &size);
            data_.resize(size);
        }
    }
    ~RegValueRestore() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        if (existed_)
            ::RegSetValueExW(key, name_.c_str(), 0, type_, data_.empty() ? nullptr : data_.data(),
                             static_cast<DWORD>(data_.size()));
        else
            ::RegDeleteValueW(key, name_.c_str());
        ::RegCloseKey(key);
    }
    RegValueRestore(const RegValueRestore&) = delete;
    RegValueRestore& operator=(const RegValueRestore&) = delete;

private:
    HKEY root_;
    std::wstring subKey_, name_;
    bool existed_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

// A registry key with its values and sub-keys, or its absence, taken when
// the guard is made and restored when it goes.
class RegKeyRestore {
public:
    RegKeyRestore(HKEY root, std::wstring subKey) : root_(root), subKey_(std::move(subKey)) {
        HKEY key = nullptr;
        existed_ = ::RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (existed_) {
            Read(key, saved_);
            ::RegCloseKey(key);
        }
    }
    ~RegKeyRestore() {
        ::RegDeleteTreeW(root_, subKey_.c_str());
        if (!existed_) return;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(root_, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        Write(key, saved_);
        ::RegCloseKey(key);
    }
    RegKeyRestore(const RegKeyRestore&) = delete;
    RegKeyRestore& operator=(const RegKeyRestore&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    struct Key {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Key>> subKeys;
    };

    static void Read(HKEY key, Key& into) {
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD nameLen = 16384, type = 0, size = 0;
            if (::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            Value v{std::wstring(name, nameLen), type, std::vector<BYTE>(size)};
            nameLen = 16384;
            ::RegEnumValueW(key, i, name, &nameLen, nullptr, &type, v.data.empty() ? nullptr : v.data.data(), &size);
            v.data.resize(size);
            into.values.push_back(std::move(v));
        }
        for (DWORD i = 0;; ++i) {
            wchar_t name[256];
            DWORD nameLen = 256;
            if (::RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            HKEY sub = nullptr;
            if (::RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
            into.subKeys.emplace_back(std::wstring(name, nameLen), Key{});
            Read(sub, into.subKeys.back().second);
            ::RegCloseKey(sub);
        }
    }
    static void Write(HKEY key, const Key& from) {
        for (const Value& v : from.values)
            ::RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.empty() ? nullptr : v.data.data(),
                             static_cast<DWORD>(v.data.size()));
        for (const auto& [name, sub] : from.subKeys) {
            HKEY k = nullptr;
            if (::RegCreateKeyExW(key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
                ERROR_SUCCESS)
                continue;
            Write(k, sub);
            ::RegCloseKey(k);
        }
    }

    HKEY root_;
    std::wstring subKey_;
    bool existed_ = false;
    Key saved_;
};

}  // namespace testing_support
