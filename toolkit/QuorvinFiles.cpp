#include "toolkit/QuorvinFiles.h"

#include <shlobj.h>

#include "gui/Handles.h"
#include "toolkit/QuorvinRegistry.h"

std::wstring UserSettingsDir;

const wchar_t* const ShellFolderNames[11] = {
    L"Desktop", L"Favorites", L"Fonts", L"NetHood", L"Personal", L"Programs",
    L"Recent",  L"SendTo",    L"Start Menu", L"Startup", L"Templates"};

const int SpecialFolderCSIDLs[6] = {CSIDL_PERSONAL,      CSIDL_APPDATA,    CSIDL_LOCAL_APPDATA,
                                    CSIDL_COMMON_APPDATA, CSIDL_MYPICTURES, CSIDL_COMMON_DOCUMENTS};

namespace {

const int kBuf = 260;

// A text cut at its first NUL.
std::wstring UpToNul(const wchar_t* buf, size_t size) {
    size_t n = 0;
    while (n < size && buf[n]) ++n;
    return std::wstring(buf, n);
}

}  // namespace

bool IsDriveReady(wchar_t ch) {
    if (ch >= L'a' && ch <= L'z') ch = static_cast<wchar_t>(ch - L'a' + L'A');
    if (ch >= L'A' && ch <= L'Z') {
        // Asking for the size of a drive without a medium would make Windows
        // show its error box; this error mode keeps it quiet.
        UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
        wchar_t root[4] = {ch, L':', L'\\', 0};
        ULARGE_INTEGER total{};
        BOOL ok = ::GetDiskFreeSpaceExW(root, nullptr, &total, nullptr);
        ::SetErrorMode(old);
        return ok != FALSE;
    }
    return ch == L'\\';
}

bool IsPathDriveReady(const std::wstring& path) { return !path.empty() && IsDriveReady(path[0]); }

bool FileExistsSafe(const std::wstring& fileName) {
    if (!IsPathDriveReady(fileName)) return false;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD attr = ::GetFileAttributesW(fileName.c_str());
    ::SetErrorMode(old);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExistsSafe(const std::wstring& path) {
    if (!IsPathDriveReady(path)) return false;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD attr = ::GetFileAttributesW(path.c_str());
    ::SetErrorMode(old);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

void GetVolumeLabelStr(const std::wstring& rootPath, std::wstring& label) {
    wchar_t name[100] = {}, fs[100] = {};
    DWORD serial = 0, maxLen = 0, flags = 0;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL ok = ::GetVolumeInformationW(rootPath.c_str(), name, 100, &serial, &maxLen, &flags, fs, 100);
    ::SetErrorMode(old);
    label = ok ? UpToNul(name, 100) : L"";
}

void GetDriveTypeText(const std::wstring& rootPath, std::wstring& text) {
    switch (::GetDriveTypeW(rootPath.c_str())) {
        case DRIVE_NO_ROOT_DIR: text = L"No Root"; break;
        case DRIVE_REMOVABLE: text = L"Removable"; break;
        case DRIVE_FIXED: text = L"HDD"; break;
        case DRIVE_REMOTE: text = L"Network"; break;
        case DRIVE_CDROM: text = L"CD-ROM"; break;
        case DRIVE_RAMDISK: text = L"RAMDisk"; break;
        default: text = L"Unknown"; break;
    }
}

double FileTimeToLocalDateTime(const FILETIME& fileTime) {
    FILETIME local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&fileTime, &local) || !::FileTimeToSystemTime(&local, &st))
        return 0;
    double vt = 0;
    if (!::SystemTimeToVariantTime(&st, &vt)) return 0;
    // VariantTime drops milliseconds; they do not matter for file times here.
    return vt;
}

namespace {

// "yyyy/mm/dd hh:nn" with the system's date and time separators.
std::wstring FormatFileTime(const FILETIME& ft) {
    FILETIME local;
    SYSTEMTIME st;
    if (!::FileTimeToLocalFileTime(&ft, &local) || !::FileTimeToSystemTime(&local, &st)) return L"";
    wchar_t dateSep[8] = L"/", timeSep[8] = L":";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, dateSep, 8);
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, timeSep, 8);
    wchar_t buf[64];
    ::swprintf(buf, 64, L"%04u%ls%02u%ls%02u %02u%ls%02u", st.wYear, dateSep, st.wMonth, dateSep,
               st.wDay, st.wHour, timeSep, st.wMinute);
    return buf;
}

}  // namespace

