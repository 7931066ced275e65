// What the tray-icon tests share: an application object (its window is the
// one that hears "TaskbarCreated"), tray icons that keep a record of every
// shell call next to making it, and posting the shell's callbacks.
#pragma once

#include <windows.h>
#include <vector>

#include "components/NotifyTrayIcon.h"
#include "components/TextTrayIcon.h"

namespace tray_testing {

// The process's application object, made once for the whole test program.
void EnsureApplication();

struct ShellCall {
    DWORD message;
    TNotifyIconDataEx data;  // the record as it was sent
    bool result;             // the shell's answer
};

template <class Base>
class Recording : public Base {
public:
    explicit Recording(gui::TComponent* owner) : Base(owner) {}
    std::vector<ShellCall> calls;
    const ShellCall& Last() const { return calls.back(); }
    int Count(DWORD message) const {
        int n = 0;
        for (const auto& c : calls) n += c.message == message;
        return n;
    }

protected:
    bool ShellNotifyIcon(DWORD message) override {
        bool r = Base::ShellNotifyIcon(message);
        calls.push_back({message, this->IconData, r});
        return r;
    }
};

using RecordingTrayIcon = Recording<TNotifyTrayIcon>;
using RecordingTextIcon = Recording<TTextTrayIcon>;

// Posts a callback as the shell would for this icon.
inline void PostNotify(TNotifyTrayIcon& icon, UINT code) {
    ::PostMessageW(icon.Handle(), WM_TRAYNOTIFY, reinterpret_cast<WPARAM>(&icon), code);
}

}  // namespace tray_testing
