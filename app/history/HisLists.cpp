#include "app/history/HisLists.h"

#include <windows.h>

#include <algorithm>

#include "gui/Exception.h"
#include "toolkit/TextHelpers.h"
#include "toolkit/Wow64.h"

namespace {

void CheckCategory(int c) {
    if (!THisLists::ValidCategory(c))
        throw gui::Exception(L"履歴の種類が正しくありません (" + std::to_wstring(c) + L")");
}

// "C:" for C:\x, "\\server\share" for \\server\share\x, else empty.
std::wstring ExtractFileDrive(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        size_t i = 2;
        int seps = 0;
        while (i < path.size()) {
            if (path[i] == L'\\' && ++seps == 2) break;
            ++i;
        }
        return path.substr(0, i);
    }
    return L"";
}

// Whether any non-empty item, upper-cased, occurs in the upper-cased entry.
// An empty item would occur in every entry, so it excludes nothing.
bool ContainsAnyItem(const std::wstring& upperEntry, const gui::TStringList& items) {
    for (int i = 0; i < items.Count(); ++i) {
        const std::wstring& item = items[i];
        if (!item.empty() && upperEntry.find(UpperCase(item)) != std::wstring::npos) return true;
    }
    return false;
}

}  // namespace

int THisLists::RecordHistoryEntry(int c, const std::wstring& text) {
    CheckCategory(c);
    gui::TStringList& list = History(c);
    int old = -1;
    if (c == 0) {
        // Clipboard texts are equal only when every character is.
        for (int i = 0; i < list.Count(); ++i)
            if (list[i] == text) {
                old = i;
                break;
            }
    } else {
        old = list.IndexOf(text);  // paths: letter case does not count
    }
    if (old >= 0) list.Delete(old);
    list.Insert(0, text);
    Proc_DeleteFileHis(c);
    return old;
}

void THisLists::Proc_DeleteFileHis(int c) {
    CheckCategory(c);
    gui::TStringList& list = History(c);
    // A length below 0 would leave nothing to stop at.
    int n = std::max(0, Settings.MHisListNum[c]);
    while (list.Count() > n) list.Delete(list.Count() - 1);
}

bool THisLists::Proc_DeleteFileFav(int c) {
    CheckCategory(c);
    gui::TStringList& list = Favourites(c);
    if (list.Count() <= kFavouritesLimit) return false;
    while (list.Count() > kFavouritesLimit) list.Delete(list.Count() - 1);
    if (OnFavouritesCut) OnFavouritesCut(c);
    return true;
}

bool THisLists::KeepsEntry(int c, const std::wstring& s) const {
    if (c == 0) return !s.empty();  // clipboard texts meet no exclusion

    // The cheap text tests come first; the outcome is the same in any
    // order, but a path that an exclusion drops then costs no disk access.
    if (c == 1 || c == 2) {
        bool isProgram = LowerExt(s) == L".exe";
        if (isProgram != (c == 2)) return false;
    }
    const std::wstring upper = UpperCase(s);
    if (Settings.ListBoxNoDrive.IndexOf(UpperCase(ExtractFileDrive(s)) + L"\\") >= 0) return false;
    if (ContainsAnyItem(upper, Settings.ListBoxDir)) return false;
    if (!Settings.ChkNetwork && s.find(L"\\\\") != std::wstring::npos) return false;
    if (c == 2 && ContainsAnyItem(upper, Settings.ListBoxExe)) return false;

    if (Settings.CHKAutoDel) {
        if (c == 1 || c == 2) return FileExistsNoRedirect(s);
        return DirectoryExistsNoRedirect(s);
    }
    return true;
}

void THisLists::Proc_PruneList(int c) {
    CheckCategory(c);
    gui::TStringList& list = History(c);
    for (int i = list.Count() - 1; i >= 0; --i)
        if (!KeepsEntry(c, list[i])) list.Delete(i);
}
