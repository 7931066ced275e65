#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/toolkit/HelperWindows.h"
#include "toolkit/QuorvinFiles.h"
#include "toolkit/QuorvinShell.h"
#include "toolkit/QuorvinVersion.h"
#include "toolkit/Wow64.h"

using helper_windows::RecordFile;
using testing_support::BinDir;
using testing_support::ScratchDir;

namespace {

// Redirection off through the system's own functions, to lay out and remove
// the files the tests look at without the code under test.
class RawRedirectionOff {
public:
    RawRedirectionOff() {
        HMODULE k32 = ::GetModuleHandleW(L"kernel32.dll");
        auto disable = reinterpret_cast<BOOL(WINAPI*)(PVOID*)>(
            reinterpret_cast<void*>(::GetProcAddress(k32, "Wow64DisableWow64FsRedirection")));
        revert_ = reinterpret_cast<BOOL(WINAPI*)(PVOID)>(
            reinterpret_cast<void*>(::GetProcAddress(k32, "Wow64RevertWow64FsRedirection")));
        off_ = disable && revert_ && disable(&old_);
    }
    ~RawRedirectionOff() {
        if (off_) revert_(old_);
    }
    bool Off() const { return off_; }

private:
    BOOL(WINAPI* revert_)(PVOID) = nullptr;
    PVOID old_ = nullptr;
    bool off_ = false;
};

std::wstring Folder(const wchar_t* name) {
    std::wstring win;
    GetWindowsDir(win);
    return win + L"\\" + name + L"\\";
}

// Files that only the real system folder holds, and one that only the
// 32-bit copy holds (which the redirected system folder shows).
class Wow64Files : public testing::Test {
protected:
    void SetUp() override {
        InitWow64();
        ASSERT_TRUE(Wow64Active) << "the tests run as a 32-bit program on 64-bit Wine";
        std::wstring tag = std::to_wstring(::GetCurrentProcessId());
        sys32 = Folder(L"system32");
        realOnly = sys32 + L"orvwow64-real-" + tag + L".txt";
        realDir = sys32 + L"orvwow64-dir-" + tag;
        wowOnlyName = L"orvwow64-wow-" + tag + L".txt";
        ASSERT_TRUE(testing_support::WriteBytes(Folder(L"syswow64") + wowOnlyName, "32"));
        RawRedirectionOff off;
        ASSERT_TRUE(off.Off());
        ASSERT_TRUE(testing_support::WriteBytes(realOnly, "64"));
        ASSERT_TRUE(::CreateDirectoryW(realDir.c_str(), nullptr));
    }
    void TearDown() override {
        ::DeleteFileW((Folder(L"syswow64") + wowOnlyName).c_str());
        RawRedirectionOff off;
        ::DeleteFileW(realOnly.c_str());
        ::RemoveDirectoryW(realDir.c_str());
        for (const auto& f : extra) {
            // A program that has just written its report may still be ending.
            testing_support::WaitUntil([&] { return ::DeleteFileW(f.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND; }, 5000);
        }
    }

    // Redirection as the thread has it now, seen from the plain test.
    bool RedirectionOn() { return !FileExistsSafe(realOnly); }

    std::wstring sys32, realOnly, realDir, wowOnlyName;
    std::vector<std::wstring> extra;
};

TEST_F(Wow64Files, ExistenceTestsSeeTheRealSystemFolder) {
    EXPECT_TRUE(FileExistsNoRedirect(realOnly));
    EXPECT_FALSE(FileExistsSafe(realOnly)) << "redirected to the 32-bit copy";
    EXPECT_FALSE(FileExistsNoRedirect(sys32 + wowOnlyName));
    EXPECT_TRUE(FileExistsSafe(sys32 + wowOnlyName));
    EXPECT_TRUE(DirectoryExistsNoRedirect(realDir));
    EXPECT_FALSE(DirectoryExistsSafe(realDir));
    EXPECT_FALSE(FileExistsNoRedirect(realDir)) << "a folder is no file";
    EXPECT_FALSE(DirectoryExistsNoRedirect(realOnly));
    EXPECT_TRUE(RedirectionOn()) << "every wrapper turns redirection back on";

    EXPECT_FALSE(FileExistsNoRedirect(L""));
    EXPECT_FALSE(FileExistsNoRedirect(L"Q:\\x.txt")) << "a drive that is not ready";
    EXPECT_FALSE(DirectoryExistsNoRedirect(L"Q:\\"));
    EXPECT_FALSE(Wow64PathDriveReady(L""));
    EXPECT_TRUE(Wow64PathDriveReady(L"c:\\"));
    EXPECT_TRUE(RedirectionOn());
}

TEST_F(Wow64Files, SwitchNests) {
    DisableWow64Redirection();
    EXPECT_FALSE(RedirectionOn());
    DisableWow64Redirection();
    // A wrapper inside the bracket leaves redirection as the bracket wants it.
    EXPECT_TRUE(FileExistsNoRedirect(realOnly));
    EXPECT_FALSE(RedirectionOn());
    RevertWow64Redirection();
    EXPECT_FALSE(RedirectionOn()) << "the inner revert keeps the outer bracket";
    RevertWow64Redirection();
    EXPECT_TRUE(RedirectionOn());
    RevertWow64Redirection();  // one revert too many changes nothing
    EXPECT_TRUE(RedirectionOn());
    DisableWow64Redirection();
    EXPECT_FALSE(RedirectionOn()) << "the extra revert did not eat the next disable";
    RevertWow64Redirection();
    EXPECT_TRUE(RedirectionOn());
}

TEST_F(Wow64Files, WithoutWow64TheWrappersArePlainCalls) {
    Wow64Active = false;
    bool plainFile = FileExistsNoRedirect(realOnly);
    bool plainDir = DirectoryExistsNoRedirect(realDir);
    bool wowFile = FileExistsNoRedirect(sys32 + wowOnlyName);
    DisableWow64Redirection();
    bool onInBracket = RedirectionOn();
    RevertWow64Redirection();
    Wow64Active = true;
    EXPECT_FALSE(plainFile);
    EXPECT_FALSE(plainDir);
    EXPECT_TRUE(wowFile);
    EXPECT_TRUE(onInBracket);
    EXPECT_TRUE(DetectWow64());
    EXPECT_TRUE(FileExistsNoRedirect(realOnly));
}

TEST_F(Wow64Files, StartsProgramsOnlyTheRealSystemFolderHolds) {
    ScratchDir dir;
    RecordFile record(dir / L"record.txt");
    std::wstring exe = sys32 + L"orvwow64-rec-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    {
        RawRedirectionOff off;
        ASSERT_TRUE(::CopyFileW((BinDir() + L"OrvRecorder.exe").c_str(), exe.c_str(), FALSE));
    }
    extra.push_back(exe);

