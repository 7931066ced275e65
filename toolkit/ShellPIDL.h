// Shell item-identifier lists: building them from paths, walking them and
// binding them to shell folders. An item-identifier list is a run of items,
// each starting with a 16-bit byte count that includes the count itself,
// ended by a 16-bit zero. Lists made here come from the shell's allocator.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "gui/Handles.h"
#include "gui/StringList.h"

using TPItemIDListArray = std::vector<LPITEMIDLIST>;

// The absolute list of a path parsed by the desktop folder; nullptr on failure.
LPITEMIDLIST PathToPIDLW(const std::wstring& path);
LPITEMIDLIST PathToPIDL(const std::wstring& path);

// P advanced by its first item's byte count (no end test).
LPITEMIDLIST NextItemID(LPCITEMIDLIST p);
// Items before the terminator; 0 for nullptr.
int CountItemIDs(LPCITEMIDLIST p);
// Size zero-filled bytes from the shell's allocator; nullptr on failure.
void* AllocShellMem(size_t size);
// A new list holding P's first item and a terminator; nullptr for nullptr.
LPITEMIDLIST CopyFirstItemID(LPCITEMIDLIST p);
// The next item, or nullptr when P is empty or the next item is the terminator.
LPITEMIDLIST NextItemIDOrNil(LPCITEMIDLIST p);

// Binds the desktop down to the parent folder of P's last item: Folder is
// that folder and Item a copy of the last item (free it with the shell's
// allocator). False for fewer than two items or a failed binding.
bool BindToParentFolder(LPCITEMIDLIST p, gui::ComPtr<IShellFolder>& folder, LPITEMIDLIST& item);

// Resolves paths into one parent folder and items relative to it. No list:
// My Computer on the desktop. A drive root goes through My Computer, a server
// or share root through its own parent, each only as the one path of the
// list; other paths must all lie in the first one's folder (compared without
// regard to case), else False. The caller frees Items with FreeItemIDArray
// in every case.
bool GetFolderAndItems(gui::ComPtr<IShellFolder>& folder, TPItemIDListArray& items,
                       const gui::TStringList* files);

// Frees every item with the given shell allocator and empties the array.
void FreeItemIDArray(TPItemIDListArray& items, IMalloc* malloc);

// The shell's allocator (SHGetMalloc); empty when unavailable.
gui::ComPtr<IMalloc> ShellMalloc();
