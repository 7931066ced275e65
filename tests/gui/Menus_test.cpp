// Pop-up menus shown for real: what the native menu holds while it is open,
// picks made with the keyboard, sub-menus built as they open, closing from
// code, and items changed at run time.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Exception.h"
#include "gui/Graphics.h"
#include "gui/Menus.h"
#include "gui/Timer.h"
#include "tests/support/TestSupport.h"

using namespace gui;

namespace {

// The visible menu windows of this thread, newest (innermost) first.
BOOL CALLBACK CollectMenuWindow(HWND w, LPARAM lp) {
    wchar_t cls[16] = {};
    ::GetClassNameW(w, cls, 16);
    if (std::wstring(cls) == L"#32768" && ::IsWindowVisible(w))
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}
std::vector<HWND> MenuWindows() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

struct NativeItem {
    std::wstring text;
    UINT type = 0, state = 0, id = 0;
    HMENU sub = nullptr;
};
std::vector<NativeItem> NativeItems(HMENU menu) {
    std::vector<NativeItem> items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        mii.dwTypeData = text;
        mii.cch = 256;
        ::GetMenuItemInfoW(menu, i, TRUE, &mii);
        items.push_back({text, mii.fType, mii.fState, mii.wID, mii.hSubMenu});
    }
    return items;
}

void PostKey(UINT vk) {
    auto windows = MenuWindows();
    HWND target = windows.empty() ? nullptr : windows.front();
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

// Pops the menu up and runs one step per 60 ms tick while it is open; after
// the last step, or at the latest after two seconds, the menu is closed.
void PopupWithSteps(TPopupMenu& menu, std::vector<std::function<void()>> steps,
                    HWND foreground = nullptr) {
    TTimer timer(nullptr);
    timer.SetInterval(60);
    size_t next = 0;
    int ticks = 0;
    timer.OnTimer = [&](TTimer*) {
        ++ticks;
        if (!menu.IsOpen()) return;
        if (next < steps.size())
            steps[next++]();
        else if (ticks > 2)
            menu.CloseMenu();
        if (ticks > 40) menu.CloseMenu();
    };
    menu.Popup(120, 120, foreground);
}

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::wstring& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

class PopupMenu : public testing::Test {
protected:
    void SetUp() override { user_ = LiveGuiObjects(TGuiObjectKind::User); }
    void TearDown() override {
        EXPECT_TRUE(MenuWindows().empty()) << "a menu stayed open";
        EXPECT_EQ(LiveGuiObjects(TGuiObjectKind::User), user_) << "menus left behind";
    }
    TComponent form_{nullptr};
    long user_ = 0;
};

TEST_F(PopupMenu, ShowsItemsWithTheirStatesAndClosesFromCode) {
    TPopupMenu menu(&form_);
    TMenuItem* root = menu.Items();
    TMenuItem* open = NewItem(&form_, root, L"開く(&O)");
    open->SetDefault(true);
    NewItem(&form_, root, L"-");
    NewItem(&form_, root, L"チェック")->SetChecked(true);
    TMenuItem* r1 = NewItem(&form_, root, L"数値");
    TMenuItem* r2 = NewItem(&form_, root, L"デジタル");
    r1->SetRadioItem(true);
    r2->SetRadioItem(true);
    r2->SetChecked(true);
    NewItem(&form_, root, L"使用不可")->SetEnabled(false);
    NewItem(&form_, root, L"隠す")->SetVisible(false);
    TMenuItem* sub = NewItem(&form_, root, L"サブ");
    NewItem(&form_, sub, L"S1");
    NewItem(&form_, root, L"列")->SetBreak(TMenuBreak::mbBreak);
    NewItem(&form_, root, L"棒")->SetBreak(TMenuBreak::mbBarBreak);
    NewItem(&form_, root, L"A && B");

    int popups = 0, clicks = 0;
    menu.OnPopup = [&](TPopupMenu* sender) {
        EXPECT_EQ(sender, &menu);
        EXPECT_FALSE(menu.IsOpen());
        ++popups;
        open->SetCaption(L"開く(&O)...");  // changed in the pop-up event: shown
    };
    for (int i = 0; i < root->Count(); ++i) root->Items(i)->OnClick = [&](TMenuItem*) { ++clicks; };

    std::vector<NativeItem> shown;
    PopupWithSteps(menu, {[&] {
                       ASSERT_TRUE(menu.IsOpen());
                       EXPECT_EQ(MenuWindows().size(), 1u);
                       shown = NativeItems(menu.Handle());
                   }});
    EXPECT_FALSE(menu.IsOpen());
    EXPECT_EQ(menu.Handle(), nullptr);
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 0) << "closed from code: nothing picked";

    ASSERT_EQ(shown.size(), 10u) << "the hidden item is left out";
    EXPECT_EQ(shown[0].text, L"開く(&O)...");
    EXPECT_TRUE(shown[0].state & MFS_DEFAULT);
    EXPECT_EQ(shown[0].id, open->Command());
    EXPECT_TRUE(shown[1].type & MFT_SEPARATOR);
    EXPECT_TRUE(shown[2].state & MFS_CHECKED);
    EXPECT_TRUE(shown[3].type & MFT_RADIOCHECK);
    EXPECT_FALSE(shown[3].state & MFS_CHECKED) << "checking the second radio item unchecked the first";
    EXPECT_TRUE(shown[4].state & MFS_CHECKED);
    EXPECT_TRUE(shown[5].state & MFS_DISABLED);
    EXPECT_EQ(shown[6].text, L"サブ");
    EXPECT_NE(shown[6].sub, nullptr);
    EXPECT_TRUE(shown[7].type & MFT_MENUBREAK);
    EXPECT_FALSE(shown[7].type & MFT_MENUBARBREAK);
    EXPECT_TRUE(shown[8].type & MFT_MENUBARBREAK);
    EXPECT_EQ(shown[9].text, L"A && B") << "captions are passed as written";
}

