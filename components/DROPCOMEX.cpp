#include "components/DROPCOMEX.h"

#include <cstring>

#include "gui/Callback.h"
#include "gui/Handles.h"

namespace {

const UINT kFirstCommand = 1;
const UINT kLastCommand = 0x7FFF;
const UINT kCmfIncludeStatic = 0x40;  // CMF_INCLUDESTATIC, missing from the headers

// The one open context menu: its extended interface and the owner window's
// previous procedure, which the menu-message procedure needs.
struct OpenMenuSlot {
    gui::ComPtr<IContextMenu2> menu2;
    gui::ComPtr<IContextMenu3> menu3;
    WNDPROC previous = nullptr;
    bool open = false;
} slot;

LRESULT CALLBACK MenuMessageProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return gui::GuardCallback(LRESULT{0}, [&]() -> LRESULT {
        switch (msg) {
            case WM_MENUCHAR:
                if (slot.menu3) {
                    LRESULT result = 0;
                    slot.menu3->HandleMenuMsg2(msg, wp, lp, &result);
                    return result;
                }
                break;
            case WM_DRAWITEM:
            case WM_MEASUREITEM:
            case WM_INITMENUPOPUP:
                if (slot.menu3) {
                    slot.menu3->HandleMenuMsg(msg, wp, lp);
                    return 0;
                }
                if (slot.menu2) {
                    slot.menu2->HandleMenuMsg(msg, wp, lp);
                    return 0;
                }
                break;
            default:
                break;
        }
        return ::CallWindowProcW(slot.previous, wnd, msg, wp, lp);
    });
}

bool Invoke(IContextMenu* menu, HWND owner, UINT verb) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(verb);
    info.nShow = SW_SHOWNORMAL;
    return SUCCEEDED(menu->InvokeCommand(&info));
}

POINT ClientToScreenPoint(HWND owner, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(owner, &p);
    return p;
}

void CopyStrings(gui::TStringList& to, const gui::TStringList* from) {
    if (!from || from == &to) return;
    to.Clear();
    to.AddStrings(*from);
}

void SetSingle(gui::TStringList& files, const std::wstring& path) {
    files.Clear();
    files.Add(path);
}

}  // namespace

UINT QueryFlagsToCMF(const TcmQueryFlags& flags) {
    UINT cmf = CMF_NORMAL;
    for (TcmQueryFlag f : flags) {
        switch (f) {
            case qfCanRename: cmf |= CMF_CANRENAME; break;
            case qfDefaultOnly: cmf |= CMF_DEFAULTONLY; break;
            case qfExplore: cmf |= CMF_EXPLORE; break;
            case qfExtendedVerbs: cmf |= CMF_EXTENDEDVERBS; break;
            case qfIncludeStatic: cmf |= kCmfIncludeStatic; break;
            case qfNoDefault: cmf |= CMF_NODEFAULT; break;
            case qfNormal: break;
            case qfNoVerbs: cmf |= CMF_NOVERBS; break;
            case qfVerbsOnly: cmf |= CMF_VERBSONLY; break;
        }
    }
    return cmf;
}

int FindMenuItemPos(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[512] = {};
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 511;
        if (!::GetMenuItemInfoW(menu, i, TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) continue;
        if (info.fState & MFS_DISABLED) continue;
        // "貼り付け(&P)": the accelerator follows eight bytes of the system code page.
        char bytes[1024] = {};
        const int n = ::WideCharToMultiByte(CP_ACP, 0, caption, -1, bytes, sizeof(bytes) - 1,
                                            nullptr, nullptr);
        if (n > 12 && std::strncmp(bytes + 8, "(&P)", 4) == 0) return i + 1;
    }
    return -1;
}

// --- TContextMenuEx ---------------------------------------------------------

TContextMenuEx::TContextMenuEx(gui::TComponent* owner) : gui::TComponent(owner) {}

void TContextMenuEx::SetFiles(const gui::TStringList* value) { CopyStrings(files_, value); }

bool TContextMenuEx::DoMenu(HWND ownerHandle, const std::wstring& path, int x, int y) {
    if (!ownerHandle) return false;
    SetSingle(files_, path);
    return DoMenuEx(ownerHandle, x, y);
}

bool TContextMenuEx::DoMenuEx(HWND ownerHandle, int x, int y) {
    if (!ownerHandle || files_.Count() == 0) return false;
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    if (!malloc) return false;
    gui::ComPtr<IShellFolder> folder;
    TPItemIDListArray items;
    bool done = false;
    if (GetFolderAndItems(folder, items, &files_))
        done = ContextMenu(ownerHandle, folder.get(), items, ClientToScreenPoint(ownerHandle, x, y));
    FreeItemIDArray(items, malloc.get());
    return done;
}

bool TContextMenuEx::ContextMenu(HWND ownerHandle, IShellFolder* lpsf, const TPItemIDListArray& lpi,
                                 POINT p) {
    if (!ownerHandle || !lpsf || lpi.empty() || slot.open) return false;
    gui::ComPtr<IContextMenu> menu;
    auto ids = const_cast<LPCITEMIDLIST*>(reinterpret_cast<const LPCITEMIDLIST*>(lpi.data()));
    if (FAILED(lpsf->GetUIObjectOf(ownerHandle, static_cast<UINT>(lpi.size()), ids,
                                   IID_IContextMenu, nullptr, menu.put_void())) || !menu)
        return false;
    slot.menu3 = menu.as<IContextMenu3>(IID_IContextMenu3);
    if (!slot.menu3) slot.menu2 = menu.as<IContextMenu2>(IID_IContextMenu2);
    if (!slot.menu3 && !slot.menu2) return false;

    slot.open = true;
    slot.previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        ownerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MenuMessageProc)));
    bool done = false;
    {
        gui::MenuHandle popup(::CreatePopupMenu());
        if (popup && SUCCEEDED(menu->QueryContextMenu(popup.get(), 0, kFirstCommand, kLastCommand,
                                                      QueryFlagsToCMF(Flags)))) {
            const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
                popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, ownerHandle, nullptr));
            if (chosen >= kFirstCommand) done = Invoke(menu.get(), ownerHandle, chosen - kFirstCommand);
        }
    }
    // A window of another process cannot be subclassed; then there is nothing to put back.
    if (slot.previous)
        ::SetWindowLongPtrW(ownerHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(slot.previous));
    slot.previous = nullptr;
    slot.menu2.reset();
    slot.menu3.reset();
    slot.open = false;
    return done;
}

