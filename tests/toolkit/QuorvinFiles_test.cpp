#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinFiles.h"
#include "tests/support/PrefixGuard.h"
#include "toolkit/QuorvinRegistry.h"

using testing_support::ScratchDir;

namespace {

TEST(DriveReady, Characters) {
    struct {
        wchar_t ch;
        bool ready;
    } cases[] = {
        {L'C', true}, {L'c', true}, {L'Z', true}, {L'\\', true},
        {L'Q', false},  // mapped to a missing folder by the test run
        {L'1', false}, {L':', false}, {L'\0', false}, {L'あ', false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "char " << static_cast<int>(c.ch));
        EXPECT_EQ(IsDriveReady(c.ch), c.ready);
    }
}

TEST(DriveReady, NotReadyDriveLeavesErrorModeAlone) {
    UINT before = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    EXPECT_FALSE(FileExistsSafe(L"Q:\\x.txt"));
    EXPECT_FALSE(DirectoryExistsSafe(L"Q:\\"));
    EXPECT_EQ(::SetErrorMode(before), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
}

TEST(FileExistsSafe, FilesFoldersAndOddPaths) {
    ScratchDir dir;
    ASSERT_TRUE(testing_support::WriteBytes(dir / L"a.txt", "x"));
    ::CreateDirectoryW((dir / L"sub").c_str(), nullptr);
    EXPECT_TRUE(FileExistsSafe(dir / L"a.txt"));
    EXPECT_FALSE(FileExistsSafe(dir / L"missing.txt"));
    EXPECT_FALSE(FileExistsSafe(dir / L"sub")) << "a folder is not a file";
    EXPECT_TRUE(DirectoryExistsSafe(dir / L"sub"));
    EXPECT_FALSE(DirectoryExistsSafe(dir / L"a.txt"));
    EXPECT_FALSE(FileExistsSafe(L""));
    EXPECT_FALSE(FileExistsSafe(L"1:\\x"));
    EXPECT_FALSE(IsPathDriveReady(L""));
    // A network path skips the drive test and only asks for the file.
    EXPECT_FALSE(FileExistsSafe(L"\\\\nosuchserver-orv\\share\\x.txt"));
}

TEST(LongPathName, TrueCaseAndMissingParts) {
    ScratchDir dir;
    ::CreateDirectoryW((dir / L"Program Files Long").c_str(), nullptr);
    ASSERT_TRUE(testing_support::WriteBytes(dir / L"Program Files Long\\MixedCase.EXE", "x"));

    std::wstring shortDir(MAX_PATH, L'\0');
    DWORD n = ::GetShortPathNameW((dir / L"Program Files Long").c_str(), shortDir.data(), MAX_PATH);
    ASSERT_GT(n, 0u);
    shortDir.resize(n);

    std::wstring lowered = shortDir + L"\\mixedcase.exe";
    for (auto& ch : lowered) ch = static_cast<wchar_t>(::towlower(ch));
    std::wstring out;
    GetLongPathNameStr(lowered, out);
    std::wstring expected = dir / L"Program Files Long\\MixedCase.EXE";
    // Everything but the drive letter comes back as stored on disk.
    EXPECT_EQ(out.substr(1), expected.substr(1));
    EXPECT_EQ(out[0], static_cast<wchar_t>(::towlower(expected[0]))) << "drive letter keeps its case";

    GetLongPathNameStr(dir / L"program files long\\NoSuch\\Thing.txt", out);
    EXPECT_EQ(out, dir / L"Program Files Long\\NoSuch\\Thing.txt");
}

TEST(Folders, WindowsSystemShellAndSpecial) {
    std::wstring win, sys, appdata, recent;
    GetWindowsDir(win);
    EXPECT_EQ(win, L"C:\\windows");
    GetSystemDir(sys);
    ASSERT_FALSE(sys.empty());
    EXPECT_EQ(sys.back(), L'\\');
    EXPECT_TRUE(DirectoryExistsSafe(sys));

    GetSpecialFolderPath(1, appdata);
    wchar_t expected[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, expected)));
    EXPECT_EQ(appdata, expected);
    EXPECT_NE(appdata.back(), L'\\');

    std::wstring out = L"unchanged";
    GetSpecialFolderPath(6, out);
    EXPECT_EQ(out, L"") << "index outside the table";

    GetShellFolderPath(6, recent);
    ASSERT_FALSE(recent.empty());
    EXPECT_EQ(recent.back(), L'\\');
    wchar_t rec[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_RECENT, nullptr, 0, rec)));
    EXPECT_EQ(recent, std::wstring(rec) + L"\\");
}

