#include "tools/Utf8Console.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <atomic>
#endif

namespace {

#ifdef _WIN32

std::string Utf8FromWide(const wchar_t* wide) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string utf8(size_t(bytes - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
        LocalFree(wide);
    }
    return arguments;
}

void Restore(unsigned codePage) {
    if (codePage != 0) SetConsoleOutputCP(codePage);
}

// Ctrl+C and Ctrl+Break end the program without its destructors: the
// console's own code page is put back first, on the handler's thread.
std::atomic<unsigned> consoleCodePage{0};

BOOL WINAPI RestoreOnBreak(DWORD) {
    Restore(consoleCodePage.load());
    return FALSE;  // the system's handler then ends the program as before
}

unsigned ShowUtf8() {
    const unsigned own = GetConsoleOutputCP();  // 0: no console
    if (own == 0) return 0;
    consoleCodePage.store(own);
    SetConsoleCtrlHandler(RestoreOnBreak, TRUE);
    SetConsoleOutputCP(CP_UTF8);
    return own;
}

#else

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

unsigned ShowUtf8() {
    return 0;
}

void Restore(unsigned) {}

#endif

}  // namespace

Utf8Console::Utf8Console(int argc, char** argv)
    : arguments_(Arguments(argc, argv)), savedCodePage_(ShowUtf8()) {
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
}

Utf8Console::~Utf8Console() {
    Restore(savedCodePage_);
}
