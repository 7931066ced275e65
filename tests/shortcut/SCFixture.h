// The shortcut maker created in the test process: a scratch settings folder
// with a list file whose special places are scratch folders, a program
// folder holding the stand-in sibling as "ORV_SC.exe", a driver thread that
// answers the modal dialogs with real clicks and keys, and readers for what
// the made shortcuts and icon libraries hold.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/Globals.h"
#include "app/history/IconSel.h"
#include "app/history/SC.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "toolkit/QuorvinFiles.h"
#include "tests/support/ModalScenario.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "tests/support/LinkFiles.h"

namespace sc_testing {

using testing_support::LinkContents;
using testing_support::ReadLink;
using testing_support::ShowCmdInFile;

using testing_support::ScratchDir;

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::wstring LongPath(const std::wstring& path) {
    std::wstring r;
    GetLongPathNameStr(path, r);
    return r;
}

// --- input, as the user gives it -------------------------------------------------

using testing_support::ClickAt;
using testing_support::PressKey;
using testing_support::WaitApp;

// A click in the middle of a window (from any thread).
inline void ClickWindow(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Polls cond on the calling (driver) thread; its last value.
inline bool Poll(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
}

// The simple text of a status bar. Wine's status bar answers for its
// simple part under index 0 only (SB_SIMPLEID gives nothing). The bar may
// belong to another thread that sets a longer text between a length query
// and the read, and SB_GETTEXT takes no buffer size; so the text is read in
// one call into a buffer for the longest text the bar shows (a path of up to
// 32767 characters and its message).
inline std::wstring StatusText(HWND bar) {
    std::wstring text(65536, L'\0');
    const auto n = LOWORD(::SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data())));
    text.resize(n);
    return text;
}

// --- icon libraries of our own ------------------------------------------------------

// The 0x00RRGGBB colour of icon i of MakeIconLibrary's files.
inline DWORD IconColour(int i) {
    const DWORD colours[] = {0xC02020, 0x20A020, 0x2020C0, 0xC0A000, 0x8020A0, 0x00A0A0, 0x606060, 0xE07000};
    return colours[i % 8];
}

// Copies a program of ours to path and gives it `count` icon groups (ids 1
// to count, so they are listed in that order), each a 32 x 32 square
// filled with IconColour(i). False when the resources cannot be written.
inline bool MakeIconLibrary(const std::wstring& path, int count) {
    if (!::CopyFileW((testing_support::BinDir() + L"CleanerStandIn.exe").c_str(), path.c_str(), FALSE)) return false;
    HANDLE update = ::BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update) return false;
    const int size = 32;
    for (int i = 0; i < count; ++i) {
        std::vector<BYTE> image(sizeof(BITMAPINFOHEADER) + size * size * 4 + size * 4, 0);
        auto* h = reinterpret_cast<BITMAPINFOHEADER*>(image.data());
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biWidth = size;
        h->biHeight = size * 2;
        h->biPlanes = 1;
        h->biBitCount = 32;
        auto* px = reinterpret_cast<DWORD*>(image.data() + sizeof(BITMAPINFOHEADER));
        for (int p = 0; p < size * size; ++p) px[p] = 0xFF000000 | IconColour(i);
#pragma pack(push, 2)
        struct Group {
            WORD reserved, type, count;
            BYTE width, height, colours, reserved2;
            WORD planes, bitCount;
            DWORD bytes;
            WORD id;
        } group{0, 1, 1, size, size, 0, 0, 1, 32, static_cast<DWORD>(image.size()), static_cast<WORD>(100 + i)};
#pragma pack(pop)
        const WORD lang = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
        if (!::UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(100 + i), lang, image.data(),
                               static_cast<DWORD>(image.size())) ||
            !::UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(1 + i), lang, &group, sizeof(group))) {
            ::EndUpdateResourceW(update, TRUE);
            return false;
        }
    }
    return ::EndUpdateResourceW(update, FALSE) != FALSE;
}