TEST_F(PopupMenu, KeyboardPickClicksAfterTheMenuClosed) {
    TPopupMenu menu(&form_);
    TMenuItem* root = menu.Items();
    TMenuItem* a = NewItem(&form_, root, L"一");
    NewItem(&form_, root, L"二")->SetEnabled(false);
    TMenuItem* c = NewItem(&form_, root, L"三");
    c->AutoCheck = true;
    std::vector<std::wstring> clicked;
    std::vector<bool> checkedInClick;
    bool openInClick = true;
    for (TMenuItem* item : {a, c})
        item->OnClick = [&](TMenuItem* sender) {
            clicked.push_back(sender->Caption());
            checkedInClick.push_back(sender->Checked());
            openInClick = menu.IsOpen();
        };
    PopupWithSteps(menu, {[] { PostKey(VK_DOWN); }, [] { PostKey(VK_DOWN); },
                          [] { PostKey(VK_DOWN); }, [] { PostKey(VK_RETURN); }});
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], L"三");
    EXPECT_FALSE(openInClick);
    EXPECT_TRUE(checkedInClick[0]) << "auto-check toggled before the click";
    PopupWithSteps(menu, {[] { PostKey(VK_UP); }, [] { PostKey(VK_RETURN); }});
    ASSERT_EQ(clicked.size(), 2u);
    EXPECT_EQ(clicked[1], L"三") << "up from nothing selected goes to the last item";
    EXPECT_FALSE(checkedInClick[1]);
    EXPECT_FALSE(c->Checked());
}

TEST_F(PopupMenu, SubMenuIsBuiltAsItOpensAfterItsItemsClick) {
    TPopupMenu menu(&form_);
    TMenuItem* sub = NewItem(&form_, menu.Items(), L"IME ONの通知");
    NewItem(&form_, sub, L"既存");
    int opened = 0;
    sub->OnClick = [&](TMenuItem* sender) {
        ++opened;
        NewItem(&form_, sender, L"追加 " + std::to_wstring(opened));
    };
    std::vector<NativeItem> subItems;
    size_t windows = 0;
    PopupWithSteps(menu, {[] { PostKey(VK_DOWN); }, [] { PostKey(VK_RIGHT); },
                          [&] {
                              windows = MenuWindows().size();
                              HMENU h = ::GetSubMenu(menu.Handle(), 0);
                              subItems = NativeItems(h);
                          }});
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(windows, 2u) << "the sub-menu opened";
    ASSERT_EQ(subItems.size(), 2u);
    EXPECT_EQ(subItems[0].text, L"既存");
    EXPECT_EQ(subItems[1].text, L"追加 1");
}

