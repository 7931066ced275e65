// A windowed program whose window the tests find and place: one visible
// top-level window titled "OrvPlaced" (class "OrvPlacedWindow") at 120, 120
// sized 320 x 240, shown with the show command it was started with. Options:
//   /hidden  the window stays hidden
//   /app     as a program of our own GUI library: a visible zero-size window
//            of class "TApplication" owns the window
//   /normal  the window is shown normal whatever the show command, as a
//            program does that ignores it
// Any further arguments are ignored. Runs until it is ended.
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

void Register(const wchar_t* name) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR cmdLine, int showCmd) {
    const std::wstring args = cmdLine;
    const bool hidden = args.find(L"/hidden") != std::wstring::npos;
    const bool app = args.find(L"/app") != std::wstring::npos;
    if (args.find(L"/normal") != std::wstring::npos) showCmd = SW_SHOWNORMAL;
    Register(L"OrvPlacedWindow");
    HWND owner = nullptr;
    if (app) {
        Register(L"TApplication");
        owner = ::CreateWindowExW(0, L"TApplication", L"PlacedApp", WS_POPUP | WS_VISIBLE, 0, 0, 0, 0,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    HWND wnd = ::CreateWindowExW(0, L"OrvPlacedWindow", L"OrvPlaced", WS_OVERLAPPEDWINDOW, 120, 120,
                                 320, 240, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!hidden) ::ShowWindow(wnd, showCmd);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
