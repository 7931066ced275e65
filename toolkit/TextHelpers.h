// Text helpers done the Windows way: comparing ignoring case (ordinal, by the
// system's upper-case table), upper and lower case by the system's tables
// (so fullwidth and accented letters change too), a path's file name and its
// extension in lower case, replacing every occurrence of a text, and a text as an
// optional argument of an API call. Header only, so the
// gui layer beneath the toolkit uses the same helpers; nothing here throws.
#pragma once

#include <windows.h>
#include <string>

// Whether a and b are the same text ignoring case.
inline bool SameText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

inline std::wstring UpperCase(std::wstring s) {
    if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

inline std::wstring LowerCase(std::wstring s) {
    if (!s.empty()) ::CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// The file name of path: what follows its last "\" (the whole path without one).
inline std::wstring FileNameOfPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The extension of the file name in path, lower-cased and with its ".": from
// the last "." after the last "\", "/" or ":"; '' when the name has none.
inline std::wstring LowerExt(const std::wstring& path) {
    const size_t dot = path.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || path[dot] != L'.') return {};
    return LowerCase(path.substr(dot));
}

// s with every occurrence of from replaced by to, from left to right; what
// was put in is not searched again. An empty from changes nothing.
inline std::wstring ReplaceAll(std::wstring s, const std::wstring& from, const std::wstring& to) {
    if (from.empty()) return s;
    for (size_t pos = 0; (pos = s.find(from, pos)) != std::wstring::npos; pos += to.size())
        s.replace(pos, from.size(), to);
    return s;
}

// The text for an optional string argument of an API call: nullptr when empty.
inline const wchar_t* OrNull(const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); }
