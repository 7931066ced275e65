// TMaxMems: frees physical memory by briefly claiming it. It commits up to
// 1024 blocks of 1 MB of its own process, writes zeros into each so that the
// pages are really backed (pushing other processes' pages out), then
// releases them all, reporting the start, the progress (1 to 100 over the
// committing and the releasing half) and the end through events that run
// inside the call, on the caller's thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "gui/Component.h"

class TMaxMems : public gui::TComponent {
public:
    using TOnProgress = std::function<void(TMaxMems* sender, int64_t progress)>;
    using TNotifyEvent = std::function<void(TMaxMems* sender)>;

    static constexpr int kMaxBlocks = 1024;
    static constexpr size_t kBlockSize = 1048576;

    explicit TMaxMems(gui::TComponent* owner);

    // Trims by memoryLimit megabytes, at most 1024 (only the low 32 bits
    // count). Returns when done; a call made while one runs returns at once.
    void DefragMemory(int64_t memoryLimit);
    void DefragAll();
    // Asks a running DefragMemory to stop after the current block.
    void Abort() { FAbort = true; }

    // Total physical memory in bytes, read at construction.
    int64_t TotalMemory() const noexcept { return FTotalMemory; }
    // Physical memory in use now (total minus available), in bytes.
    int64_t FreeMemory() const;
    bool Working() const noexcept { return FWorking; }

    TOnProgress OnProgress;
    TNotifyEvent OnBeforeDefrag, OnAfterDefrag;

protected:
    // One committed, zero-filled block of kBlockSize bytes; nullptr when it
    // cannot be committed.
    virtual void* CommitBlock();
    virtual void ReleaseBlock(void* block);

private:
    void ReleaseFrom(int first, int count);
    void Finish();

    bool FAbort = false;
    int64_t FTotalMemory = 0;
    bool FWorking = false;
    std::array<void*, kMaxBlocks> FBlocks{};
};
