// Recognising drive roots, server names and share roots in paths.
#pragma once

#include <string>

// "C:\": exactly an ASCII letter, a colon and a backslash.
bool IsDriveRootPath(const std::wstring& path);
// "\\server" (one trailing backslash allowed).
bool IsServerPath(const std::wstring& path);
// "\\server\share" (one trailing backslash allowed).
bool IsShareRootPath(const std::wstring& path);
int CountBackslashes(const std::wstring& path);
