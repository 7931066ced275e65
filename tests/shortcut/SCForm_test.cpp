// The shortcut maker on real windows: filled from file, folder, program,
// shortcut and Explorer-folder entries, its places and recent folders, and
// shortcuts made by the stand-in sibling program and read back through the
// shell's link object; failed and slow runs, refused names.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "components/MakeShortCuts.h"
#include "tests/shortcut/SCFixture.h"

namespace {

using namespace sc_testing;
using testing_support::MessageBoxAnswerer;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

const std::wstring kWarningTail = L"は\r\n存在しません。";
const std::wstring kBadName = L"ファイル名には次の文字は使えません。\r\n\\ / : , ; * ? < > |";

class SCMaker : public SCFixture {};

// The path without its trailing backslash.
std::wstring Dir(const std::wstring& path) { return path.back() == L'\\' ? path.substr(0, path.size() - 1) : path; }

// --- filling from the entry -------------------------------------------------------------

TEST_F(SCMaker, FillsFromFileFolderAndProgramEntries) {
    const std::wstring docs = dir / L"Docs";
    const std::wstring tools = dir / L"Tools";
    const std::wstring folder = dir / L"Folder A";
    for (const std::wstring& d : {docs, tools, folder}) ::CreateDirectoryW(d.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"VersionInfoFull.exe").c_str(),
                            (tools + L"\\tool.exe").c_str(), FALSE));
    struct Case {
        std::wstring entry, name, work, place;
    } cases[] = {
        {docs + L"\\memo.txt", L"memo", LongPath(docs), LongPath(docs) + L"\\"},
        {folder, L"Folder A", LongPath(Dir(dir.Path())), LongPath(Dir(dir.Path())) + L"\\"},
        // A program is named by its version information.
        {tools + L"\\tool.exe", L"試験用プログラム", LongPath(tools), LongPath(tools) + L"\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << gui::WideToUtf8(c.entry));
        MessageBoxAnswerer boxes;
        Open(c.entry);
        EXPECT_EQ(form->EditExe->Text(), LongPath(c.entry));
        EXPECT_EQ(form->EditExe->Hint, LongPath(c.entry));
        EXPECT_EQ(form->EditOpt->Text(), L"");
        EXPECT_EQ(form->EditName->Text(), c.name);
        EXPECT_EQ(form->EditComment->Text(), c.name);
        EXPECT_EQ(form->EditWork->Text(), c.work);
        EXPECT_EQ(form->ComboBoxSize->ItemIndex(), 0);
        EXPECT_EQ(form->MIconFile, LongPath(c.entry));
        EXPECT_EQ(form->MIconIdx, 0);
        EXPECT_FALSE(form->IconGlyph.Empty()) << "the target's icon on the button";
        EXPECT_EQ(form->RGSC->ItemIndex(), 11) << "the entry's own folder is the default place";
        EXPECT_EQ(form->MSC, c.place);
        EXPECT_EQ(StatusText(form->StatusBar->Handle()), c.place.substr(0, c.place.size() - 1));
        EXPECT_TRUE(form->BtnSC->Enabled());
        EXPECT_TRUE(form->EditName->Enabled());
        EXPECT_TRUE(form->RGSC->Enabled());
        EXPECT_FALSE(form->ListMRU->Enabled());
        EXPECT_FALSE(form->BtnGetCmd->Enabled()) << "no running instance";
        EXPECT_EQ(boxes.Count(), 0u);
        gui::TComponent::Free(form);
        form = nullptr;
    }
}

TEST_F(SCMaker, ReadmeAndHelpButtonsFollowTheFilesBesideTheTarget) {
    const std::wstring tools = dir / L"Tools";
    ::CreateDirectoryW(tools.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(tools + L"\\prog.txt", "x"));
    Open(tools + L"\\prog.txt");
    EXPECT_FALSE(form->BtnReadme->Enabled());
    EXPECT_FALSE(form->BtnHelp->Enabled());
    ASSERT_TRUE(WriteBytes(tools + L"\\readme.txt", "read me"));
    ASSERT_TRUE(WriteBytes(tools + L"\\prog.chm", "help"));
    form->EditName->SetText(L"prog2");  // any edit re-checks
    EXPECT_TRUE(form->BtnReadme->Enabled());
    EXPECT_TRUE(form->BtnHelp->Enabled());
    form->EditName->SetText(L"");
    EXPECT_FALSE(form->BtnSC->Enabled()) << "no name, no shortcut";
}

