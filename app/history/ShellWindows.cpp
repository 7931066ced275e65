#include "app/history/ShellWindows.h"

#include <oleauto.h>

#include "gui/Handles.h"

namespace {

// A string the automation objects hand over; freed with the scope.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& s) : s_(::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    ~Bstr() { ::SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return s_; }
    BSTR* put() {
        ::SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    std::wstring str() const { return s_ ? std::wstring(s_, ::SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

class ShellBrowser : public TShellBrowser {
public:
    explicit ShellBrowser(gui::ComPtr<IWebBrowser2> browser) : browser_(std::move(browser)) {}

    bool LocationURL(std::wstring& url) override {
        Bstr s;
        if (FAILED(browser_->get_LocationURL(s.put()))) return false;
        url = s.str();
        return true;
    }
    HWND WindowHandle() override {
        SHANDLE_PTR h = 0;
        if (FAILED(browser_->get_HWND(&h))) return nullptr;
        return reinterpret_cast<HWND>(h);
    }
    bool Navigate(const std::wstring& location) override {
        Bstr url(location);
        VARIANT flags, empty;
        ::VariantInit(&flags);
        ::VariantInit(&empty);
        flags.vt = VT_I4;
        flags.lVal = 0;
        return SUCCEEDED(browser_->Navigate(url.get(), &flags, &empty, &empty, &empty));
    }
    bool ReadyState(READYSTATE& state) override { return SUCCEEDED(browser_->get_ReadyState(&state)); }

private:
    gui::ComPtr<IWebBrowser2> browser_;
};

class ShellWindowList : public TShellWindowList {
public:
    explicit ShellWindowList(gui::ComPtr<IShellWindows> windows) : windows_(std::move(windows)) {}

    int Count() override {
        long n = 0;
        if (FAILED(windows_->get_Count(&n))) return -1;
        return static_cast<int>(n);
    }
    std::unique_ptr<TShellBrowser> Item(int index) override {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = index;
        gui::ComPtr<IDispatch> item;
        // S_FALSE: no window at that index.
        if (windows_->Item(v, item.put()) != S_OK || !item) return nullptr;
        auto browser = item.as<IWebBrowser2>(IID_IWebBrowser2);
        if (!browser) return nullptr;
        return std::make_unique<ShellBrowser>(std::move(browser));
    }

private:
    gui::ComPtr<IShellWindows> windows_;
};

}  // namespace

std::unique_ptr<TShellWindowList> OpenShellWindows() {
    gui::ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                  windows.put_void())) ||
        !windows)
        return nullptr;
    return std::make_unique<ShellWindowList>(std::move(windows));
}
