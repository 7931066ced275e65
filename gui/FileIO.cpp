#include "gui/FileIO.h"

#include "gui/Handles.h"

namespace gui {

bool ReadWholeFile(const std::wstring& path, std::string& bytes, DWORD shareMode) {
    bytes.clear();
    FileHandle f(::CreateFileW(path.c_str(), GENERIC_READ, shareMode, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                        nullptr)) {
            bytes.clear();
            return false;
        }
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    // A read-only file is one the user wants kept; replacing it by a move
    // would get round that.
    DWORD attr = ::GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // The temporary file sits beside the target, so the final move stays on
    // one volume and replaces the target in one step. The counter keeps two
    // saves within one clock tick apart.
    static LONG counter = 0;
    wchar_t tmp[80];
    ::swprintf(tmp, 80, L".%lu.%lu.%ld.tmp", ::GetCurrentProcessId(), ::GetTickCount(),
               ::InterlockedIncrement(&counter));
    std::wstring tmpPath = path + tmp;
    {
        FileHandle f(::CreateFileW(tmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::MoveFileExW(tmpPath.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD err = ::GetLastError();
        if (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED &&
            err != ERROR_LOCK_VIOLATION)
            break;
        ::Sleep(30);
    }
    ::DeleteFileW(tmpPath.c_str());
    return false;
}

namespace {

// "<target>.<pid>.<tick>.<counter>.tmp", as WriteWholeFile names them.
bool IsLeftoverName(const std::wstring& name) {
    const std::wstring ext = L".tmp";
    if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    size_t end = name.size() - ext.size();
    for (int part = 0; part < 3; ++part) {
        size_t dot = name.rfind(L'.', end - 1);
        if (dot == std::wstring::npos || dot + 1 == end) return false;
        for (size_t i = dot + 1; i < end; ++i)
            if (!(iswdigit(name[i]) || (i == dot + 1 && part == 0 && name[i] == L'-'))) return false;
        end = dot;
    }
    return end > 0;
}

}  // namespace

void RemoveLeftoverWrites(const std::wstring& folder) {
    std::wstring dir = folder;
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    WIN32_FIND_DATAW fd;
    FindHandle find(::FindFirstFileW((dir + L"*.tmp").c_str(), &fd));
    if (!find) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsLeftoverName(fd.cFileName))
            ::DeleteFileW((dir + fd.cFileName).c_str());
    } while (::FindNextFileW(find.get(), &fd));
}

}  // namespace gui
