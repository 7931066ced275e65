// A drop handle as the shell makes it for WM_DROPFILES: DROPFILES, then the
// wide names each ended by a zero, and a final zero. The receiver frees it
// (DragFinish).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

inline HGLOBAL MakeHDrop(const std::vector<std::wstring>& files, POINT pt = POINT{10, 10}) {
    std::wstring names;
    for (const auto& f : files) names += f + L'\0';
    names += L'\0';
    const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!h) return nullptr;
    auto* df = static_cast<DROPFILES*>(::GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fNC = FALSE;
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(h);
    return h;
}

}  // namespace testing_support