    EXPECT_LE(ShellExecuteOwned(nullptr, exe, L"", L"", SW_HIDE), 32) << "not there when redirected";
    EXPECT_FALSE(record.Wait(1000).found);

    int r = ShellExecuteNoRedirect(nullptr, exe, L"real \"system folder\"", dir.Path(), SW_HIDE);
    EXPECT_GT(r, 32);
    EXPECT_TRUE(RedirectionOn());
    auto rec = record.Wait();
    ASSERT_TRUE(rec.found);
    EXPECT_NE(rec.commandLine.find(L"real \"system folder\""), std::wstring::npos) << rec.commandLine;
    std::wstring folder = dir.Path();
    folder.pop_back();
    EXPECT_EQ(rec.folder, folder);

    ::DeleteFileW(record.Path().c_str());
    EXPECT_GT(ShellOpenNoRedirect(exe), 32);
    EXPECT_TRUE(RedirectionOn());
    EXPECT_TRUE(record.Wait().found);

    EXPECT_LE(ShellExecuteNoRedirect(nullptr, sys32 + L"orvwow64-none.exe", L"", L"", SW_HIDE), 32);
    EXPECT_TRUE(RedirectionOn());
}

int RevisionOf(const std::wstring& file) {
    DWORD dummy = 0;
    DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &dummy);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!size || !::GetFileVersionInfoW(file.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
        return -1;
    return LOWORD(info->dwFileVersionLS);
}

TEST_F(Wow64Files, KernelRevisionOfTheRealSystemFolder) {
    int real = -1;
    {
        RawRedirectionOff off;
        real = RevisionOf(sys32 + L"NTOSKRNL.EXE");
    }
    ASSERT_GE(real, 0);
    EXPECT_EQ(GetKernelFileRevision(), real);
    EXPECT_TRUE(RedirectionOn());
}

// The pixels of an icon's colour picture, to tell icons apart.
std::vector<DWORD> IconPixels(HICON icon) {
    ICONINFO ii{};
    if (!::GetIconInfo(icon, &ii)) return {};
    gui::GdiObject mask(ii.hbmMask), color(ii.hbmColor);
    BITMAP bm{};
    if (!color || !::GetObjectW(color.get(), sizeof(bm), &bm)) return {};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
    std::vector<DWORD> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    gui::WindowDC dc(nullptr);
    if (!::GetDIBits(dc.get(), static_cast<HBITMAP>(color.get()), 0, bm.bmHeight, px.data(), &bi,
                     DIB_RGB_COLORS))
        return {};
    return px;
}

TEST_F(Wow64Files, FileIconsOfRealPathsAndTheStockIcon) {
    std::wstring exe = sys32 + L"orvwow64-icon-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    {
        RawRedirectionOff off;
        ASSERT_TRUE(::CopyFileW((BinDir() + L"Orvandel.exe").c_str(), exe.c_str(), FALSE));
    }
    extra.push_back(exe);

    gui::IconHandle stock;
    {
        RawRedirectionOff off;
        stock.reset(::ExtractIconW(::GetModuleHandleW(nullptr), (sys32 + L"Shell32.dll").c_str(), 30));
    }
    ASSERT_TRUE(stock);

    gui::IconHandle missing(GetFileIconNoRedirect(L"C:\\orv-no-such-folder\\nothing.exe"));
    ASSERT_TRUE(missing);
    EXPECT_TRUE(RedirectionOn());
    EXPECT_EQ(IconPixels(missing.get()), IconPixels(stock.get())) << "the stock icon of Shell32.dll";

    gui::IconHandle real(GetFileIconNoRedirect(exe));
    ASSERT_TRUE(real);
    EXPECT_TRUE(RedirectionOn());
    EXPECT_NE(IconPixels(real.get()), IconPixels(stock.get())) << "the program's own icon";
    ICONINFO ii{};
    ASSERT_TRUE(::GetIconInfo(real.get(), &ii));
    gui::GdiObject m(ii.hbmMask), c(ii.hbmColor);
}

}  // namespace
