// The combo box's item edits and the text a pick hands its change event,
// and the layer's tray icon showing pictures of an image list in turn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "gui/Exception.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/StdCtrls.h"
#include "gui/TrayIcon.h"
#include "tests/support/GuiPixels.h"
#include "tests/support/TestSupport.h"

namespace {

class LayerParts : public testing::Test {
protected:
    void SetUp() override {
        app_.Initialize();
        form_ = new gui::TForm(nullptr, L"TLayerPartsForm");
        form_->Initialize();
    }
    void TearDown() override { gui::TComponent::Free(form_); }

    gui::TApplication app_;
    gui::TForm* form_ = nullptr;
};

std::vector<std::wstring> ItemsOf(const gui::TComboBox& box) {
    std::vector<std::wstring> out;
    for (int i = 0; i < box.Count(); ++i) out.push_back(box.Item(i));
    return out;
}

TEST_F(LayerParts, ComboBoxInsertDeleteAndTheTextOfAPick) {
    auto* box = gui::NewControl<gui::TComboBox>(form_, {.Name = L"Box", .Bounds = gui::Bounds(0, 0, 200, 24)});
    box->Add(L"一");
    box->Add(L"三");
    box->Insert(1, L"二");
    box->Insert(3, L"四");
    EXPECT_EQ(ItemsOf(*box), (std::vector<std::wstring>{L"一", L"二", L"三", L"四"}));
    box->Delete(0);
    EXPECT_EQ(ItemsOf(*box), (std::vector<std::wstring>{L"二", L"三", L"四"}));
    EXPECT_THROW(box->Delete(3), gui::Exception);
    EXPECT_THROW(box->Insert(5, L"x"), gui::Exception);

    box->SetText(L"typed");
    std::wstring seen;
    box->OnChange = [&](gui::TComboBox* sender) { seen = sender->Text(); };
    box->SetItemIndex(1);
    ::SendMessageW(form_->Handle(), WM_COMMAND, MAKEWPARAM(box->ControlId(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(box->Handle()));
    EXPECT_EQ(seen, L"三") << "the handler reads the picked item, not the old text";
    EXPECT_EQ(box->Text(), L"三");
}

TEST_F(LayerParts, TrayIconShowsListPicturesInTurn) {
    gui::TImageList list(form_, 16, 16);
    const DWORD colours[] = {0xFF102030u, 0xFF405060u};
    for (DWORD c : colours) {
        gui::TIcon icon;
        icon.SetHandle(testing_support::MakeIcon(16, [&](int, int) { return c; }));
        ASSERT_GE(list.AddIcon(icon), 0);
    }
    gui::TTrayIcon tray(form_);
    tray.SetIcons(&list);
    tray.SetIconIndex(1);
    EXPECT_EQ(tray.IconIndex(), 1);
    tray.SetAnimateInterval(100);
    tray.SetAnimate(true);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return tray.IconIndex() == 0; }, 5000)) << "wraps to the first";
    EXPECT_TRUE(testing_support::WaitUntil([&] { return tray.IconIndex() == 1; }, 5000));
    tray.SetAnimate(false);
    const int stopped = tray.IconIndex();
    testing_support::PumpMessages(400);
    EXPECT_EQ(tray.IconIndex(), stopped) << "no frames while off";

    // A button pressed on the icon, as the shell reports it.
    std::vector<gui::TMouseButton> downs;
    tray.OnMouseDown = [&](gui::TTrayIcon*, gui::TMouseButton b) { downs.push_back(b); };
    for (UINT m : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        ::SendMessageW(tray.WindowHandle(), WM_APP + 0x3F2, 1, m);
    EXPECT_EQ(downs, (std::vector<gui::TMouseButton>{gui::TMouseButton::mbLeft, gui::TMouseButton::mbRight,
                                                      gui::TMouseButton::mbMiddle}));
}

TEST_F(LayerParts, TrayIconLetsGoOfAFreedList) {
    auto* list = new gui::TImageList(nullptr, 16, 16);
    gui::TTrayIcon tray(form_);
    tray.SetIcons(list);
    tray.SetAnimate(true);
    gui::TComponent::Free(list);
    EXPECT_EQ(tray.Icons(), nullptr);
    testing_support::PumpMessages(1200);  // a frame without a list changes nothing
    tray.SetIconIndex(3);
    EXPECT_EQ(tray.IconIndex(), 3);
}

}  // namespace
