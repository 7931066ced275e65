// Plays a program that asks before a delete: a dialog (class "#32770") with
// the given title, owned by a top-level window of the given kind, and
// optionally a stand-in for the recycle bin's folder window.
//
//   TrashDeleteDialog <owner> <dialog title> [<bin window title>]
//
// Owners: "progman" (class "Progman", title "Program Manager", the desktop),
// "progclass" (class "Progman", another title), "manager" (another class,
// title "Program Manager"), "folder" (an Explorer folder window,
// "CabinetWClass"). The dialog goes away when it is answered (OK, Cancel or
// its close command); the bin window closes on its close command. The
// program runs until it is ended.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

LRESULT CALLBACK PlainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

INT_PTR CALLBACK DeleteDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::DestroyWindow(dlg);
        return TRUE;
    }
    return FALSE;
}

void Register(const wchar_t* cls) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = cls;
    ::RegisterClassW(&wc);
}

HWND Top(const wchar_t* cls, const std::wstring& title, int x) {
    return ::CreateWindowExW(0, cls, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, 80, 300, 200, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const std::wstring kind = argv[1];
    Register(L"Progman");
    Register(L"TDeskFrame");
    Register(L"CabinetWClass");

    HWND owner = nullptr;
    if (kind == L"progman")
        owner = Top(L"Progman", L"Program Manager", 20);
    else if (kind == L"progclass")
        owner = Top(L"Progman", L"Desktop", 20);
    else if (kind == L"manager")
        owner = Top(L"TDeskFrame", L"Program Manager", 20);
    else if (kind == L"folder")
        owner = Top(L"CabinetWClass", L"C:\\Orvandel Folder", 20);
    if (!owner) return 3;
    if (argc > 3) Top(L"CabinetWClass", argv[3], 340);

    // A dialog template with no controls: the title is set afterwards.
    struct alignas(4) Template {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
    } tmpl{};
    tmpl.dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
    tmpl.dlg.x = 60;
    tmpl.dlg.y = 60;
    tmpl.dlg.cx = 200;
    tmpl.dlg.cy = 60;
    HWND dlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tmpl.dlg, owner, DeleteDlgProc, 0);
    if (!dlg) return 4;
    ::SetWindowTextW(dlg, argv[2]);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsWindow(dlg) && ::IsDialogMessageW(dlg, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
