#include "app/history/HisFiles.h"

#include <algorithm>
#include <climits>
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

// How one His.ini key is stored: an integer read is held to lo..hi, and a
// bounds key is written only while the window is not maximised.
struct THisIniKey {
    const wchar_t* Section;
    std::wstring Key;
    int Lo = INT_MIN, Hi = INT_MAX;
    bool Bounds = false;
};

// Every His.ini key, once, in the order a new file holds them: the walker
// gets the key, the member of s and its default (the design default from d,
// or for the bounds and the font's style and colour the member's own value),
// and each exclusion list by its section.
template <class S, class W> void WalkHisIni(S& s, const THisSettings& d, W& w) {
    w.Value({kWindow, L"Top", INT_MIN, INT_MAX, true}, s.Top, s.Top);
    w.Value({kWindow, L"Left", INT_MIN, INT_MAX, true}, s.Left, s.Left);
    w.Value({kWindow, L"Height", INT_MIN, INT_MAX, true}, s.Height, s.Height);
    w.Value({kWindow, L"Width", INT_MIN, INT_MAX, true}, s.Width, s.Width);
    w.Value({kWindow, L"Normal"}, s.Normal, d.Normal);
    w.Value({kWindow, L"Min", 0, 60}, s.CBAutoMin, d.CBAutoMin);
    w.Value({kWindow, L"Min-Close"}, s.CHKAutoMin, d.CHKAutoMin);
    w.Value({kWindow, L"Trans", 20, 100}, s.TrackBarTrans, d.TrackBarTrans);
    w.Value({kWindow, L"ExeClose"}, s.TBExeClose, d.TBExeClose);
    w.Value({kWindow, L"CPUCore"}, s.TBCPUCore, d.TBCPUCore);
    w.Value({kWindow, L"Start", 0, 1}, s.RadioGroupStart, d.RadioGroupStart);
    w.Value({kWindow, L"Sort"}, s.TBSort, d.TBSort);
    w.Value({kWindow, L"Tab", 0, kHisCategories - 1}, s.Tab, d.Tab);
    w.Value({kWindow, L"Dir"}, s.MDir, d.MDir);
    w.Value({kWindow, L"ToolBarList"}, s.CHKTooBarList, d.CHKTooBarList);

    for (int i = 0; i < kHisCategories; ++i)
        w.Value({kHistory, L"List" + std::to_wstring(i), 0, kHisLengthMax}, s.MHisListNum[i], d.MHisListNum[i]);
    for (int i = 0; i < kHisCategories; ++i)
        w.Value({kHistory, L"MenuItem" + std::to_wstring(i)}, s.MCHKHisMenuItem[i], d.MCHKHisMenuItem[i]);
    w.Value({kHistory, L"AutoDelete"}, s.CHKAutoDel, d.CHKAutoDel);
    w.Value({kHistory, L"NoSave"}, s.CHKNoSave, d.CHKNoSave);
    w.Value({kHistory, L"DeskTopWClick"}, s.CHKHookDesktop, d.CHKHookDesktop);
    w.Value({kHistory, L"DeskTopWClickKey", 0, 2}, s.ComboBoxHook, d.ComboBoxHook);

    w.Value({L"Icon", L"List"}, s.CHKIconList, d.CHKIconList);

    w.Value({L"HotKey", L"Show"}, s.EditHTKShow, d.EditHTKShow);
    w.Value({L"HotKey", L"Menu"}, s.EditHTKMenu, d.EditHTKMenu);
    w.Value({L"HotKey", L"Launch"}, s.EditHTKLaunch, d.EditHTKLaunch);

    w.Value({L"Address", L"Timing", 0, 4}, s.CBPasteDir, d.CBPasteDir);

    w.Value({kFont, L"Name"}, s.FontName, d.FontName);
    w.Value({kFont, L"Size"}, s.FontSize, d.FontSize);
    w.Value({kFont, L"Style"}, s.FontStyle, s.FontStyle);
    w.Value({kFont, L"Color"}, s.FontColor, s.FontColor);

    w.Value({L"Fav", L"Visible"}, s.TBFav, d.TBFav);
    w.Value({L"Fav", L"Height"}, s.MFavH, d.MFavH);
    w.Value({L"Edit", L"Visible"}, s.TBEdit, d.TBEdit);
    w.Value({L"Edit", L"Width"}, s.MEditW, d.MEditW);

    w.Items(L"Drive", s.ListBoxNoDrive);
    w.Value({L"Drive", L"Network"}, s.ChkNetwork, d.ChkNetwork);
    w.Items(L"Folder", s.ListBoxDir);
    w.Items(L"ExecuteFile", s.ListBoxExe);

    w.Value({kClip, L"Wait", 0, 1000}, s.UDWait, d.UDWait);
    w.Value({kClip, L"MAXClip", 8, 256}, s.UDMaxClip, d.UDMaxClip);
    w.Value({kClip, L"Paste", 0, 1}, s.RadioGroupPaste, d.RadioGroupPaste);
    w.Value({kClip, L"Sound Enabled"}, s.CHKWave, d.CHKWave);
    w.Value({kClip, L"Sound File"}, s.EditWave, d.EditWave);

    w.Value({L"Launch", L"Visible"}, s.FLaunchVisible, d.FLaunchVisible);
}

struct THisIniReader {
    const TMemIniFile& Ini;
    void Value(const THisIniKey& k, int& v, int def) {
        v = std::clamp(Ini.ReadInteger(k.Section, k.Key, def), k.Lo, k.Hi);
    }
    void Value(const THisIniKey& k, bool& v, bool def) { v = Ini.ReadBool(k.Section, k.Key, def); }
    void Value(const THisIniKey& k, std::wstring& v, const std::wstring& def) {
        v = Ini.ReadString(k.Section, k.Key, def);
    }
    void Items(const wchar_t* section, TStringList& items) { ReadItems(Ini, section, items); }
};

struct THisIniWriter {
    TMemIniFile& Ini;
    bool Normal;  // a maximised window keeps the bounds it had before
    void Value(const THisIniKey& k, int v, int) {
        if (!k.Bounds || Normal) Ini.WriteInteger(k.Section, k.Key, v);
    }
    void Value(const THisIniKey& k, bool v, bool) { Ini.WriteBool(k.Section, k.Key, v); }
    void Value(const THisIniKey& k, const std::wstring& v, const std::wstring&) {
        Ini.WriteString(k.Section, k.Key, v);
    }
    void Items(const wchar_t* section, const TStringList& items) { WriteItems(Ini, section, items); }
};

}  // namespace

bool LoadHisIni(const std::wstring& fileName, THisSettings& s) {
    ConvertAnsiHisIni(fileName);
    const TMemIniFile ini = OpenHisIni(fileName);
    THisIniReader reader{ini};
    WalkHisIni(s, DefaultHisSettings(), reader);
    return !ini.Unreadable();
}

bool SaveHisIni(const std::wstring& fileName, const THisSettings& s) {
    TMemIniFile ini = OpenHisIni(fileName);
    THisIniWriter writer{ini, s.Normal};
    // The writer takes no defaults: the settings stand in for them.
    WalkHisIni(s, s, writer);
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