TEST_F(PopupMenu, ItemsInsertedDeletedAndFreedAtRunTime) {
    TPopupMenu menu(&form_);
    TMenuItem* root = menu.Items();
    TMenuItem* b = NewItem(&form_, root, L"B");
    auto* a = new TMenuItem(&form_);
    a->SetCaption(L"A");
    a->Name = L"PPTab0";
    a->Tag = 3105;
    root->Insert(0, a);
    EXPECT_EQ(root->IndexOf(a), 0);
    EXPECT_EQ(root->IndexOf(b), 1);
    EXPECT_EQ(a->Parent(), root);
    EXPECT_EQ(a->GetParentMenu(), &menu);
    EXPECT_EQ(form_.Find<TMenuItem>(L"pptab0"), a);
    EXPECT_EQ(TMenuItem::FromCommand(a->Command()), a);
    EXPECT_NE(a->Command(), b->Command());

    EXPECT_THROW(root->Insert(0, a), Exception) << "an item sits under one parent";
    EXPECT_THROW(root->Items(2), Exception);
    EXPECT_THROW(root->Insert(5, new TMenuItem(&form_)), Exception);

    root->Delete(0);  // out, not freed
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(root->Count(), 1);
    TMenuItem* c = NewItem(&form_, root, L"C");
    c->Add(a);  // now in a sub-menu
    EXPECT_EQ(a->GetParentMenu(), &menu);

    UINT freedCommand = b->Command();
    TComponent::Free(b);
    EXPECT_EQ(root->Count(), 1);
    EXPECT_EQ(TMenuItem::FromCommand(freedCommand), nullptr);

    std::vector<NativeItem> shown, inner;
    PopupWithSteps(menu, {[&] {
                       shown = NativeItems(menu.Handle());
                       if (!shown.empty() && shown[0].sub) inner = NativeItems(shown[0].sub);
                   }});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"C");
    EXPECT_NE(shown[0].sub, nullptr);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].text, L"A");
    EXPECT_EQ(inner[0].id, a->Command());

    // Freeing a parent frees what is under it.
    size_t before = form_.ComponentCount();
    TComponent::Free(c);
    EXPECT_EQ(form_.ComponentCount(), before - 2);
    EXPECT_EQ(root->Count(), 0);
}

TEST_F(PopupMenu, ClickHandlerMayRebuildTheWholeMenu) {
    // As the history menu's "two columns" item does: free all entries and
    // the separators, build them again, pop up again.
    TPopupMenu menu(&form_);
    std::vector<TMenuItem*> tabs;
    for (int c = 0; c < 5; ++c) tabs.push_back(NewItem(&form_, menu.Items(), L"Tab" + std::to_wstring(c)));
    std::vector<TMenuItem*> entries;
    bool wide = false;
    std::function<void()> build = [&] {
        for (int c = 0; c < 5; ++c) {
            for (int j = 0; j < 40; ++j) {
                TMenuItem* e = NewItem(&form_, tabs[c], L"(空)");
                e->Tag = c * 1000 + (j < 20 ? j : 80 + j);
                entries.push_back(e);
            }
            auto* sep = new TMenuItem(&form_);
            sep->SetCaption(L"-");
            sep->SetBreak(wide ? TMenuBreak::mbBreak : TMenuBreak::mbNone);
            tabs[c]->Insert(20, sep);
            entries.push_back(sep);
        }
    };
    build();
    TMenuItem* wideItem = NewItem(&form_, menu.Items(), L"二列表示(&S)");
    wideItem->AutoCheck = true;
    wideItem->OnClick = [&](TMenuItem* sender) {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) TComponent::Free(*it);
        entries.clear();
        wide = sender->Checked();
        build();
    };
    EXPECT_EQ(tabs[2]->Count(), 41);
    EXPECT_EQ(tabs[2]->Items(21)->Tag, 2100);
    // Pick "二列表示" with the keyboard: down six times (five tabs, then it).
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 6; ++i) steps.push_back([] { PostKey(VK_DOWN); });
    steps.push_back([] { PostKey(VK_RETURN); });
    PopupWithSteps(menu, steps);
    ASSERT_TRUE(wide);
    EXPECT_EQ(entries.size(), 205u);

    std::vector<NativeItem> column;
    PopupWithSteps(menu, {[&] { column = NativeItems(::GetSubMenu(menu.Handle(), 3)); }});
    ASSERT_EQ(column.size(), 41u);
    EXPECT_TRUE(column[20].type & MFT_SEPARATOR);
    EXPECT_TRUE(column[20].type & MFT_MENUBREAK) << "the favourites start a second column";
    EXPECT_EQ(TMenuItem::FromCommand(column[21].id)->Tag, 3100);
}

