// The special folders window: "Shell.lst" read, edited and saved with a
// backup, the shipped default list, "SPDir.ini", the close question, and
// entries opened in Explorer, walked as a user with real clicks and keys.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/monitors/SPDir.h"
#include "gui/Application.h"
#include "gui/Handles.h"
#include "gui/IniFile.h"
#include "gui/StringList.h"
#include "gui/TextCodec.h"
#include "tests/support/UserInput.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinFiles.h"

using namespace testing_support;

namespace {

// The program's main form stands in front of the special-folder window,
// which is never the main form.
class TMainStandIn : public gui::TForm {
public:
    explicit TMainStandIn(gui::TComponent* owner) : TForm(owner, L"TSPDirTestMain") {}
};
TMainStandIn* MainStandIn = nullptr;

std::string Ansi(const std::wstring& text) { return gui::EncodeText(text, gui::TTextEncoding::Ansi); }

// The lines as "Shell.lst" holds them: system code page, CR LF after each.
std::string ListBytes(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& l : lines) text += l + L"\r\n";
    return Ansi(text);
}

std::vector<std::wstring> Items(const gui::TListBox* list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < list->Count(); ++i) items.push_back(list->Item(i));
    return items;
}

class SPDir : public testing::Test {
protected:
    void SetUp() override {
        oldFolder_ = DataFolder;
        DataFolder = dir_.Path();
        app_.Initialize();
        app_.SetTitle(L"Orvandel");
        app_.ShowMainForm = false;
        app_.CreateForm(MainStandIn);
    }
    void TearDown() override {
        app_.DestroyForms();
        SPDirForm = nullptr;
        DataFolder = oldFolder_;
    }

    // The window made as at start-up (its list file written first, when given).
    TSPDirForm& Create(const std::vector<std::wstring>* lines = nullptr) {
        if (lines) {
            EXPECT_TRUE(WriteBytes(ListPath(), ListBytes(*lines)));
        }
        app_.CreateForm(SPDirForm);
        return *SPDirForm;
    }
    // Shown as the tray menu shows it, in front.
    TSPDirForm& Show(TSPDirForm& f) {
        f.Show();
        EXPECT_TRUE(BringToFront(f.Handle()));
        PumpApp(50);
        return f;
    }
    std::wstring ListPath() const { return dir_ / L"Shell.lst"; }

    ScratchDir dir_;
    std::wstring oldFolder_;
    gui::TApplication app_;
};

// --- reading --------------------------------------------------------------------

TEST_F(SPDir, LinesSplitAtTheFirstCommaAndBadLinesAreSkipped) {
    const std::vector<std::wstring> lines = {
        L"shell:Personal,ドキュメント,予備,です",  // the name keeps its commas
        L",shell:NoCommand",                      // a comma first: skipped
        L"no comma at all",                       // skipped
        L"",                                      // skipped
        L"shell:Fonts,フォント",
        L"x,",                                    // a command of one character and an empty name
    };
    TSPDirForm& f = Show(Create(&lines));
    EXPECT_EQ(Items(f.ListBoxCmd), (std::vector<std::wstring>{L"shell:Personal", L"shell:Fonts", L"x"}));
    EXPECT_EQ(Items(f.ListBoxName), (std::vector<std::wstring>{L"ドキュメント,予備,です", L"フォント", L""}));
    // Row 0 of both lists is selected, the command list has the focus, and
    // the edit boxes show the first entry.
    EXPECT_EQ(f.ListBoxCmd->ItemIndex(), 0);
    EXPECT_EQ(f.ListBoxName->ItemIndex(), 0);
    EXPECT_TRUE(WaitApp([&] { return ::GetFocus() == f.ListBoxCmd->Handle(); }, 5000));
    EXPECT_EQ(f.EditCmd->Text(), L"shell:Personal");
    EXPECT_EQ(f.EditName->Text(), L"ドキュメント,予備,です");
    EXPECT_EQ(f.MIndexB, 0);
    EXPECT_FALSE(f.TBUp->Enabled());
    EXPECT_TRUE(f.TBDown->Enabled());
    EXPECT_TRUE(f.TBOpen->Enabled());
    EXPECT_FALSE(f.FModify);
}

