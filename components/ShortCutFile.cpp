#include "components/ShortCutFile.h"

#include <shlguid.h>

#include "gui/Application.h"
#include "toolkit/QuorvinRegistry.h"

namespace {

const int kTextSize = 255;
const wchar_t kShellFoldersKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

template <class Getter>
std::wstring ReadText(Getter get) {
    wchar_t buf[kTextSize] = {};
    get(buf, kTextSize);
    buf[kTextSize - 1] = L'\0';
    return buf;
}

}  // namespace

int ShowModeToShowCmd(TShowMode mode) {
    switch (mode) {
        case tsMax: return SW_SHOWMAXIMIZED;
        case tsMin: return SW_SHOWMINNOACTIVE;
        case tsNormal: break;
    }
    return SW_SHOWNORMAL;
}

bool ShowCmdToShowMode(int showCmd, TShowMode& mode) {
    switch (showCmd) {
        case SW_SHOWNORMAL: mode = tsNormal; return true;
        case SW_SHOWMAXIMIZED: mode = tsMax; return true;
        case SW_SHOWMINNOACTIVE: mode = tsMin; return true;
        default: return false;
    }
}

std::wstring ShortCutFullPath(TSysPath base, const std::wstring& fileName) {
    if (base == tpBlank) return fileName;
    std::wstring folder;
    gui::RegKey key = OpenRegKeyFullAccess(HKEY_CURRENT_USER, kShellFoldersKey);
    if (!key || !ReadRegString(key.get(), base == tpDesktop ? L"Desktop" : L"Start Menu", folder) ||
        folder.empty())
        return L"";
    return folder + L"\\" + fileName;
}

ShellLinkFile::ShellLinkFile() {
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     link_.put_void())))
        file_ = link_.as<IPersistFile>(IID_IPersistFile);
    if (!file_) link_.reset();
}

void ShellLinkFile::Load(const std::wstring& path) {
    if (file_) file_->Load(path.c_str(), STGM_READ);
}

void ShellLinkFile::Save(const std::wstring& path) {
    if (file_ && !path.empty()) file_->Save(path.c_str(), FALSE);
}

std::wstring ShellLinkFile::Description() const {
    return ReadText([&](wchar_t* buf, int n) { if (link_) link_->GetDescription(buf, n); });
}

std::wstring ShellLinkFile::Path() const {
    return ReadText([&](wchar_t* buf, int n) {
        WIN32_FIND_DATAW fd{};
        if (link_) link_->GetPath(buf, n, &fd, SLGP_UNCPRIORITY);
    });
}

std::wstring ShellLinkFile::Arguments() const {
    return ReadText([&](wchar_t* buf, int n) { if (link_) link_->GetArguments(buf, n); });
}

std::wstring ShellLinkFile::WorkingDirectory() const {
    return ReadText([&](wchar_t* buf, int n) { if (link_) link_->GetWorkingDirectory(buf, n); });
}

int ShellLinkFile::ShowCmd() const {
    int cmd = SW_SHOWNORMAL;
    if (link_) link_->GetShowCmd(&cmd);
    return cmd;
}

void ShellLinkFile::IconLocation(std::wstring& file, int& index) const {
    int idx = 0;
    file = ReadText([&](wchar_t* buf, int n) { if (link_) link_->GetIconLocation(buf, n, &idx); });
    index = idx;
}

void ShellLinkFile::SetDescription(const std::wstring& text) {
    if (link_) link_->SetDescription(text.c_str());
}

void ShellLinkFile::SetPath(const std::wstring& path) {
    if (link_) link_->SetPath(path.c_str());
}

void ShellLinkFile::SetArguments(const std::wstring& args) {
    if (link_) link_->SetArguments(args.c_str());
}

void ShellLinkFile::SetShowCmd(int showCmd) {
    if (link_) link_->SetShowCmd(showCmd);
}

void ShellLinkFile::SetWorkingDirectory(const std::wstring& dir) {
    if (link_) link_->SetWorkingDirectory(dir.c_str());
}

void ShellLinkFile::SetIconLocation(const std::wstring& file, int index) {
    if (link_) link_->SetIconLocation(file.c_str(), index);
}

void ReadShowMode(const ShellLinkFile& link, TShowMode& mode) {
    if (ShowCmdToShowMode(link.ShowCmd(), mode)) return;
    const wchar_t kText[] = L"Error:致命的エラー(Load)";
    if (gui::Application)
        gui::Application->MessageBox(kText, gui::Application->Title(), MB_OK);
    else
        ::MessageBoxW(nullptr, kText, L"", MB_OK);
}
