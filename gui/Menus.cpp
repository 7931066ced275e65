#include "gui/Menus.h"

#include <algorithm>
#include <map>
#include <utility>
#include <string>

#include "gui/Canvas.h"
#include "gui/Exception.h"
#include "gui/Graphics.h"
#include "gui/ImageList.h"
#include "gui/Input.h"
#include "gui/UtilWindow.h"

namespace gui {

namespace {

// Command ids of the live items. Ids stay below 0x10000, as WM_COMMAND
// carries them in a word, and are given out again once their item is gone.
class CommandPool {
public:
    UINT Acquire(TMenuItem* item) {
        for (UINT tries = 0; tries < 0xFFFE; ++tries) {
            next_ = next_ >= 0xFFFF ? 1 : next_ + 1;
            if (items_.emplace(next_, item).second) return next_;
        }
        throw Exception(L"メニュー項目が多すぎます");
    }
    void Release(UINT id) noexcept { items_.erase(id); }
    TMenuItem* Find(UINT id) const noexcept {
        auto it = items_.find(id);
        return it == items_.end() ? nullptr : it->second;
    }

private:
    std::map<UINT, TMenuItem*> items_;
    UINT next_ = 0;
};

CommandPool& Commands() {
    static CommandPool pool;
    return pool;
}

std::wstring IndexError(int index) {
    return L"メニュー項目のインデックスが範囲外です (" + std::to_wstring(index) + L")";
}

}  // namespace

// The window every pop-up menu of the process is shown for: it receives the
// menu messages (a sub-menu about to open) and is made with the first
// pop-up menu and destroyed with the last.
class PopupWindow {
public:
    static HWND Acquire() {
        if (!window_) {
            window_ = std::make_unique<TUtilWindow>(L"TPopupList", &PopupWindow::Handle);
        }
        ++users_;
        return window_->Handle();
    }
    static void Release() noexcept {
        if (users_ > 0 && --users_ == 0) window_.reset();
    }
    static HWND Window() noexcept { return window_ ? window_->Handle() : nullptr; }
    // The menu that is open now (one at a time per thread).
    static TPopupMenu* open_;

private:
    static bool Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
        if (msg == WM_INITMENUPOPUP && open_) {
            if (open_->InitPopup(reinterpret_cast<HMENU>(wp))) {
                result = 0;
                return true;
            }
        }
        return false;
    }
    static std::unique_ptr<TUtilWindow> window_;
    static int users_;
};

std::unique_ptr<TUtilWindow> PopupWindow::window_;
int PopupWindow::users_ = 0;
TPopupMenu* PopupWindow::open_ = nullptr;

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(Commands().Acquire(this)) {}

TMenuItem::~TMenuItem() {
    if (parent_) parent_->Remove(this);
    Clear();
    Commands().Release(command_);
}

TMenuItem* TMenuItem::FromCommand(UINT command) noexcept { return Commands().Find(command); }

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    if (checked && radioItem_ && parent_) {
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
                sibling->checked_ = false;
    }
}

void TMenuItem::SetRadioItem(bool radio) {
    radioItem_ = radio;
    if (radio && checked_) SetChecked(true);
}

TMenuItem* TMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw Exception(IndexError(index));
    return items_[index];
}

int TMenuItem::IndexOf(const TMenuItem* item) const noexcept {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw Exception(L"メニュー項目は既に別のメニューにあります");
    if (index < 0 || index > Count()) throw Exception(IndexError(index));
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw Exception(IndexError(index));
    TMenuItem* item = items_[index];
    items_.erase(items_.begin() + index);
    item->parent_ = nullptr;
}

void TMenuItem::Remove(TMenuItem* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
    while (!items_.empty()) TComponent::Free(items_.back());
}