// The colour (0x00RRGGBB) in the middle of an icon.
inline DWORD IconMiddle(HICON icon) {
    ICONINFO ii{};
    if (!::GetIconInfo(icon, &ii)) return 0xFFFFFFFF;
    gui::GdiObject mask(ii.hbmMask), colour(ii.hbmColor);
    BITMAP bm{};
    ::GetObjectW(colour.get(), sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    gui::WindowDC dc(nullptr);
    ::GetDIBits(dc.get(), static_cast<HBITMAP>(colour.get()), 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS);
    return px[static_cast<size_t>(bm.bmHeight / 2) * bm.bmWidth + bm.bmWidth / 2] & 0xFFFFFF;
}

// --- the fixture ----------------------------------------------------------------------

class SCFixture : public testing::Test {
protected:
    gui::ComScope com{/*ole=*/true};
    ScratchDir dir;
    std::wstring data, prog, record, oldData, oldExplorer;
    gui::TApplication* app = nullptr;
    TSCForm* form = nullptr;

    void SetUp() override {
        // An application ended by an earlier test leaves its quit message.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        data = dir / L"data\\";
        prog = dir / L"prog\\";
        record = dir / L"record.txt";
        ::CreateDirectoryW(data.c_str(), nullptr);
        ::CreateDirectoryW(prog.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"ShortCutStandIn.exe").c_str(),
                                (prog + L"ORV_SC.exe").c_str(), FALSE));
        oldData = DataFolder;
        DataFolder = data;
        oldExplorer = ExplorerPath;
        std::wstring windows;
        GetWindowsDir(windows);
        ExplorerPath = windows + L"\\Explorer.exe";
        ::SetEnvironmentVariableW(L"ORV_SC_LIST", (data + L"ORV_SC.lst").c_str());
        ::SetEnvironmentVariableW(L"ORV_SC_RECORD", record.c_str());
        ::SetEnvironmentVariableW(L"ORV_SC_MODE", nullptr);
        // The special places: scratch folders sf0 ... sf10.
        gui::TMemIniFile list(data + L"ORV_SC.lst");
        for (int i = 0; i < 11; ++i) {
            const std::wstring sf = dir / (L"sf" + std::to_wstring(i));
            ::CreateDirectoryW(sf.c_str(), nullptr);
            list.WriteString(L"SpecialFolder", std::to_wstring(i), sf);
        }
        ASSERT_TRUE(list.UpdateFile());
        app = new gui::TApplication();
        app->Initialize();
        app->SetTitle(L"Orvandel");
    }

    void TearDown() override {
        if (form) gui::TComponent::Free(form);
        form = nullptr;
        SCForm = nullptr;
        IconSelForm = nullptr;
        delete app;
        for (const wchar_t* v : {L"ORV_SC_LIST", L"ORV_SC_RECORD", L"ORV_SC_MODE", L"ORV_SC_RELEASE"})
            ::SetEnvironmentVariableW(v, nullptr);
        DataFolder = oldData;
        ExplorerPath = oldExplorer;
    }

    // The maker for the entry, created as the history window creates it
    // (with the stand-in's folder), and shown without a modal loop.
    TSCForm* Open(const std::wstring& p1, const std::wstring& p2 = L"", bool show = true) {
        form = new TSCForm(app);
        SCForm = form;
        form->ProgramFolder = prog;
        form->MParamStr1 = p1;
        form->MParamStr2 = p2;
        form->Initialize();
        if (show) {
            form->Show();
            WaitApp([] { return false; }, 50);
        }
        return form;
    }

    // Shows the maker modally while `script` drives it from another thread;
    // a script that did not end the loop gets the window closed for it. A
    // failed ASSERT in the script ends it there, and the case once the loop
    // has returned.
    int RunModal(const std::function<void()>& script) {
        HWND wnd = form->Handle();
        testing_support::ModalScenario run;
        std::thread driver([&] {
            Poll([&] { return ::IsWindowVisible(wnd) != FALSE; }, 20000);
            run.Run(script);
            if (!Poll([&] { return !::IsWindowVisible(wnd); }, 100)) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
        });
        const int result = form->ShowModal();
        driver.join();
        run.EndCaseIfFailed();
        return result;
    }

    // The lines the stand-in recorded: argument and working folder.
    std::vector<std::wstring> Recorded() {
        std::wstring text = gui::Utf8ToWide(testing_support::ReadBytes(record));
        std::vector<std::wstring> lines;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return lines;
    }

    std::wstring ListValue(const std::wstring& section, const std::wstring& key) {
        return gui::TMemIniFile(data + L"ORV_SC.lst").ReadString(section, key, L"<none>");
    }
};

}  // namespace sc_testing
