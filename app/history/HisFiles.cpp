#include "app/history/HisFiles.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "gui/ComponentStream.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "gui/Streams.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinText.h"

namespace {

using gui::TMemIniFile;
using gui::TStringList;
using gui::TTextEncoding;

// An exclusion list longer than this is no list the settings page made; the
// cap keeps a damaged Count from making loading take for ever.
const int kMaxExclusionItems = 1000;

const wchar_t* const kWindow = L"Window";
const wchar_t* const kHistory = L"History";
const wchar_t* const kFont = L"Font";
const wchar_t* const kClip = L"Clip";

// His.ini opened to be read and written back as UTF-16LE.
TMemIniFile OpenHisIni(const std::wstring& fileName) { return OpenUtf16IniFile(fileName); }

// Keys "0" up to Count (the last index), only those the section holds:
// missing and empty items mean nothing and are left out.
void ReadItems(const TMemIniFile& ini, const wchar_t* section, TStringList& items) {
    items.Clear();
    const int last = std::min(ini.ReadInteger(section, L"Count", -1), kMaxExclusionItems - 1);
    for (const int i : ini.KeyIndexes(section)) {
        if (i > last) break;
        std::wstring v = ini.ReadString(section, std::to_wstring(i), L"");
        if (!v.empty()) items.Add(v);
    }
}

void WriteItems(TMemIniFile& ini, const wchar_t* section, const TStringList& items) {
    ini.WriteInteger(section, L"Count", items.Count() - 1);
    for (int i = 0; i < items.Count(); ++i) ini.WriteString(section, std::to_wstring(i), items[i]);
}

// Replaces list by the lines of the file when it exists and can be read; a
// file that cannot be read leaves the list as it was and is noted in unread.
void LoadLineFile(const std::wstring& fileName, TStringList& list, std::set<std::wstring>& unread) {
    if (!FileExistsSafe(fileName)) return;
    try {
        TStringList lines;
        lines.LoadFromFile(fileName);
        list = lines;
        unread.erase(fileName);
    } catch (const gui::Exception&) {
        unread.insert(fileName);
    }
}

// A file noted as unread is kept as it is (and counts as saved).
bool SaveLineFile(const std::wstring& fileName, const TStringList& list,
                  const std::set<std::wstring>& unread) {
    if (unread.count(fileName)) return true;
    try {
        list.SaveToFile(fileName, TTextEncoding::Utf16LE);
        return true;
    } catch (const gui::Exception&) {
        return false;
    }
}

}  // namespace

std::wstring HisIniFileName(const std::wstring& folder) { return folder + L"His.ini"; }

std::wstring HisListFileName(const std::wstring& folder, int k, int c) {
    return folder + L"His" + std::to_wstring(k) + std::to_wstring(c) + L".lst";
}

bool ConvertAnsiHisIni(const std::wstring& fileName) { return ConvertAnsiFileToUtf16(fileName); }

