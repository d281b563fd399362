#include "platform/ZeroPages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
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
    return memory == MAP_FAILED ? nullptr : memory;
#endif
}

void FreeZeroPages(void* memory, size_t bytes) {
    if (memory == nullptr) return;
#ifdef _WIN32
    (void)bytes;
    VirtualFree(memory, 0, MEM_RELEASE);
#else
    munmap(memory, bytes);
#endif
}
