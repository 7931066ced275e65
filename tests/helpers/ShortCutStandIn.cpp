// Stands in for the sibling shortcut program "ORV_SC.exe" (copied under that
// name by the tests) and keeps its contract with Orvandel:
//   "/sc"  makes the shortcut that the list file's [ShortCut] describes,
//          through the shell's link object, and writes Make (1 made, 0 not);
//   "/sf"  writes the special folders into [SpecialFolder] "0" to "10".
// The list file is "ORV_SC.lst" in <roaming AppData>\Quorvin\Orvandel\, or
// the file ORV_SC_LIST names. ORV_SC_MODE changes a "/sc" run: "fail" writes
// Make=0 and makes nothing; "late" first waits (at most 60 s) for the event
// that ORV_SC_RELEASE names; "mute" makes the shortcut without writing Make;
// "idle" does neither.
// Each run appends its argument and working folder (one line, UTF-8) to the
// file ORV_SC_RECORD names, when it is set.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "gui/FileIO.h"
#include "gui/Handles.h"
#include "gui/Exception.h"
#include "gui/IniFile.h"
#include "gui/TextCodec.h"

namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t buf[MAX_PATH * 2] = {};
    DWORD n = ::GetEnvironmentVariableW(name, buf, MAX_PATH * 2);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buf, n) : L"";
}

std::wstring Folder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf))) return L"";
    return buf;
}

std::wstring ListFile() {
    std::wstring file = Env(L"ORV_SC_LIST");
    if (!file.empty()) return file;
    return Folder(CSIDL_APPDATA) + L"\\Quorvin\\Orvandel\\ORV_SC.lst";
}

void Record(const std::wstring& argument) {
    const std::wstring record = Env(L"ORV_SC_RECORD");
    if (record.empty()) return;
    wchar_t dir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, dir);
    std::string text;
    gui::ReadWholeFile(record, text);
    text += gui::WideToUtf8(argument + L" " + dir) + "\n";
    gui::WriteWholeFile(record, text);
}

void WriteSpecialFolders(gui::TMemIniFile& list) {
    const int csidls[11] = {CSIDL_SENDTO, CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY, CSIDL_STARTUP, CSIDL_STARTMENU,
                            CSIDL_PROGRAMS, -1, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTUP,
                            CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS};
    for (int i = 0; i < 11; ++i) {
        std::wstring dir = csidls[i] >= 0
                               ? Folder(csidls[i])
                               : Folder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch";
        list.WriteString(L"SpecialFolder", std::to_wstring(i), dir);
    }
}

bool MakeLink(const gui::TMemIniFile& list) {
    const wchar_t* s = L"ShortCut";
    gui::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())))
        return false;
    link->SetPath(list.ReadString(s, L"SCExecFile", L"").c_str());
    link->SetArguments(list.ReadString(s, L"SCArguments", L"").c_str());
    link->SetWorkingDirectory(list.ReadString(s, L"SCWorkDir", L"").c_str());
    link->SetDescription(list.ReadString(s, L"SCDescription", L"").c_str());
    const int show = list.ReadInteger(s, L"SCShowCmd", 0);
    link->SetShowCmd(show == 1 ? SW_SHOWMAXIMIZED : show == 2 ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    link->SetIconLocation(list.ReadString(s, L"SCIconFile", L"").c_str(), list.ReadInteger(s, L"SCIconIdx", 0));
    auto file = link.as<IPersistFile>(IID_IPersistFile);
    const std::wstring name = list.ReadString(s, L"SCFileName", L"");
    return file && !name.empty() && SUCCEEDED(file->Save(name.c_str(), TRUE));
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring argument = argc >= 2 ? argv[1] : L"";
    ::LocalFree(argv);
    Record(argument);
    gui::ComScope com{/*ole=*/false};
    const std::wstring mode = Env(L"ORV_SC_MODE");

    if (argument == L"/sf") {
        gui::TMemIniFile list(ListFile());
        WriteSpecialFolders(list);
        return list.UpdateFile() ? 0 : 3;
    }
    if (argument != L"/sc") return 2;
    if (mode == L"late") {
        gui::Handle release(::OpenEventW(SYNCHRONIZE, FALSE, Env(L"ORV_SC_RELEASE").c_str()));
        if (release) ::WaitForSingleObject(release.get(), 60000);
    }
    if (mode == L"idle") return 0;
    gui::TMemIniFile list(ListFile());
    const bool made = mode != L"fail" && MakeLink(list);
    if (mode == L"mute") return made ? 0 : 4;
    gui::TMemIniFile after(ListFile());
    after.WriteInteger(L"ShortCut", L"Make", made ? 1 : 0);
    return after.UpdateFile() ? 0 : 3;
}
