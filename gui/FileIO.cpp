#include "gui/FileIO.h"

#include <windows.h>

#include "gui/Handles.h"

namespace gui {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
    bytes.clear();
    FileHandle f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                        nullptr))
            return false;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    // The temporary file sits beside the target, so the final move stays on
    // one volume and replaces the target in one step.
    wchar_t tmp[64];
    ::swprintf(tmp, 64, L".%lu.%lu.tmp", ::GetCurrentProcessId(), ::GetTickCount());
    std::wstring tmpPath = path + tmp;
    {
        FileHandle f(::CreateFileW(tmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f) return false;
        size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            DWORD put = 0;
            ok = ::WriteFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                             &put, nullptr) && put > 0;
            done += put;
        }
        ok = ok && ::FlushFileBuffers(f.get());
        if (!ok) {
            f.reset();
            ::DeleteFileW(tmpPath.c_str());
            return false;
        }
    }
    // Retry briefly: another program (a virus scanner, an editor) may hold the
    // target for a moment.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (::MoveFileExW(tmpPath.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD err = ::GetLastError();
        if (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED) break;
        ::Sleep(20);
    }
    ::DeleteFileW(tmpPath.c_str());
    return false;
}

}  // namespace gui