TPopupMenu* TMenuItem::GetParentMenu() const noexcept {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

void TMenuItem::SetOwnedBitmap(std::unique_ptr<TBitmap> bitmap) {
    ownedBitmap_ = std::move(bitmap);
    bitmap_ = ownedBitmap_ ? ownedBitmap_->Handle() : nullptr;
}

TShortCut ShortCut(WORD key, unsigned shift) {
    TShortCut s = key & 0xFF;
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

std::wstring ShortCutToText(TShortCut shortCut) {
    std::wstring text;
    if (shortCut & scCtrl) text += L"Ctrl+";
    if (shortCut & scShift) text += L"Shift+";
    if (shortCut & scAlt) text += L"Alt+";
    WORD key = shortCut & 0xFF;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return text + static_cast<wchar_t>(key);
    if (key >= VK_F1 && key <= VK_F24) return text + L"F" + std::to_wstring(key - VK_F1 + 1);
    switch (key) {
        case VK_DELETE: return text + L"Del";
        case VK_INSERT: return text + L"Ins";
        case VK_RETURN: return text + L"Enter";
        case VK_ESCAPE: return text + L"Esc";
        case VK_SPACE: return text + L"Space";
        case VK_TAB: return text + L"Tab";
        case VK_BACK: return text + L"BkSp";
        default: break;
    }
    wchar_t name[64] = {};
    ::GetKeyNameTextW(static_cast<LONG>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16, name, 64);
    return text + name;
}

namespace {
TMenuItem* FindShortCut(TMenuItem* parent, TShortCut shortCut) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (item->ShortCut == shortCut) return item;
        if (TMenuItem* found = FindShortCut(item, shortCut)) return found;
    }
    return nullptr;
}
}  // namespace

bool TPopupMenu::IsShortCut(TShortCut shortCut) {
    if (!shortCut || !FindShortCut(items_.get(), shortCut)) return false;
    // The pop-up event brings the enabled states up to date first.
    auto alive = AliveToken();
    {
        forShortCut_ = true;
        struct Reset {
            TPopupMenu* self;
            std::shared_ptr<const bool> alive;
            ~Reset() {
                if (*alive) self->forShortCut_ = false;
            }
        } reset{this, alive};
        RunHandler(OnPopup, this);
    }
    if (!*alive) return true;
    TMenuItem* item = FindShortCut(items_.get(), shortCut);
    if (!item) return true;
    for (TMenuItem* i = item; i && i != items_.get(); i = i->Parent())
        if (!i->Enabled() || !i->Visible()) return false;  // the key goes on as a key
    item->Click();
    return true;
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (AutoCheck) SetChecked(radioItem_ ? true : !checked_);
    if (OnClick) {
        auto handler = OnClick;  // the handler may free this item
        handler(this);
    }
}

// ---------------------------------------------------------------------------
// TPopupMenu

struct TPopupMenu::Session {
    MenuHandle root;
    // Each open-able native menu and the command of the item it shows.
    std::map<HMENU, UINT> menus;
    bool closed = false;
};

TPopupMenu::TPopupMenu(TComponent* owner)
    : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
    items_->menu_ = this;
    PopupWindow::Acquire();
}

TPopupMenu::~TPopupMenu() {
    if (session_) CloseMenu();
    items_.reset();
    PopupWindow::Release();
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
    if (component == popupComponent_) return;
    if (popupComponent_) RemoveFreeNotification(popupComponent_);
    popupComponent_ = component;
    if (component) FreeNotification(component);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == popupComponent_) popupComponent_ = nullptr;
}

HWND TPopupMenu::WindowHandle() const noexcept { return PopupWindow::Window(); }

HMENU TPopupMenu::Handle() const noexcept { return session_ ? session_->root.get() : nullptr; }

