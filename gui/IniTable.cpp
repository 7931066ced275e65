#include "gui/IniTable.h"

#include <algorithm>
#include <utility>

namespace gui {

namespace {

template <class... F> struct TOverload : F... {
    using F::operator()...;
};
template <class... F> TOverload(F...) -> TOverload<F...>;

int InRange(int v, int def, const TIniRange& r) {
    if (v >= r.Lo && v <= r.Hi) return v;
    return r.Out == TOutOfRange::Clamp ? std::clamp(v, r.Lo, r.Hi) : def;
}

}  // namespace

TIniEntry IniInt(std::wstring section, std::wstring key, int& value, int def, TIniRange range) {
    return {std::move(section), std::move(key), TIniInt{&value, def, range}};
}

TIniEntry IniBool(std::wstring section, std::wstring key, bool& value, bool def) {
    return {std::move(section), std::move(key), TIniBool{&value, def}};
}

TIniEntry IniString(std::wstring section, std::wstring key, std::wstring& value, std::wstring def) {
    return {std::move(section), std::move(key), TIniString{&value, std::move(def)}};
}

TIniEntry IniBounds(std::wstring section, TBounds& bounds, TBoundsKeys keys, bool saved) {
    return IniBounds(std::move(section), bounds.Left, bounds.Top, bounds.Width, bounds.Height, keys, saved);
}

TIniEntry IniBounds(std::wstring section, int& left, int& top, int& width, int& height, TBoundsKeys keys,
                    bool saved) {
    return {std::move(section), L"", TIniBounds{&left, &top, &width, &height, keys}, saved};
}

TIniEntry IniRows(std::function<void(const TMemIniFile&)> read, std::function<void(TMemIniFile&)> write) {
    return {L"", L"", TIniRows{std::move(read), std::move(write)}};
}

void LoadIniTable(const TMemIniFile& ini, const TIniTable& table) {
    for (const TIniEntry& e : table)
        std::visit(TOverload{
                       [&](const TIniInt& v) {
                           *v.Value = InRange(ini.ReadInteger(e.Section, e.Key, v.Default), v.Default, v.Range);
                       },
                       [&](const TIniBool& v) { *v.Value = ini.ReadBool(e.Section, e.Key, v.Default); },
                       [&](const TIniString& v) { *v.Value = ini.ReadString(e.Section, e.Key, v.Default); },
                       [&](const TIniBounds& v) {
                           const TBounds b = ReadBounds(ini, e.Section, {*v.Left, *v.Top, *v.Width, *v.Height}, v.Keys);
                           *v.Left = b.Left, *v.Top = b.Top, *v.Width = b.Width, *v.Height = b.Height;
                       },
                       [&](const TIniRows& v) { v.Read(ini); },
                   },
                   e.Value);
}

void SaveIniTable(TMemIniFile& ini, const TIniTable& table) {
    for (const TIniEntry& e : table) {
        if (!e.Saved) continue;
        std::visit(TOverload{
                       [&](const TIniInt& v) { ini.WriteInteger(e.Section, e.Key, *v.Value); },
                       [&](const TIniBool& v) { ini.WriteBool(e.Section, e.Key, *v.Value); },
                       [&](const TIniString& v) { ini.WriteString(e.Section, e.Key, *v.Value); },
                       [&](const TIniBounds& v) {
                           WriteBounds(ini, e.Section, {*v.Left, *v.Top, *v.Width, *v.Height}, v.Keys);
                       },
                       [&](const TIniRows& v) { v.Write(ini); },
                   },
                   e.Value);
    }
}

}  // namespace gui
