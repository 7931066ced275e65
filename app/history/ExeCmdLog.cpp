#include "app/history/ExeCmdLog.h"

#include <algorithm>

#include "gui/IniFile.h"

std::wstring ExeCmdSection(const std::wstring& programPath) {
    const size_t slash = programPath.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? programPath : programPath.substr(slash + 1);
}

std::vector<std::wstring> ReadExeCmdOptions(const std::wstring& logFile, const std::wstring& programPath) {
    const gui::TMemIniFile ini(logFile);
    const std::wstring section = ExeCmdSection(programPath);
    std::vector<std::wstring> options;
    // The options the section holds below its count, in order; a missing
    // one would be empty and left out, so no range the count claims is read.
    const int count = ini.ReadInteger(section, L"Count", 0);
    for (const int k : ini.KeyIndexes(section, L"Option")) {
        if (k >= count) break;
        std::wstring option = ini.ReadString(section, L"Option" + std::to_wstring(k), L"");
        if (!option.empty()) options.push_back(std::move(option));
    }
    return options;
}

bool WriteExeCmdOptions(const std::wstring& logFile, const std::wstring& programPath,
                        const std::vector<std::wstring>& options) {
    // Opened on the existing file, so the other programs' sections and the
    // encoding found stay as they are.
    gui::TMemIniFile ini(logFile);
    const std::wstring section = ExeCmdSection(programPath);
    ini.WriteInteger(section, L"Count", static_cast<int>(options.size()));
    for (size_t i = 0; i < options.size(); ++i)
        if (!options[i].empty()) ini.WriteString(section, L"Option" + std::to_wstring(i), options[i]);
    return ini.UpdateFile();
}
