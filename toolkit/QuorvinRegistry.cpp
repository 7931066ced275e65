#include "toolkit/QuorvinRegistry.h"

#include <vector>

gui::RegKey OpenRegKeyFullAccess(HKEY root, const std::wstring& subKey) {
    gui::RegKey key;
    HKEY h = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) key.reset(h);
    return key;
}

bool ReadRegString(HKEY key, const std::wstring& name, std::wstring& value) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                           &size) != ERROR_SUCCESS)
        return false;
    value.assign(buf.data());  // up to the first NUL
    return true;
}

bool ReadRegInteger(HKEY key, const std::wstring& name, int& value) {
    DWORD type = 0, data = 0, size = sizeof(data);
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    value = static_cast<int>(data);
    return true;
}

bool WriteRegInteger(HKEY key, const std::wstring& name, int value) {
    DWORD data = static_cast<DWORD>(value);
    return ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}