TEST_F(SCMaker, ShortcutEntryFillsFromItsTarget) {
    const std::wstring tools = dir / L"Tools";
    ::CreateDirectoryW(tools.c_str(), nullptr);
    const std::wstring target = tools + L"\\tool.exe";
    ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"VersionInfoFull.exe").c_str(), target.c_str(), FALSE));
    const std::wstring iconLib = dir / L"icons.dll";
    ASSERT_TRUE(MakeIconLibrary(iconLib, 3));
    struct Case {
        std::wstring iconFile;
        int iconIndex;
        std::wstring expectedFile;
        int expectedIndex;
    } cases[] = {
        {iconLib, 2, iconLib, 2},                   // an icon file that exists is kept
        {dir / L"gone.dll", 5, LongPath(target), 0},  // a missing one falls back to the target
    };
    for (const Case& c : cases) {
        const std::wstring lnk = dir / L"made by another.lnk";
        TMakeShortCuts maker(nullptr);
        maker.SCFileName = lnk;
        maker.SCExecFile = target;
        maker.SCArguments = L"-x \"a b\"";
        maker.SCWorkDir = dir / L"sf1";
        maker.SCDescription = L"説明の文";
        maker.SCIconFile = c.iconFile;
        maker.SCIconIdx = c.iconIndex;
        maker.SCSave();
        ASSERT_TRUE(Exists(lnk));
        Open(lnk);
        EXPECT_EQ(form->EditExe->Text(), LongPath(target));
        EXPECT_EQ(form->EditOpt->Text(), L"-x \"a b\"");
        EXPECT_EQ(form->EditName->Text(), L"試験用プログラム");
        EXPECT_EQ(form->EditWork->Text(), dir / L"sf1");
        EXPECT_EQ(form->EditComment->Text(), L"説明の文");
        EXPECT_EQ(form->MIconFile, c.expectedFile);
        EXPECT_EQ(form->MIconIdx, c.expectedIndex);
        // The place is the folder of the shortcut itself.
        EXPECT_EQ(form->MSC, LongPath(Dir(dir.Path())) + L"\\");
        gui::TComponent::Free(form);
        form = nullptr;
    }
}

TEST_F(SCMaker, MissingTargetIsReportedOnceAndLeavesOnlyCloseUsable) {
    MessageBoxAnswerer boxes;
    const std::wstring gone = dir / L"gone\\tool.exe";
    Open(gone);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{gone + kWarningTail});
    for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
             form->EditOpt, form->EditName, form->EditWork, form->ComboBoxSize, form->EditComment, form->BtnIcon,
             form->BtnIconDef, form->RGSC, form->ListMRU, form->BtnRef, form->BtnExp, form->BtnSC})
        EXPECT_FALSE(c->Enabled()) << gui::WideToUtf8(c->Name);
    EXPECT_TRUE(form->BtnClose->Enabled());
    EXPECT_TRUE(form->ButtonReSPDir->Enabled());
    EXPECT_TRUE(form->IconGlyph.Empty());
}

// --- the places -------------------------------------------------------------------------

