#include "app/history/HisFiles.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "gui/ComponentStream.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
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

int ReadRanged(const TMemIniFile& ini, const wchar_t* section, const wchar_t* key, int def, int lo,
               int hi) {
    return std::clamp(ini.ReadInteger(section, key, def), lo, hi);
}

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

bool LoadHisIni(const std::wstring& fileName, THisSettings& s) {
    ConvertAnsiHisIni(fileName);
    const TMemIniFile ini = OpenHisIni(fileName);
    const THisSettings d = DefaultHisSettings();

    s.Top = ini.ReadInteger(kWindow, L"Top", s.Top);
    s.Left = ini.ReadInteger(kWindow, L"Left", s.Left);
    s.Height = ini.ReadInteger(kWindow, L"Height", s.Height);
    s.Width = ini.ReadInteger(kWindow, L"Width", s.Width);
    s.Normal = ini.ReadBool(kWindow, L"Normal", d.Normal);

    s.CHKAutoDel = ini.ReadBool(kHistory, L"AutoDelete", d.CHKAutoDel);
    s.CHKNoSave = ini.ReadBool(kHistory, L"NoSave", d.CHKNoSave);
    s.CHKHookDesktop = ini.ReadBool(kHistory, L"DeskTopWClick", d.CHKHookDesktop);
    s.ComboBoxHook = ReadRanged(ini, kHistory, L"DeskTopWClickKey", d.ComboBoxHook, 0, 2);
    for (int i = 0; i < kHisCategories; ++i) {
        std::wstring digit = std::to_wstring(i);
        s.MHisListNum[i] =
            ReadRanged(ini, kHistory, (L"List" + digit).c_str(), d.MHisListNum[i], 0, kHisLengthMax);
        s.MCHKHisMenuItem[i] = ini.ReadBool(kHistory, (L"MenuItem" + digit).c_str(), d.MCHKHisMenuItem[i]);
    }

    s.CHKIconList = ini.ReadBool(L"Icon", L"List", d.CHKIconList);

    s.EditHTKShow = ini.ReadString(L"HotKey", L"Show", d.EditHTKShow);
    s.EditHTKMenu = ini.ReadString(L"HotKey", L"Menu", d.EditHTKMenu);
    s.EditHTKLaunch = ini.ReadString(L"HotKey", L"Launch", d.EditHTKLaunch);

    s.CBPasteDir = ReadRanged(ini, L"Address", L"Timing", d.CBPasteDir, 0, 4);

    s.FontName = ini.ReadString(kFont, L"Name", d.FontName);
    s.FontSize = ini.ReadInteger(kFont, L"Size", d.FontSize);
    s.FontStyle = ini.ReadInteger(kFont, L"Style", s.FontStyle);
    s.FontColor = ini.ReadInteger(kFont, L"Color", s.FontColor);

    s.CBAutoMin = ReadRanged(ini, kWindow, L"Min", d.CBAutoMin, 0, 60);
    s.CHKAutoMin = ini.ReadBool(kWindow, L"Min-Close", d.CHKAutoMin);
    s.TrackBarTrans = ReadRanged(ini, kWindow, L"Trans", d.TrackBarTrans, 20, 100);
    s.TBExeClose = ini.ReadBool(kWindow, L"ExeClose", d.TBExeClose);
    s.TBCPUCore = ini.ReadBool(kWindow, L"CPUCore", d.TBCPUCore);
    s.RadioGroupStart = ReadRanged(ini, kWindow, L"Start", d.RadioGroupStart, 0, 1);
    s.TBSort = ini.ReadBool(kWindow, L"Sort", d.TBSort);
    s.Tab = ReadRanged(ini, kWindow, L"Tab", d.Tab, 0, kHisCategories - 1);
    s.MDir = ini.ReadString(kWindow, L"Dir", d.MDir);
    s.CHKTooBarList = ini.ReadBool(kWindow, L"ToolBarList", d.CHKTooBarList);

    s.TBFav = ini.ReadBool(L"Fav", L"Visible", d.TBFav);
    s.MFavH = ini.ReadInteger(L"Fav", L"Height", d.MFavH);
    s.TBEdit = ini.ReadBool(L"Edit", L"Visible", d.TBEdit);
    s.MEditW = ini.ReadInteger(L"Edit", L"Width", d.MEditW);

    ReadItems(ini, L"Drive", s.ListBoxNoDrive);
    s.ChkNetwork = ini.ReadBool(L"Drive", L"Network", d.ChkNetwork);
    ReadItems(ini, L"Folder", s.ListBoxDir);
    ReadItems(ini, L"ExecuteFile", s.ListBoxExe);

    s.UDWait = ReadRanged(ini, kClip, L"Wait", d.UDWait, 0, 1000);
    s.UDMaxClip = ReadRanged(ini, kClip, L"MAXClip", d.UDMaxClip, 8, 256);
    s.RadioGroupPaste = ReadRanged(ini, kClip, L"Paste", d.RadioGroupPaste, 0, 1);
    s.CHKWave = ini.ReadBool(kClip, L"Sound Enabled", d.CHKWave);
    s.EditWave = ini.ReadString(kClip, L"Sound File", d.EditWave);

    s.FLaunchVisible = ini.ReadBool(L"Launch", L"Visible", d.FLaunchVisible);
    return !ini.Unreadable();
}

