// Synthesized key presses for the hot-key tests: the keys go down in the
// order given and come up in reverse, as one SendInput batch.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

inline bool PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> in;
    for (WORD vk : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        in.push_back(i);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    return ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}