TEST_F(PopupMenu, RadioGroupsAndClickRules) {
    TPopupMenu menu(&form_);
    TMenuItem* root = menu.Items();
    std::vector<TMenuItem*> g1, g2;
    for (int i = 0; i < 3; ++i) {
        TMenuItem* x = NewItem(&form_, root, L"g1");
        x->SetRadioItem(true);
        x->SetGroupIndex(1);
        g1.push_back(x);
        TMenuItem* y = NewItem(&form_, root, L"g2");
        y->SetRadioItem(true);
        y->SetGroupIndex(2);
        g2.push_back(y);
    }
    TMenuItem* plain = NewItem(&form_, root, L"check");
    plain->SetChecked(true);
    g1[0]->SetChecked(true);
    g2[2]->SetChecked(true);
    g1[1]->SetChecked(true);
    EXPECT_FALSE(g1[0]->Checked());
    EXPECT_TRUE(g1[1]->Checked());
    EXPECT_TRUE(g2[2]->Checked()) << "another group is left alone";
    EXPECT_TRUE(plain->Checked()) << "so are plain check items";

    g2[0]->AutoCheck = true;
    g2[0]->Click();
    EXPECT_TRUE(g2[0]->Checked());
    EXPECT_FALSE(g2[2]->Checked());
    g2[0]->Click();
    EXPECT_TRUE(g2[0]->Checked()) << "clicking a checked radio item keeps it checked";

    int clicks = 0;
    plain->OnClick = [&](TMenuItem*) { ++clicks; };
    plain->SetEnabled(false);
    plain->Click();
    EXPECT_EQ(clicks, 0) << "a disabled item does nothing";
    plain->SetEnabled(true);
    plain->Click();
    EXPECT_EQ(clicks, 1);

    // A handler may free its own item.
    TMenuItem* gone = NewItem(&form_, root, L"gone");
    gone->OnClick = [](TMenuItem* sender) { TComponent::Free(sender); };
    int count = root->Count();
    gone->Click();
    EXPECT_EQ(root->Count(), count - 1);
}

TEST_F(PopupMenu, ForegroundWindowForATrayMenuAndPopupComponent) {
    HWND fg = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(fg, nullptr);
    TPopupMenu menu(&form_);
    NewItem(&form_, menu.Items(), L"x");
    HWND during = nullptr;
    PopupWithSteps(menu, {[&] { during = ::GetForegroundWindow(); }}, fg);
    EXPECT_EQ(during, fg);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, fg, WM_NULL, WM_NULL, PM_REMOVE)) << "WM_NULL after the menu";
    EXPECT_NE(menu.WindowHandle(), nullptr);
    ::DestroyWindow(fg);

    auto* caller = new TComponent(&form_);
    menu.SetPopupComponent(caller);
    EXPECT_EQ(menu.PopupComponent(), caller);
    TComponent::Free(caller);
    EXPECT_EQ(menu.PopupComponent(), nullptr) << "a freed caller is forgotten";

    // Also when the caller had its own link to the menu and dropped it.
    caller = new TComponent(&form_);
    caller->FreeNotification(&menu);
    menu.SetPopupComponent(caller);
    caller->RemoveFreeNotification(&menu);
    TComponent::Free(caller);
    EXPECT_EQ(menu.PopupComponent(), nullptr);
}

TEST(PopupMenuWindow, MadeWithTheFirstMenuAndGoneWithTheLast) {
    HWND window;
    {
        TPopupMenu a(nullptr);
        window = a.WindowHandle();
        ASSERT_TRUE(::IsWindow(window));
        {
            TPopupMenu b(nullptr);
            EXPECT_EQ(b.WindowHandle(), window) << "one window for all menus";
        }
        EXPECT_TRUE(::IsWindow(window));
    }
    EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