bool SaveHisIni(const std::wstring& fileName, const THisSettings& s) {
    TMemIniFile ini = OpenHisIni(fileName);

    // A maximised window keeps the bounds it had before.
    if (s.Normal) {
        ini.WriteInteger(kWindow, L"Top", s.Top);
        ini.WriteInteger(kWindow, L"Left", s.Left);
        ini.WriteInteger(kWindow, L"Height", s.Height);
        ini.WriteInteger(kWindow, L"Width", s.Width);
    }
    ini.WriteBool(kWindow, L"Normal", s.Normal);
    ini.WriteInteger(kWindow, L"Min", s.CBAutoMin);
    ini.WriteBool(kWindow, L"Min-Close", s.CHKAutoMin);
    ini.WriteInteger(kWindow, L"Trans", s.TrackBarTrans);
    ini.WriteBool(kWindow, L"ExeClose", s.TBExeClose);
    ini.WriteBool(kWindow, L"CPUCore", s.TBCPUCore);
    ini.WriteInteger(kWindow, L"Start", s.RadioGroupStart);
    ini.WriteBool(kWindow, L"Sort", s.TBSort);
    ini.WriteInteger(kWindow, L"Tab", s.Tab);
    ini.WriteString(kWindow, L"Dir", s.MDir);
    ini.WriteBool(kWindow, L"ToolBarList", s.CHKTooBarList);

    for (int i = 0; i < kHisCategories; ++i)
        ini.WriteInteger(kHistory, (L"List" + std::to_wstring(i)).c_str(), s.MHisListNum[i]);
    for (int i = 0; i < kHisCategories; ++i)
        ini.WriteBool(kHistory, (L"MenuItem" + std::to_wstring(i)).c_str(), s.MCHKHisMenuItem[i]);
    ini.WriteBool(kHistory, L"AutoDelete", s.CHKAutoDel);
    ini.WriteBool(kHistory, L"NoSave", s.CHKNoSave);
    ini.WriteBool(kHistory, L"DeskTopWClick", s.CHKHookDesktop);
    ini.WriteInteger(kHistory, L"DeskTopWClickKey", s.ComboBoxHook);

    ini.WriteBool(L"Icon", L"List", s.CHKIconList);

    ini.WriteString(L"HotKey", L"Show", s.EditHTKShow);
    ini.WriteString(L"HotKey", L"Menu", s.EditHTKMenu);
    ini.WriteString(L"HotKey", L"Launch", s.EditHTKLaunch);

    ini.WriteInteger(L"Address", L"Timing", s.CBPasteDir);

    ini.WriteString(kFont, L"Name", s.FontName);
    ini.WriteInteger(kFont, L"Size", s.FontSize);
    ini.WriteInteger(kFont, L"Style", s.FontStyle);
    ini.WriteInteger(kFont, L"Color", s.FontColor);

    ini.WriteBool(L"Fav", L"Visible", s.TBFav);
    ini.WriteInteger(L"Fav", L"Height", s.MFavH);
    ini.WriteBool(L"Edit", L"Visible", s.TBEdit);
    ini.WriteInteger(L"Edit", L"Width", s.MEditW);

    WriteItems(ini, L"Drive", s.ListBoxNoDrive);
    ini.WriteBool(L"Drive", L"Network", s.ChkNetwork);
    WriteItems(ini, L"Folder", s.ListBoxDir);
    WriteItems(ini, L"ExecuteFile", s.ListBoxExe);

    ini.WriteInteger(kClip, L"Wait", s.UDWait);
    ini.WriteInteger(kClip, L"MAXClip", s.UDMaxClip);
    ini.WriteInteger(kClip, L"Paste", s.RadioGroupPaste);
    ini.WriteBool(kClip, L"Sound Enabled", s.CHKWave);
    ini.WriteString(kClip, L"Sound File", s.EditWave);

    ini.WriteBool(L"Launch", L"Visible", s.FLaunchVisible);

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
