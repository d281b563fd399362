#include "platform/ResidentCode.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#endif

namespace {

// One access a page, for a system that cannot map them ahead: a read, or for
// writable pages an atomic add of nothing, which no other thread's write can
// be lost to.
void TouchPages(uintptr_t start, uintptr_t end, bool writable) {
    for (uintptr_t at = start; at < end; at += 4096) {
        auto* byte = reinterpret_cast<unsigned char*>(at);
        if (writable)
            __atomic_fetch_add(byte, 0, __ATOMIC_RELAXED);
        else
            (void)*static_cast<volatile unsigned char*>(byte);
    }
}

#ifndef _WIN32

bool IsCLibrary(const char* path) {
    const char* name = std::strrchr(path, '/');
    return name != nullptr && std::strncmp(name, "/libc.so", 8) == 0;
}

void MapPages(uintptr_t start, uintptr_t end, bool writable) {
    const int advice = writable ? MADV_POPULATE_WRITE : MADV_POPULATE_READ;
    if (madvise(reinterpret_cast<void*>(start), end - start, advice) != 0)
        TouchPages(start, end, writable);  // a kernel before 5.14
}

#endif

}  // namespace

void MakeCodeResident() {
    static std::atomic<bool> done{false};
    if (done.exchange(true)) return;
#ifdef _WIN32
    // The program's own image: its headers give its size.
    const auto base = reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    TouchPages(base, base + nt->OptionalHeader.SizeOfImage, false);
#else
    char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) return;
    program[length] = '\0';
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (maps == nullptr) return;
    char line[4352];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long start = 0, end = 0;
        char access[5] = "", path[4096] = "";
        if (std::sscanf(line, "%lx-%lx %4s %*s %*s %*s %4095s", &start, &end, access, path) < 4)
            continue;
        if (access[0] != 'r' || (std::strcmp(path, program) != 0 && !IsCLibrary(path))) continue;
        MapPages(start, end, access[1] == 'w');
    }
    std::fclose(maps);
#endif
}
