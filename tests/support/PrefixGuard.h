// Guards for tests that change the Wine prefix outside a scratch folder: a
// file or a registry key is put back exactly as it was when the guard goes,
// also when an assertion ended the test early. Each guard also writes what
// it must put back into a journal of the test program in the prefix, and
// drops that entry once it has restored; a program killed at its time limit
// leaves its entries behind, and the program's next start puts them back
// before any case runs.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestSupport.h"

namespace testing_support {

// Puts back what the journal of this test program holds from runs that
// ended without restoring (their process is gone), latest first. Runs once
// as the program starts, in every program that includes this header.
bool RestoreLeftovers();
inline const bool leftoversRestored = RestoreLeftovers();

// One entry of the program's journal: written by Write, dropped by Done.
class JournalEntry {
public:
    JournalEntry() = default;
    ~JournalEntry() { Done(); }
    void Write(const std::string& record);
    JournalEntry(const JournalEntry&) = delete;
    JournalEntry& operator=(const JournalEntry&) = delete;
    void Done();

private:
    std::wstring file_;
};

// A file's bytes, or its absence, taken when the guard is made and restored
// when it goes.
class FileRestore {
public:
    explicit FileRestore(std::wstring path);
    ~FileRestore();
    FileRestore(const FileRestore&) = delete;
    FileRestore& operator=(const FileRestore&) = delete;

    struct Saved {
        std::wstring path;
        bool existed = false;
        std::string bytes;
        void PutBack() const;
    };

private:
    Saved saved_;
    JournalEntry entry_;
};

// One registry value (its type and data, or its absence), taken when the
// guard is made and restored when it goes. The key stays.
class RegValueRestore {
public:
    RegValueRestore(HKEY root, std::wstring subKey, std::wstring name);
    ~RegValueRestore();
    RegValueRestore(const RegValueRestore&) = delete;
    RegValueRestore& operator=(const RegValueRestore&) = delete;

    struct Saved {
        HKEY root = nullptr;
        std::wstring subKey, name;
        bool existed = false;
        DWORD type = 0;
        std::vector<BYTE> data;
        void PutBack() const;
    };

private:
    Saved saved_;
    JournalEntry entry_;
};

// A registry key with its values and sub-keys, or its absence, taken when
// the guard is made and restored when it goes.
class RegKeyRestore {
public:
    RegKeyRestore(HKEY root, std::wstring subKey);
    ~RegKeyRestore();
    RegKeyRestore(const RegKeyRestore&) = delete;
    RegKeyRestore& operator=(const RegKeyRestore&) = delete;

    struct Value {
        std::wstring name;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    struct Key {
        std::vector<Value> values;
        std::vector<std::pair<std::wstring, Key>> subKeys;
    };
    struct Saved {
        HKEY root = nullptr;
        std::wstring subKey;
        bool existed = false;
        Key tree;
        void PutBack() const;
    };

private:
    Saved saved_;
    JournalEntry entry_;
};

}  // namespace testing_support
