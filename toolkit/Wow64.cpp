#include "toolkit/Wow64.h"

#include <shellapi.h>

#include "gui/Application.h"
#include "gui/Handles.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/TextHelpers.h"

bool Wow64Active = false;
thread_local PVOID Wow64OldValue = nullptr;

namespace {

using DisableFn = BOOL(WINAPI*)(PVOID*);
using RevertFn = BOOL(WINAPI*)(PVOID);

bool initDone = false;
gui::Module kernel32;
DisableFn disableFn = nullptr;
RevertFn revertFn = nullptr;

// Brackets open on this thread, and whether the outermost one turned
// redirection off (it may have failed, and then there is nothing to revert).
thread_local int depth = 0;
thread_local bool switchedOff = false;

}  // namespace

bool DetectWow64() {
    // IsWow64 looks IsWow64Process up in Kernel32.dll and, where it is
    // missing, takes version 5.2 or later as 64-bit.
    Wow64Active = IsWow64();
    return Wow64Active;
}

void InitWow64() {
    initDone = true;
    if (!DetectWow64() || disableFn) return;
    std::wstring sys;
    GetSystemDir(sys);
    if (sys.empty()) return;
    kernel32.reset(::LoadLibraryW((sys + L"Kernel32.dll").c_str()));
    if (!kernel32) return;
    disableFn = reinterpret_cast<DisableFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32.get(), "Wow64DisableWow64FsRedirection")));
    revertFn = reinterpret_cast<RevertFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel32.get(), "Wow64RevertWow64FsRedirection")));
    if (!disableFn || !revertFn) {
        disableFn = nullptr;
        revertFn = nullptr;
    }
}

void DisableWow64Redirection() {
    if (!initDone) InitWow64();
    if (!Wow64Active) return;
    if (depth++ == 0) switchedOff = disableFn && disableFn(&Wow64OldValue);
}

void RevertWow64Redirection() {
    // A revert without its disable changes nothing.
    if (depth == 0) return;
    if (--depth == 0 && switchedOff) {
        revertFn(Wow64OldValue);
        switchedOff = false;
    }
}

bool Wow64DriveReady(wchar_t ch) { return IsDriveReady(ch); }

bool Wow64PathDriveReady(const std::wstring& path) { return !path.empty() && Wow64DriveReady(path[0]); }

bool DirectoryExistsNoRedirect(const std::wstring& dir) {
    Wow64RedirectionOff off;
    return Wow64PathDriveReady(dir) && DirectoryExistsSafe(dir);
}

bool FileExistsNoRedirect(const std::wstring& fileName) {
    Wow64RedirectionOff off;
    return Wow64PathDriveReady(fileName) && FileExistsSafe(fileName);
}

int ShellExecuteNoRedirect(HWND wnd, const std::wstring& fileName, const std::wstring& params,
                           const std::wstring& dir, int showCmd) {
    Wow64RedirectionOff off;
    return static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(wnd, nullptr, fileName.c_str(), OrNull(params), OrNull(dir), showCmd)));
}

int ShellOpenNoRedirect(const std::wstring& fileName) {
    Wow64RedirectionOff off;
    return static_cast<int>(reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(gui::MainFormWindow(), L"open", fileName.c_str(), nullptr, nullptr, SW_SHOW)));
}

HICON GetFileIconNoRedirect(const std::wstring& fileName) {
    Wow64RedirectionOff off;
    SHFILEINFOW info{};
    if (::SHGetFileInfoW(fileName.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SHELLICONSIZE) &&
        info.hIcon)
        return info.hIcon;
    std::wstring sys;
    GetSystemDir(sys);
    if (sys.empty()) return nullptr;
    return ::ExtractIconW(::GetModuleHandleW(nullptr), (sys + L"Shell32.dll").c_str(), 30);
}
