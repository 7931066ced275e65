// Orvandel.dll: a system-wide mouse hook that tells the history window about a
// middle click on the desktop. Offers the three exports (imported by name),
// the shared record they and the hook procedure use, and WM_DESKTOPMCLICK.
#pragma once

#include <windows.h>

#include <cstddef>

// Posted to the window given to Func_InstallMHook; wParam 0, lParam the
// desktop's top-level window.
constexpr UINT WM_DESKTOPMCLICK = WM_USER + 101;

// The named shared memory every process that loads the library opens: the
// hook runs inside other programs, so its state cannot live in variables.
inline constexpr wchar_t kMouseHookShareName[] = L"Orvandel.dll/Quorvin";

struct TMouseHookShare {
    HWND TargetWnd;    // receives WM_DESKTOPMCLICK
    HHOOK HookHandle;  // the installed WH_MOUSE hook
    BYTE NeedCtrl;     // non-zero: Ctrl must be held
    BYTE NeedShift;    // non-zero: Shift must be held; decides alone when both are set
    BYTE Reserved[2];  // neither read nor written
};
static_assert(sizeof(TMouseHookShare) == 12, "the record is shared with other builds; keep its size");
static_assert(offsetof(TMouseHookShare, HookHandle) == 4 && offsetof(TMouseHookShare, NeedCtrl) == 8 &&
                  offsetof(TMouseHookShare, NeedShift) == 9,
              "the record is shared with other builds; keep its layout");

#ifdef ORV_HOOK_BUILD
#define ORV_HOOK_API
#else
#define ORV_HOOK_API __declspec(dllimport)
#endif

extern "C" {
// Records Wnd and installs the hook for all threads; the hook handle, 0 on failure.
ORV_HOOK_API HHOOK WINAPI Func_InstallMHook(HWND Wnd);
// Sets the modifier rule; TRUE when both are non-zero (FALSE also when the
// record cannot be reached).
ORV_HOOK_API BOOL WINAPI Func_SetKey(BYTE Ctrl, BYTE Shift);
// Removes the hook named in the record, which stays as it is; 0 on success, -1 on failure.
ORV_HOOK_API int WINAPI Func_UnInstallMHook();
}
