// The test program's own entry: the restart after a history-list error
// starts this program again with "/ListError", which then only leaves a mark.
#include <gtest/gtest.h>

#include <windows.h>
#include <cstring>

#include "gui/FileIO.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "/ListError") == 0) {
        wchar_t tmp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, tmp);
        gui::WriteWholeFile(std::wstring(tmp) + L"orv-tray-restart.mark", "/ListError");
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
