// Plays another program with windows of chosen classes, titles, owners and
// styles. Argument: a UTF-8 description file, one window a line, fields
// "key=value" separated by tabs:
//   class, title, style and exstyle (hex), x, y, w, h, parent and owner (the
//   line number, from 0, of an earlier window), id, sys=1 (use the existing
//   system class instead of registering one), focus=1 (SetFocus after
//   creation), show (a ShowWindow command after creation).
// When every window stands, the handles go to "<file>.out", one a line in
// decimal. With the argument "/opendialog" it shows the common open dialog.
// Runs until it is ended.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace {

LRESULT CALLBACK HostWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t end = s.find(sep, start);
        parts.push_back(s.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return parts;
        start = end + 1;
    }
}

bool EnsureClass(const std::wstring& name) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = HostWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name.c_str();
    return ::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

int OpenDialog() {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{sizeof(ofn)};
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"OrvOpenDialog";
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
    ::GetOpenFileNameW(&ofn);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    std::wstring arg = argv[1];
    ::LocalFree(argv);
    if (arg == L"/opendialog") return OpenDialog();

    std::string bytes;
    if (!gui::ReadWholeFile(arg, bytes)) return 3;
    std::vector<HWND> windows;
    for (std::wstring line : Split(gui::Utf8ToWide(bytes), L'\n')) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty()) continue;
        std::map<std::wstring, std::wstring> f;
        for (const auto& field : Split(line, L'\t')) {
            size_t eq = field.find(L'=');
            if (eq != std::wstring::npos) f[field.substr(0, eq)] = field.substr(eq + 1);
        }
        auto num = [&](const wchar_t* key, long def) {
            return f.count(key) ? static_cast<long>(std::wcstoll(f[key].c_str(), nullptr, 0)) : def;
        };
        HWND parent = f.count(L"parent") ? windows.at(num(L"parent", 0)) : nullptr;
        HWND owner = f.count(L"owner") ? windows.at(num(L"owner", 0)) : nullptr;
        DWORD defStyle = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        DWORD style = static_cast<DWORD>(num(L"style", static_cast<long>(defStyle)));
        if (parent) style |= WS_CHILD;
        std::wstring cls = f[L"class"];
        if (num(L"sys", 0) == 0 && !EnsureClass(cls)) return 4;
        HWND wnd = ::CreateWindowExW(static_cast<DWORD>(num(L"exstyle", 0)), cls.c_str(),
                                     f[L"title"].c_str(), style, num(L"x", 100), num(L"y", 100),
                                     num(L"w", 300), num(L"h", 200), parent ? parent : owner,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(num(L"id", 0))),
                                     ::GetModuleHandleW(nullptr), nullptr);
        if (!wnd) return 5;
        if (f.count(L"show")) ::ShowWindow(wnd, num(L"show", SW_SHOW));
        if (num(L"focus", 0)) ::SetFocus(wnd);
        windows.push_back(wnd);
    }
    std::string out;
    for (HWND w : windows) out += std::to_string(reinterpret_cast<UINT_PTR>(w)) + "\n";
    if (!gui::WriteWholeFile(arg + L".out", out)) return 6;
    return Run();
}
