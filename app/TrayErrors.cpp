// The application's exception event: errors go to "Error.log", a damaged
// history list restarts the program in the "/ListError" mode.
#include <windows.h>

#include "app/ErrorLog.h"
#include "app/Globals.h"
#include "app/ProgramEntry.h"
#include "app/Tray.h"
#include "app/history/His.h"
#include "gui/Application.h"
#include "gui/Exception.h"
#include "toolkit/CPUUsage.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"

void TTrayForm::ApplicationEventsException(const std::exception_ptr& e) {
    // An error that leaves no system error code behind is neither logged nor shown.
    if (::GetLastError() == 0) return;
    Proc_ErrorLog(gui::ExceptionMessage(e));
}

void TTrayForm::Proc_ErrorLog(const std::wstring& message) {
    TimerMain->SetEnabled(false);
    const std::wstring line = ErrorLogLine(message);
    AppendErrorLog(DataFolder, line);
    if (ParamStr1() == L"/debug") gui::Application->MessageBox(line, L"Orvandel", MB_ICONERROR);
    if (HisForm) HisForm->TrayMenu.FPPLSet = false;
    FPopUpL = false;
    FPopUpR = false;

    if (IsListIndexError(line)) {
        gui::Application->MessageBox(
            L"履歴リストにエラーが発生しました\r\nOrvandelを終了し現在の履歴を無効にして再起動します",
            L"Orvandel", MB_ICONERROR);
        // Closing, so the new instance's close request saves nothing here.
        FClose = true;
        ShellExecuteFile(ProgramFilePath(), L"/ListError", ProgramFolder(), SW_SHOW);
        gui::Application->Terminate();
        return;
    }
    CPUUsageClose();
    CPUUsageOpen();
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (!FClose) TimerMain->SetEnabled(true);
}
