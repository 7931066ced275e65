// Plays the window the user was in before, for the tests of acting on
// entries: "ActTarget.exe MODE LOG [ARG]". What the window receives is
// appended to LOG, one event a line in UTF-8; once the window stands its
// handles go to "LOG.out", one a line in decimal. Runs until it is ended.
//
// Modes:
//   paste      a program window with a multi-line edit that keeps the focus
//              (as editors do when they are activated again); logs the key
//              messages the edit gets: "key down|up VK LPARAM" in hex.
//              Handles: window, edit.
//   dialog     a file dialog as the program recognises one ("#32770" with a
//              shell view and buttons 1 and 2) whose file-name edit logs
//              "clear", "settext TEXT" and "enter TEXT". With ARG "cut" the
//              edit keeps only the first 12 characters of a text it is given.
//              Handles: dialog, edit.
//   open       the common open dialog, started in the folder ARG; logs
//              "folder PATH" each time it shows a folder. Handles: dialog.
//   explorer   an Explorer window of class ARG ("CabinetWClass" or
//              "ExploreWClass", with ",late" appended: the address bar never
//              turns into an edit box) with the address bar's window chain:
//              WorkerW > ReBarWindow32 > Address Band Root > msctls_progress32
//              > Breadcrumb Parent > ToolbarWindow32 (the breadcrumb). A
//              click on the breadcrumb logs "click X Y" (the cursor) and puts
//              ComboBoxEx32 > ComboBox > Edit under msctls_progress32; Enter
//              in that edit logs "enter TEXT". The folder view is
//              SHELLDLL_DefView > DirectUIHWND. Handles: window, breadcrumb,
//              progress, view.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/FileIO.h"

namespace {

std::wstring gLog;
bool gLate = false;
bool gCut = false;
WNDPROC gEditProc = nullptr;
HWND gEdit = nullptr;
HWND gProgress = nullptr;

void Log(const std::wstring& line) {
    std::string bytes = gui::WideToUtf8(line) + "\n";
    HANDLE f = ::CreateFileW(gLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

std::wstring Hex(ULONG_PTR v) {
    wchar_t buf[32];
    ::swprintf(buf, 32, L"%lX", static_cast<unsigned long>(v));
    return buf;
}

std::wstring TextOf(HWND wnd) {
    wchar_t buf[1024] = {};
    ::GetWindowTextW(wnd, buf, 1024);
    return buf;
}

bool WriteHandles(const std::vector<HWND>& windows) {
    std::string out;
    for (HWND w : windows) out += std::to_string(reinterpret_cast<UINT_PTR>(w)) + "\n";
    return gui::WriteWholeFile(gLog + L".out", out);
}

bool Register(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK PlainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

HWND Child(const wchar_t* cls, HWND parent, int x, int y, int w, int h, int id = 0, DWORD style = 0) {
    return ::CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                             nullptr);
}

int Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

// --- paste -----------------------------------------------------------------

LRESULT CALLBACK PasteEditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP)
        Log(std::wstring(L"key ") + (msg == WM_KEYDOWN ? L"down " : L"up ") + Hex(wp) + L" " +
            Hex(static_cast<ULONG_PTR>(lp)));
    return ::CallWindowProcW(gEditProc, wnd, msg, wp, lp);
}

LRESULT CALLBACK PasteWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ACTIVATE:
            // The edit keeps the focus over a round trip to another window.
            if (LOWORD(wp) != WA_INACTIVE && gEdit) {
                ::SetFocus(gEdit);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (gEdit) ::SetFocus(gEdit);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

int PasteMode() {
    if (!Register(L"ActPasteWindow", PasteWindowProc)) return 4;
    HWND top = ::CreateWindowExW(0, L"ActPasteWindow", L"貼り付け先", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150,
                                 500, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!top) return 5;
    gEdit = Child(L"Edit", top, 10, 10, 460, 220, 100, ES_MULTILINE | ES_AUTOVSCROLL | WS_BORDER);
    if (!gEdit) return 5;
    gEditProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(gEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PasteEditProc)));
    ::SetFocus(gEdit);
    if (!WriteHandles({top, gEdit})) return 6;
    return Run();
}

// --- dialog ----------------------------------------------------------------

LRESULT CALLBACK DialogEditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLEAR:
            Log(L"clear");
            break;
        case WM_SETTEXT: {
            std::wstring text = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
            Log(L"settext " + text);
            if (gCut && text.size() > 12) {
                text.resize(12);
                return ::CallWindowProcW(gEditProc, wnd, msg, wp, reinterpret_cast<LPARAM>(text.c_str()));
            }
            break;
        }
        case WM_KEYDOWN:
            if (wp == VK_RETURN) {
                Log(L"enter " + TextOf(wnd) + L" " + Hex(static_cast<ULONG_PTR>(lp)));
                return 0;
            }
            break;
        default:
            break;
    }
    return ::CallWindowProcW(gEditProc, wnd, msg, wp, lp);
}

