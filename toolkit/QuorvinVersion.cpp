#include "toolkit/QuorvinVersion.h"

#include <vector>

#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinRegistry.h"
#include "toolkit/Wow64.h"

namespace {

const wchar_t kCabinetState[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CabinetState";

const wchar_t* FullPathValueName() { return IsVistaOrLater() ? L"FullPath" : L"FullPathAddress"; }

}  // namespace

TWindowsVersion CurrentWindowsVersion() {
    OSVERSIONINFOW vi{sizeof(vi)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&vi)) return {};
#pragma GCC diagnostic pop
    return {vi.dwMajorVersion, vi.dwMinorVersion, vi.dwBuildNumber};
}

bool IsVistaOrLater(const TWindowsVersion& v) { return v.Major > 5; }
bool IsWindows7OrLater(const TWindowsVersion& v) { return (v.Major > 5 && v.Minor > 0) || v.Major == 10; }
bool IsWindows8OrLater(const TWindowsVersion& v) { return (v.Major > 5 && v.Minor > 1) || v.Major == 10; }
bool IsWindows2000(const TWindowsVersion& v) { return v.Major == 5 && v.Minor == 0; }
bool IsWindows11(const TWindowsVersion& v) { return v.Major == 10 && v.Build > 21999; }
bool IsWindows11Build22621OrLater(const TWindowsVersion& v) { return v.Major == 10 && v.Build > 22620; }
bool IsWindows11Build22631OrLater(const TWindowsVersion& v) { return v.Major == 10 && v.Build > 22630; }

int GetWindows11_22H2MomentLevel(const TWindowsVersion& v, int kernelRevision) {
    if (!IsWindows11Build22621OrLater(v)) return 0;
    if (kernelRevision > 2505) return 4;
    if (kernelRevision > 674) return 1;
    return 0;
}

bool IsWindows11_22H2Moment4(const TWindowsVersion& v, int kernelRevision) {
    return GetWindows11_22H2MomentLevel(v, kernelRevision) == 4 || IsWindows11Build22631OrLater(v);
}

bool IsVistaOrLater() { return IsVistaOrLater(CurrentWindowsVersion()); }
bool IsWindows7OrLater() { return IsWindows7OrLater(CurrentWindowsVersion()); }
bool IsWindows8OrLater() { return IsWindows8OrLater(CurrentWindowsVersion()); }
bool IsWindows2000() { return IsWindows2000(CurrentWindowsVersion()); }
bool IsWindows11() { return IsWindows11(CurrentWindowsVersion()); }
bool IsWindows11Build22621OrLater() { return IsWindows11Build22621OrLater(CurrentWindowsVersion()); }
bool IsWindows11Build22631OrLater() { return IsWindows11Build22631OrLater(CurrentWindowsVersion()); }

int GetKernelFileRevision() {
    std::wstring sys;
    GetSystemDir(sys);
    if (sys.empty()) return -1;
    std::wstring file = sys + L"NTOSKRNL.EXE";
    // The real system folder's kernel, not the 32-bit copy.
    Wow64RedirectionOff off;
    DWORD dummy = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &dummy);
    if (size == 0) return -1;
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return -1;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        return -1;
    return static_cast<int>(LOWORD(info->dwFileVersionLS));
}

int GetWindows11_22H2MomentLevel() {
    TWindowsVersion v = CurrentWindowsVersion();
    // The kernel file is read only where the build can have the level at all.
    if (!IsWindows11Build22621OrLater(v)) return 0;
    return GetWindows11_22H2MomentLevel(v, GetKernelFileRevision());
}

bool IsWindows11_22H2Moment4() {
    return GetWindows11_22H2MomentLevel() == 4 || IsWindows11Build22631OrLater();
}

bool IsWow64() {
    using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"Kernel32.dll"), "IsWow64Process")));
    if (!fn) {
        TWindowsVersion v = CurrentWindowsVersion();
        return v.Major > 5 || (v.Major == 5 && v.Minor >= 2);
    }
    BOOL wow = FALSE;
    if (!fn(::GetCurrentProcess(), &wow)) return false;
    return wow != FALSE;
}

int GetExplorerFullPathSetting() {
    gui::RegKey key = OpenRegKeyFullAccess(HKEY_CURRENT_USER, kCabinetState);
    if (!key) return -1;
    int value = 0;
    if (!ReadRegInteger(key.get(), FullPathValueName(), value)) return -2;
    return value;
}

int SetExplorerFullPathSetting(bool enable) {
    {
        gui::RegKey key = OpenRegKeyFullAccess(HKEY_CURRENT_USER, kCabinetState);
        if (key) WriteRegInteger(key.get(), FullPathValueName(), enable ? 1 : 0);
    }
    return GetExplorerFullPathSetting();
}
