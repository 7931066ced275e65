// The settings a benchmark starts Orvandel with, in the settings folder of
// the prefix it runs in: none at all, or every history and favourites list
// full.
#pragma once

#include <windows.h>

#include <string>

#include "app/history/HisFiles.h"
#include "app/history/HisLists.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TrayProcess.h"

namespace bench {

using testing_support::ScratchDir;
using testing_support::SettingsFolder;
using testing_support::WriteBytes;

inline void ClearSettings() {
    const std::wstring folder = SettingsFolder();
    WIN32_FIND_DATAW fd{};
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + fd.cFileName).c_str());
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
}

// Every history and favourites list at 100 entries that pass the lists'
// pruning: real files, folders and programs in a scratch folder, and
// clipboard texts of 1 KB.
inline void WriteFullLists(const ScratchDir& dir) {
    THisLists lists;
    for (int i = 0; i < 100; ++i) {
        const std::wstring n = std::to_wstring(i);
        const std::wstring file = dir / (L"文書" + n + L".txt"), folder = dir / (L"フォルダ" + n);
        const std::wstring program = dir / (L"道具" + n + L".exe");
        WriteBytes(file, "x");
        WriteBytes(program, "MZ");
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int k = 0; k < 2; ++k) {
            const int base = k * kHisCategories;
            std::wstring text(1024, static_cast<wchar_t>(L'あ' + i % 80));
            text += L" " + n + L" " + std::to_wstring(k);
            lists.MFileList[base + 0].Add(text);
            lists.MFileList[base + 1].Add(file);
            lists.MFileList[base + 2].Add(program);
            lists.MFileList[base + 3].Add(folder);
            lists.MFileList[base + 4].Add(folder + L"\\");
        }
    }
    for (int c = 0; c < kHisCategories; ++c) lists.Settings.MHisListNum[c] = 100;
    ::CreateDirectoryW(SettingsFolder().c_str(), nullptr);
    SaveHisLists(SettingsFolder(), lists);
    SaveHisIni(HisIniFileName(SettingsFolder()), lists.Settings);
}

}  // namespace bench
