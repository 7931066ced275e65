// A removable drive letter made through Wine's mount manager for one test:
// the letter maps to a scratch folder, whose volume label the drive shows.
// The letter is removed again at the end, leaving no drive behind. Wine never announces such a drive
// itself; the test sends the volume broadcast.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gui/Exception.h"
#include "gui/FileIO.h"
#include "gui/Handles.h"

namespace testing_support {

class MountedDrive {
public:
    // Maps the first free letter from `from` on to the folder, labelled `label`.
    MountedDrive(const std::wstring& folder, const std::wstring& label, wchar_t from = L'R') {
        // The label of a drive without a file system of its own comes from this file.
        gui::WriteWholeFile(folder + L".windows-label", gui::WideToUtf8(label));
        for (wchar_t l = from; l <= L'Y' && !letter_; ++l) {
            std::wstring root = std::wstring(1, l) + L":\\";
            if (::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR) continue;
            if (Define(l, UnixPath(folder))) letter_ = l;
        }
    }
    ~MountedDrive() {
        if (!letter_) return;
        Define(letter_, {});
        // The mount manager takes the letter's folder link away but leaves its
        // device name, and the letter would stay among the logical drives
        // (with no root) for every later case in this world.
        const wchar_t device[] = {letter_, L':', 0};
        ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, device, nullptr);
        if (::GetLogicalDrives() & UnitMask()) ADD_FAILURE() << "drive " << static_cast<char>(letter_) << ": is left behind";
    }
    MountedDrive(const MountedDrive&) = delete;
    MountedDrive& operator=(const MountedDrive&) = delete;

    wchar_t Letter() const { return letter_; }
    std::wstring Root() const { return std::wstring(1, letter_) + L":\\"; }
    DWORD UnitMask() const { return letter_ ? 1u << (letter_ - L'A') : 0; }

private:
    // Wine's own request and record for defining a drive letter.
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fs_type;
        DWORD serial;
        ULONGLONG unix_dev;
        WCHAR letter;
        USHORT mount_point_offset;
        USHORT device_offset;
        USHORT label_offset;
    };
    static constexpr ULONG kDeviceRemovableDisk = 2;  // the kind Wine shows as a removable drive
    static constexpr DWORD kDefineUnixDrive =
        CTL_CODE(static_cast<ULONG>('m'), 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

    static std::string UnixPath(const std::wstring& folder) {
        using Fn = char*(CDECL*)(LPCWSTR);
        auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!fn) return {};
        char* p = fn(folder.c_str());
        if (!p) return {};
        std::string s = p;
        ::HeapFree(::GetProcessHeap(), 0, p);
        return s;
    }

    static bool Define(wchar_t letter, const std::string& mountPoint) {
        gui::FileHandle mgr(::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!mgr) return false;
        std::vector<char> buf(sizeof(UnixDrive) + mountPoint.size() + 1, 0);
        auto* d = reinterpret_cast<UnixDrive*>(buf.data());
        d->size = static_cast<ULONG>(buf.size());
        d->type = mountPoint.empty() ? 0 : kDeviceRemovableDisk;
        d->letter = static_cast<WCHAR>(::towlower(letter));
        if (!mountPoint.empty()) {
            d->mount_point_offset = sizeof(UnixDrive);
            memcpy(buf.data() + sizeof(UnixDrive), mountPoint.c_str(), mountPoint.size() + 1);
        }
        DWORD got = 0;
        return ::DeviceIoControl(mgr.get(), kDefineUnixDrive, buf.data(), static_cast<DWORD>(buf.size()),
                                 nullptr, 0, &got, nullptr) != FALSE;
    }

    wchar_t letter_ = 0;
};

}  // namespace testing_support
