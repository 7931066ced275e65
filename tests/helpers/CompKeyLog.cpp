// Another program with an edit box that writes down every key message it
// gets. Argument: the log file. Each key or character message of the edit
// appends a line "<message> <wParam> <lParam>" (message name, then hex);
// when the edit stands its handle goes to "<log>.hwnd" in decimal. Runs
// until it is ended.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "gui/FileIO.h"
#include "gui/Exception.h"

namespace {

std::wstring g_log;
WNDPROC g_editProc = nullptr;

const char* KeyMessageName(UINT msg) {
    switch (msg) {
        case WM_KEYDOWN: return "WM_KEYDOWN";
        case WM_KEYUP: return "WM_KEYUP";
        case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
        case WM_SYSKEYUP: return "WM_SYSKEYUP";
        case WM_CHAR: return "WM_CHAR";
        case WM_SYSCHAR: return "WM_SYSCHAR";
        default: return nullptr;
    }
}

void AppendLine(const char* text) {
    HANDLE f = ::CreateFileW(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(f, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    ::CloseHandle(f);
}

LRESULT CALLBACK EditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (const char* name = KeyMessageName(msg)) {
        char line[96];
        std::snprintf(line, sizeof(line), "%s %08lX %08lX\n", name, static_cast<unsigned long>(wp),
                      static_cast<unsigned long>(lp));
        AppendLine(line);
    }
    return ::CallWindowProcW(g_editProc, wnd, msg, wp, lp);
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    g_log = argv[1];
    ::LocalFree(argv);

    HWND frame = ::CreateWindowExW(0, L"STATIC", L"CompKeyLog", WS_OVERLAPPED | WS_CAPTION, 50, 50,
                                   300, 120, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 5, 5, 280,
                                  24, frame, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!frame || !edit) return 3;
    g_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    if (!gui::WriteWholeFile(g_log + L".hwnd", std::to_string(reinterpret_cast<UINT_PTR>(edit))))
        return 4;

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
