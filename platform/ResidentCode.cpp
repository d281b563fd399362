#include "platform/ResidentCode.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

#ifdef _WIN32

// A loaded module's image, region by region: only pages that are committed
// and readable are touched.
void TouchModule(const wchar_t* name) {
    const auto base = reinterpret_cast<uintptr_t>(GetModuleHandleW(name));
    if (base == 0) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const uintptr_t end = base + nt->OptionalHeader.SizeOfImage;
    MEMORY_BASIC_INFORMATION region;
    for (uintptr_t at = base; at < end; at += region.RegionSize) {
        if (VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region) == 0) return;
        const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
        if (region.State == MEM_COMMIT && (region.Protect & readable) != 0 &&
            (region.Protect & PAGE_GUARD) == 0)
            TouchPages(at, std::min(end, at + region.RegionSize), false);
    }
}

#else

// The C library by its file name; the path may hold spaces, so it is the
// rest of the line.
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
    // The program's own image, and the libraries a search thread calls into:
    // the compiler's runtime and the system's waits and priorities.
    TouchModule(nullptr);
    for (const wchar_t* name :
         {L"libstdc++-6.dll", L"libgcc_s_seh-1.dll", L"libwinpthread-1.dll", L"msvcrt.dll",
          L"ucrtbase.dll", L"kernel32.dll", L"kernelbase.dll", L"ntdll.dll"})
        TouchModule(name);
#else
    // The program is known by its file, not its name: the name may hold
    // spaces, or name a file that has since been replaced (" (deleted)").
    struct stat program {};
    if (stat("/proc/self/exe", &program) != 0) return;
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (maps == nullptr) return;
    char line[4352];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long start = 0, end = 0, inode = 0;
        unsigned major = 0, minor = 0;
        char access[5] = "";
        int pathAt = 0;
        if (std::sscanf(line, "%lx-%lx %4s %*s %x:%x %lu %n", &start, &end, access, &major, &minor,
                        &inode, &pathAt) < 6)
            continue;
        const bool isProgram = inode == program.st_ino && makedev(major, minor) == program.st_dev;
        if (access[0] != 'r' || (!isProgram && !IsCLibrary(line + pathAt))) continue;
        MapPages(start, end, access[1] == 'w');
    }
    std::fclose(maps);
#endif
}
