#include "toolkit/QuorvinShell.h"

#include <shellapi.h>
#include <mmsystem.h>
#include <algorithm>
#include <memory>

#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/TextHelpers.h"

namespace {

const size_t kBuf = 260;

}  // namespace

void ShellExecuteFile(const std::wstring& fileName, const std::wstring& params,
                      const std::wstring& dir, int showCmd) {
    if (fileName.size() > kBuf || params.size() > kBuf || dir.size() > kBuf) return;
    ::ShellExecuteW(gui::MainFormWindow(), nullptr, fileName.c_str(), OrNull(params), OrNull(dir), showCmd);
}

int ShellExecuteOwned(HWND owner, const std::wstring& fileName, const std::wstring& params,
                      const std::wstring& dir, int showCmd) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, nullptr, fileName.c_str(), OrNull(params), OrNull(dir), showCmd)));
}

bool ShellExecuteRunAs(HWND owner, const std::wstring& fileName, const std::wstring& params) {
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = fileName.c_str();
    info.lpParameters = OrNull(params);
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

void FindExecutableFor(const std::wstring& fileName, std::wstring& exePath) {
    exePath.clear();
    wchar_t buf[kBuf + 1] = {};
    std::wstring folder = ProgramFolder();
    if (!folder.empty()) folder.pop_back();
    ::FindExecutableW(fileName.c_str(), OrNull(folder), buf);
    std::wstring exe = buf;
    if (exe.find(L'\\') == std::wstring::npos) {
        std::wstring windows;
        GetWindowsDir(windows);
        exe = windows + L"\\" + exe;
    }
    if (FileExistsSafe(exe)) exePath = exe;
}

HICON GetAssociatedIcon(const std::wstring& fileName, WORD index) {
    // The call may write the associated program's path into the buffer.
    wchar_t buf[kBuf + 1] = {};
    if (fileName.size() >= kBuf) return nullptr;
    std::copy(fileName.begin(), fileName.end(), buf);
    WORD i = index;
    return ::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), buf, &i);
}

HICON ExtractFileIcon(const std::wstring& fileName, int index) {
    HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), fileName.c_str(), static_cast<UINT>(index));
    // Windows answers 1 for a file that is no program, library or icon file:
    // no icon, and nothing the caller may destroy.
    if (index != -1 && icon == reinterpret_cast<HICON>(1)) return nullptr;
    return icon;
}

void SetMenuItemIcon(gui::TMenuItem* item, HICON icon) {
    if (!item) return;
    if (!icon) {
        item->SetOwnedBitmap(nullptr);
        return;
    }
    ICONINFO ii{};
    if (!::GetIconInfo(icon, &ii)) return;
    gui::GdiObject mask(ii.hbmMask), color(ii.hbmColor);
    BITMAP bm{};
    int w = 0, h = 0;
    if (color && ::GetObjectW(color.get(), sizeof(bm), &bm)) {
        w = bm.bmWidth;
        h = bm.bmHeight;
    } else if (mask && ::GetObjectW(mask.get(), sizeof(bm), &bm)) {
        // A monochrome icon keeps its mask and picture one above the other.
        w = bm.bmWidth;
        h = bm.bmHeight / 2;
    }
    if (w <= 0 || h <= 0) return;

    auto picture = std::make_unique<gui::TBitmap>(w, h);
    if (picture->Empty()) return;
    {
        // Drawn through a DC of its own: a bitmap left selected into a DC
        // could not be selected again by the menu that draws it.
        gui::MemoryDC dc(::CreateCompatibleDC(nullptr));
        if (!dc) return;
        gui::SelectObjectScope select(dc.get(), picture->Handle());
        RECT all{0, 0, w, h};
        ::FillRect(dc.get(), &all, ::GetSysColorBrush(COLOR_MENU));
        ::DrawIconEx(dc.get(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
    }
    // A menu draws a 32-bit picture through its alpha bytes, which GDI left
    // empty: the whole picture, the menu colour included, is opaque.
    for (int y = 0; y < h; ++y) {
        DWORD* row = picture->ScanLine(y);
        for (int x = 0; x < w; ++x) row[x] |= 0xFF000000u;
    }
    item->SetOwnedBitmap(std::move(picture));
}

void HotKeyEditKeyDown(HWND edit, WORD& key, TShiftState shift) {
    std::wstring text;
    // A modifier alone is no hot key yet, and Esc clears the edit.
    if (!(key >= VK_SHIFT && key <= VK_MENU) && key != VK_ESCAPE) {
        text = ShortCutToText(ShortCut(key, shift));
        // A hot key needs a modifier and a key with a name.
        if (text.find(L"Shift+") == std::wstring::npos && text.find(L"Ctrl+") == std::wstring::npos &&
            text.find(L"Alt+") == std::wstring::npos)
            text.clear();
        if (!text.empty() && text.back() == L'+') text.clear();
    }
    ::SetWindowTextW(edit, text.c_str());
    LRESULT len = ::SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(len), len);
    key = 0;
}

void SetToolWindowStyle(HWND wnd) {
    ::SetWindowLongW(wnd, GWL_EXSTYLE, ::GetWindowLongW(wnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

bool SetWindowTopMost(HWND wnd, bool topMost) {
    return ::SetWindowPos(wnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW) != FALSE;
}

void SetListBoxHorizontalExtent(HWND listBox) {
    int widest = 0;
    LRESULT count = ::SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    if (count > 0) {
        gui::WindowDC dc(listBox);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(listBox, WM_GETFONT, 0, 0));
        gui::SelectObjectScope select(dc.get(), font ? font : ::GetStockObject(SYSTEM_FONT));
        for (LRESULT i = 0; i < count; ++i) {
            LRESULT len = ::SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
            if (len <= 0) continue;
            std::wstring text(static_cast<size_t>(len) + 1, L'\0');
            len = ::SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            if (len <= 0) continue;
            SIZE size{};
            if (::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(len), &size))
                widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    ::SendMessageW(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest * 2), 0);
}

void PlayWaveFile(const std::wstring& fileName) {
    if (FileExistsSafe(fileName)) ::sndPlaySoundW(fileName.c_str(), SND_ASYNC | SND_NODEFAULT);
}

