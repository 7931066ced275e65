#include "toolkit/PathUtils.h"

#include <algorithm>

namespace {

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') return path.substr(0, path.size() - 1);
    return path;
}

bool StartsWith(const std::wstring& s, const wchar_t* prefix) {
    return s.rfind(prefix, 0) == 0;
}

}  // namespace

int CountBackslashes(const std::wstring& path) {
    return static_cast<int>(std::count(path.begin(), path.end(), L'\\'));
}

bool IsDriveRootPath(const std::wstring& path) {
    if (path.size() != 3) return false;
    const wchar_t c = path[0];
    const bool letter = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    return letter && path[1] == L':' && path[2] == L'\\';
}

bool IsServerPath(const std::wstring& path) {
    const std::wstring p = WithoutTrailingBackslash(path);
    return p.size() >= 3 && StartsWith(p, L"\\\\") && CountBackslashes(p) == 2;
}

bool IsShareRootPath(const std::wstring& path) {
    const std::wstring p = WithoutTrailingBackslash(path);
    return p.size() >= 5 && StartsWith(p, L"\\\\") && CountBackslashes(p) == 3 &&
           !StartsWith(p, L"\\\\\\");
}