TEST_F(SPDir, AMissingListGivesEmptyListsWithNothingSelected) {
    TSPDirForm& f = Create();
    ::DeleteFileW(ListPath().c_str());  // the copy of the shipped list
    Show(f);
    EXPECT_EQ(f.ListBoxCmd->Count(), 0);
    EXPECT_EQ(f.ListBoxName->Count(), 0);
    EXPECT_EQ(f.ListBoxCmd->ItemIndex(), -1);
    EXPECT_EQ(f.MIndexB, -1);
    for (gui::TToolButton* b : {f.TBOpen, f.TBUp, f.TBDown, f.TBDel, f.TBAdd}) EXPECT_FALSE(b->Enabled()) << b->Name;
}

// The program ships a default list; the window copies it into an empty
// settings folder when it is made, and leaves the user's own list alone.
TEST_F(SPDir, TheShippedListIsCopiedOnlyIntoAFolderWithoutOne) {
    const std::wstring shipped = ProgramFolder() + L"Shell.lst";
    const std::string bytes = ReadBytes(shipped);
    ASSERT_FALSE(bytes.empty()) << "Shell.lst stands beside the programs";
    TSPDirForm& f = Show(Create());
    EXPECT_EQ(ReadBytes(ListPath()), bytes);
    // Every entry of the shipped list opens through "shell:" and has a name.
    gui::TStringList lines;
    lines.SetTextBytes(bytes, gui::TTextEncoding::Ansi);
    ASSERT_GE(f.ListBoxCmd->Count(), 20);
    EXPECT_EQ(f.ListBoxCmd->Count(), lines.Count());
    for (int i = 0; i < f.ListBoxCmd->Count(); ++i) {
        EXPECT_EQ(f.ListBoxCmd->Item(i).rfind(L"shell:", 0), 0u) << i;
        EXPECT_FALSE(f.ListBoxName->Item(i).empty()) << i;
    }
    EXPECT_EQ(f.ListBoxCmd->Item(0), L"shell:Personal");
    EXPECT_EQ(f.ListBoxName->Item(0), L"ドキュメント");
    app_.DestroyForms();
    SPDirForm = nullptr;
    app_.CreateForm(MainStandIn);

    const std::vector<std::wstring> own = {L"shell:Fonts,私のフォント"};
    TSPDirForm& g = Show(Create(&own));
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes(own));
    EXPECT_EQ(Items(g.ListBoxName), (std::vector<std::wstring>{L"私のフォント"}));
}

// --- the user's walk --------------------------------------------------------------

TEST_F(SPDir, ButtonsFollowTheSelectionAndTheTypedEntry) {
    const std::vector<std::wstring> lines = {L"shell:A,名前A", L"shell:B,名前B", L"shell:C,名前C"};
    TSPDirForm& f = Show(Create(&lines));
    ClickAt(RowPoint(f.ListBoxName, 2));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->ItemIndex() == 2; }, 10000));
    EXPECT_EQ(f.ListBoxName->ItemIndex(), 2);
    EXPECT_EQ(f.EditCmd->Text(), L"shell:C");
    EXPECT_EQ(f.EditName->Text(), L"名前C");
    EXPECT_TRUE(f.TBUp->Enabled());
    EXPECT_FALSE(f.TBDown->Enabled()) << "the last row cannot go down";
    ClickAt(RowPoint(f.ListBoxCmd, 0));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 0; }, 10000));
    EXPECT_FALSE(f.TBUp->Enabled()) << "the first row cannot go up";
    EXPECT_TRUE(f.TBDown->Enabled());

    // "shell:" is matched in lower case only, and a name is needed.
    struct Case {
        const wchar_t* name;
        const wchar_t* cmd;
        bool add;
    } cases[] = {
        {L"フォント", L"Shell:Fonts", false},
        {L"フォント", L"shell:Fonts", true},
        {L"", L"shell:Fonts", false},
        {L"フォント", L"explorer C:\\", false},
        {L"ごみ箱", L"x shell:RecycleBinFolder", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "name " << testing::PrintToString(std::wstring(c.name)) << ", cmd "
                                        << testing::PrintToString(std::wstring(c.cmd)));
        f.EditName->SetText(L"");
        f.EditCmd->SetText(L"");
        ClickAt(ScreenPoint(f.EditName->Handle(), 5, 5));
        TypeText(c.name);
        ClickAt(ScreenPoint(f.EditCmd->Handle(), 5, 5));
        TypeText(c.cmd);
        ASSERT_TRUE(WaitApp([&] { return f.EditCmd->Text() == c.cmd && f.EditName->Text() == c.name; }, 10000));
        EXPECT_EQ(f.TBAdd->Enabled(), c.add);
    }
}

