// String lists as plain vectors, so tests can compare and fill them in one line.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "gui/StringList.h"

namespace testing_support {

using Items = std::vector<std::wstring>;

inline Items ItemsOf(const gui::TStringList& list) {
    Items out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

inline void SetItems(gui::TStringList& list, const Items& items) {
    list.Clear();
    for (const auto& s : items) list.Add(s);
}

inline gui::TStringList Lines(std::initializer_list<std::wstring> items) {
    gui::TStringList list;
    for (const auto& s : items) list.Add(s);
    return list;
}

// prefix0, prefix1, ... prefix(n-1).
inline Items Numbered(const std::wstring& prefix, int n) {
    Items out;
    for (int i = 0; i < n; ++i) out.push_back(prefix + std::to_wstring(i));
    return out;
}

}  // namespace testing_support
