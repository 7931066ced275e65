// The history window's files in the settings folder: "His.ini" (settings,
// UTF-16LE with mark; the sections of other forms in it are kept), the line
// list files His01..His04.lst and His11..His14.lst (UTF-16LE with mark, read
// by their mark, the system code page without one), "Find.lst", "Memo.lst",
// and the clipboard lists "His00.lst" and "His10.lst", kept as the component
// stream of a list box named "ListBoxClip" because their entries may hold
// line breaks. Every file is written whole and safely; no file error is
// reported to the user.
#pragma once

#include <string>

#include "app/history/HisLists.h"
#include "app/history/HisSettings.h"
#include "gui/StringList.h"

// "His.ini" in the folder (which ends with "\").
std::wstring HisIniFileName(const std::wstring& folder);
// "His" + k + c + ".lst": k 0 history, 1 favourites; c the category.
std::wstring HisListFileName(const std::wstring& folder, int k, int c);

// An old "His.ini" in the system code page (no mark, not UTF-8) is rewritten
// once as UTF-16LE with mark. True when it was converted.
bool ConvertAnsiHisIni(const std::wstring& fileName);

// Converts an old file, then reads every key. A missing key keeps what s
// holds for the window's bounds and the font's style and colour, and gives
// the design default for everything else. Lengths, positions and choices
// out of their ranges are held to them, so a hand-edited file cannot break
// the lists or the window. False when the file exists but could not be read
// (s then holds the defaults).
bool LoadHisIni(const std::wstring& fileName, THisSettings& s);
// Writes every key into the existing file, keeping its other sections and
// keys (also stale list keys above a new Count). The bounds are written only
// when s.Normal is set. False when the file could not be written.
bool SaveHisIni(const std::wstring& fileName, const THisSettings& s);

// Reads the list files into the lists and trims them (histories to their
// lengths, favourites to their limit). A missing file leaves its list as it
// was; a clipboard list that cannot be parsed comes out empty. A file that
// exists but cannot be read is noted in lists.UnreadFiles (and taken out
// again once it is read), and SaveHisLists leaves such files as they are. With
// favouritesOnly (the "/ListError" start) the history files are not read.
void LoadHisLists(const std::wstring& folder, THisLists& lists, bool favouritesOnly);
// Writes every list file (with CHKNoSave the histories are emptied first,
// in memory too). A file that cannot be written keeps its old contents and
// the others are still written; false when any failed.
bool SaveHisLists(const std::wstring& folder, THisLists& lists);

// The clipboard list file: writes items as the "ListBoxClip" list box stream;
// false (old file kept) when it cannot be written.
bool WriteClipListFile(const std::wstring& fileName, const gui::TStringList& items);
// Reads the items of such a stream; false, with items emptied, when the file
// cannot be read (*unreadable set) or parsed.
bool ReadClipListFile(const std::wstring& fileName, gui::TStringList& items, bool* unreadable = nullptr);
