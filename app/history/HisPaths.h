// Paths as acting on history entries treats them: folder entries are kept
// without a trailing backslash except drive roots ("D:\"), so a trailing
// backslash marks a root, whose parent is This PC.
#pragma once

#include <string>

// The shell path of This PC.
inline const std::wstring kThisPCPath = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// The folder that holds the file or folder: "C:\Docs\a.txt" gives "C:\Docs",
// "C:\a.txt" and "C:\" give "C:\"; '' for a path without a backslash.
inline std::wstring FolderOfPath(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return L"";
    std::wstring dir = path.substr(0, slash);
    if (dir.size() == 2 && dir[1] == L':') dir += L'\\';
    return dir;
}

// The path up to and including its last backslash ('' without one), as
// "フォルダを開く" opens it.
inline std::wstring FolderWithBackslash(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

inline bool IsDriveRootPath(const std::wstring& path) { return !path.empty() && path.back() == L'\\'; }

// This PC for a drive root, else the folder that holds the path.
inline std::wstring ParentOfPath(const std::wstring& path) {
    return IsDriveRootPath(path) ? kThisPCPath : FolderOfPath(path);
}

inline std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }
