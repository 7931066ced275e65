#include "app/monitors/BtnFiles.h"

#include <algorithm>

#include "gui/IniFile.h"
#include "gui/IniTable.h"
#include "toolkit/QuorvinText.h"

namespace {

const wchar_t* const kWindow = L"Window";
const wchar_t* const kButton = L"Button";

// Every key of "Btn.ini", in the order a new file holds them, bound to s: a
// missing key gives the default from d, and for the bounds the value s
// holds. The bounds are written only while the window is not maximised.
gui::TIniTable BtnIniTable(TBtnSettings& s, const TBtnSettings& d) {
    return {
        gui::IniBool(kWindow, L"Normal", s.Normal, d.Normal),
        gui::IniBounds(kWindow, s.Left, s.Top, s.Width, s.Height, gui::TBoundsKeys::All, s.Normal),
        gui::IniString(L"HotKey", L"Stop", s.EditHTKStop, d.EditHTKStop),
        gui::IniBool(L"Sound", L"Enabled", s.CHKWav, d.CHKWav),
        gui::IniBool(L"Sound", L"Resource", s.CHKWavRes, d.CHKWavRes),
        gui::IniString(L"Sound", L"File", s.EditWav, d.EditWav),
    };
}

void ReadEntries(const gui::TMemIniFile& ini, std::vector<TBtnEntry>& entries) {
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
}

void WriteEntries(gui::TMemIniFile& ini, const std::vector<TBtnEntry>& entries) {
    ini.WriteInteger(kButton, L"Count", static_cast<int>(entries.size()) - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring section = kButton + std::to_wstring(i);
        for (int k = 0; k < kBtnStoredFields; ++k) ini.WriteString(section, std::to_wstring(k), entries[i][k]);
    }
}

// Every key of "Btn.lst", in the order a new file holds them.
gui::TIniTable BtnListTable(std::vector<TBtnEntry>& entries, bool& moveCursor) {
    return {
        gui::IniRows([&entries](const gui::TMemIniFile& ini) { ReadEntries(ini, entries); },
                     [&entries](gui::TMemIniFile& ini) { WriteEntries(ini, entries); }),
        gui::IniBool(L"Cursor", L"Move", moveCursor, true),
    };
}

}  // namespace

std::wstring BtnIniFileName(const std::wstring& folder) { return folder + L"Btn.ini"; }
std::wstring BtnListFileName(const std::wstring& folder) { return folder + L"Btn.lst"; }

void LoadBtnIni(const std::wstring& fileName, TBtnSettings& s) {
    gui::LoadIniTable(gui::TMemIniFile(fileName), BtnIniTable(s, TBtnSettings()));
}

bool SaveBtnIni(const std::wstring& fileName, const TBtnSettings& s) {
    gui::TMemIniFile ini(fileName);
    TBtnSettings saved = s;
    gui::SaveIniTable(ini, BtnIniTable(saved, saved));
    return ini.UpdateFile();
}

void LoadBtnList(const std::wstring& fileName, std::vector<TBtnEntry>& entries, bool& moveCursor) {
    ConvertAnsiFileToUtf16(fileName);
    gui::LoadIniTable(OpenUtf16IniFile(fileName), BtnListTable(entries, moveCursor));
}

bool SaveBtnList(const std::wstring& fileName, const std::vector<TBtnEntry>& entries, bool moveCursor) {
    gui::TMemIniFile ini = OpenUtf16IniFile(fileName);
    std::vector<TBtnEntry> saved = entries;
    gui::SaveIniTable(ini, BtnListTable(saved, moveCursor));
    return ini.UpdateFile();
}
