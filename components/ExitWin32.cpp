#include "components/ExitWin32.h"

#include "gui/Handles.h"

namespace {

bool RealEnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return false;
    gui::Handle token(raw);
    TOKEN_PRIVILEGES tp{};
    if (!::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid)) return false;
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    return ::AdjustTokenPrivileges(token.get(), FALSE, &tp, 0, nullptr, nullptr) != FALSE;
}

bool RealPowerQuery(const char* name) {
    gui::Module lib(::LoadLibraryW(L"Powrprof.dll"));
    if (!lib) return false;
    using Query = BOOLEAN(WINAPI*)();
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(::GetProcAddress(lib.get(), name)));
    return query && query() != FALSE;
}

}  // namespace

TExitWinSystem TExitWinSystem::Real() {
    TExitWinSystem s;
    s.ExitWindowsEx = [](UINT flags, DWORD reason) { return ::ExitWindowsEx(flags, reason) != FALSE; };
    s.EnableShutdownPrivilege = RealEnableShutdownPrivilege;
    s.PowerQuery = RealPowerQuery;
    s.SetSystemPowerState = [](bool suspend, bool force) {
        return ::SetSystemPowerState(suspend, force) != FALSE;
    };
    return s;
}

TExitWin::TExitWin(gui::TComponent* owner) : TComponent(owner), Version(CurrentWindowsVersion()) {}

void TExitWin::ExitWith(UINT flags, bool privilege, const wchar_t* message) {
    if (privilege && !System.EnableShutdownPrivilege()) throw EExitError(message);
    if (!System.ExitWindowsEx(flags, 0)) throw EExitError(message);
}

void TExitWin::LogOffWindows() { ExitWith(EWX_LOGOFF, false, L"Windows をログオフできませんでした。"); }

void TExitWin::PowerOffWindows() {
    ExitWith(EWX_SHUTDOWN | EWX_POWEROFF, true, L"コンピュータの電源を切ることができませんでした。");
}

void TExitWin::ShutdownWindows() {
    ExitWith(EWX_SHUTDOWN, true, L"Windows の電源を切れる状態にできませんでした。");
}

void TExitWin::RebootWindows() { ExitWith(EWX_REBOOT, true, L"Windows を再起動できませんでした。"); }

void TExitWin::RestartWindows() { RebootWindows(); }

void TExitWin::ForceWindows() { ExitWith(EWX_FORCE, false, L"Windows の強制終了が出来ませんでした。"); }

void TExitWin::ForceHungWindows() {
    if (Version.Major <= 4) throw EExitError(L"このOSでは、設定を残して強制終了できません。");
    ExitWith(EWX_FORCEIFHUNG, false, L"ハングアップしたアプリケーションを終了できませんでした。");
}

void TExitWin::ExitToDosMode() { throw EExitError(L"このOSでは、MS-DOSモードで再起動できません。"); }

bool TExitWin::PowerAllowed(const char* query) {
    if (Version.Major == 4) return false;  // NT 4 has no power management
    return System.PowerQuery(query);
}

bool TExitWin::SetPowerState(bool suspend) {
    if (Version.Major == 4) throw EExitError(L"WindowsNT4は電源管理をサポートしていません。");
    if (!System.EnableShutdownPrivilege()) return false;
    return System.SetSystemPowerState(suspend, false);
}

void TExitWin::Suspend() {
    if (!PowerAllowed("IsPwrSuspendAllowed")) throw EExitError(L"サスペンドは許可されていません。");
    if (!SetPowerState(true)) throw EExitError(L"サスペンドに移行できませんでした。");
}

void TExitWin::Hibernate() {
    if (!PowerAllowed("IsPwrHibernateAllowed")) throw EExitError(L"休止状態は許可されていません。");
    if (!SetPowerState(false)) throw EExitError(L"休止状態に移行できませんでした。");
}
