// The shell's own handling of a list of file-system paths: TContextMenuEx
// shows the Explorer context menu of the items at a point of a window and
// carries out the chosen command; TDropSourceEx starts an OLE drag of the
// items, to be dropped into Explorer or any other program. Several items
// must all lie in the first one's folder. GUI thread only; one context menu
// can be open at a time.
#pragma once

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>
#include <string>

#include "gui/Component.h"
#include "gui/StringList.h"
#include "toolkit/ShellPIDL.h"
#include "toolkit/drpcomexdef.h"

// The shell's CMF bits for the flags.
UINT QueryFlagsToCMF(const TcmQueryFlags& flags);

// The 1-based position of the first enabled, non-separator item whose
// caption, in the system code page, has "(&P)" at its 9th byte; -1 when none.
int FindMenuItemPos(HMENU menu);

class TContextMenuEx : public gui::TComponent {
public:
    explicit TContextMenuEx(gui::TComponent* owner);

    const gui::TStringList* Files() const noexcept { return &files_; }
    void SetFiles(const gui::TStringList* value);  // copies the strings; nullptr is ignored
    TcmQueryFlags Flags{qfNormal};

    // The menu of one path at the client point (X, Y) of the owner window.
    bool DoMenu(HWND ownerHandle, const std::wstring& path, int x, int y);
    // The menu of all Files; True when a command was carried out.
    bool DoMenuEx(HWND ownerHandle, int x, int y);
    bool ContextMenu(HWND ownerHandle, IShellFolder* lpsf, const TPItemIDListArray& lpi, POINT p);

    // One fixed shell command on one path, without showing the menu.
    bool quickCommand(HWND ownerHandle, const std::wstring& path, int x, int y, TcmCmdType qCmd);
    bool CMCommand(HWND ownerHandle, IShellFolder* lpsf, LPCITEMIDLIST lpi, POINT p, TcmCmdType idCmd);

private:
    gui::TStringList files_;
};

class TDropSourceEx : public gui::TComponent {
public:
    explicit TDropSourceEx(gui::TComponent* owner);

    const gui::TStringList* Files() const noexcept { return &files_; }
    void SetFiles(const gui::TStringList* value);

    void DoDrop(HWND ownerHandle, const std::wstring& path);
    void DoDropEx(HWND ownerHandle);
    // The modal OLE drag loop for the items.
    void DoDropSource(HWND ownerHandle, IShellFolder* lpsf, const TPItemIDListArray& lpi);

private:
    gui::TStringList files_;
};

// The drag's source: goes on while the left or right button is held, drops
// when it is released, cancels on Escape; the shell's cursors.
class TDropSourceObject : public IDropSource {
public:
    TDropSourceObject() = default;
    virtual ~TDropSourceObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    LONG refs_ = 1;
};