int DialogMode() {
    if (!Register(L"SHELLDLL_DefView", PlainProc)) return 4;
    // The system's dialog class, as file dialogs have it.
    HWND dlg = ::CreateWindowExW(0, L"#32770", L"ファイルを開く", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 220, 160, 520,
                                 360, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!dlg) return 5;
    Child(L"SHELLDLL_DefView", dlg, 10, 10, 480, 220, 1121);
    HWND edit = Child(L"Edit", dlg, 10, 240, 360, 24, 1152, WS_BORDER | ES_AUTOHSCROLL);
    HWND ok = ::CreateWindowExW(0, L"Button", L"開く", WS_CHILD | WS_VISIBLE, 380, 240, 60, 24, dlg,
                                reinterpret_cast<HMENU>(IDOK), ::GetModuleHandleW(nullptr), nullptr);
    HWND cancel = ::CreateWindowExW(0, L"Button", L"キャンセル", WS_CHILD | WS_VISIBLE, 380, 270, 60, 24, dlg,
                                    reinterpret_cast<HMENU>(IDCANCEL), ::GetModuleHandleW(nullptr), nullptr);
    if (!edit || !ok || !cancel) return 5;
    gEditProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogEditProc)));
    if (!WriteHandles({dlg, edit})) return 6;
    return Run();
}

// --- open ------------------------------------------------------------------

UINT_PTR CALLBACK OpenHook(HWND hookDlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_NOTIFY) return 0;
    auto* n = reinterpret_cast<OFNOTIFYW*>(lp);
    HWND dlg = ::GetParent(hookDlg);
    if (n->hdr.code == CDN_INITDONE) {
        WriteHandles({dlg});
    } else if (n->hdr.code == CDN_FOLDERCHANGE) {
        wchar_t path[MAX_PATH] = {};
        ::SendMessageW(dlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        Log(std::wstring(L"folder ") + path);
    }
    return 0;
}

int OpenMode(const std::wstring& folder) {
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{sizeof(ofn)};
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"ActOpenDialog";
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpfnHook = OpenHook;
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_FILEMUSTEXIST;
    ::GetOpenFileNameW(&ofn);
    return 0;
}

// --- explorer --------------------------------------------------------------

LRESULT CALLBACK AddressEditProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        Log(L"enter " + TextOf(wnd));
        return 0;
    }
    return ::CallWindowProcW(gEditProc, wnd, msg, wp, lp);
}

LRESULT CALLBACK BreadcrumbProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONUP) {
        POINT pt{};
        ::GetCursorPos(&pt);
        Log(L"click " + std::to_wstring(pt.x) + L" " + std::to_wstring(pt.y));
        if (!gLate && !::FindWindowExW(gProgress, nullptr, L"ComboBoxEx32", nullptr)) {
            HWND ex = Child(L"ComboBoxEx32", gProgress, 0, 0, 400, 24);
            HWND combo = Child(L"ComboBox", ex, 0, 0, 400, 24);
            HWND edit = Child(L"Edit", combo, 0, 0, 380, 24, 0, ES_AUTOHSCROLL);
            gEditProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AddressEditProc)));
        }
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

int ExplorerMode(std::wstring cls) {
    size_t comma = cls.find(L',');
    if (comma != std::wstring::npos) {
        gLate = cls.substr(comma + 1) == L"late";
        cls.erase(comma);
    }
    // Our own classes under the names Explorer's windows have; the
    // breadcrumb answers a click, the rest only hold their children.
    for (const wchar_t* name : {L"WorkerW", L"ReBarWindow32", L"Address Band Root", L"msctls_progress32",
                                L"Breadcrumb Parent", L"SHELLDLL_DefView", L"DirectUIHWND", L"ComboBoxEx32",
                                L"ComboBox"})
        if (!Register(name, PlainProc)) return 4;
    if (!Register(L"ToolbarWindow32", BreadcrumbProc) || !Register(cls.c_str(), PlainProc)) return 4;

    HWND top = ::CreateWindowExW(0, cls.c_str(), L"Work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 180, 120, 640, 420,
                                 nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!top) return 5;
    HWND worker = Child(L"WorkerW", top, 0, 0, 620, 40);
    HWND rebar = Child(L"ReBarWindow32", worker, 0, 0, 620, 40);
    HWND band = Child(L"Address Band Root", rebar, 0, 0, 600, 30);
    gProgress = Child(L"msctls_progress32", band, 0, 0, 600, 30);
    HWND crumbParent = Child(L"Breadcrumb Parent", gProgress, 0, 0, 600, 30);
    HWND crumbs = Child(L"ToolbarWindow32", crumbParent, 0, 0, 500, 30);
    HWND defView = Child(L"SHELLDLL_DefView", top, 0, 50, 620, 320);
    HWND view = Child(L"DirectUIHWND", defView, 0, 0, 620, 320);
    if (!worker || !rebar || !band || !gProgress || !crumbParent || !crumbs || !defView || !view) return 5;
    if (!WriteHandles({top, crumbs, gProgress, view})) return 6;
    return Run();
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    std::wstring mode = argv[1];
    gLog = argv[2];
    std::wstring arg = argc > 3 ? argv[3] : L"";
    ::LocalFree(argv);
    if (mode == L"paste") return PasteMode();
    if (mode == L"dialog") {
        gCut = arg == L"cut";
        return DialogMode();
    }
    if (mode == L"open") return OpenMode(arg);
    if (mode == L"explorer") return ExplorerMode(arg);
    return 2;
}
