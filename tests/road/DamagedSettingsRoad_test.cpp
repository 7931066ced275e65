// The real Orvandel.exe started over a damaged settings folder: one family
// of its files at a time replaced by nonsense ini text with huge counts and
// bounds, by random bytes, by a 12 MB file or by a folder of that name. The
// program still shows its tray icons, answers a real click on the CPU icon
// with the history menu, records a copied text and ends when closed, with
// no dialog left open.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/TextCodec.h"
#include "tests/road/NotepadRoad.h"

using namespace testing_support;

namespace {

enum class Damage { Counts, RandomBytes, Huge, Folder };

struct Family {
    const char* name;
    std::vector<std::wstring> files;
};

const Family kFamilies[] = {
    {"SettingsIni",
     {L"Config.ini", L"His.ini", L"Btn.ini", L"Drive.ini", L"Launch.ini", L"Panel.ini", L"RAM.ini", L"SPDir.ini"}},
    {"IndexedLists", {L"Btn.lst", L"ExeCmd.log"}},
    {"LineLists", {L"RAM.lst", L"Shell.lst", L"IMEDisable.lst", L"IMEEnable.lst", L"Find.lst", L"Memo.lst"}},
    {"HistoryStreams", {L"His00.lst", L"His01.lst", L"His02.lst", L"His10.lst", L"His11.lst"}},
};

// Ini text every loader could take for its own: each list's count claims
// the most an integer holds, and the bounds are huge or negative.
std::wstring NonsenseIni() {
    std::wstring t;
    for (const wchar_t* s : {L"Drive", L"Button", L"Folder", L"ExecuteFile", L"NoDrive", L"Orvandel.exe",
                             L"notepad.exe", L"SCMRU", L"SpecialFolder"})
        t += std::wstring(L"[") + s + L"]\r\nCount=2147483647\r\n0=\x00A7\x00A7\r\n";
    for (const wchar_t* s : {L"Window", L"ExeCmd", L"Disp", L"Tray", L"CPU", L"RAM", L"History", L"Font", L"Fav",
                             L"Edit", L"Clip"})
        t += std::wstring(L"[") + s +
             L"]\r\nLeft=-2147483648\r\nTop=2147483647\r\nWidth=2147483647\r\nHeight=-2147483648\r\n"
             L"Size=2147483647\r\nTrans=-2147483648\r\nDisp=2147483647\r\nValue=-1\r\nMax=1\r\n";
    t += L"[Button2147483646]\r\n0=X.EXE\r\n[Drive2147483646]\r\n0=Q:\\\r\n";
    return t;
}

std::string Utf16(const std::wstring& text) { return gui::EncodeText(text, gui::TTextEncoding::Utf16LE); }

std::string RandomBytes(size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    for (char& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<char>(seed >> 16);
    }
    return bytes;
}

// The nonsense ini followed by a section of long filler lines, 12 MB in all
// (about 1,500 lines: the size is what is tried here, not the line count).
std::string HugeFile() {
    std::string bytes = Utf16(NonsenseIni() + L"[Filler]\r\n");
    const std::string line = Utf16(L"k=" + std::wstring(4000, L'x') + L"\r\n").substr(2);
    while (bytes.size() < 12u * 1024 * 1024) bytes += line;
    return bytes;
}

// The damaged file (or folder) goes when the case ends, before the file's
// old state is put back.
class DamagedEntry {
public:
    explicit DamagedEntry(std::wstring path) : path_(std::move(path)) {}
    ~DamagedEntry() {
        const DWORD attributes = ::GetFileAttributesW(path_.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path_);
        else ::DeleteFileW(path_.c_str());
    }
    DamagedEntry(const DamagedEntry&) = delete;
    DamagedEntry& operator=(const DamagedEntry&) = delete;

private:
    std::wstring path_;
};

bool IsOrvandel(DWORD pid) {
    gui::Handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, path, &size)) return false;
    const std::wstring p(path, size);
    return p.size() >= 13 && _wcsicmp(p.c_str() + p.size() - 13, L"\\Orvandel.exe") == 0;
}