TEST_F(SCMaker, PlaceChoicesTakeTheirFolders) {
    // Place 5 is missing from the list and place 6 names no folder: both
    // fall back to the target's folder.
    gui::TMemIniFile list(data + L"ORV_SC.lst");
    list.DeleteKey(L"SpecialFolder", L"5");
    list.WriteString(L"SpecialFolder", L"6", dir / L"nowhere");
    ASSERT_TRUE(list.UpdateFile());
    const std::wstring docs = dir / L"Docs";
    ::CreateDirectoryW(docs.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    Open(docs + L"\\memo.txt");
    ::SetForegroundWindow(form->Handle());
    const std::wstring own = LongPath(docs) + L"\\";
    for (int place = 0; place <= 12; ++place) {
        SCOPED_TRACE(place);
        std::wstring expected = dir / (L"sf" + std::to_wstring(place) + L"\\");
        if (place == 5 || place == 6 || place >= 11) expected = own;  // 12: the MRU list is empty
        // A real click on the radio button.
        ClickWindow(form->RGSC->Button(place)->Handle());
        ASSERT_TRUE(WaitApp([&] { return form->RGSC->ItemIndex() == place; }, 10000));
        WaitApp([] { return false; }, 30);
        EXPECT_EQ(form->MSC, expected);
        EXPECT_EQ(form->ListMRU->Enabled(), place == 12);
        EXPECT_EQ(StatusText(form->StatusBar->Handle()), expected.substr(0, expected.size() - 1));
    }
}

TEST_F(SCMaker, LongPlaceIsShortenedInTheStatusBar) {
    std::wstring deep = dir.Path().substr(0, dir.Path().size() - 1);
    for (int i = 0; i < 8; ++i) {
        deep += L"\\一段深いフォルダの名前" + std::to_wstring(i);
        ::CreateDirectoryW(deep.c_str(), nullptr);
    }
    ASSERT_TRUE(WriteBytes(deep + L"\\memo.txt", "text"));
    Open(deep + L"\\memo.txt");
    EXPECT_EQ(form->MSC, LongPath(deep) + L"\\");
    const std::wstring shown = StatusText(form->StatusBar->Handle());
    EXPECT_NE(shown.find(L"\\...\\"), std::wstring::npos) << gui::WideToUtf8(shown);
    EXPECT_EQ(shown.substr(shown.size() - 10), LongPath(deep).substr(LongPath(deep).size() - 10));
    EXPECT_LT(shown.size(), LongPath(deep).size());
}

// --- the recent folders --------------------------------------------------------------

TEST_F(SCMaker, RecentFoldersComeFromHisIniAndGoBackOnClose) {
    // Twelve keys: the first ten are read, and of those the folders that
    // exist. Folders are stored with their backslash, as the maker stores
    // them; the fifth in other letter case.
    std::vector<std::wstring> folders;
    gui::TMemIniFile his(data + L"His.ini", gui::TTextEncoding::Utf16LE);
    his.WriteString(L"History", L"Keep", L"this");
    for (int i = 0; i < 12; ++i) {
        const std::wstring f = LongPath(Dir(dir.Path())) + L"\\mru" + std::to_wstring(i) + L"\\";
        if (i != 3) ::CreateDirectoryW(f.c_str(), nullptr);
        std::wstring stored = f;
        if (i == 4) CharUpperW(stored.data());
        his.WriteString(L"SCMRU", std::to_wstring(i), stored);
        folders.push_back(f);
    }
    ASSERT_TRUE(his.UpdateFile());
    const std::wstring docs = dir / L"Docs";
    ::CreateDirectoryW(docs.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    Open(docs + L"\\memo.txt");
    ASSERT_EQ(form->ListMRU->Count(), 9);
    EXPECT_EQ(form->ListMRU->Item(0), folders[0]);
    EXPECT_EQ(form->ListMRU->Item(4), folders[5]);
    EXPECT_EQ(form->ListMRU->Item(8), folders[9]);
    EXPECT_EQ(form->ListMRU->ItemIndex(), 0);

    // "履歴" takes the selected folder; another selection follows.
    form->RGSC->Button(12)->Perform(BM_CLICK);
    EXPECT_EQ(form->MSC, folders[0]);
    EXPECT_TRUE(form->ListMRU->Enabled());
    form->ListMRU->SetItemIndex(2);
    ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(form->ListMRU->ControlId(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(form->ListMRU->Handle()));
    EXPECT_EQ(form->MSC, folders[2]);

    // A folder picked with the browser goes to the top; one already listed
    // (in another case) moves there.
    // This Wine's browser now and then never selects the place it is asked
    // to open on; such a browser is cancelled (which leaves the place as it
    // was) and opened again.
    auto pickWithBrowser = [&](const std::wstring& folder) {
        bool selected = false;
        for (int attempt = 0; attempt < 3 && !selected; ++attempt) {
            form->MSC = folder;  // the browser opens on the place, and OK takes it
            std::thread answer([&] {
                HWND box = nullptr;
                Poll([&] {
                    box = ::FindWindowW(L"#32770", nullptr);
                    return box && ::IsWindowVisible(box) && ::GetWindowThreadProcessId(box, nullptr) != 0 &&
                           ::FindWindowExW(box, nullptr, L"SysTreeView32", nullptr) != nullptr;
                }, 20000);
                HWND tree = box ? ::FindWindowExW(box, nullptr, L"SysTreeView32", nullptr) : nullptr;
                selected = Poll([&] { return tree && ::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0; },
                                15000);
                if (box) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(selected ? IDOK : IDCANCEL, BN_CLICKED), 0);
            });
            form->BtnRef->Click();
            answer.join();
        }
        EXPECT_TRUE(selected) << "the browser opened on the place";
    };
    const std::wstring picked = dir / L"picked";
    ::CreateDirectoryW(picked.c_str(), nullptr);
    pickWithBrowser(picked);
    EXPECT_EQ(form->MSC, LongPath(picked) + L"\\");
    ASSERT_EQ(form->ListMRU->Count(), 10);
    EXPECT_EQ(form->ListMRU->Item(0), LongPath(picked) + L"\\");
    EXPECT_EQ(form->ListMRU->ItemIndex(), 0);
    // The fifth folder again: found ignoring case, moved rather than added twice.
    pickWithBrowser(folders[4]);
    EXPECT_EQ(form->MSC, folders[4]);
    ASSERT_EQ(form->ListMRU->Count(), 10);
    EXPECT_EQ(form->ListMRU->Item(0), folders[4]);
    EXPECT_EQ(form->ListMRU->Item(1), LongPath(picked) + L"\\");

    std::vector<std::wstring> expected;
    for (int i = 0; i < form->ListMRU->Count(); ++i) expected.push_back(form->ListMRU->Item(i));
    form->BtnClose->Click();
    const std::string bytes = ReadBytes(data + L"His.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE")) << "UTF-16 with its mark";
    gui::TMemIniFile back(data + L"His.ini");
    EXPECT_EQ(back.ReadString(L"History", L"Keep", L""), L"this") << "other sections stay";
    std::vector<std::wstring> keys = back.ReadSection(L"SCMRU");
    ASSERT_EQ(keys.size(), expected.size()) << "no stale keys are left";
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(back.ReadString(L"SCMRU", std::to_wstring(i), L""), expected[i]);
}

TEST_F(SCMaker, HisIniInTheAnsiCodePageIsConvertedFirst) {
    const std::wstring mru = dir / L"mru";
    ::CreateDirectoryW(mru.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(data + L"His.ini", "[SCMRU]\r\n0=" + gui::WideToUtf8(mru) + "\r\n"));
    const std::wstring docs = dir / L"Docs";
    ::CreateDirectoryW(docs.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    Open(docs + L"\\memo.txt");
    EXPECT_EQ(ReadBytes(data + L"His.ini").substr(0, 2), std::string("\xFF\xFE"));
    ASSERT_EQ(form->ListMRU->Count(), 1);
    EXPECT_EQ(form->ListMRU->Item(0), mru);
}

// --- making the shortcut ------------------------------------------------------------

class SCMaking : public SCFixture {
protected:
    std::wstring target;
    void SetUp() override {
        SCFixture::SetUp();
        const std::wstring tools = dir / L"Tools";
        ::CreateDirectoryW(tools.c_str(), nullptr);
        target = tools + L"\\tool.exe";
        ASSERT_TRUE(::CopyFileW((testing_support::BinDir() + L"VersionInfoFull.exe").c_str(), target.c_str(), FALSE));
    }
    // Opens the maker on the target with the first special place chosen and
    // the given wait for the sibling; answers the shortcut's path there.
    std::wstring OpenOnTheFirstPlace(int siblingTimeLimit = 60000) {
        Open(target);
        form->SiblingTimeLimit = siblingTimeLimit;
        form->RGSC->Button(1)->Perform(BM_CLICK);
        return dir / L"sf1\\試験用プログラム.lnk";
    }
};

TEST_F(SCMaking, MadeByTheSiblingAndReadBack) {
    Open(target, L"", false);
    form->SiblingTimeLimit = 60000;
    const std::wstring iconLib = dir / L"icons.dll";
    ASSERT_TRUE(MakeIconLibrary(iconLib, 3));
    const std::wstring place = dir / L"sf2\\";
    const std::wstring link = place + L"道具 & 試験.lnk";
    HWND wnd = form->Handle();
    const int result = RunModal([&] {
        // Filled; now edited as a user would, then the real button.
        ::SendMessageW(form->RGSC->Button(2)->Handle(), BM_CLICK, 0, 0);
        ::SendMessageW(form->EditName->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"道具 & 試験"));
        ::SendMessageW(form->EditOpt->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"/x \"a b\""));
        ::SendMessageW(form->EditComment->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"説明"));
        ::SendMessageW(form->ComboBoxSize->Handle(), CB_SETCURSEL, 2, 0);
        form->MIconFile = iconLib;
        form->MIconIdx = 2;
        ::SetForegroundWindow(wnd);
        ClickWindow(form->BtnSC->Handle());
        Poll([&] { return !::IsWindowVisible(wnd); }, 60000);
    });
    EXPECT_EQ(result, gui::mrCancel) << "closed by the maker itself after the shortcut was made";
    ASSERT_TRUE(Exists(link));
    LinkContents c = ReadLink(link);
    ASSERT_TRUE(c.loaded);
    EXPECT_EQ(c.path, LongPath(target));
    EXPECT_EQ(c.arguments, L"/x \"a b\"");
    EXPECT_EQ(c.workDir, LongPath(dir / L"Tools"));
    EXPECT_EQ(c.description, L"説明");
    EXPECT_EQ(c.iconFile, iconLib);
    EXPECT_EQ(c.iconIndex, 2);
    EXPECT_EQ(ShowCmdInFile(link), SW_SHOWMINNOACTIVE);
    // The list file as the sibling saw it: every key of the request in the
    // order the maker writes them, then the sibling's answer.
    EXPECT_EQ(gui::TMemIniFile(data + L"ORV_SC.lst").ReadSection(L"ShortCut"),
              (std::vector<std::wstring>{L"SCFileName", L"SCExecFile", L"SCArguments", L"SCWorkDir", L"SCDescription",
                                         L"SCShowCmd", L"SCIconFile", L"SCIconIdx", L"Make"}));
    EXPECT_EQ(ListValue(L"ShortCut", L"SCFileName"), link);
    EXPECT_EQ(ListValue(L"ShortCut", L"SCExecFile"), LongPath(target));
    EXPECT_EQ(ListValue(L"ShortCut", L"SCArguments"), L"/x \"a b\"");
    EXPECT_EQ(ListValue(L"ShortCut", L"SCWorkDir"), LongPath(dir / L"Tools"));
    EXPECT_EQ(ListValue(L"ShortCut", L"SCDescription"), L"説明");
    EXPECT_EQ(ListValue(L"ShortCut", L"SCShowCmd"), L"2");
    EXPECT_EQ(ListValue(L"ShortCut", L"SCIconFile"), iconLib);
    EXPECT_EQ(ListValue(L"ShortCut", L"SCIconIdx"), L"2");
    EXPECT_EQ(ListValue(L"ShortCut", L"Make"), L"1");
    ASSERT_FALSE(Recorded().empty());
    EXPECT_EQ(Recorded().back(), L"/sc " + prog.substr(0, prog.size() - 1)) << "from the program's folder";
}

