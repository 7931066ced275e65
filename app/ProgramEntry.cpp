#include "app/ProgramEntry.h"

#include <windows.h>
#include <shellapi.h>

#include "app/Globals.h"
#include "app/SingleInstance.h"
#include "app/Tray.h"
#include "app/history/AdrJump.h"
#include "app/monitors/IMEExe.h"
#include "gui/Application.h"
#include "gui/FileIO.h"
#include "gui/Handles.h"
#include "gui/IniFile.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinVersion.h"

std::wstring ParamStr1() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return {};
    std::wstring first = argc > 1 ? argv[1] : L"";
    ::LocalFree(argv);
    return first;
}

namespace {

const wchar_t kListError[] = L"/ListError";

}  // namespace

std::wstring ReadBrackwenExe(const std::wstring& dataFolder) {
    std::wstring dir = dataFolder;
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    size_t cut = dir.rfind(L'\\');
    if (cut == std::wstring::npos) return {};
    std::wstring folder = dir.substr(0, cut + 1) + L"Brackwen";
    if (!DirectoryExistsSafe(folder)) return {};
    gui::TMemIniFile ini(folder + L"\\Brackwen.ini");
    std::wstring exe = ini.ReadString(L"Exe", L"Folder", L"");
    return !exe.empty() && FileExistsSafe(exe) ? exe : std::wstring();
}

namespace {

void ExplorerPathPrompts() {
    const wchar_t caption[] = L"Orvandel - 確認";
    if (!IsVistaOrLater() && GetExplorerFullPathSetting() == 0) {
        if (gui::Application->MessageBox(L"アドレスバーにファイルのパス名を表示するを有効にしますか？",
                                         caption, MB_YESNO | MB_ICONQUESTION) == IDYES)
            SetExplorerFullPathSetting(true);
    }
    if (IsWindows11_22H2Moment4() && GetExplorerFullPathSetting() == 0) {
        gui::Application->MessageBox(
            L"フォルダオプションのタイトルバーに完全なパスを表示するにチェックマークをつけてください。",
            caption, MB_OK | MB_ICONWARNING);
    }
}

}  // namespace

int RunOrvandel() {
    if (!CreateSettingsFolder(L"Orvandel")) return 0;

    const bool takeOver = ParamStr1() == kListError;
    if (HANDLE running = ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)) {
        ::CloseHandle(running);
        if (!takeOver) return 0;
        CloseRunningInstance();
    }
    // Two starts at the same moment can both miss the other's mutex above;
    // the one whose create finds the name taken steps back.
    MutexHandle = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (MutexHandle && ::GetLastError() == ERROR_ALREADY_EXISTS && !takeOver) {
        ::CloseHandle(MutexHandle);
        MutexHandle = nullptr;
        return 0;
    }

    // COM and OLE on the GUI thread: shell folders, context menus, shortcut
    // files and drag and drop run on it.
    gui::ComScope com(/*ole=*/true);
    int exitCode = 0;
    {
        gui::TApplication app;
        app.Initialize();
        app.SetTitle(L"Orvandel");
        app.HelpFile = L"Orvandel.chm";

        DataFolder = UserSettingsDir;
        // This is the only instance now: nobody else writes there.
        gui::RemoveLeftoverWrites(DataFolder);
        BrackwenExe = ReadBrackwenExe(DataFolder);

        app.ShowMainForm = false;
        try {
            app.CreateForm(TrayForm);
            app.CreateForm(IMEExeForm);
            app.CreateForm(AdrJumpForm);
            ExplorerPathPrompts();
        } catch (...) {
            app.HandleException(std::current_exception());
        }
        app.Run();

        if (MutexHandle) ::ReleaseMutex(MutexHandle);
        app.DestroyForms();
    }
    TrayForm = nullptr;
    IMEExeForm = nullptr;
    AdrJumpForm = nullptr;
    return exitCode;
}
