// Keeps the clipboard open, as a program that is busy with the clipboard
// does, then closes it. Arguments: the longest time in milliseconds
// (default 1000) and, optionally, the name of an event whose signal ends the
// hold sooner.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    DWORD ms = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 1000;
    HANDLE release = argc > 2 ? ::OpenEventA(SYNCHRONIZE, FALSE, argv[2]) : nullptr;
    if (argc > 2 && !release) return 2;
    HWND wnd = ::CreateWindowExW(0, L"STATIC", L"ClipboardHolder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!wnd || !::OpenClipboard(wnd)) return 1;
    if (release) {
        ::WaitForSingleObject(release, ms);
        ::CloseHandle(release);
    } else {
        ::Sleep(ms);
    }
    ::CloseClipboard();
    ::DestroyWindow(wnd);
    return 0;
}
