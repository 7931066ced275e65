// THisLists: the history window's data without the window. The ten lists
// MFileList[k*5 + c] (k 0 history, 1 favourites; c the category; index 0 the
// newest or top entry), the favourites' undo snapshots, the find box's
// history and the memo's lines, the settings that shape them, and the rules:
// most-recent-first recording, trimming to the configured lengths and
// pruning of stale or excluded history entries. Favourites are never pruned.
//
// Plain, unsorted string lists; uniqueness comes from the recording rule.
// Everything runs on the GUI thread.
#pragma once

#include <set>
#include <string>

#include <functional>
#include <string>

#include "app/history/HisSettings.h"
#include "gui/StringList.h"

constexpr int kHisListCount = 2 * kHisCategories;
// Favourites a category may hold.
constexpr int kFavouritesLimit = 100;

class THisLists {
public:
    THisLists() = default;
    THisLists(const THisLists&) = delete;
    THisLists& operator=(const THisLists&) = delete;

    gui::TStringList MFileList[kHisListCount];
    // The files (full paths) that existed but could not be read when they
    // were loaded: they are never written over, so what they hold is kept.
    std::set<std::wstring> UnreadFiles;
    gui::TStringList& History(int c) { return MFileList[c]; }
    gui::TStringList& Favourites(int c) { return MFileList[kHisCategories + c]; }

    // One-level undo snapshots of each category's favourites.
    gui::TStringList MUndoList[kHisCategories];
    // The find box's drop-down history, newest first (the window's CBFind items).
    gui::TStringList CBFindItems;
    // The memo pane's text as lines (the window's Edit).
    gui::TStringList EditLines;

    THisSettings Settings;

    // Raised with the category when Proc_DeleteFileFav had to cut favourites.
    std::function<void(int)> OnFavouritesCut;

    // Records text at the top of history list c: an equal entry is taken out
    // first (case-sensitive for clipboard texts, ignoring case for paths, so
    // the new letter case wins), then the list is trimmed. Returns the index
    // the text had before, -1 when it was new.
    int RecordHistoryEntry(int c, const std::wstring& text);

    // Trims history list c to MHisListNum[c] entries, dropping the oldest.
    void Proc_DeleteFileHis(int c);
    // Trims favourites list c to kFavouritesLimit entries from the end;
    // raises OnFavouritesCut when anything went. True when it cut.
    bool Proc_DeleteFileFav(int c);

    // Removes from history list c, last entry first, what fails the
    // category's rule (clipboard: empty text; files: not a program, and still
    // there with CHKAutoDel; programs: a program, and still there with
    // CHKAutoDel; folders: still there with CHKAutoDel) or, for paths, an
    // exclusion (excluded drive root, excluded folder text, a network path
    // without ChkNetwork, an excluded program text on programs). Existence is
    // tested with file-system redirection off, drive readiness first.
    void Proc_PruneList(int c);

    // Whether history entry s of category c passes the pruning.
    bool KeepsEntry(int c, const std::wstring& s) const;

    static bool ValidCategory(int c) { return c >= 0 && c < kHisCategories; }
};
