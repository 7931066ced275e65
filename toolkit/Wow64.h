// The WOW64 file-system redirection switch and the wrappers that test, open
// and start user-chosen paths with redirection off. On 64-bit Windows the
// 32-bit program would otherwise see the 32-bit copies wherever a path leads
// into the system folder. On 32-bit Windows every wrapper is the plain call.
//
// The switch nests: only the outermost DisableWow64Redirection turns
// redirection off and only its matching RevertWow64Redirection turns it back
// on, so a wrapper called inside another bracket leaves redirection as the
// outer bracket wants it. Redirection is a per-thread state, and so is the
// switch's count.
#pragma once

#include <windows.h>
#include <string>

// True when the process runs under WOW64; set by DetectWow64.
extern bool Wow64Active;
// The redirection state saved by the outermost disable, given back by its revert.
extern thread_local PVOID Wow64OldValue;

// Whether the process runs under WOW64 (also stored in Wow64Active).
bool DetectWow64();
// Detects WOW64 and binds the redirection functions of the system folder's
// Kernel32.dll. The tray form calls it once at start; the switch calls it
// itself when it is used before that, so nothing runs redirected by mistake.
void InitWow64();

void DisableWow64Redirection();
void RevertWow64Redirection();

// Redirection off for the lifetime of a scope, on every way out.
class Wow64RedirectionOff {
public:
    Wow64RedirectionOff() { DisableWow64Redirection(); }
    ~Wow64RedirectionOff() { RevertWow64Redirection(); }
    Wow64RedirectionOff(const Wow64RedirectionOff&) = delete;
    Wow64RedirectionOff& operator=(const Wow64RedirectionOff&) = delete;
};

bool Wow64DriveReady(wchar_t ch);
// False for ''; else the drive test of its first character.
bool Wow64PathDriveReady(const std::wstring& path);

bool DirectoryExistsNoRedirect(const std::wstring& dir);
bool FileExistsNoRedirect(const std::wstring& fileName);

// ShellExecuteW with the default verb; the result as ShellExecuteW gives it
// (above 32 is success).
int ShellExecuteNoRedirect(HWND wnd, const std::wstring& fileName, const std::wstring& params,
                           const std::wstring& dir, int showCmd);
// "open" with the main form's window as owner, SW_SHOW.
int ShellOpenNoRedirect(const std::wstring& fileName);

// The shell's icon of the file at shell icon size; a file without one (a
// missing file, say) gets icon 30 of the system folder's Shell32.dll. The
// caller destroys the icon.
HICON GetFileIconNoRedirect(const std::wstring& fileName);