TEST_F(SCMaking, ExplorerFolderEntryMakesAnExplorerShortcut) {
    const std::wstring folder = dir / L"フォルダ B";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring p1, p2;
    ShortCutMakerParams(4, folder, p1, p2);
    EXPECT_EQ(p1, ExplorerPath);
    EXPECT_EQ(p2, L" /e,\"" + folder + L"\"");
    ShortCutMakerParams(1, target, p1, p2);
    EXPECT_EQ(p1, target);
    EXPECT_EQ(p2, L"");

    ShortCutMakerParams(4, folder, p1, p2);
    Open(p1, p2, false);
    form->SiblingTimeLimit = 60000;
    const int result = RunModal([&] {
        ::SendMessageW(form->RGSC->Button(3)->Handle(), BM_CLICK, 0, 0);
        ::SendMessageW(form->EditName->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Bフォルダ"));
        ::SetForegroundWindow(form->Handle());
        ClickWindow(form->BtnSC->Handle());
        Poll([&] { return !::IsWindowVisible(form->Handle()); }, 60000);
    });
    EXPECT_EQ(result, gui::mrCancel);
    EXPECT_EQ(form->EditOpt->Text(), p2);
    EXPECT_EQ(form->MIconIdx, 1);
    const std::wstring link = dir / L"sf3\\Bフォルダ.lnk";
    LinkContents c = ReadLink(link);
    ASSERT_TRUE(c.loaded);
    EXPECT_EQ(c.path, LongPath(ExplorerPath));
    // Values of the list file are read trimmed, so the leading blank goes.
    EXPECT_EQ(c.arguments, L"/e,\"" + folder + L"\"");
    EXPECT_EQ(c.iconFile, LongPath(ExplorerPath));
    EXPECT_EQ(c.iconIndex, 1);
    EXPECT_EQ(ShowCmdInFile(link), SW_SHOWNORMAL);
}

TEST_F(SCMaking, FailedRunIsReportedAndTheDialogStays) {
    ::SetEnvironmentVariableW(L"ORV_SC_MODE", L"fail");
    Open(target, L"", false);
    form->SiblingTimeLimit = 60000;
    const std::wstring link = dir / L"sf1\\試験用プログラム.lnk";
    std::wstring status;
    bool stayed = false;
    RunModal([&] {
        ::SendMessageW(form->RGSC->Button(1)->Handle(), BM_CLICK, 0, 0);
        ::SetForegroundWindow(form->Handle());
        ClickWindow(form->BtnSC->Handle());
        const std::wstring failed = link + L"の作成に失敗しました。";
        Poll([&] { return StatusText(form->StatusBar->Handle()) == failed; }, 60000);
        status = StatusText(form->StatusBar->Handle());
        // The run is over once the dialog takes input again, or once it went.
        Poll([&] { return ::IsWindowEnabled(form->Handle()) || !::IsWindowVisible(form->Handle()); }, 10000);
        stayed = ::IsWindowVisible(form->Handle()) && ::IsWindowEnabled(form->Handle());
        ClickWindow(form->BtnClose->Handle());
        Poll([&] { return !::IsWindowVisible(form->Handle()); }, 10000);
    });
    EXPECT_EQ(status, link + L"の作成に失敗しました。");
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(ListValue(L"ShortCut", L"Make"), L"0");
}

TEST_F(SCMaking, SlowRunIsAFailureAndAnOldResultDoesNotCount) {
    // An earlier run's success is still in the list file.
    gui::TMemIniFile list(data + L"ORV_SC.lst");
    list.WriteInteger(L"ShortCut", L"Make", 1);
    ASSERT_TRUE(list.UpdateFile());
    const std::wstring eventName = L"OrvSCRelease" + std::to_wstring(::GetCurrentProcessId());
    gui::Handle release(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ::SetEnvironmentVariableW(L"ORV_SC_MODE", L"late");
    ::SetEnvironmentVariableW(L"ORV_SC_RELEASE", eventName.c_str());
    struct Release {
        HANDLE e;
        ~Release() { ::SetEvent(e); }
    } releaseAtEnd{release.get()};

    const std::wstring link = OpenOnTheFirstPlace(4000);
    const std::wstring failed = link + L"の作成に失敗しました。";
    form->BtnSC->Click();
    EXPECT_EQ(StatusText(form->StatusBar->Handle()), failed);
    EXPECT_TRUE(form->Visible()) << "the failure stays on screen";
    EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
    EXPECT_EQ(ListValue(L"ShortCut", L"Make"), L"<none>") << "the old result was cleared";
    // The sibling finishes late: nothing changes in the dialog.
    ::SetEvent(release.get());
    ASSERT_TRUE(WaitApp([&] { return ListValue(L"ShortCut", L"Make") == L"1"; }, 60000));
    WaitApp([] { return false; }, 300);
    EXPECT_EQ(StatusText(form->StatusBar->Handle()), failed);
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(Exists(link)) << "the late sibling did its work";
}

// A sibling that ends without writing its result: the shortcut counts as
// made only when the link is new or rewritten by the run.
TEST_F(SCMaking, WithoutAResultANewLinkCountsAsMade) {
    // An earlier run's failure is still in the list file.
    gui::TMemIniFile list(data + L"ORV_SC.lst");
    list.WriteInteger(L"ShortCut", L"Make", 0);
    ASSERT_TRUE(list.UpdateFile());
    ::SetEnvironmentVariableW(L"ORV_SC_MODE", L"mute");
    const std::wstring link = OpenOnTheFirstPlace();
    form->BtnSC->Click();
    EXPECT_EQ(StatusText(form->StatusBar->Handle()), link + L"を作成しました。");
    EXPECT_FALSE(form->Visible()) << "closed after the shortcut was made";
    EXPECT_TRUE(ReadLink(link).loaded);
    EXPECT_EQ(ListValue(L"ShortCut", L"Make"), L"<none>") << "the sibling wrote no result";
}

TEST_F(SCMaking, WithoutAResultAnOldLinkLeftAsItWasIsAFailure) {
    ::SetEnvironmentVariableW(L"ORV_SC_MODE", L"idle");
    const std::wstring link = OpenOnTheFirstPlace();
    ASSERT_TRUE(WriteBytes(link, "old"));
    {
        MessageBoxAnswerer yes(IDYES);
        form->BtnSC->Click();
        EXPECT_EQ(yes.Count(), 1u) << "asked to overwrite";
    }
    ASSERT_EQ(Recorded().size(), 1u) << "the sibling ran";
    EXPECT_EQ(StatusText(form->StatusBar->Handle()), link + L"の作成に失敗しました。");
    EXPECT_TRUE(form->Visible()) << "the failure stays on screen";
    EXPECT_EQ(ReadBytes(link), "old");
}

TEST_F(SCMaking, ExistingLinkIsOverwrittenOnlyWhenTheUserSaysSo) {
    const std::wstring link = OpenOnTheFirstPlace();
    ASSERT_TRUE(WriteBytes(link, "old"));
    {
        MessageBoxAnswerer no(IDNO);
        form->BtnSC->Click();
        EXPECT_EQ(no.Texts(), std::vector<std::wstring>{link + L"は\r\n既に存在します。\r\n上書きしますか？"});
    }
    EXPECT_EQ(ReadBytes(link), "old");
    EXPECT_TRUE(Recorded().empty()) << "the sibling was not started";
    {
        MessageBoxAnswerer yes(IDYES);
        form->BtnSC->Click();
        EXPECT_EQ(yes.Count(), 1u);
    }
    EXPECT_TRUE(ReadLink(link).loaded);
    EXPECT_EQ(ListValue(L"ShortCut", L"Make"), L"1");
}

TEST_F(SCMaking, RefusedNamesKeepTheDialogOpen) {
    Open(target);
    form->RGSC->Button(1)->Perform(BM_CLICK);
    const std::wstring names[] = {L"a|b", L"a\"b", L"a\tb", std::wstring(L"a") + wchar_t(1) + L"b", L"a/b", L"a:b",
                                  L"a*b",  L"a?b",  L"a<b",  L"a>b", L"a\\b"};
    for (const std::wstring& name : names) {
        SCOPED_TRACE(gui::WideToUtf8(name));
        form->EditName->SetText(name);
        MessageBoxAnswerer boxes;
        form->BtnSC->Click();
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{kBadName});
        EXPECT_TRUE(form->Visible());
    }
    EXPECT_TRUE(Recorded().empty()) << "the sibling was never started";
    // "," and ";" are allowed in file names.
    form->SiblingTimeLimit = 60000;
    form->EditName->SetText(L"a,b;c");
    form->BtnSC->Click();
    EXPECT_TRUE(ReadLink(dir / L"sf1\\a,b;c.lnk").loaded);
}

TEST_F(SCMaking, PlaceThatIsGoneIsRefused) {
    Open(target);
    form->RGSC->Button(1)->Perform(BM_CLICK);
    ASSERT_TRUE(::RemoveDirectoryW((dir / L"sf1").c_str()));
    MessageBoxAnswerer boxes;
    form->BtnSC->Click();
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::wstring>{dir / L"sf1" + kWarningTail + L"\r\n他のフォルダを指定してください。"});
    EXPECT_TRUE(Recorded().empty());
}

