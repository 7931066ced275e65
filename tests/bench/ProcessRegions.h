// Where another 32-bit process's memory lies, read from its address space:
// private bytes (committed private regions and the written pages of mapped
// images, what Windows reports as private bytes) by region, each thread's
// stack (committed and the part ever written), its thread block, the heaps
// (a heap's first segment carries 0xFFEEFFEE at offset 8; its further
// segments and large blocks point back into it), and the mapped files, which
// are shared and not counted as private. This Wine's own private-bytes
// counter stays at 0, and its working set holds Wine's own memory too.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

struct ThreadStack {
    DWORD id = 0;
    std::wstring startModule;  // the module its start address lies in
    SIZE_T committed = 0, touched = 0;
    bool main = false;
};

struct ProcessRegions {
    // Private bytes by kind: "image <module>", "main thread stack",
    // "other threads' stacks", "thread blocks", "heaps", "other private".
    std::map<std::wstring, SIZE_T> byKind;
    std::vector<ThreadStack> stacks;
    // The private regions no kind claims, by allocation, with their first
    // bytes (a hint of what they hold).
    std::vector<std::pair<std::wstring, SIZE_T>> others;
    std::map<std::wstring, SIZE_T> mapped;  // committed views by file
    SIZE_T privateBytes = 0;
};

namespace regions_detail {

struct Region {
    char* base;
    char* allocation;
    SIZE_T size;
    DWORD state, type, protect;
};

inline std::vector<Region> Walk(HANDLE process) {
    std::vector<Region> all;
    MEMORY_BASIC_INFORMATION mbi{};
    for (char* at = nullptr; ::VirtualQueryEx(process, at, &mbi, sizeof(mbi)) == sizeof(mbi);) {
        if (mbi.State == MEM_COMMIT)
            all.push_back({static_cast<char*>(mbi.BaseAddress), static_cast<char*>(mbi.AllocationBase),
                           mbi.RegionSize, mbi.State, mbi.Type, mbi.Protect});
        char* next = static_cast<char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return all;
}

inline bool Written(const Region& r) { return r.protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE); }

inline std::wstring BaseName(std::wstring path) {
    const size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

inline std::wstring ModuleAt(HANDLE process, const void* address) {
    MEMORY_BASIC_INFORMATION m{};
    wchar_t name[MAX_PATH] = L"?";
    if (address && ::VirtualQueryEx(process, address, &m, sizeof(m)) && m.Type == MEM_IMAGE)
        ::GetModuleFileNameExW(process, static_cast<HMODULE>(m.AllocationBase), name, MAX_PATH);
    return BaseName(name);
}

template <class T>
bool Read(HANDLE process, const void* at, T& out) {
    SIZE_T got = 0;
    return ::ReadProcessMemory(process, at, &out, sizeof(out), &got) && got == sizeof(out);
}

struct ThreadBlock {
    DWORD id = 0;
    char* teb = nullptr;
    char* stackBase = nullptr;   // the top of the stack
    char* stackBottom = nullptr; // its allocation (DeallocationStack)
    void* start = nullptr;
    ULONGLONG created = 0;
};

inline std::vector<ThreadBlock> Threads(HANDLE process) {
    struct BasicInformation {
        LONG exitStatus;
        void* teb;
        void* clientProcess;
        void* clientThread;
        ULONG_PTR affinity;
        LONG priority, basePriority;
    };
    using QueryThread = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    std::vector<ThreadBlock> out;
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE || !query) return out;
    THREADENTRY32 te{};
    te.dwSize = sizeof(te);
    const DWORD pid = ::GetProcessId(process);
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te)) {
        if (te.th32OwnerProcessID != pid) continue;
        ThreadBlock t;
        t.id = te.th32ThreadID;
        if (HANDLE h = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID)) {
            BasicInformation info{};
            if (query(h, 0, &info, sizeof(info), nullptr) == 0) t.teb = static_cast<char*>(info.teb);
            query(h, 9, &t.start, sizeof(t.start), nullptr);  // the start address
            FILETIME c{}, e{}, k{}, u{};
            if (::GetThreadTimes(h, &c, &e, &k, &u))
                t.created = (static_cast<ULONGLONG>(c.dwHighDateTime) << 32) | c.dwLowDateTime;
            ::CloseHandle(h);
        }
        // NT_TIB.StackBase at 4; DeallocationStack at 0xE0C in a 32-bit TEB.
        if (t.teb) {
            Read(process, t.teb + 4, t.stackBase);
            Read(process, t.teb + 0xE0C, t.stackBottom);
        }
        out.push_back(t);
    }
    ::CloseHandle(snap);
    return out;
}

