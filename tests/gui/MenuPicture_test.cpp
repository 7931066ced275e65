#include <gtest/gtest.h>

#include <windows.h>

#include "gui/Canvas.h"
#include "gui/Menus.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"

namespace {

// The item's picture reaches the native menu while it is open.
TEST(MenuPicture, ShownBesideTheCaption) {
    gui::TComponent owner;
    gui::TPopupMenu menu(&owner);
    auto* item = new gui::TMenuItem(&owner);
    item->SetCaption(L"絵");
    menu.Items()->Add(item);
    gui::TBitmap picture(16, 16);
    item->SetBitmap(picture.Handle());

    HBITMAP seen = nullptr;
    bool looked = false;
    gui::TTimer timer(&owner);
    timer.SetInterval(50);
    timer.OnTimer = [&](gui::TTimer* t) {
        if (!menu.IsOpen()) return;
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_BITMAP;
        if (::GetMenuItemInfoW(menu.Handle(), 0, TRUE, &mii)) seen = mii.hbmpItem;
        looked = true;
        t->SetEnabled(false);
        menu.CloseMenu();
    };
    menu.Popup(100, 100);
    ASSERT_TRUE(looked);
    EXPECT_EQ(seen, picture.Handle());
}

}  // namespace
