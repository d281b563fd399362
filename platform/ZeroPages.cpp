#include "platform/ZeroPages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>
#endif

#ifndef _WIN32
namespace {

// The blocks not yet freed. Made and freed by the threads that own the
// tables, never by a search thread.
std::mutex liveLock;
std::vector<std::pair<void*, size_t>> liveBlocks;

}  // namespace
#endif

void* AllocateZeroPages(size_t bytes) {
#ifdef _WIN32
    auto* memory = static_cast<volatile char*>(
        VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    // Committed pages are still made on first touch: touch them here.
    if (memory != nullptr)
        for (size_t at = 0; at < bytes; at += 4096) memory[at] = 0;
    return const_cast<char*>(memory);
#else
    // Written pages, not the shared zero page that a first read would map.
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    try {
        std::lock_guard<std::mutex> lock(liveLock);
        liveBlocks.emplace_back(memory, bytes);
    } catch (const std::bad_alloc&) {
        munmap(memory, bytes);
        return nullptr;
    }
    return memory;
#endif
}

void FreeZeroPages(void* memory, size_t bytes) {
    if (memory == nullptr) return;
#ifdef _WIN32
    (void)bytes;
    VirtualFree(memory, 0, MEM_RELEASE);
#else
    {
        std::lock_guard<std::mutex> lock(liveLock);
        const auto block = std::find(liveBlocks.begin(), liveBlocks.end(),
                                     std::pair<void*, size_t>(memory, bytes));
        if (block != liveBlocks.end()) {
            *block = liveBlocks.back();
            liveBlocks.pop_back();
        }
    }
    munmap(memory, bytes);
#endif
}

void GiveBackAllZeroPages() {
#ifndef _WIN32
    std::lock_guard<std::mutex> lock(liveLock);
    for (const auto& [memory, bytes] : liveBlocks) madvise(memory, bytes, MADV_DONTNEED);
#endif
}
