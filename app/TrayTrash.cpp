#include "app/TrayTrash.h"

#include <shellapi.h>

#include "app/Tray.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinRegistry.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/QuorvinWindows.h"
#include "toolkit/TextHelpers.h"

namespace {

constexpr const wchar_t* kRecycleBinClsid = L"{645FF040-5081-101B-9F08-00AA002F954E}";

// This program's file in its long form, as window paths are compared.
std::wstring OwnProgramPath() {
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring longPath;
    GetLongPathNameStr(exe, longPath);
    return longPath.empty() ? exe : longPath;
}

// Explorer's delete-confirmation dialog, by the titles this Windows uses; 0 when none.
HWND FindDeleteDialog() {
    static const wchar_t* const newTitles[] = {L"ファイルの削除", L"フォルダーの削除", L"複数ファイルの削除"};
    static const wchar_t* const oldTitles[] = {L"ファイルの削除の確認", L"フォルダーの削除の確認",
                                               L"複数ファイルの削除の確認"};
    const wchar_t* const* titles = IsWindows7OrLater() ? newTitles : oldTitles;
    for (int i = 0; i < 3; ++i)
        if (HWND dlg = ::FindWindowW(L"#32770", titles[i])) return dlg;
    return nullptr;
}

// A delete started from the desktop or from this program.
bool IsWatchedOwner(HWND dlg) {
    std::wstring title, cls, exe;
    GetWindowTitleClassExe(GetTopLevelWindow(dlg), title, cls, exe);
    if (title == L"Program Manager" || cls == L"Progman") return true;
    return !exe.empty() && LowerCase(exe) == LowerCase(OwnProgramPath());
}

bool IsWindowHandle(HWND w) { return w && ::IsWindow(w); }

}  // namespace

bool RecycleBinHasItems() {
    SHQUERYRBINFO info{sizeof(info)};
    return SUCCEEDED(::SHQueryRecycleBinW(L"", &info)) && info.i64NumItems > 0;
}

void TTrashWatch::ReadTrashName() {
    MTrashName.clear();
    gui::RegKey key = OpenRegKeyFullAccess(
        HKEY_CURRENT_USER, std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\") +
                               kRecycleBinClsid);
    if (key) ReadRegString(key.get(), L"", MTrashName);
    if (MTrashName.empty()) MTrashName = L"ごみ箱";
}

void TTrashWatch::PPTrashOpenClick() {
    Form.FPopUpR = false;
    ShellExecuteOwned(Form.Handle(), std::wstring(L"::") + kRecycleBinClsid, L"", L"", SW_SHOWNORMAL);
    MTrashWin = nullptr;
    // The shell opens the window on its own time: look for it for up to 3 s.
    for (int round = 0; round < 6 && !MTrashWin; ++round) {
        ::Sleep(500);
        MTrashWin = ::FindWindowW(L"CabinetWClass", MTrashName.c_str());
    }
}

void TTrashWatch::PPTrashEmptyClick() {
    Form.FPopUpR = false;
    // Without flags Windows asks for confirmation and shows its progress.
    if (RecycleBinHasItems()) ::SHEmptyRecycleBinW(::GetDesktopWindow(), L"", 0);
}

void TTrashWatch::Proc_TrashCheck() {
    // Asking the bin reads the bin folders of every drive: done only where
    // the answer counts, not on each tick.
    int known = -1;
    auto hasItems = [&known] {
        if (known < 0) known = RecycleBinHasItems() ? 1 : 0;
        return known == 1;
    };

    // The watched dialog was answered: close the bin window opened for it.
    if (MTrashDlg && !::IsWindow(MTrashDlg) && IsWindowHandle(MTrashWin))
        ::PostMessageW(MTrashWin, WM_SYSCOMMAND, SC_CLOSE, 0);
    // Nothing left to delete from the bin: the dialog has no use.
    if (IsWindowHandle(MTrashDlg) && !hasItems()) ::PostMessageW(MTrashDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (MTrashDlg && !::IsWindow(MTrashDlg) && !IsWindowHandle(MTrashWin)) {
        MTrashDlg = nullptr;
        MTrashWin = nullptr;
        return;
    }

    if (!Form.PPTrashCheck->Checked()) return;
    HWND dlg = FindDeleteDialog();
    if (!dlg || dlg == MTrashDlg) return;
    if (!IsWatchedOwner(dlg)) return;
    SetWindowTopMost(dlg, Form.PPTrashTop->Checked());
    if (!IsWindowHandle(MTrashWin) && hasItems()) {
        MTrashDlg = dlg;
        if (!(::GetAsyncKeyState(VK_SHIFT) & 0x8000)) PPTrashOpenClick();
    }
}