// --- the special folders --------------------------------------------------------------

TEST_F(SCMaker, SpecialFoldersAreAskedForWhenTheListIsMissing) {
    ::DeleteFileW((data + L"ORV_SC.lst").c_str());
    const std::wstring docs = dir / L"Docs";
    ::CreateDirectoryW(docs.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    Open(docs + L"\\memo.txt");
    ASSERT_TRUE(WaitApp([&] { return Exists(data + L"ORV_SC.lst"); }, 30000));
    ASSERT_TRUE(WaitApp([&] { return ListValue(L"SpecialFolder", L"10") != L"<none>"; }, 30000));
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    EXPECT_EQ(ListValue(L"SpecialFolder", L"2"), desktop);
    EXPECT_EQ(Recorded(), std::vector<std::wstring>{L"/sf " + prog.substr(0, prog.size() - 1)});
    // The place now comes from what the sibling wrote.
    form->RGSC->Button(2)->Perform(BM_CLICK);
    EXPECT_EQ(form->MSC, std::wstring(desktop) + L"\\");

    form->ButtonReSPDir->Click();
    ASSERT_TRUE(WaitApp([&] { return Recorded().size() == 2; }, 30000));
    EXPECT_EQ(Recorded().back(), L"/sf " + prog.substr(0, prog.size() - 1));
}

// The entry point the history window calls: a modal maker, released after.
TEST_F(SCMaker, EntryPointShowsModallyAndReleases) {
    const std::wstring docs = dir / L"Docs";
    ::CreateDirectoryW(docs.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(docs + L"\\memo.txt", "text"));
    std::wstring caption, name;
    std::thread driver([&] {
        HWND wnd = nullptr;
        Poll([&] {
            wnd = ::FindWindowW(L"TSCForm", nullptr);
            return wnd && ::IsWindowVisible(wnd);
        }, 30000);
        if (!wnd) return;
        caption = testing_support::WindowTextOf(wnd);
        HWND edit = ::FindWindowExW(wnd, nullptr, L"TEdit", nullptr);
        edit = ::FindWindowExW(wnd, edit, L"TEdit", nullptr);  // EditOpt
        edit = ::FindWindowExW(wnd, edit, L"TEdit", nullptr);  // EditName
        name = testing_support::WindowTextOf(edit);
        ::SetForegroundWindow(wnd);
        PressKey(VK_ESCAPE);
        if (!Poll([&] { return !::IsWindow(wnd); }, 10000)) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
    });
    ShowShortCutMaker(docs + L"\\memo.txt", L"");
    driver.join();
    EXPECT_EQ(caption, L"Orvandel - 履歴(ショートカットの作成)");
    EXPECT_EQ(name, L"memo");
    EXPECT_EQ(SCForm, nullptr);
    EXPECT_TRUE(testing_support::FindTopWindows(L"TSCForm").empty());
    EXPECT_TRUE(Exists(data + L"His.ini")) << "closing wrote the recent folders";
}

}  // namespace
