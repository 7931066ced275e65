// THookHotKey: system-wide hot keys, each registered under an index the
// owner chooses, reported through one event with that index. Hot keys are
// given as shortcut values (Shift 0x2000, Ctrl 0x4000, Alt 0x8000, the
// virtual key in the low bits). A hidden window of the component owns the
// registrations; the owner deletes its keys before it frees the component.
#pragma once

#include <windows.h>
#include <functional>
#include <memory>

#include "gui/Component.h"
#include "gui/UtilWindow.h"

class THookHotKey;
using THotKeyEvent = std::function<void(THookHotKey* sender, int index)>;

class THookHotKey : public gui::TComponent {
public:
    explicit THookHotKey(gui::TComponent* owner);
    ~THookHotKey() override;

    // Bring the owner form to the front before the event.
    bool Activate = true;
    THotKeyEvent OnHotKey;

    // Registers the key under the index; false when the system refuses it
    // (another program holds the key, or the index is in use).
    bool Add(int index, WORD hotKey);
    // Unregisters the index; false when nothing was registered under it.
    bool Delete(int index);
    // Delete, then Add; true only when both succeeded.
    bool Change(int index, WORD hotKey);
    // Change when doHook, else Delete.
    bool Apply(int index, WORD hotKey, bool doHook);

    // The hidden window that owns the registrations.
    HWND Handle() const noexcept { return FWindowHandle->Handle(); }

protected:
    virtual void HotKeyPressed(int index);

private:
    std::unique_ptr<gui::TUtilWindow> FWindowHandle;
};

// The RegisterHotKey modifiers of a shortcut value: Alt 1, Ctrl 2, Shift 4.
UINT HotKeyModifiers(WORD hotKey);