// The bytes of a stack below its lowest written one have never been used
// (a fresh stack is zero): what lies above it is the part ever touched.
inline SIZE_T Touched(HANDLE process, const std::vector<Region>& all, const ThreadBlock& t) {
    for (const Region& r : all) {
        if (r.allocation != t.stackBottom || (r.protect & PAGE_GUARD) || !Written(r)) continue;
        std::vector<unsigned char> bytes(r.size);
        SIZE_T got = 0;
        if (!::ReadProcessMemory(process, r.base, bytes.data(), r.size, &got)) continue;
        for (SIZE_T i = 0; i < got; ++i)
            if (bytes[i]) return static_cast<SIZE_T>(t.stackBase - (r.base + i));
    }
    return 0;
}

}  // namespace regions_detail

inline ProcessRegions RegionsOf(HANDLE process) {
    using namespace regions_detail;
    ProcessRegions out;
    const std::vector<Region> all = Walk(process);
    const std::vector<ThreadBlock> threads = Threads(process);

    std::map<char*, std::wstring> kindOf;  // by allocation base
    std::map<char*, ThreadStack*> stackOf;
    out.stacks.reserve(threads.size());
    size_t first = 0;  // the main thread is the one made first
    for (size_t i = 0; i < threads.size(); ++i)
        if (threads[i].created < threads[first].created) first = i;
    for (size_t i = 0; i < threads.size(); ++i) {
        const ThreadBlock& t = threads[i];
        ThreadStack s;
        s.id = t.id;
        s.startModule = ModuleAt(process, t.start);
        s.main = i == first;
        s.touched = Touched(process, all, t);
        out.stacks.push_back(s);
        if (t.stackBottom) {
            kindOf[t.stackBottom] = s.main ? L"main thread stack" : L"other threads' stacks";
            stackOf[t.stackBottom] = &out.stacks.back();
        }
    }
    // Thread blocks: the allocation each TEB lies in.
    for (const ThreadBlock& t : threads)
        for (const Region& r : all)
            if (t.teb >= r.base && t.teb < r.base + r.size && !kindOf.count(r.allocation))
                kindOf[r.allocation] = L"thread blocks";

    // Heaps: first segments by their signature, then whatever points back into one.
    std::vector<char*> heaps;
    for (const Region& r : all) {
        DWORD signature = 0;
        if (r.type == MEM_PRIVATE && r.base == r.allocation && !kindOf.count(r.allocation) &&
            Read(process, r.base + 8, signature) && signature == 0xFFEEFFEE) {
            heaps.push_back(r.allocation);
            kindOf[r.allocation] = L"heaps";
        }
    }
    for (const Region& r : all) {
        if (r.type != MEM_PRIVATE || r.base != r.allocation || kindOf.count(r.allocation)) continue;
        char* head[8] = {};
        if (!Read(process, r.base, head)) continue;
        for (char* p : head)
            for (char* h : heaps)
                if (p >= h && p < h + 4096) kindOf[r.allocation] = L"heaps";
    }

    std::map<char*, SIZE_T> otherBytes;
    for (const Region& r : all) {
        if (r.type == MEM_MAPPED) {
            wchar_t name[MAX_PATH] = L"(no file)";
            ::GetMappedFileNameW(process, r.base, name, MAX_PATH);
            out.mapped[BaseName(name)] += r.size;
            continue;
        }
        if (r.type == MEM_IMAGE) {
            if (!Written(r)) continue;
            wchar_t name[MAX_PATH] = L"(image)";
            ::GetModuleFileNameExW(process, reinterpret_cast<HMODULE>(r.allocation), name, MAX_PATH);
            out.byKind[L"image " + BaseName(name)] += r.size;
            out.privateBytes += r.size;
            continue;
        }
        out.privateBytes += r.size;
        const auto kind = kindOf.find(r.allocation);
        if (kind == kindOf.end()) {
            out.byKind[L"other private"] += r.size;
            otherBytes[r.allocation] += r.size;
        } else {
            out.byKind[kind->second] += r.size;
            if (const auto s = stackOf.find(r.allocation); s != stackOf.end()) s->second->committed += r.size;
        }
    }
    for (const auto& [base, bytes] : otherBytes) {
        DWORD head[4] = {};
        Read(process, base, head);
        wchar_t line[128];
        ::swprintf(line, 128, L"at %p, begins %08lx %08lx %08lx %08lx", static_cast<void*>(base), head[0], head[1],
                   head[2], head[3]);
        out.others.emplace_back(line, bytes);
    }
    return out;
}

}  // namespace bench
