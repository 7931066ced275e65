// The special folders window as part of the program: made hidden at start-up
// with the history list's font, shown by the tray menu item only when it is
// not shown already, and closed without a question at shutdown.
#include <gtest/gtest.h>

#include <string>

#include "gui/IniFile.h"
#include "gui/TextCodec.h"
#include "tests/support/SyntheticInput.h"
#include "tests/tray/TrayFixture.h"

using namespace testing_support;

namespace {

class SPDirInTray : public testing::Test, public TrayFormFixture {
protected:
    void TearDown() override { StopTray(); }
};

TEST_F(SPDirInTray, MadeHiddenShownByTheMenuAndClosedAtShutdown) {
    WriteBytes(dir / L"His.ini",
               gui::EncodeText(L"[Font]\r\nName=ＭＳ ゴシック\r\nSize=14\r\n", gui::TTextEncoding::Ansi));
    WriteBytes(dir / L"Shell.lst", gui::EncodeText(L"shell:Fonts,フォント\r\nshell:Personal,文書\r\n",
                                                   gui::TTextEncoding::Ansi));
    StartTray();
    ASSERT_NE(SPDirForm, nullptr);
    TrayForm->TimerMain->SetEnabled(false);
    EXPECT_FALSE(SPDirForm->Visible());
    EXPECT_EQ(HisForm->Lists.Settings.FontName, L"ＭＳ ゴシック");
    for (gui::TWinControl* c : {static_cast<gui::TWinControl*>(SPDirForm->ListBoxName),
                                static_cast<gui::TWinControl*>(SPDirForm->ListBoxCmd)}) {
        EXPECT_EQ(c->Font().Name(), L"ＭＳ ゴシック") << c->Name;
        EXPECT_EQ(c->Font().Size(), 14) << c->Name;
    }

    TrayItem(L"PPSPDir")->Click();
    ASSERT_TRUE(SPDirForm->Visible());
    EXPECT_EQ(SPDirForm->ListBoxCmd->Count(), 2);
    EXPECT_EQ(SPDirForm->EditName->Text(), L"フォント");
    // A second click while it is shown does not read the list again.
    SPDirForm->TBDown->Click();
    SPDirForm->EditName->SetText(L"書きかけ");
    TrayItem(L"PPSPDir")->Click();
    EXPECT_EQ(SPDirForm->EditName->Text(), L"書きかけ");
    EXPECT_EQ(SPDirForm->ListBoxCmd->Item(0), L"shell:Personal");
    ASSERT_TRUE(SPDirForm->FModify);

    // Shutdown closes it without asking about the unsaved change.
    MessageBoxAnswerer answerer;
    EXPECT_TRUE(TrayForm->CloseQuery());
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_FALSE(SPDirForm->Visible());
    gui::TMemIniFile ini(dir / L"SPDir.ini");
    EXPECT_EQ(ini.ReadInteger(L"Window", L"Width", -1), SPDirForm->Width());
    EXPECT_TRUE(ini.ValueExists(L"ToolBar", L"OpenClose"));
    EXPECT_EQ(ReadBytes(dir / L"Shell.lst"),
              gui::EncodeText(L"shell:Fonts,フォント\r\nshell:Personal,文書\r\n", gui::TTextEncoding::Ansi));
}

}  // namespace

namespace {

// In the program, a list that cannot be read or written is named to the
// user in the window's own box, and the edits stay.
TEST_F(SPDirInTray, AListThatCannotBeReadOrWrittenIsNamedAndTheEditsStay) {
    const std::string bytes = gui::EncodeText(L"shell:Fonts,フォント\r\n", gui::TTextEncoding::Ansi);
    WriteBytes(dir / L"Shell.lst", bytes);
    StartTray();
    TrayForm->TimerMain->SetEnabled(false);
    const std::wstring list = dir / L"Shell.lst";
    auto hold = [&] {
        return gui::FileHandle(
            ::CreateFileW(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    MessageBoxAnswerer answerer;

    // Written: the save fails, the change stays unsaved and the file whole.
    TrayItem(L"PPSPDir")->Click();
    ASSERT_TRUE(SPDirForm->Visible());
    SPDirForm->EditName->SetText(L"文書");
    SPDirForm->EditCmd->SetText(L"shell:Personal");
    SPDirForm->TBAdd->Click();
    {
        gui::FileHandle held = hold();
        ASSERT_TRUE(held);
        SPDirForm->TBSave->Click();
    }
    std::vector<std::wstring> texts = answerer.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), list + L"\r\nに保存できません。");
    EXPECT_TRUE(SPDirForm->FModify);
    EXPECT_EQ(SPDirForm->ListBoxCmd->Count(), 2);
    EXPECT_EQ(ReadBytes(list), bytes);
    SPDirForm->FModify = false;
    SPDirForm->Close();

    // Read: the window says so at its show, and the save is refused.
    const size_t before = answerer.Count();
    {
        gui::FileHandle held = hold();
        ASSERT_TRUE(held);
        TrayItem(L"PPSPDir")->Click();
        ASSERT_TRUE(WaitApp([&] { return answerer.Count() == before + 1; }, 10000));
    }
    EXPECT_EQ(answerer.Texts().back(), list + L"\r\nを読み込めません。");
    SPDirForm->TBSave->Click();
    ASSERT_EQ(answerer.Count(), before + 2);
    EXPECT_EQ(answerer.Texts().back(), list + L"を読み込めなかったため、上書きしません。");
    EXPECT_EQ(ReadBytes(list), bytes);
}

}  // namespace