TEST(Folders, BootDriveFromSetupValue) {
    // The machine-wide key is read as it is; put known values in and restore.
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";
    testing_support::RegValueRestore keep(HKEY_LOCAL_MACHINE, key, L"BootDir");
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                nullptr),
              ERROR_SUCCESS);
    gui::RegKey k(h);
    struct {
        const wchar_t* value;
        const wchar_t* drive;
    } cases[] = {{L"C:\\", L"C:\\"}, {L"D:\\WINDOWS", L"D:\\"}, {L"C:", L"C:"}, {L"", L""}};
    for (const auto& c : cases) {
        ::RegSetValueExW(k.get(), L"BootDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.value),
                         static_cast<DWORD>((wcslen(c.value) + 1) * 2));
        std::wstring drive = L"junk";
        GetBootDrive(drive);
        EXPECT_EQ(drive, c.drive) << "BootDir " << testing::PrintToString(std::wstring(c.value));
    }
}

TEST(Drives, TypeTextAndLabel) {
    std::wstring text, label = L"junk";
    GetDriveTypeText(L"C:\\", text);
    EXPECT_EQ(text, L"HDD");
    GetDriveTypeText(L"Q:\\", text);
    EXPECT_EQ(text, L"No Root");
    GetVolumeLabelStr(L"Q:\\", label);
    EXPECT_EQ(label, L"");
}

TEST(FileTimes, TextsAndDateTime) {
    ScratchDir dir;
    std::wstring f = dir / L"t.txt";
    ASSERT_TRUE(testing_support::WriteBytes(f, "x"));
    {
        gui::FileHandle h(::CreateFileW(f.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h);
        SYSTEMTIME local{2024, 3, 0, 5, 7, 8, 0, 0};
        SYSTEMTIME utc;
        ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
        FILETIME ft;
        ::SystemTimeToFileTime(&utc, &ft);
        ASSERT_TRUE(::SetFileTime(h.get(), &ft, nullptr, &ft));
    }
    std::wstring mod = L"-", cre = L"-";
    GetFileTimeTexts(f, mod, cre);
    EXPECT_EQ(mod, L"2024/03/05 07:08");
    EXPECT_EQ(cre, L"2024/03/05 07:08");

    std::wstring keep1 = L"keep", keep2 = L"keep";
    GetFileTimeTexts(dir / L"missing.txt", keep1, keep2);
    EXPECT_EQ(keep1, L"keep");
    EXPECT_EQ(keep2, L"keep");

    FILETIME zero{0, 0};
    // 1601-01-01 is a valid file time; a value past the system time range fails.
    FILETIME bad{0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(FileTimeToLocalDateTime(bad), 0.0);
    EXPECT_NE(FileTimeToLocalDateTime(zero), 0.0);
}

TEST(SettingsFolder, CreatedOnceAndReportedTwice) {
    std::wstring appdata;
    GetSpecialFolderPath(1, appdata);
    const std::wstring name = L"OrvTest" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring folder = appdata + L"\\Quorvin\\" + name;
    EXPECT_TRUE(CreateSettingsFolder(name));
    EXPECT_EQ(UserSettingsDir, folder + L"\\");
    EXPECT_TRUE(DirectoryExistsSafe(folder));
    ASSERT_TRUE(testing_support::WriteBytes(folder + L"\\keep.txt", "k"));
    EXPECT_TRUE(CreateSettingsFolder(name));
    EXPECT_TRUE(FileExistsSafe(folder + L"\\keep.txt")) << "the second call changes nothing";
    testing_support::RemoveTree(folder);

    // A file in the folder's place: it cannot be made.
    ASSERT_TRUE(testing_support::WriteBytes(folder, "not a folder"));
    EXPECT_FALSE(CreateSettingsFolder(name));
    EXPECT_EQ(UserSettingsDir, folder + L"\\");
    ::DeleteFileW(folder.c_str());
}

TEST(Registry, LastOpenSaveMRUFile) {
    const wchar_t* key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\*";
    testing_support::RegKeyRestore keep(HKEY_CURRENT_USER, key);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    std::wstring f = L"junk";
    GetLastOpenSaveMRUFile(f);
    EXPECT_EQ(f, L"");

    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                                nullptr),
              ERROR_SUCCESS);
    gui::RegKey k(h);
    auto set = [&](const wchar_t* name, const std::wstring& v) {
        ::RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                         static_cast<DWORD>((v.size() + 1) * 2));
    };
    set(L"a", L"C:\\older.txt");
    set(L"b", L"C:\\newest.txt");
    set(L"MRUList", L"ba");
    GetLastOpenSaveMRUFile(f);
    EXPECT_EQ(f, L"C:\\newest.txt");
    set(L"MRUList", L"");
    GetLastOpenSaveMRUFile(f);
    EXPECT_EQ(f, L"");
}

}  // namespace
