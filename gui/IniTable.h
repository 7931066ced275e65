// TIniTable: a settings file's table. Every key of the file is one entry,
// listed once, in the order a new file holds them, and bound to the value
// it is loaded into and saved from; LoadIniTable reads every entry and
// SaveIniTable writes every entry, so no key is named twice.
//
// An entry's default is what a missing key gives; a table built from the
// values it binds can make a value's own state its default. An integer read
// outside its range is held to it or gives the default. A window's bounds
// are one entry (ReadBounds/WriteBounds), and rows of a list are an entry
// with a reader and a writer of their own. An entry marked not saved is left
// in the file as it was.
#pragma once

#include <climits>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "gui/IniFile.h"

namespace gui {

// What an integer read outside its range becomes.
enum class TOutOfRange { Clamp, Default };
struct TIniRange {
    int Lo = INT_MIN, Hi = INT_MAX;
    TOutOfRange Out = TOutOfRange::Clamp;
};

struct TIniInt {
    int* Value = nullptr;
    int Default = 0;
    TIniRange Range;
};
struct TIniBool {
    bool* Value = nullptr;
    bool Default = false;
};
struct TIniString {
    std::wstring* Value = nullptr;
    std::wstring Default;
};
// The four values a window's bounds are held in; a key the file lacks keeps
// the value as it was.
struct TIniBounds {
    int *Left = nullptr, *Top = nullptr, *Width = nullptr, *Height = nullptr;
    TBoundsKeys Keys = TBoundsKeys::All;
};
struct TIniRows {
    std::function<void(const TMemIniFile&)> Read;
    std::function<void(TMemIniFile&)> Write;
};

struct TIniEntry {
    std::wstring Section;
    std::wstring Key;  // empty for bounds and rows
    std::variant<TIniInt, TIniBool, TIniString, TIniBounds, TIniRows> Value;
    bool Saved = true;
};
using TIniTable = std::vector<TIniEntry>;

TIniEntry IniInt(std::wstring section, std::wstring key, int& value, int def, TIniRange range = {});
TIniEntry IniBool(std::wstring section, std::wstring key, bool& value, bool def);
TIniEntry IniString(std::wstring section, std::wstring key, std::wstring& value, std::wstring def);
TIniEntry IniBounds(std::wstring section, TBounds& bounds, TBoundsKeys keys = TBoundsKeys::All, bool saved = true);
TIniEntry IniBounds(std::wstring section, int& left, int& top, int& width, int& height,
                    TBoundsKeys keys = TBoundsKeys::All, bool saved = true);
TIniEntry IniRows(std::function<void(const TMemIniFile&)> read, std::function<void(TMemIniFile&)> write);

void LoadIniTable(const TMemIniFile& ini, const TIniTable& table);
void SaveIniTable(TMemIniFile& ini, const TIniTable& table);

}  // namespace gui
