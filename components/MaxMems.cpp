#include "components/MaxMems.h"

#include <windows.h>
#include <cmath>
#include <cstring>

namespace {

MEMORYSTATUSEX MemoryStatus() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!::GlobalMemoryStatusEx(&status)) {
        status = MEMORYSTATUSEX{};
        status.dwLength = sizeof(status);
    }
    return status;
}

}  // namespace

TMaxMems::TMaxMems(gui::TComponent* owner) : TComponent(owner) {
    FTotalMemory = static_cast<int64_t>(MemoryStatus().ullTotalPhys);
}

int64_t TMaxMems::FreeMemory() const {
    MEMORYSTATUSEX s = MemoryStatus();
    return static_cast<int64_t>(s.ullTotalPhys) - static_cast<int64_t>(s.ullAvailPhys);
}

void TMaxMems::DefragAll() { DefragMemory(FTotalMemory / 1048576); }

void* TMaxMems::CommitBlock() {
    void* p = ::VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE);
    if (p) std::memset(p, 0, kBlockSize);
    return p;
}

void TMaxMems::ReleaseBlock(void* block) { ::VirtualFree(block, 0, MEM_RELEASE); }

void TMaxMems::ReleaseFrom(int first, int count) {
    for (int i = first; i < count; ++i) {
        if (FBlocks[i]) ReleaseBlock(FBlocks[i]);
        FBlocks[i] = nullptr;
    }
}

void TMaxMems::Finish() {
    FWorking = false;
    if (OnAfterDefrag) OnAfterDefrag(this);
}

void TMaxMems::DefragMemory(int64_t memoryLimit) {
    // A call made while one runs leaves it alone, its abort request included.
    if (FWorking) return;
    FAbort = false;
    FWorking = true;
    const int32_t low = static_cast<int32_t>(memoryLimit & 0xFFFFFFFF);
    const int n = low < 0 ? 0 : low > kMaxBlocks ? kMaxBlocks : low;
    // The blocks are released on every way out, also when a handler throws.
    struct Guard {
        TMaxMems* self;
        int n;
        bool done = false;
        ~Guard() {
            if (!done) {
                self->ReleaseFrom(0, n);
                self->FWorking = false;
            }
        }
    } guard{this, n};
    if (OnBeforeDefrag) OnBeforeDefrag(this);

    const int64_t steps = 2 * static_cast<int64_t>(n);
    int64_t done = 0;
    FBlocks.fill(nullptr);
    auto progress = [&] {
        ++done;
        // Rounded half to even, as the progress has always been.
        if (OnProgress) OnProgress(this, std::llrint(static_cast<double>(done) / steps * 100.0));
    };

    for (int i = 0; i < n; ++i) {
        void* block = CommitBlock();
        if (!block) {
            // No memory for this block: end the committing phase and give
            // back what was taken; nothing is ever written through a null block.
            ReleaseFrom(0, i);
            guard.done = true;
            Finish();
            return;
        }
        FBlocks[i] = block;
        progress();
        if (FAbort) {
            ReleaseFrom(0, i + 1);
            guard.done = true;
            Finish();
            return;
        }
    }
    for (int i = 0; i < n; ++i) {
        ReleaseBlock(FBlocks[i]);
        FBlocks[i] = nullptr;
        progress();
        if (FAbort) {
            ReleaseFrom(i + 1, n);
            guard.done = true;
            Finish();
            return;
        }
    }
    guard.done = true;
    Finish();
}
