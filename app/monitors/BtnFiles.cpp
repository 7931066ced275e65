#include "app/monitors/BtnFiles.h"

#include <algorithm>

#include "gui/IniFile.h"
#include "toolkit/QuorvinText.h"

namespace {

const wchar_t* const kWindow = L"Window";
const wchar_t* const kButton = L"Button";

}  // namespace

std::wstring BtnIniFileName(const std::wstring& folder) { return folder + L"Btn.ini"; }
std::wstring BtnListFileName(const std::wstring& folder) { return folder + L"Btn.lst"; }

void LoadBtnIni(const std::wstring& fileName, TBtnSettings& s) {
    const gui::TMemIniFile ini(fileName);
    const TBtnSettings d;
    s.Normal = ini.ReadBool(kWindow, L"Normal", d.Normal);
    const gui::TBounds b = gui::ReadBounds(ini, kWindow, gui::TBounds{s.Left, s.Top, s.Width, s.Height});
    s.Left = b.Left;
    s.Top = b.Top;
    s.Width = b.Width;
    s.Height = b.Height;
    s.EditHTKStop = ini.ReadString(L"HotKey", L"Stop", d.EditHTKStop);
    s.CHKWav = ini.ReadBool(L"Sound", L"Enabled", d.CHKWav);
    s.CHKWavRes = ini.ReadBool(L"Sound", L"Resource", d.CHKWavRes);
    s.EditWav = ini.ReadString(L"Sound", L"File", d.EditWav);
}

bool SaveBtnIni(const std::wstring& fileName, const TBtnSettings& s) {
    gui::TMemIniFile ini(fileName);
    ini.WriteBool(kWindow, L"Normal", s.Normal);
    if (s.Normal) {
        gui::WriteBounds(ini, kWindow, gui::TBounds{s.Left, s.Top, s.Width, s.Height});
    }
    ini.WriteString(L"HotKey", L"Stop", s.EditHTKStop);
    ini.WriteBool(L"Sound", L"Enabled", s.CHKWav);
    ini.WriteBool(L"Sound", L"Resource", s.CHKWavRes);
    ini.WriteString(L"Sound", L"File", s.EditWav);
    return ini.UpdateFile();
}

void LoadBtnList(const std::wstring& fileName, std::vector<TBtnEntry>& entries, bool& moveCursor) {
    ConvertAnsiFileToUtf16(fileName);
    const gui::TMemIniFile ini = OpenUtf16IniFile(fileName);
    entries.clear();
    // Never past the last entry section the file holds, whatever its count says;
    // a missing section inside that range is an empty entry.
    const int last = std::min(ini.ReadInteger(kButton, L"Count", -1), ini.HighestSectionIndex(kButton));
    for (int i = 0; i <= last; ++i) {
        const std::wstring section = kButton + std::to_wstring(i);
        TBtnEntry e;
        for (int k = 0; k < kBtnStoredFields; ++k) e[k] = ini.ReadString(section, std::to_wstring(k), L"");
        entries.push_back(std::move(e));
    }
    moveCursor = ini.ReadBool(L"Cursor", L"Move", true);
}

bool SaveBtnList(const std::wstring& fileName, const std::vector<TBtnEntry>& entries, bool moveCursor) {
    gui::TMemIniFile ini = OpenUtf16IniFile(fileName);
    ini.WriteInteger(kButton, L"Count", static_cast<int>(entries.size()) - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring section = kButton + std::to_wstring(i);
        for (int k = 0; k < kBtnStoredFields; ++k) ini.WriteString(section, std::to_wstring(k), entries[i][k]);
    }
    ini.WriteBool(L"Cursor", L"Move", moveCursor);
    return ini.UpdateFile();
}