namespace {

// One His.ini key bound to its member of the settings; the kind follows the
// member's type.
gui::TIniEntry Key(const wchar_t* section, std::wstring key, int& v, int def, gui::TIniRange range = {}) {
    return gui::IniInt(section, std::move(key), v, def, range);
}
gui::TIniEntry Key(const wchar_t* section, std::wstring key, bool& v, bool def) {
    return gui::IniBool(section, std::move(key), v, def);
}
gui::TIniEntry Key(const wchar_t* section, std::wstring key, std::wstring& v, const std::wstring& def) {
    return gui::IniString(section, std::move(key), v, def);
}

// An exclusion list, kept by its section.
gui::TIniEntry Items(const wchar_t* section, TStringList& items) {
    return gui::IniRows([section, &items](const TMemIniFile& ini) { ReadItems(ini, section, items); },
                        [section, &items](TMemIniFile& ini) { WriteItems(ini, section, items); });
}

// Every His.ini key, once, in the order a new file holds them, bound to s.
// A missing key gives the design default from d, or for the bounds and the
// font's style and colour the member's own value. Lengths, positions and
// choices are held to their ranges.
gui::TIniTable HisIniTable(THisSettings& s, const THisSettings& d) {
    gui::TIniTable t;
    // A maximised window keeps the bounds it had before.
    t.push_back(gui::IniBounds(kWindow, s.Left, s.Top, s.Width, s.Height, gui::TBoundsKeys::All, s.Normal));
    t.push_back(Key(kWindow, L"Normal", s.Normal, d.Normal));
    t.push_back(Key(kWindow, L"Min", s.CBAutoMin, d.CBAutoMin, {0, 60}));
    t.push_back(Key(kWindow, L"Min-Close", s.CHKAutoMin, d.CHKAutoMin));
    t.push_back(Key(kWindow, L"Trans", s.TrackBarTrans, d.TrackBarTrans, {20, 100}));
    t.push_back(Key(kWindow, L"ExeClose", s.TBExeClose, d.TBExeClose));
    t.push_back(Key(kWindow, L"CPUCore", s.TBCPUCore, d.TBCPUCore));
    t.push_back(Key(kWindow, L"Start", s.RadioGroupStart, d.RadioGroupStart, {0, 1}));
    t.push_back(Key(kWindow, L"Sort", s.TBSort, d.TBSort));
    t.push_back(Key(kWindow, L"Tab", s.Tab, d.Tab, {0, kHisCategories - 1}));
    t.push_back(Key(kWindow, L"Dir", s.MDir, d.MDir));
    t.push_back(Key(kWindow, L"ToolBarList", s.CHKTooBarList, d.CHKTooBarList));

    for (int i = 0; i < kHisCategories; ++i)
        t.push_back(
            Key(kHistory, L"List" + std::to_wstring(i), s.MHisListNum[i], d.MHisListNum[i], {0, kHisLengthMax}));
    for (int i = 0; i < kHisCategories; ++i)
        t.push_back(Key(kHistory, L"MenuItem" + std::to_wstring(i), s.MCHKHisMenuItem[i], d.MCHKHisMenuItem[i]));
    t.push_back(Key(kHistory, L"AutoDelete", s.CHKAutoDel, d.CHKAutoDel));
    t.push_back(Key(kHistory, L"NoSave", s.CHKNoSave, d.CHKNoSave));
    t.push_back(Key(kHistory, L"DeskTopWClick", s.CHKHookDesktop, d.CHKHookDesktop));
    t.push_back(Key(kHistory, L"DeskTopWClickKey", s.ComboBoxHook, d.ComboBoxHook, {0, 2}));

    t.push_back(Key(L"Icon", L"List", s.CHKIconList, d.CHKIconList));

    t.push_back(Key(L"HotKey", L"Show", s.EditHTKShow, d.EditHTKShow));
    t.push_back(Key(L"HotKey", L"Menu", s.EditHTKMenu, d.EditHTKMenu));
    t.push_back(Key(L"HotKey", L"Launch", s.EditHTKLaunch, d.EditHTKLaunch));

    t.push_back(Key(L"Address", L"Timing", s.CBPasteDir, d.CBPasteDir, {0, 4}));

    t.push_back(Key(kFont, L"Name", s.FontName, d.FontName));
    t.push_back(Key(kFont, L"Size", s.FontSize, d.FontSize));
    t.push_back(Key(kFont, L"Style", s.FontStyle, s.FontStyle));
    t.push_back(Key(kFont, L"Color", s.FontColor, s.FontColor));

    t.push_back(Key(L"Fav", L"Visible", s.TBFav, d.TBFav));
    t.push_back(Key(L"Fav", L"Height", s.MFavH, d.MFavH));
    t.push_back(Key(L"Edit", L"Visible", s.TBEdit, d.TBEdit));
    t.push_back(Key(L"Edit", L"Width", s.MEditW, d.MEditW));

    t.push_back(Items(L"Drive", s.ListBoxNoDrive));
    t.push_back(Key(L"Drive", L"Network", s.ChkNetwork, d.ChkNetwork));
    t.push_back(Items(L"Folder", s.ListBoxDir));
    t.push_back(Items(L"ExecuteFile", s.ListBoxExe));

    t.push_back(Key(kClip, L"Wait", s.UDWait, d.UDWait, {0, 1000}));
    t.push_back(Key(kClip, L"MAXClip", s.UDMaxClip, d.UDMaxClip, {8, 256}));
    t.push_back(Key(kClip, L"Paste", s.RadioGroupPaste, d.RadioGroupPaste, {0, 1}));
    t.push_back(Key(kClip, L"Sound Enabled", s.CHKWave, d.CHKWave));
    t.push_back(Key(kClip, L"Sound File", s.EditWave, d.EditWave));

    t.push_back(Key(L"Launch", L"Visible", s.FLaunchVisible, d.FLaunchVisible));
    return t;
}

}  // namespace

