// Plays another program's dialog for the button-watch tests: shows a real
// message box with the text "msg" and a second line, the caption "Cap" and
// the buttons OK and Cancel, and ends with the box's result as exit code
// (IDOK 1, IDCANCEL 2).
//   BtnMsgBox.exe [disabled]
// With "disabled" the OK button is disabled as soon as the box stands.
#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

bool g_disable = false;

// Runs on the box's own thread while it is being made.
LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_ACTIVATE && g_disable) {
        HWND box = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        ::GetClassNameW(box, cls, 16);
        if (std::wcscmp(cls, L"#32770") == 0) ::EnableWindow(::GetDlgItem(box, IDOK), FALSE);
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    g_disable = argc > 1 && std::strcmp(argv[1], "disabled") == 0;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
    int result = ::MessageBoxW(nullptr, L"msg\r\nsecond line", L"Cap", MB_OKCANCEL);
    if (hook) ::UnhookWindowsHookEx(hook);
    return result;
}
