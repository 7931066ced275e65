#include "app/ErrorLog.h"

#include <windows.h>

#include "toolkit/QuorvinText.h"

std::wstring ErrorLogTimestamp() {
    wchar_t date[80] = {}, time[80] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 80);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, 80);
    return std::wstring(date) + L" " + time;
}

std::wstring ErrorLogLine(const std::wstring& message) {
    return ErrorLogTimestamp() + L" : " + message;
}

bool AppendErrorLog(const std::wstring& folder, const std::wstring& line) {
    const std::wstring file = folder + L"Error.log";
    gui::TStringList lines;
    ReadListFile(lines, file, gui::TTextEncoding::Ansi);
    lines.Add(line);
    return WriteListFile(lines, file, gui::TTextEncoding::Ansi);
}

bool IsListIndexError(const std::wstring& text) {
    return text.find(L"リストのインデックスが範囲を超えています") != std::wstring::npos;
}