TEST_F(SPDir, ReorderAddDeleteAndSaveWithABackup) {
    const std::vector<std::wstring> lines = {L"shell:A,名前A", L"shell:B,名前B", L"shell:C,名前C"};
    TSPDirForm& f = Show(Create(&lines));
    const auto expectRows = [&](std::vector<std::wstring> cmds, std::vector<std::wstring> names, int selected) {
        EXPECT_EQ(Items(f.ListBoxCmd), cmds);
        EXPECT_EQ(Items(f.ListBoxName), names);
        EXPECT_EQ(f.ListBoxCmd->ItemIndex(), selected);
        EXPECT_EQ(f.ListBoxName->ItemIndex(), selected);
    };

    ClickAt(RowPoint(f.ListBoxCmd, 1));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 1; }, 10000));
    ClickAt(ToolButtonPoint(f.TBUp));
    ASSERT_TRUE(WaitApp([&] { return f.FModify; }, 10000));
    expectRows({L"shell:B", L"shell:A", L"shell:C"}, {L"名前B", L"名前A", L"名前C"}, 0);

    // A key in the list moves both selections; the moved entry goes down twice.
    f.ListBoxCmd->SetFocus();
    PressKeys({VK_DOWN});
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 1; }, 10000));
    EXPECT_EQ(f.EditName->Text(), L"名前A");
    ClickAt(RowPoint(f.ListBoxName, 0));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->ItemIndex() == 0; }, 10000));
    ClickAt(ToolButtonPoint(f.TBDown));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->ItemIndex() == 1; }, 10000));
    ClickAt(ToolButtonPoint(f.TBDown));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->ItemIndex() == 2; }, 10000));
    expectRows({L"shell:A", L"shell:C", L"shell:B"}, {L"名前A", L"名前C", L"名前B"}, 2);
    EXPECT_FALSE(f.TBDown->Enabled());

    // A typed entry goes in before the selected row.
    f.EditName->SetText(L"");
    f.EditCmd->SetText(L"");
    ClickAt(ScreenPoint(f.EditName->Handle(), 5, 5));
    TypeText(L"フォント");
    ClickAt(ScreenPoint(f.EditCmd->Handle(), 5, 5));
    TypeText(L"shell:Fonts");
    ASSERT_TRUE(WaitApp([&] { return f.TBAdd->Enabled(); }, 10000));
    ClickAt(ToolButtonPoint(f.TBAdd));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->Count() == 4; }, 10000));
    EXPECT_EQ(Items(f.ListBoxCmd), (std::vector<std::wstring>{L"shell:A", L"shell:C", L"shell:Fonts", L"shell:B"}));
    EXPECT_EQ(Items(f.ListBoxName), (std::vector<std::wstring>{L"名前A", L"名前C", L"フォント", L"名前B"}));
    EXPECT_EQ(f.ListBoxCmd->ItemIndex(), f.ListBoxName->ItemIndex());

    // Deleting the last row selects the new last row.
    ClickAt(RowPoint(f.ListBoxName, 3));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->ItemIndex() == 3; }, 10000));
    ClickAt(ToolButtonPoint(f.TBDel));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->Count() == 3; }, 10000));
    expectRows({L"shell:A", L"shell:C", L"shell:Fonts"}, {L"名前A", L"名前C", L"フォント"}, 2);
    EXPECT_EQ(f.EditCmd->Text(), L"shell:Fonts");
    // Deleting a middle row keeps the index.
    ClickAt(RowPoint(f.ListBoxCmd, 1));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 1; }, 10000));
    ClickAt(ToolButtonPoint(f.TBDel));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxCmd->Count() == 2; }, 10000));
    expectRows({L"shell:A", L"shell:Fonts"}, {L"名前A", L"フォント"}, 1);

    const std::string before = ReadBytes(ListPath());
    ClickAt(ToolButtonPoint(f.TBSave));
    ASSERT_TRUE(WaitApp([&] { return !f.FModify; }, 10000));
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes({L"shell:A,名前A", L"shell:Fonts,フォント"}));
    EXPECT_EQ(ReadBytes(ListPath() + L".bak"), before);

    // The next showing reads what was saved.
    f.Close();
    ASSERT_FALSE(f.Visible());
    Show(f);
    expectRows({L"shell:A", L"shell:Fonts"}, {L"名前A", L"フォント"}, 0);
}

