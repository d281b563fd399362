#include "platform/ZeroPages.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

void* AllocateZeroPages(size_t bytes) {
#ifdef _WIN32
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
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