bool LoadHisIni(const std::wstring& fileName, THisSettings& s) {
    ConvertAnsiHisIni(fileName);
    const TMemIniFile ini = OpenHisIni(fileName);
    gui::LoadIniTable(ini, HisIniTable(s, DefaultHisSettings()));
    return !ini.Unreadable();
}

bool SaveHisIni(const std::wstring& fileName, const THisSettings& s) {
    TMemIniFile ini = OpenHisIni(fileName);
    // Saving takes no defaults: the settings stand in for them.
    THisSettings saved = s;
    gui::SaveIniTable(ini, HisIniTable(saved, saved));
    return ini.UpdateFile();
}

bool WriteClipListFile(const std::wstring& fileName, const TStringList& items) {
    try {
        gui::TMemoryStream stream;
        gui::WriteListBoxComponent(stream, "ListBoxClip", items);
        stream.SaveToFile(fileName);
        return true;
    } catch (const gui::Exception&) {
        return false;
    }
}

bool ReadClipListFile(const std::wstring& fileName, TStringList& items, bool* unreadable) {
    if (unreadable) *unreadable = false;
    gui::TMemoryStream stream;
    try {
        stream.LoadFromFile(fileName);
    } catch (const gui::Exception&) {
        if (unreadable) *unreadable = true;
        items.Clear();
        return false;
    }
    try {
        TStringList read;
        gui::ReadListBoxComponent(stream, read);
        items = read;
        return true;
    } catch (const gui::Exception&) {
        items.Clear();
        return false;
    }
}

void LoadHisLists(const std::wstring& folder, THisLists& lists, bool favouritesOnly) {
    std::set<std::wstring>& unread = lists.UnreadFiles;
    LoadLineFile(folder + L"Find.lst", lists.CBFindItems, unread);
    LoadLineFile(folder + L"Memo.lst", lists.EditLines, unread);

    const int firstKind = favouritesOnly ? 1 : 0;
    for (int k = firstKind; k <= 1; ++k)
        for (int c = 1; c < kHisCategories; ++c) {
            LoadLineFile(HisListFileName(folder, k, c), lists.MFileList[k * kHisCategories + c], unread);
            lists.Proc_DeleteFileFav(c);
            lists.Proc_DeleteFileHis(c);
        }
    for (int k = firstKind; k <= 1; ++k) {
        std::wstring fileName = HisListFileName(folder, k, 0);
        if (FileExistsSafe(fileName)) {
            bool unreadable = false;
            ReadClipListFile(fileName, lists.MFileList[k * kHisCategories], &unreadable);
            if (unreadable) unread.insert(fileName);
            else unread.erase(fileName);
        }
        if (k == 1) lists.Proc_DeleteFileFav(0);
        else lists.Proc_DeleteFileHis(0);
    }
}

bool SaveHisLists(const std::wstring& folder, THisLists& lists) {
    const std::set<std::wstring>& unread = lists.UnreadFiles;
    bool ok = SaveLineFile(folder + L"Find.lst", lists.CBFindItems, unread);
    ok = SaveLineFile(folder + L"Memo.lst", lists.EditLines, unread) && ok;

    if (lists.Settings.CHKNoSave)
        for (int c = 0; c < kHisCategories; ++c) lists.History(c).Clear();

    for (int k = 0; k <= 1; ++k)
        for (int c = 1; c < kHisCategories; ++c)
            ok = SaveLineFile(HisListFileName(folder, k, c), lists.MFileList[k * kHisCategories + c], unread) &&
                 ok;
    for (int k = 0; k <= 1; ++k) {
        std::wstring fileName = HisListFileName(folder, k, 0);
        if (unread.count(fileName)) continue;
        ok = WriteClipListFile(fileName, lists.MFileList[k * kHisCategories]) && ok;
    }
    return ok;
}
