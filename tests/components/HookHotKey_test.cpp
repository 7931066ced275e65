#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/HookHotKey.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/Handles.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestSupport.h"
#include "toolkit/QuorvinShortCut.h"

using testing_support::PressKeys;
using testing_support::WaitUntil;

namespace {

// A hot key owned by a shown form of the application, and the indexes its
// event reported with the foreground window at that moment.
class HotKeyTest : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<gui::TApplication>();
        app->Initialize();
        app->ShowMainForm = false;
        owner = new gui::TForm(app.get(), L"TOrvHotKeyOwner");
        owner->Initialize();
        owner->SetBounds(100, 100, 300, 200);
        owner->Show();
        keys = new THookHotKey(owner);
        keys->OnHotKey = [this](THookHotKey* sender, int index) {
            EXPECT_EQ(sender, keys);
            fired.push_back({index, ::GetForegroundWindow()});
        };
    }
    void TearDown() override {
        for (int i = 1; i <= 3; ++i) keys->Delete(i);
        app.reset();
    }

    // Brings a window of another kind to the front so that activation shows.
    gui::OwnedWindow MakeFrontWindow() {
        gui::OwnedWindow w(::CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500,
                                             100, 200, 100, nullptr, nullptr, nullptr, nullptr));
        ::SetForegroundWindow(w.get());
        WaitUntil([&] { return ::GetForegroundWindow() == w.get(); }, 10000);
        return w;
    }

    struct Fired {
        int index;
        HWND foreground;
    };
    std::unique_ptr<gui::TApplication> app;
    gui::TForm* owner = nullptr;
    THookHotKey* keys = nullptr;
    std::vector<Fired> fired;
};

TEST(HotKeyModifiers, ShortcutBitsBecomeRegistrationModifiers) {
    const struct {
        WORD hotKey;
        UINT mods;
    } cases[] = {
        {scCtrl | scShift | 'H', MOD_CONTROL | MOD_SHIFT},  // 6
        {scAlt | VK_F9, MOD_ALT},
        {scShift | scCtrl | scAlt | 'Q', MOD_ALT | MOD_CONTROL | MOD_SHIFT},
        {VK_F12, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HotKeyModifiers(c.hotKey), c.mods) << std::hex << c.hotKey;
    EXPECT_EQ(TextToShortCut(L"Shift+Ctrl+H"), scShift | scCtrl | 'H');
}

TEST_F(HotKeyTest, SynthesizedKeysFireTheirIndexes) {
    const struct {
        int index;
        WORD hotKey;
        std::initializer_list<WORD> press;
    } cases[] = {
        {1, scCtrl | scShift | 'H', {VK_CONTROL, VK_SHIFT, 'H'}},
        {2, scCtrl | scAlt | VK_F11, {VK_CONTROL, VK_MENU, VK_F11}},
        {3, scShift | VK_F12, {VK_SHIFT, VK_F12}},
    };
    for (const auto& c : cases) ASSERT_TRUE(keys->Add(c.index, c.hotKey)) << c.index;
    for (const auto& c : cases) {
        fired.clear();
        ASSERT_TRUE(PressKeys(c.press));
        ASSERT_TRUE(WaitUntil([&] { return !fired.empty(); }, 10000)) << "index " << c.index;
        EXPECT_EQ(fired[0].index, c.index);
    }

    // A deleted key fires no more; pressing it now reaches no registration,
    // while a key still registered fires as before.
    ASSERT_TRUE(keys->Delete(1));
    EXPECT_FALSE(keys->Delete(1)) << "nothing left to delete";
    fired.clear();
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, 'H'}));
    ASSERT_TRUE(PressKeys({VK_SHIFT, VK_F12}));
    // The hot-key messages come in the order of the keys: the deleted one
    // would have come first.
    ASSERT_TRUE(WaitUntil([&] { return !fired.empty(); }, 10000));
    EXPECT_EQ(fired[0].index, 3);
}

TEST_F(HotKeyTest, DuplicateRegistrationFails) {
    ASSERT_TRUE(keys->Add(1, scCtrl | scShift | 'J'));
    THookHotKey other(nullptr);
    EXPECT_FALSE(other.Add(1, scCtrl | scShift | 'J')) << "the key is held by the first component";
    EXPECT_TRUE(other.Add(1, scCtrl | scShift | 'K')) << "another window may use the same index";
    other.Delete(1);
}

TEST_F(HotKeyTest, ChangeAndApply) {
    // Change on an index that held nothing reports false, yet registers the key.
    EXPECT_FALSE(keys->Change(2, scCtrl | scShift | 'L'));
    ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, 'L'}));
    ASSERT_TRUE(WaitUntil([&] { return !fired.empty(); }, 10000));
    EXPECT_EQ(fired[0].index, 2);

    EXPECT_TRUE(keys->Change(2, scCtrl | scShift | 'M')) << "replaces the key it held";
    THookHotKey other(nullptr);
    EXPECT_TRUE(other.Add(1, scCtrl | scShift | 'L')) << "the old key is free again";
    other.Delete(1);

    EXPECT_TRUE(keys->Apply(2, scCtrl | scShift | 'N', true));
    EXPECT_TRUE(keys->Apply(2, scCtrl | scShift | 'N', false)) << "deletes";
    EXPECT_TRUE(other.Add(1, scCtrl | scShift | 'N')) << "the applied key was removed";
    other.Delete(1);
}

TEST_F(HotKeyTest, ActivateBringsTheOwnerToTheFront) {
    ASSERT_TRUE(keys->Add(1, scCtrl | scShift | 'P'));
    for (bool activate : {false, true}) {
        keys->Activate = activate;
        gui::OwnedWindow front = MakeFrontWindow();
        ASSERT_EQ(::GetForegroundWindow(), front.get());
        fired.clear();
        ASSERT_TRUE(PressKeys({VK_CONTROL, VK_SHIFT, 'P'}));
        ASSERT_TRUE(WaitUntil([&] { return !fired.empty(); }, 10000)) << activate;
        if (activate)
            EXPECT_EQ(fired[0].foreground, owner->Handle());
        else
            EXPECT_EQ(fired[0].foreground, front.get());
    }
}

}  // namespace