// Answers the message boxes Orvandel shows while the object lives, from the
// start on, each with its default button, and keeps their texts: a warning
// the program gives about a file it cannot use may show, and is answered.
class OrvandelBoxAnswerer {
public:
    OrvandelBoxAnswerer()
        : thread_([this] {
              while (!stop_) {
                  for (HWND box : FindTopWindows(L"#32770")) {
                      if (!::IsWindowVisible(box) || !IsOrvandel(WindowProcessId(box))) continue;
                      {
                          std::lock_guard<std::mutex> hold(lock_);
                          if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) continue;
                          answered_.push_back(box);
                          texts_.push_back(WindowTextOf(::GetDlgItem(box, 0xFFFF)));
                      }
                      const LRESULT def = ::SendMessageW(box, DM_GETDEFID, 0, 0);
                      const WORD id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
                      ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
                  }
                  ::Sleep(50);  // the polling step of the watch, no wait for a result
              }
          }) {}
    ~OrvandelBoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard<std::mutex> hold(lock_);
        return texts_;
    }

private:
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<HWND> answered_;
    std::vector<std::wstring> texts_;
    std::thread thread_;  // last: starts after every other member exists
};

class DamagedSettingsRoad : public NotepadRoad, public testing::WithParamInterface<std::tuple<int, Damage>> {
protected:
    void PrepareSettings() override {
        const Family& family = kFamilies[std::get<0>(GetParam())];
        const Damage damage = std::get<1>(GetParam());
        // Made with its parent, as the program's first start makes them.
        const std::wstring folder = SettingsFolder();
        const std::string counts = Utf16(NonsenseIni());
        const std::string huge = damage == Damage::Huge ? HugeFile() : std::string();
        unsigned seed = 7;
        for (const std::wstring& name : family.files) {
            const std::wstring path = folder + name;
            KeepSettingsFile(name);
            damaged_.push_back(std::make_unique<DamagedEntry>(path));
            RemoveTree(path);
            bool made = false;
            switch (damage) {
                case Damage::Counts: made = WriteBytes(path, counts); break;
                case Damage::RandomBytes: made = WriteBytes(path, RandomBytes(64 * 1024, seed++)); break;
                case Damage::Huge: made = WriteBytes(path, huge); break;
                case Damage::Folder: made = ::CreateDirectoryW(path.c_str(), nullptr) != FALSE; break;
            }
            ASSERT_TRUE(made) << gui::WideToUtf8(path);
        }
    }
    // Gone after the program has ended, before the files are put back.
    std::vector<std::unique_ptr<DamagedEntry>> damaged_;
    std::unique_ptr<OrvandelBoxAnswerer> boxes_ = std::make_unique<OrvandelBoxAnswerer>();
};

TEST_P(DamagedSettingsRoad, TheProgramStartsAnswersItsIconRecordsACopyAndEnds) {
    const POINT icon = TrayIconPoint();
    ASSERT_GE(icon.x, 0) << VisibleWindowsInZOrder();

    MouseAt(icon, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_TRUE(WaitUntil([&] { return MenuWindowsOf(program_.Pid()) >= 1; }, 20000))
        << "a click on the icon opens the history menu\n" << VisibleWindowsInZOrder();
    CloseMenusWithEsc();

    // The history window a damaged "His.ini" shows at start is closed, as
    // the user closes it before going back to Notepad.
    if (HWND his = HistoryWindowOf(program_.Pid()); his && ::IsWindowVisible(his)) {
        ::PostMessageW(his, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(his); }, 10000)) << "the history window closes";
    }
    ClickIntoNotepad();
    if (HasFatalFailure()) return;
    DelayedClipboardText copy(L"壊れた設定でも記録される");
    CopyAndWaitRecorded(copy);
    if (HasFatalFailure()) return;

    // Only a limit warning the program gives by design (the favourites' limit
    // of a damaged history) may have shown.
    for (const std::wstring& t : boxes_->Texts())
        EXPECT_NE(t.find(L"までです。"), std::wstring::npos) << "an unexpected box: " << gui::WideToUtf8(t);
    HWND form = form_;
    form_ = nullptr;  // closed here, as the user closes it
    SendClose(form);
    EXPECT_TRUE(program_.WaitExit(30000)) << "the program ends when closed\n" << VisibleWindowsInZOrder();
}

std::string CaseName(const testing::TestParamInfo<std::tuple<int, Damage>>& info) {
    static const char* const kDamage[] = {"Counts", "RandomBytes", "Huge", "Folder"};
    return std::string(kFamilies[std::get<0>(info.param)].name) + "_" +
           kDamage[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedSettingsRoad,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kFamilies))),
                                          testing::Values(Damage::Counts, Damage::RandomBytes, Damage::Huge,
                                                          Damage::Folder)),
                         CaseName);

}  // namespace