TEST_F(SPDir, AFailedBackupWarnsAndTheSaveGoesOn) {
    const std::vector<std::wstring> lines = {L"shell:A,名前A", L"shell:B,名前B"};
    TSPDirForm& f = Show(Create(&lines));
    // A folder of the backup's name cannot be copied over.
    ASSERT_TRUE(::CreateDirectoryW((ListPath() + L".bak").c_str(), nullptr));
    f.TBDown->Click();
    std::wstring caption;
    std::mutex captionLock;
    MessageBoxAnswerer answerer(IDOK, [&](HWND box) {
        wchar_t text[256] = {};
        ::GetWindowTextW(box, text, 256);
        std::lock_guard<std::mutex> hold(captionLock);
        caption = text;
    });
    f.TBSave->Click();
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Texts()[0], ListPath() + L"のバックアップが作成できません。\r\n" +
                                       L"ほかのソフトで開かれていないか確認してください。");
    {
        std::lock_guard<std::mutex> hold(captionLock);
        EXPECT_EQ(caption, L"Orvandel - Windows特殊フォルダ");
    }
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes({L"shell:B,名前B", L"shell:A,名前A"}));
    EXPECT_FALSE(f.FModify);
}

// With no list file there is nothing to back up: the first save writes the
// list without a warning.
TEST_F(SPDir, TheFirstSaveWithoutAListWritesItWithoutAWarning) {
    TSPDirForm& f = Create();
    ::DeleteFileW(ListPath().c_str());
    Show(f);
    f.EditName->SetText(L"フォント");
    f.EditCmd->SetText(L"shell:Fonts");
    ASSERT_TRUE(f.TBAdd->Enabled());
    f.TBAdd->Click();
    MessageBoxAnswerer answerer;
    f.TBSave->Click();
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes({L"shell:Fonts,フォント"}));
    EXPECT_EQ(::GetFileAttributesW((ListPath() + L".bak").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A list that exists but cannot be read is reported and never written over.
TEST_F(SPDir, AnUnreadableListIsNotWrittenOver) {
    const std::vector<std::wstring> lines = {L"shell:A,名前A", L"shell:B,名前B"};
    TSPDirForm& f = Create(&lines);
    MessageBoxAnswerer answerer;
    {
        gui::Handle lock(::CreateFileW(ListPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
        f.Show();
        ASSERT_TRUE(WaitApp([&] { return answerer.Count() == 1; }, 10000)) << "the read error is reported";
    }
    EXPECT_EQ(f.ListBoxCmd->Count(), 0);
    f.EditName->SetText(L"フォント");
    f.EditCmd->SetText(L"shell:Fonts");
    f.TBAdd->Click();
    ASSERT_TRUE(BringToFront(f.Handle()));
    ClickAt(ToolButtonPoint(f.TBSave));
    ASSERT_TRUE(WaitApp([&] { return answerer.Count() == 2; }, 10000)) << "the save is refused with an error";
    EXPECT_NE(answerer.Texts()[1].find(L"上書きしません"), std::wstring::npos);
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes(lines));
}

// --- closing and SPDir.ini ------------------------------------------------------------

TEST_F(SPDir, ClosingAfterAChangeAsksOnceAndWritesTheIni) {
    const std::vector<std::wstring> lines = {L"shell:A,名前A", L"shell:B,名前B"};
    TSPDirForm& f = Show(Create(&lines));
    f.TBDown->Click();
    ASSERT_TRUE(f.FModify);
    {
        MessageBoxAnswerer no(IDNO);
        f.TBClose->Click();
        ASSERT_EQ(no.Count(), 1u);
        EXPECT_EQ(no.Texts()[0], L"リストが変更されています。\r\n変更を破棄しますか？");
    }
    EXPECT_TRUE(f.Visible()) << "No keeps the window open";
    EXPECT_FALSE(f.FModify);
    {
        MessageBoxAnswerer none;
        ClickAt(ToolButtonPoint(f.TBOpenClose));
        ASSERT_TRUE(WaitApp([&] { return f.TBOpenClose->Down(); }, 10000));
        f.SetBounds(150, 120, 700, 450);
        f.TBClose->Click();
        EXPECT_EQ(none.Count(), 0u) << "the second close asks nothing";
    }
    EXPECT_FALSE(f.Visible());
    gui::TMemIniFile ini(dir_ / L"SPDir.ini");
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Left", -1), 150);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Top", -1), 120);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Width", -1), 700);
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Height", -1), 450);
    EXPECT_TRUE(ini.ReadBool(L"ToolBar", L"OpenClose", false));
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes(lines)) << "nothing was saved";

    // Shown again, the list is read anew; Yes closes without saving.
    Show(f);
    EXPECT_EQ(Items(f.ListBoxCmd), (std::vector<std::wstring>{L"shell:A", L"shell:B"}));
    f.TBDown->Click();
    {
        MessageBoxAnswerer yes(IDYES);
        f.Close();
        EXPECT_EQ(yes.Count(), 1u);
    }
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(ReadBytes(ListPath()), ListBytes(lines));
}

