// Puts something on the clipboard as another program does, then ends:
//   CapClip <file>     the file's UTF-8 text as Unicode text
//   CapClip /bitmap    a small bitmap and no text
// Exits 0 when the clipboard took it.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace {

bool Put(HWND owner, UINT format, HANDLE data) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (::OpenClipboard(owner)) {
            bool ok = ::EmptyClipboard() && ::SetClipboardData(format, data) != nullptr;
            ::CloseClipboard();
            return ok;
        }
        ::Sleep(50);
    }
    return false;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    std::wstring arg = argv[1];
    ::LocalFree(argv);
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"CapClip", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (arg == L"/bitmap") {
        HDC screen = ::GetDC(nullptr);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 4, 4);
        ::ReleaseDC(nullptr, screen);
        return Put(owner, CF_BITMAP, bmp) ? 0 : 1;
    }
    std::string bytes;
    if (!gui::ReadWholeFile(arg, bytes)) return 3;
    std::wstring text = gui::Utf8ToWide(bytes);
    size_t size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem) return 4;
    std::memcpy(::GlobalLock(mem), text.c_str(), size);
    ::GlobalUnlock(mem);
    if (!Put(owner, CF_UNICODETEXT, mem)) {
        ::GlobalFree(mem);
        return 1;
    }
    return 0;
}
