// "ExeCmd.log": the command-line options used before with each program, one
// section per program file name (with extension, without folder), so
// programs of the same name in different folders share one list. The list
// is "Count" and "Option0".. "Option<Count-1>", most recently used first;
// keys above Count are left in the file and ignored. The file is written
// back in the encoding it was found in; a new file in the system code page.
#pragma once

#include <string>
#include <vector>

inline constexpr wchar_t kExeCmdLogName[] = L"ExeCmd.log";

// The section of a program: its file name without folder.
std::wstring ExeCmdSection(const std::wstring& programPath);
// The non-empty options kept for the program, in order.
std::vector<std::wstring> ReadExeCmdOptions(const std::wstring& logFile, const std::wstring& programPath);
// Stores the list: Count is its length, each non-empty option its key.
// False when the file could not be written (it is then as it was).
bool WriteExeCmdOptions(const std::wstring& logFile, const std::wstring& programPath,
                        const std::vector<std::wstring>& options);