bool TContextMenuEx::quickCommand(HWND ownerHandle, const std::wstring& path, int x, int y,
                                  TcmCmdType qCmd) {
    if (!ownerHandle) return false;
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    if (!malloc) return false;
    LPITEMIDLIST absolute = PathToPIDL(path);
    gui::ComPtr<IShellFolder> folder;
    LPITEMIDLIST item = nullptr;
    bool done = false;
    if (absolute && BindToParentFolder(absolute, folder, item))
        done = CMCommand(ownerHandle, folder.get(), item, ClientToScreenPoint(ownerHandle, x, y), qCmd);
    if (item) malloc->Free(item);
    if (absolute) malloc->Free(absolute);
    return done;
}

bool TContextMenuEx::CMCommand(HWND ownerHandle, IShellFolder* lpsf, LPCITEMIDLIST lpi, POINT p,
                               TcmCmdType idCmd) {
    struct Command { ULONG attribute; UINT id; };
    static const Command commands[] = {
        {SFGAO_CANLINK, 17}, {SFGAO_CANDELETE, 18}, {SFGAO_HASPROPSHEET, 20},
        {SFGAO_CANMOVE, 25}, {SFGAO_CANCOPY, 26},   {0, 27},
    };
    if (!ownerHandle || !lpsf || !lpi || idCmd < ctLink || idCmd > ctPaste) return false;
    const Command& command = commands[idCmd];
    ULONG attributes = 0x800FC177;
    if (lpsf->GetAttributesOf(1, &lpi, &attributes) != S_OK) return false;
    if (command.attribute && !(attributes & command.attribute)) return false;

    gui::ComPtr<IContextMenu> menu;
    if (FAILED(lpsf->GetUIObjectOf(ownerHandle, 1, &lpi, IID_IContextMenu, nullptr, menu.put_void())) ||
        !menu)
        return false;
    gui::MenuHandle popup(::CreatePopupMenu());
    if (!popup || FAILED(menu->QueryContextMenu(popup.get(), 0, kFirstCommand, kLastCommand,
                                                QueryFlagsToCMF(Flags))))
        return false;
    if (idCmd == ctPaste && FindMenuItemPos(popup.get()) < 0) return false;
    return Invoke(menu.get(), ownerHandle, command.id - kFirstCommand);
}

// --- TDropSourceEx ----------------------------------------------------------

TDropSourceEx::TDropSourceEx(gui::TComponent* owner) : gui::TComponent(owner) {}

void TDropSourceEx::SetFiles(const gui::TStringList* value) { CopyStrings(files_, value); }

void TDropSourceEx::DoDrop(HWND ownerHandle, const std::wstring& path) {
    if (!ownerHandle) return;
    SetSingle(files_, path);
    DoDropEx(ownerHandle);
}

void TDropSourceEx::DoDropEx(HWND ownerHandle) {
    if (!ownerHandle || files_.Count() == 0) return;
    gui::ComPtr<IMalloc> malloc = ShellMalloc();
    if (!malloc) return;
    gui::ComPtr<IShellFolder> folder;
    TPItemIDListArray items;
    if (GetFolderAndItems(folder, items, &files_)) DoDropSource(ownerHandle, folder.get(), items);
    FreeItemIDArray(items, malloc.get());
}

void TDropSourceEx::DoDropSource(HWND ownerHandle, IShellFolder* lpsf, const TPItemIDListArray& lpi) {
    if (!lpsf || lpi.empty()) return;
    gui::ComPtr<IDataObject> data;
    auto ids = const_cast<LPCITEMIDLIST*>(reinterpret_cast<const LPCITEMIDLIST*>(lpi.data()));
    if (FAILED(lpsf->GetUIObjectOf(ownerHandle, static_cast<UINT>(lpi.size()), ids, IID_IDataObject,
                                   nullptr, data.put_void())) ||
        !data)
        return;
    gui::ComPtr<IDropSource> source(new TDropSourceObject);
    DWORD effect = 0;
    ::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
}

// --- TDropSourceObject ------------------------------------------------------

HRESULT STDMETHODCALLTYPE TDropSourceObject::QueryInterface(REFIID iid, void** out) {
    return gui::GuardCallback(E_UNEXPECTED, [&]() -> HRESULT {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    });
}

ULONG STDMETHODCALLTYPE TDropSourceObject::AddRef() { return ::InterlockedIncrement(&refs_); }

ULONG STDMETHODCALLTYPE TDropSourceObject::Release() {
    const ULONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE TDropSourceObject::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    return gui::GuardCallback(DRAGDROP_S_CANCEL, [&]() -> HRESULT {
        if (escapePressed) return DRAGDROP_S_CANCEL;
        if (keyState & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
        return DRAGDROP_S_DROP;
    });
}

HRESULT STDMETHODCALLTYPE TDropSourceObject::GiveFeedback(DWORD) {
    return gui::GuardCallback(DRAGDROP_S_USEDEFAULTCURSORS,
                              [] { return DRAGDROP_S_USEDEFAULTCURSORS; });
}
