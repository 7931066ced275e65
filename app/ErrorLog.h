// "Error.log" in the settings folder: one line per logged error, oldest
// first, the local date and time, " : " and the message.
#pragma once

#include <string>

// The date and time in the user's short date and long time formats.
std::wstring ErrorLogTimestamp();
// The line written for the message.
std::wstring ErrorLogLine(const std::wstring& message);
// Appends the line to the log in the system code page; false when the file
// is held by another program (nothing is written then).
bool AppendErrorLog(const std::wstring& folder, const std::wstring& line);
// The string lists' index-out-of-range error, taken as a damaged history list.
bool IsListIndexError(const std::wstring& text);
