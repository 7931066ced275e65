// A program that imports Orvandel.dll's functions at load time, as
// Orvandel.exe does: it cannot start unless the import library binds to the
// exported names. Commands (the result is the exit code):
//   setkey CTRL SHIFT   Func_SetKey's result
//   install             1 when Func_InstallMHook gave a hook, + 2 when
//                       Func_UnInstallMHook then removed it
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "hooklib/Hook.h"

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 100;
    std::wstring cmd = argv[1];
    int result = 100;
    if (cmd == L"setkey" && argc == 4) {
        result = Func_SetKey(static_cast<BYTE>(_wtoi(argv[2])), static_cast<BYTE>(_wtoi(argv[3])));
    } else if (cmd == L"install") {
        HWND sink = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
        result = (Func_InstallMHook(sink) ? 1 : 0);
        result += (Func_UnInstallMHook() == 0 ? 2 : 0);
        ::DestroyWindow(sink);
    }
    ::LocalFree(argv);
    return result;
}
