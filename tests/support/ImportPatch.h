// Stands in for one function a module imports, for as long as it lives: the
// module's import table entries that point at the library's function point
// at the replacement instead. For what this Wine cannot do for real (such as
// playing a sound without an audio device) where the test must still see the
// call.
#pragma once

#include <windows.h>

#include <vector>

namespace testing_support {

class ImportPatch {
public:
    // `module` nullptr: the test program itself.
    ImportPatch(HMODULE module, const wchar_t* library, const char* function, const void* replacement) {
        HMODULE lib = ::GetModuleHandleW(library);
        original_ = lib ? reinterpret_cast<void*>(::GetProcAddress(lib, function)) : nullptr;
        if (!original_) return;
        auto* base = reinterpret_cast<BYTE*>(module ? module : ::GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!dir.VirtualAddress) return;
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA32*>(base + d->FirstThunk); t->u1.Function; ++t)
                if (reinterpret_cast<void*>(static_cast<uintptr_t>(t->u1.Function)) == original_) {
                    Write(t, replacement);
                    patched_.push_back(t);
                }
    }
    ~ImportPatch() {
        for (IMAGE_THUNK_DATA32* t : patched_) Write(t, original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // Whether some import entry was replaced.
    bool Active() const { return !patched_.empty(); }

private:
    static void Write(IMAGE_THUNK_DATA32* t, const void* to) {
        DWORD old = 0;
        ::VirtualProtect(t, sizeof(*t), PAGE_READWRITE, &old);
        t->u1.Function = static_cast<DWORD>(reinterpret_cast<uintptr_t>(to));
        ::VirtualProtect(t, sizeof(*t), old, &old);
    }

    void* original_ = nullptr;
    std::vector<IMAGE_THUNK_DATA32*> patched_;
};

}  // namespace testing_support