void TPopupMenu::FillMenu(HMENU menu, TMenuItem* parent) {
    // Out with the old contents (sub-menus go with their items).
    std::vector<HMENU> stale;
    for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) stale.push_back(sub);
        ::DeleteMenu(menu, i, MF_BYPOSITION);
    }
    while (!stale.empty()) {
        HMENU sub = stale.back();
        stale.pop_back();
        session_->menus.erase(sub);
    }

    for (TMenuItem* item : parent->items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
        mii.wID = item->command_;
        if (item->IsLine()) {
            mii.fType = MFT_SEPARATOR;
        } else {
            mii.fMask |= MIIM_STRING;
            mii.dwTypeData = const_cast<wchar_t*>(item->caption_.c_str());
            if (item->radioItem_) mii.fType |= MFT_RADIOCHECK;
            if (item->ShortCut) {
                item->shownCaption_ = item->caption_ + L"\t" + ShortCutToText(item->ShortCut);
                mii.dwTypeData = const_cast<wchar_t*>(item->shownCaption_.c_str());
            }
            HBITMAP picture = item->bitmap_;
            if (!picture && item->ImageIndex >= 0 && Images && item->ImageIndex < Images->Count()) {
                item->imageBitmap_ = std::make_unique<TBitmap>();
                item->imageBitmap_->Canvas().Brush().SetColor(static_cast<TColor>(::GetSysColor(COLOR_MENU)));
                if (Images->GetBitmap(item->ImageIndex, *item->imageBitmap_))
                    picture = item->imageBitmap_->Handle();
            }
            if (picture) {
                mii.fMask |= MIIM_BITMAP;
                mii.hbmpItem = picture;
            }
        }
        if (item->break_ == TMenuBreak::mbBreak) mii.fType |= MFT_MENUBREAK;
        if (item->break_ == TMenuBreak::mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
        if (item->checked_) mii.fState |= MFS_CHECKED;
        if (!item->enabled_) mii.fState |= MFS_DISABLED;
        if (item->default_) mii.fState |= MFS_DEFAULT;
        HMENU sub = nullptr;
        if (!item->items_.empty() && !item->IsLine()) {
            sub = ::CreatePopupMenu();
            if (sub) {
                mii.fMask |= MIIM_SUBMENU;
                mii.hSubMenu = sub;
            }
        }
        if (!::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &mii)) {
            if (sub) ::DestroyMenu(sub);
            continue;
        }
        if (sub) {
            session_->menus[sub] = item->command_;
            FillMenu(sub, item);
        }
    }
}

bool TPopupMenu::InitPopup(HMENU menu) {
    if (!session_ || menu == session_->root.get()) return false;
    auto it = session_->menus.find(menu);
    if (it == session_->menus.end()) return false;
    // A sub-menu opens: its item's click may change the sub-items, so the
    // sub-menu is built again from them.
    UINT command = it->second;
    if (TMenuItem* item = TMenuItem::FromCommand(command)) item->Click();
    if (session_ && session_->menus.count(menu)) {
        if (TMenuItem* item = TMenuItem::FromCommand(command)) FillMenu(menu, item);
    }
    return true;
}

void TPopupMenu::Popup(int x, int y, HWND foregroundWindow) {
    if (session_ || PopupWindow::open_) return;  // one menu at a time
    if (OnPopup) OnPopup(this);

    Session session;
    session.root.reset(::CreatePopupMenu());
    if (!session.root) throw Exception(L"メニューを作成できません");
    session_ = &session;
    PopupWindow::open_ = this;
    struct Reset {
        TPopupMenu* self;
        ~Reset() {
            self->session_ = nullptr;
            PopupWindow::open_ = nullptr;
        }
    } reset{this};

    FillMenu(session.root.get(), items_.get());
    HWND window = PopupWindow::Window();
    if (foregroundWindow) ::SetForegroundWindow(foregroundWindow);
    UINT command = 0;
    if (!session.closed)
        command = static_cast<UINT>(::TrackPopupMenuEx(
            session.root.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
            window, nullptr));
    if (foregroundWindow) ::PostMessageW(foregroundWindow, WM_NULL, 0, 0);

    session_ = nullptr;
    PopupWindow::open_ = nullptr;
    session.root.reset();
    if (command)
        if (TMenuItem* item = TMenuItem::FromCommand(command)) item->Click();
}

void TPopupMenu::CloseMenu() {
    if (!session_) return;
    session_->closed = true;
    ::EndMenu();
}

TMenuItem* NewMenuItem(TComponent* owner, TMenuItem* parent, TMenuItemArgs args) {
    auto* item = new TMenuItem(owner);
    item->Name = std::move(args.Name);
    item->SetCaption(args.Caption);
    item->Tag = args.Tag;
    if (args.RadioGroup) {
        item->SetRadioItem(true);
        item->SetGroupIndex(args.RadioGroup);
    }
    item->AutoCheck = args.AutoCheck;
    item->SetChecked(args.Checked);
    item->SetEnabled(args.Enabled);
    item->ShortCut = args.ShortCut;
    item->OnClick = std::move(args.OnClick);
    if (parent) parent->Add(item);
    return item;
}

}  // namespace gui
