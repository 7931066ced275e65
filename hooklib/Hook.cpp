// While the hook is installed Windows maps this library into every GUI
// process and calls MouseHookProc on their input threads. So the library is
// built without the C++ runtime (no exceptions, no heap, no static
// constructors): nothing here can throw through a foreign frame, and the hook
// only reads the shared record, asks a few window questions and posts one
// message.
#include "hooklib/Hook.h"

namespace {

// The mapping this process keeps open, so the record lives as long as any
// process has the library loaded.
HANDLE HookShareMapping = nullptr;
HINSTANCE LibraryModule = nullptr;

// The record opened by name for the length of one call. View() is null when
// the mapping cannot be opened or mapped; callers then leave it alone.
class ShareView {
public:
    ShareView() {
        mapping_ = ::OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kMouseHookShareName);
        if (mapping_)
            view_ = static_cast<TMouseHookShare*>(
                ::MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~ShareView() {
        if (view_) ::UnmapViewOfFile(view_);
        if (mapping_) ::CloseHandle(mapping_);
    }
    ShareView(const ShareView&) = delete;
    ShareView& operator=(const ShareView&) = delete;

    TMouseHookShare* View() const { return view_; }

private:
    HANDLE mapping_ = nullptr;
    TMouseHookShare* view_ = nullptr;
};

bool KeyDown(int vk) { return (::GetAsyncKeyState(vk) & 0x8000) != 0; }

bool ModifierRuleMet(BYTE needCtrl, BYTE needShift) {
    if (needShift) return KeyDown(VK_SHIFT);
    if (needCtrl) return KeyDown(VK_CONTROL);
    return !KeyDown(VK_CONTROL) && !KeyDown(VK_SHIFT);
}

// Exact comparison, case included; the runtime's string functions are not
// linked in.
bool SameTextExact(const wchar_t* a, const wchar_t* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

HWND TopmostAncestor(HWND w) {
    // Parent chains cannot loop, but this runs inside other programs: a bound
    // costs nothing and rules out a hung input thread.
    for (int depth = 0; depth < 256; ++depth) {
        HWND parent = ::GetParent(w);
        if (!parent) break;
        w = parent;
    }
    return w;
}

bool IsDesktopWindow(HWND top) {
    wchar_t cls[261];
    int n = ::GetClassNameW(top, cls, 261);
    if (n <= 0) return false;
    cls[n] = L'\0';
    if (!SameTextExact(cls, L"Progman") && !SameTextExact(cls, L"WorkerW")) return false;
    return ::FindWindowExW(top, nullptr, L"SHELLDLL_DefView", nullptr) != nullptr;
}

LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    HWND targetWnd = nullptr;
    HHOOK hookHandle = nullptr;
    BYTE needCtrl = 0, needShift = 0;
    bool haveRecord = false;
    {
        ShareView share;
        if (TMouseHookShare* rec = share.View()) {
            targetWnd = rec->TargetWnd;
            hookHandle = rec->HookHandle;
            needCtrl = rec->NeedCtrl;
            needShift = rec->NeedShift;
            haveRecord = true;
        }
    }

    LRESULT result = ::CallNextHookEx(hookHandle, nCode, wParam, lParam);
    if (nCode != HC_ACTION || !haveRecord) return result;

    POINT pt;
    if (!::GetCursorPos(&pt)) return result;
    HWND w = ::WindowFromPoint(pt);
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (!w || !info || w != info->hwnd) return result;

    // The click always goes on to the window.
    if (wParam == WM_MBUTTONUP && ModifierRuleMet(needCtrl, needShift)) {
        HWND top = TopmostAncestor(w);
        // Any process can write the record: post only to a real window, never
        // to 0 (this thread) or HWND_BROADCAST.
        if (IsDesktopWindow(top) && ::IsWindow(targetWnd))
            ::PostMessageW(targetWnd, WM_DESKTOPMCLICK, 0, reinterpret_cast<LPARAM>(top));
    }
    return 0;
}

}  // namespace

extern "C" {

HHOOK WINAPI Func_InstallMHook(HWND Wnd) {
    ShareView share;
    TMouseHookShare* rec = share.View();
    // Without the record the hook could never be found again to be removed.
    if (!rec) return nullptr;
    rec->TargetWnd = Wnd;
    rec->HookHandle = ::SetWindowsHookExW(WH_MOUSE, MouseHookProc, LibraryModule, 0);
    return rec->HookHandle;
}

BOOL WINAPI Func_SetKey(BYTE Ctrl, BYTE Shift) {
    ShareView share;
    TMouseHookShare* rec = share.View();
    if (!rec) return FALSE;
    rec->NeedCtrl = Ctrl;
    rec->NeedShift = Shift;
    return Ctrl != 0 && Shift != 0;
}

int WINAPI Func_UnInstallMHook() {
    ShareView share;
    TMouseHookShare* rec = share.View();
    if (!rec) return -1;
    return ::UnhookWindowsHookEx(rec->HookHandle) ? 0 : -1;
}

// The library's entry point: there is no runtime start-up code to run first.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        LibraryModule = instance;
        ::DisableThreadLibraryCalls(instance);
        // The first process creates the zero-filled record, later ones open it.
        HookShareMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(TMouseHookShare), kMouseHookShareName);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (HookShareMapping) ::CloseHandle(HookShareMapping);
        HookShareMapping = nullptr;
    }
    return TRUE;
}

}  // extern "C"
