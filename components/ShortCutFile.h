// What the two shortcut components share: the show-mode and base-folder
// types, the mapping of show modes to the shell's show commands, the full
// path of a shortcut, and the shell's link object behind both. Nothing here
// throws; the link's own results are not looked at.
#pragma once

#include <windows.h>
#include <shobjidl.h>
#include <string>

#include "gui/Handles.h"

enum TShowMode { tsNormal, tsMax, tsMin };
enum TSysPath { tpBlank, tpDesktop, tpStartMenu };

// SW_SHOWNORMAL, SW_SHOWMAXIMIZED or SW_SHOWMINNOACTIVE.
int ShowModeToShowCmd(TShowMode mode);
// The mode of a show command read back; false for anything but those three.
bool ShowCmdToShowMode(int showCmd, TShowMode& mode);

// The base folder followed by fileName. tpBlank has no base folder; the
// others take the desktop's or the start menu's folder from Explorer's
// "Shell Folders" key and a "\". When the key names no such folder the
// result is '', so nothing is written into the root of the current drive.
std::wstring ShortCutFullPath(TSysPath base, const std::wstring& fileName);

// One shell link object (CLSID_ShellLink) with its IShellLinkW and
// IPersistFile. When it cannot be made (COM not initialised on this thread)
// every read gives '' or 0 and every write does nothing. Texts are read into
// 255-character buffers and cut at their first NUL.
class ShellLinkFile {
public:
    ShellLinkFile();

    void Load(const std::wstring& path);
    // An empty path writes nothing.
    void Save(const std::wstring& path);

    std::wstring Description() const;
    std::wstring Path() const;  // SLGP_UNCPRIORITY
    std::wstring Arguments() const;
    std::wstring WorkingDirectory() const;
    int ShowCmd() const;
    void IconLocation(std::wstring& file, int& index) const;

    void SetDescription(const std::wstring& text);
    void SetPath(const std::wstring& path);
    void SetArguments(const std::wstring& args);
    void SetShowCmd(int showCmd);
    void SetWorkingDirectory(const std::wstring& dir);
    void SetIconLocation(const std::wstring& file, int index);

private:
    gui::ComPtr<IShellLinkW> link_;
    gui::ComPtr<IPersistFile> file_;
};

// Sets mode from the link's show command. Any other command leaves mode as
// it is and tells the user with a plain message box; the caller goes on.
void ReadShowMode(const ShellLinkFile& link, TShowMode& mode);
