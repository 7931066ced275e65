// What a shortcut file holds, read through the shell's link object alone, so
// a test sees the file as any other program would, and the show command
// read from the file's bytes.
#pragma once

#include <windows.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

#include "gui/Handles.h"
#include "tests/support/TestSupport.h"

namespace testing_support {

struct LinkContents {
    bool loaded = false;
    std::wstring description, path, arguments, workDir, iconFile;
    int iconIndex = -1;
};

inline LinkContents ReadLink(const std::wstring& file) {
    LinkContents c;
    gui::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.put_void())))
        return c;
    auto pf = link.as<IPersistFile>(IID_IPersistFile);
    c.loaded = pf && SUCCEEDED(pf->Load(file.c_str(), STGM_READ));
    wchar_t buf[2048] = {};
    link->GetDescription(buf, 2048);
    c.description = buf;
    buf[0] = 0;
    link->GetPath(buf, 2048, nullptr, SLGP_RAWPATH);
    c.path = buf;
    buf[0] = 0;
    link->GetArguments(buf, 2048);
    c.arguments = buf;
    buf[0] = 0;
    link->GetWorkingDirectory(buf, 2048);
    c.workDir = buf;
    buf[0] = 0;
    link->GetIconLocation(buf, 2048, &c.iconIndex);
    c.iconFile = buf;
    return c;
}

// The show command in the file's header (a DWORD at 0x3C of the 0x4C-byte
// header), or -1 for a file that is not a shortcut: the shell's reader under
// Wine always answers 1.
inline int ShowCmdInFile(const std::wstring& path) {
    std::string b = ReadBytes(path);
    if (b.size() < 0x4C) return -1;
    DWORD headerSize = 0, cmd = 0;
    std::memcpy(&headerSize, b.data(), 4);
    std::memcpy(&cmd, b.data() + 0x3C, 4);
    return headerSize == 0x4C ? static_cast<int>(cmd) : -1;
}

}  // namespace testing_support