void GetFileTimeTexts(const std::wstring& fileName, std::wstring& modifiedText,
                      std::wstring& createdText) {
    WIN32_FIND_DATAW fd;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    gui::FindHandle h(::FindFirstFileW(fileName.c_str(), &fd));
    ::SetErrorMode(old);
    if (!h) return;
    modifiedText = FormatFileTime(fd.ftLastWriteTime);
    createdText = FormatFileTime(fd.ftCreationTime);
}

void GetLastOpenSaveMRUFile(std::wstring& fileName) {
    fileName.clear();
    gui::RegKey key = OpenRegKeyFullAccess(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*");
    if (!key) return;
    std::wstring list;
    if (!ReadRegString(key.get(), L"MRUList", list) || list.empty()) return;
    std::wstring value;
    if (ReadRegString(key.get(), std::wstring(1, list[0]), value)) fileName = value;
}

void GetShellFolderPath(int index, std::wstring& path) {
    path.clear();
    if (index < 0 || index > 10) return;
    gui::RegKey key = OpenRegKeyFullAccess(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    if (!key) return;
    std::wstring value;
    ReadRegString(key.get(), ShellFolderNames[index], value);
    path = value + L"\\";
}

void GetSpecialFolderPath(int index, std::wstring& path) {
    path.clear();
    if (index < 0 || index > 5) return;
    wchar_t buf[MAX_PATH + 1] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, SpecialFolderCSIDLs[index], nullptr,
                                     SHGFP_TYPE_CURRENT, buf)))
        path = UpToNul(buf, MAX_PATH);
}

void GetWindowsDir(std::wstring& dir) {
    wchar_t buf[kBuf + 1] = {};
    UINT n = ::GetWindowsDirectoryW(buf, kBuf);
    dir = n > 0 && n < kBuf ? UpToNul(buf, kBuf) : L"";
    while (dir.size() > 3 && dir.back() == L'\\') dir.pop_back();
}

void GetSystemDir(std::wstring& dir) {
    dir.clear();
    UINT need = ::GetSystemDirectoryW(nullptr, 0);
    if (need == 0) return;
    std::wstring buf(need, L'\0');
    UINT n = ::GetSystemDirectoryW(buf.data(), need);
    if (n == 0 || n >= need) return;
    buf.resize(n);
    dir = buf + L"\\";
}

void GetBootDrive(std::wstring& drive) {
    drive.clear();
    gui::RegKey key = OpenRegKeyFullAccess(HKEY_LOCAL_MACHINE,
                                           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup");
    if (!key) return;
    std::wstring value;
    ReadRegString(key.get(), L"BootDir", value);
    drive = value.size() >= 4 && value[2] == L'\\' ? value.substr(0, 3) : value;
}

void GetLongPathNameStr(const std::wstring& path, std::wstring& longPath) {
    longPath.clear();
    wchar_t full[32768];
    DWORD n = ::GetFullPathNameW(path.c_str(), 32768, full, nullptr);
    std::wstring p = n > 0 && n < 32768 ? std::wstring(full, n) : path;
    UINT old = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    for (;;) {
        size_t last = p.rfind(L'\\');
        // Stop at the drive part: the last "\" must stand at position 3 or
        // later (1-based), as in "c:\x".
        if (last == std::wstring::npos || last < 2) break;
        std::wstring name = p.substr(last + 1);
        WIN32_FIND_DATAW fd;
        gui::FindHandle h;
        // A trailing backslash or wildcard would make FindFirstFile mean
        // something else; look such components up as they are.
        if (!name.empty() && name.find_first_of(L"*?") == std::wstring::npos)
            h.reset(::FindFirstFileW(p.c_str(), &fd));
        longPath = L"\\" + (h ? std::wstring(fd.cFileName) : name) + longPath;
        p.erase(last);
    }
    ::SetErrorMode(old);
    longPath = p + longPath;
}

bool CreateSettingsFolder(const std::wstring& name) {
    std::wstring base;
    GetSpecialFolderPath(1, base);
    base += L"\\Quorvin";
    if (::GetFileAttributesW(base.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::CreateDirectoryW(base.c_str(), nullptr);
    std::wstring folder = base + L"\\" + name;
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::CreateDirectoryW(folder.c_str(), nullptr);
    UserSettingsDir = folder + L"\\";
    DWORD attr = ::GetFileAttributesW(folder.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    std::wstring path = ProgramFilePath();
    return path.substr(0, path.rfind(L'\\') + 1);
}
