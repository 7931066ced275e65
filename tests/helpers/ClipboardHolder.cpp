// Keeps the clipboard open for as many milliseconds as its argument says,
// as a program that is busy with the clipboard does, then closes it.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    DWORD ms = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 1000;
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"ClipboardHolder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!wnd || !::OpenClipboard(wnd)) return 1;
    ::Sleep(ms);
    ::CloseClipboard();
    ::DestroyWindow(wnd);
    return 0;
}