TEST_F(SPDir, TheIniPlacesTheWindowAndSetsTheButton) {
    testing_support::WriteBytes(dir_ / L"SPDir.ini",
                                "[Window]\r\nTop=90\r\nLeft=130\r\nHeight=420\r\nWidth=720\r\n"
                                "[ToolBar]\r\nOpenClose=1\r\n");
    TSPDirForm& f = Create();
    const RECT r = f.BoundsRect();
    EXPECT_EQ(r.left, 130);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(r.right - r.left, 720);
    EXPECT_EQ(r.bottom - r.top, 420);
    EXPECT_TRUE(f.TBOpenClose->Down());
    MINMAXINFO mmi{};
    ::SendMessageW(f.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 600);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 200);
}

TEST_F(SPDir, AWindowSavedOffTheScreenComesBackOnIt) {
    testing_support::WriteBytes(dir_ / L"SPDir.ini", "[Window]\r\nTop=-3000\r\nLeft=9000\r\nHeight=400\r\nWidth=650\r\n");
    TSPDirForm& f = Create();
    const RECT r = f.BoundsRect();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
}

TEST_F(SPDir, WithoutAnIniTheWindowHasItsDesignSize) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 100; ++i) lines.push_back(L"shell:Row" + std::to_wstring(i) + L",行" + std::to_wstring(i));
    TSPDirForm& f = Create(&lines);
    EXPECT_EQ(f.ClientWidth(), 643);
    EXPECT_EQ(f.ClientHeight(), 565);
    EXPECT_FALSE(f.TBOpenClose->Down());
    EXPECT_EQ(f.Caption(), L"Orvandel - Windows特殊フォルダ");
    const LONG ex = ::GetWindowLongW(f.Handle(), GWL_EXSTYLE), style = ::GetWindowLongW(f.Handle(), GWL_STYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    // The tool bar has its two rows; with more rows than fit, only the
    // command column shows a scroll bar.
    EXPECT_EQ(f.ToolBar->RowCount(), 2);
    Show(f);
    EXPECT_FALSE(::GetWindowLongW(f.ListBoxName->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_TRUE(::GetWindowLongW(f.ListBoxCmd->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(f.ListBoxName->SynListBox(), f.ListBoxCmd);
    EXPECT_EQ(f.ListBoxCmd->SynListBox(), f.ListBoxName);
}

// --- scrolling ------------------------------------------------------------------------------

TEST_F(SPDir, TheWheelOverEitherListScrollsItOneLineAndThePartnerFollows) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < 80; ++i) lines.push_back(L"shell:Row" + std::to_wstring(i) + L",行" + std::to_wstring(i));
    TSPDirForm& f = Show(Create(&lines));
    ASSERT_EQ(f.ListBoxCmd->TopIndex(), 0);
    // The focus is in the command list; the wheel turns over the name list.
    WheelAt(ScreenPoint(f.ListBoxName->Handle(), 30, 30), -WHEEL_DELTA);
    EXPECT_TRUE(WaitApp([&] { return f.ListBoxName->TopIndex() == 1 && f.ListBoxCmd->TopIndex() == 1; }, 10000));
    PumpApp(200);
    EXPECT_EQ(f.ListBoxName->TopIndex(), 1) << "one line per notch";
    WheelAt(ScreenPoint(f.ListBoxCmd->Handle(), 30, 30), -WHEEL_DELTA);
    WheelAt(ScreenPoint(f.ListBoxCmd->Handle(), 30, 30), -WHEEL_DELTA);
    EXPECT_TRUE(WaitApp([&] { return f.ListBoxName->TopIndex() == 3 && f.ListBoxCmd->TopIndex() == 3; }, 10000));
    WheelAt(ScreenPoint(f.ListBoxName->Handle(), 30, 30), WHEEL_DELTA);
    EXPECT_TRUE(WaitApp([&] { return f.ListBoxName->TopIndex() == 2 && f.ListBoxCmd->TopIndex() == 2; }, 10000));
}

// --- opening ------------------------------------------------------------------------------

// Explorer windows titled with the folder's name (this Wine's Explorer is of
// class "ExplorerWClass").
std::vector<HWND> ExplorerWindows(const std::wstring& title) {
    std::vector<HWND> found;
    for (const wchar_t* cls : {L"ExplorerWClass", L"CabinetWClass"})
        for (HWND w : FindTopWindows(cls, &title))
            if (::IsWindowVisible(w)) found.push_back(w);
    return found;
}

// The running processes this process started.
std::set<DWORD> ChildProcesses() {
    std::set<DWORD> ids;
    gui::FileHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap) return ids;
    PROCESSENTRY32W pe{sizeof(pe)};
    for (BOOL ok = ::Process32FirstW(snap.get(), &pe); ok; ok = ::Process32NextW(snap.get(), &pe))
        if (pe.th32ParentProcessID == ::GetCurrentProcessId()) ids.insert(pe.th32ProcessID);
    return ids;
}

void CloseExplorer(const std::wstring& title) {
    for (HWND w : ExplorerWindows(title)) ::PostMessageW(w, WM_CLOSE, 0, 0);
    WaitUntil([&] { return ExplorerWindows(title).empty(); }, 10000);
}

// A command is handed to Explorer as its parameters. This Wine's Explorer
// opens no window for a bare "shell:" name, but opens the folder before a
// comma, so "<folder>,shell:Personal" shows that folder when Explorer was
// started with the command.
TEST_F(SPDir, EntriesOpenInExplorerAndTheWindowMayCloseASecondLater) {
    const std::wstring opened = dir_ / L"SpDirOpened", other = dir_ / L"SpDirNotOpened";
    ASSERT_TRUE(::CreateDirectoryW(opened.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(other.c_str(), nullptr));
    // A comma in such a command would end it in the list file, so the rows
    // are put into the shown window directly.
    TSPDirForm& f = Show(Create());
    f.ListBoxCmd->Clear();
    f.ListBoxName->Clear();
    f.ListBoxCmd->Add(opened + L",shell:Personal");
    f.ListBoxName->Add(L"開く");
    f.ListBoxCmd->Add(other);
    f.ListBoxName->Add(L"開かない");
    f.ListBoxCmd->SetItemIndex(0);
    f.ListBoxName->SetItemIndex(0);

    // A double click on the name opens it; the window stays.
    ClickAt(RowPoint(f.ListBoxName, 0), /*dbl=*/true);
    EXPECT_TRUE(WaitApp([&] { return !ExplorerWindows(L"SpDirOpened").empty(); }, 20000));
    EXPECT_TRUE(f.Visible());
    CloseExplorer(L"SpDirOpened");
    // So does Enter in the command list.
    ClickAt(RowPoint(f.ListBoxCmd, 0));
    ASSERT_TRUE(WaitApp([&] { return ::GetFocus() == f.ListBoxCmd->Handle(); }, 10000));
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitApp([&] { return !ExplorerWindows(L"SpDirOpened").empty(); }, 20000));
    CloseExplorer(L"SpDirOpened");

    // Enter on a command without "shell:" opens nothing.
    ClickAt(RowPoint(f.ListBoxCmd, 1));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 1; }, 10000));
    const std::set<DWORD> before = ChildProcesses();
    PressKeys({VK_RETURN});
    // Explorer is started while the key is handled; once it has been, a
    // program that did not start will not.
    ASSERT_TRUE(InputHandled());
    std::set<DWORD> started;
    for (DWORD pid : ChildProcesses())
        if (!before.count(pid)) started.insert(pid);
    EXPECT_TRUE(started.empty()) << "a program was started";
    EXPECT_TRUE(ExplorerWindows(L"SpDirNotOpened").empty());

    // With "開いた後閉じる" down, the open button opens and the window closes
    // a second after Explorer was asked.
    ClickAt(ToolButtonPoint(f.TBOpenClose));
    ASSERT_TRUE(WaitApp([&] { return f.TBOpenClose->Down(); }, 10000));
    ClickAt(RowPoint(f.ListBoxCmd, 0));
    ASSERT_TRUE(WaitApp([&] { return f.ListBoxName->ItemIndex() == 0; }, 10000));
    const ULONGLONG clicked = ::GetTickCount64();
    ClickAt(ToolButtonPoint(f.TBOpen));
    ASSERT_TRUE(WaitApp([&] { return !f.Visible(); }, 20000));
    EXPECT_GE(::GetTickCount64() - clicked, 1000u);
    EXPECT_TRUE(WaitApp([&] { return !ExplorerWindows(L"SpDirOpened").empty(); }, 20000));
    CloseExplorer(L"SpDirOpened");
}

}  // namespace
