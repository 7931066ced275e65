// Test programs that run the real Orvandel.exe change the roaming AppData
// folder of the Wine prefix (its settings folder, written whole at every
// close), its registry or its drive letters. They run only in the private
// prefixes scripts/test makes for each run, and refuse (every case fails at
// once) anywhere else.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>

namespace testing_support {

// True for the prefixes scripts/test makes: its first prefix, whose path ends
// in "/wine/test-prefix", and the copy of each desktop slot, ending in
// "/wine/test-slot<N>/prefix" (trailing slashes aside).
inline bool IsTestPrefixPath(std::wstring prefix) {
    while (!prefix.empty() && prefix.back() == L'/') prefix.pop_back();
    auto endsWith = [&](const std::wstring& tail) {
        return prefix.size() >= tail.size() && prefix.compare(prefix.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(L"/wine/test-prefix")) return true;
    const std::wstring tail = L"/prefix";
    if (!endsWith(tail)) return false;
    std::wstring world = prefix.substr(0, prefix.size() - tail.size());
    size_t digits = 0;
    while (digits < world.size() && iswdigit(world[world.size() - 1 - digits])) ++digits;
    if (digits == 0) return false;
    world.resize(world.size() - digits);
    const std::wstring slot = L"/wine/test-slot";
    return world.size() >= slot.size() && world.compare(world.size() - slot.size(), slot.size(), slot) == 0;
}

// True in a prefix scripts/test makes (Wine hands the Unix environment on).
inline bool InTestPrefix() {
    wchar_t buf[4096] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"WINEPREFIX", buf, 4096);
    if (n == 0 || n >= 4096) return false;
    return IsTestPrefixPath(std::wstring(buf, n));
}

class RequireTestPrefix : public testing::Environment {
public:
    void SetUp() override {
        if (!InTestPrefix()) FAIL() << "refused: runs only in the Wine prefix scripts/test makes";
    }
};

}  // namespace testing_support
