// Another program with an edit box that copies a text from it, as a user
// does with Ctrl+C. Argument: a UTF-8 file holding the text. The window
// ("CapEditHost") comes up in front with the edit focused and filling it;
// the edit gets the text, copies it to the clipboard (WM_COPY) and is
// cleared again, so what it shows afterwards is only what is pasted into
// it. Then "<file>.hwnd" gets the window's and the edit's handles in
// decimal, one a line. Runs until it is ended.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace {

HWND g_edit = nullptr;

LRESULT CALLBACK HostProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (g_edit) ::MoveWindow(g_edit, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return 0;
        case WM_SETFOCUS:
            if (g_edit) ::SetFocus(g_edit);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    std::wstring file = argv[1];
    ::LocalFree(argv);
    std::string bytes;
    if (!gui::ReadWholeFile(file, bytes)) return 3;

    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"CapEditHost";
    if (!::RegisterClassExW(&wc)) return 4;
    HWND top = ::CreateWindowExW(0, L"CapEditHost", L"CapEditHost", WS_OVERLAPPEDWINDOW, 200, 200, 400,
                                 200, nullptr, nullptr, inst, nullptr);
    g_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
                               400, 200, top, nullptr, inst, nullptr);
    if (!top || !g_edit) return 5;
    ::ShowWindow(top, SW_SHOW);
    ::SetForegroundWindow(top);
    ::SetFocus(g_edit);

    ::SetWindowTextW(g_edit, gui::Utf8ToWide(bytes).c_str());
    ::SendMessageW(g_edit, EM_SETSEL, 0, -1);
    ::SendMessageW(g_edit, WM_COPY, 0, 0);
    ::SetWindowTextW(g_edit, L"");

    std::string out = std::to_string(reinterpret_cast<UINT_PTR>(top)) + "\n" +
                      std::to_string(reinterpret_cast<UINT_PTR>(g_edit)) + "\n";
    if (!gui::WriteWholeFile(file + L".hwnd", out)) return 6;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
