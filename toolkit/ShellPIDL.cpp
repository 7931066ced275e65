#include "toolkit/ShellPIDL.h"

#include <cstring>

#include "toolkit/PathUtils.h"
#include "toolkit/TextHelpers.h"

namespace {

USHORT FirstItemSize(LPCITEMIDLIST p) { return p->mkid.cb; }

gui::ComPtr<IShellFolder> Desktop() {
    gui::ComPtr<IShellFolder> desktop;
    if (FAILED(::SHGetDesktopFolder(desktop.put()))) desktop.reset();
    return desktop;
}

// Lets folder parse name into a list relative to it; nullptr on failure.
LPITEMIDLIST Parse(IShellFolder* folder, const std::wstring& name) {
    std::wstring buffer = name;  // ParseDisplayName takes a writable string
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, buffer.data(), nullptr, &pidl, nullptr)))
        return nullptr;
    return pidl;
}

gui::ComPtr<IShellFolder> BindTo(IShellFolder* folder, LPCITEMIDLIST pidl) {
    gui::ComPtr<IShellFolder> sub;
    if (FAILED(folder->BindToObject(pidl, nullptr, IID_IShellFolder, sub.put_void()))) sub.reset();
    return sub;
}

// "C:\dir\file" -> "C:\dir"; a file in a drive root keeps the root's backslash.
std::wstring FolderPart(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring::npos) return {};
    std::wstring folder = path.substr(0, cut);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

std::wstring NamePart(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

}  // namespace

gui::ComPtr<IMalloc> ShellMalloc() {
    gui::ComPtr<IMalloc> malloc;
    if (FAILED(::SHGetMalloc(malloc.put()))) malloc.reset();
    return malloc;
}

LPITEMIDLIST PathToPIDLW(const std::wstring& path) {
    gui::ComPtr<IShellFolder> desktop = Desktop();
    return desktop ? Parse(desktop.get(), path) : nullptr;
}

LPITEMIDLIST PathToPIDL(const std::wstring& path) { return PathToPIDLW(path); }

LPITEMIDLIST NextItemID(LPCITEMIDLIST p) {
    return reinterpret_cast<LPITEMIDLIST>(
        const_cast<BYTE*>(reinterpret_cast<const BYTE*>(p) + FirstItemSize(p)));
}

int CountItemIDs(LPCITEMIDLIST p) {
    int n = 0;
    if (!p) return 0;
    while (FirstItemSize(p) != 0) {
        ++n;
        p = NextItemID(p);
    }
    return n;
}

void* AllocShellMem(size_t size) {
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    if (!malloc) return nullptr;
    void* block = malloc->Alloc(size);
    if (block) std::memset(block, 0, size);
    return block;
}

LPITEMIDLIST CopyFirstItemID(LPCITEMIDLIST p) {
    if (!p) return nullptr;
    const USHORT size = FirstItemSize(p);
    auto* copy = static_cast<BYTE*>(AllocShellMem(size + sizeof(USHORT)));
    if (!copy) return nullptr;
    std::memcpy(copy, p, size);  // the zero terminator follows from the zero fill
    return reinterpret_cast<LPITEMIDLIST>(copy);
}

LPITEMIDLIST NextItemIDOrNil(LPCITEMIDLIST p) {
    if (!p || FirstItemSize(p) == 0) return nullptr;
    LPITEMIDLIST next = NextItemID(p);
    return FirstItemSize(next) == 0 ? nullptr : next;
}

bool BindToParentFolder(LPCITEMIDLIST p, gui::ComPtr<IShellFolder>& folder, LPITEMIDLIST& item) {
    folder.reset();
    item = nullptr;
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    gui::ComPtr<IShellFolder> current = Desktop();
    if (!p || !malloc || !current) return false;
    const int count = CountItemIDs(p);
    if (count < 2) return false;
    LPCITEMIDLIST walk = p;
    for (int i = 0; i < count - 1; ++i) {
        LPITEMIDLIST single = CopyFirstItemID(walk);
        if (!single) return false;
        gui::ComPtr<IShellFolder> next = BindTo(current.get(), single);
        malloc->Free(single);
        if (!next) return false;
        current = next;
        walk = NextItemID(walk);
    }
    item = CopyFirstItemID(walk);
    if (!item) return false;
    folder = current;
    return true;
}

bool GetFolderAndItems(gui::ComPtr<IShellFolder>& folder, TPItemIDListArray& items,
                       const gui::TStringList* files) {
    folder.reset();
    gui::ComPtr<IShellFolder> desktop = Desktop();
    if (!desktop) return false;

    if (!files) {
        LPITEMIDLIST drives = nullptr;
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)) || !drives)
            return false;
        items.assign(1, drives);
        folder = desktop;
        return true;
    }
    if (files->Count() == 0) return false;
    const std::wstring& first = files->Get(0);
    const bool root = IsDriveRootPath(first) || IsServerPath(first) || IsShareRootPath(first);
    // A drive, server or share root stands for itself alone: the items of a
    // list all come from one folder, and the others would be left out.
    if (root && files->Count() > 1) return false;

    if (IsDriveRootPath(first)) {
        items.assign(1, nullptr);
        gui::CoTaskMem<LPITEMIDLIST> drives;
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.put())) || !drives.get())
            return false;
        gui::ComPtr<IShellFolder> computer = BindTo(desktop.get(), drives.get());
        if (!computer) return false;
        items[0] = Parse(computer.get(), first);
        if (!items[0]) return false;
        folder = computer;
        return true;
    }

    if (IsServerPath(first) || IsShareRootPath(first)) {
        items.assign(1, nullptr);
        gui::CoTaskMem<LPITEMIDLIST> absolute(Parse(desktop.get(), first));
        if (!absolute.get()) return false;
        return BindToParentFolder(absolute.get(), folder, items[0]);
    }

    // Ordinary files and folders, all in the first one's folder: a file
    // elsewhere would be looked up in the wrong folder, so it ends the walk.
    const std::wstring parent = FolderPart(first);
    for (int i = 1; i < files->Count(); ++i)
        if (!SameText(FolderPart(files->Get(i)), parent)) return false;
    items.assign(files->Count(), nullptr);
    if (parent.empty()) return false;
    gui::ComPtr<IShellFolder> bound;
    {
        gui::CoTaskMem<LPITEMIDLIST> absolute(Parse(desktop.get(), parent));
        if (!absolute.get()) return false;
        bound = BindTo(desktop.get(), absolute.get());
    }
    if (!bound) return false;
    folder = bound;
    for (int i = 0; i < files->Count(); ++i) {
        items[i] = Parse(folder.get(), NamePart(files->Get(i)));
        if (!items[i]) return false;
    }
    return true;
}

void FreeItemIDArray(TPItemIDListArray& items, IMalloc* malloc) {
    for (LPITEMIDLIST& item : items) {
        if (item && malloc) malloc->Free(item);
        item = nullptr;
    }
    items.clear();
}
