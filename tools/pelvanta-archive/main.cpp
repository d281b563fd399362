// pelvanta-archive: makes and checks opponent archives, and writes the demo
// gallery. Bad usage gets one line on stderr and exit status 2.
#include <cstdio>
#include <string>

#include "tools/StandardOptions.h"
#include "tools/Utf8Console.h"
#include "tools/pelvanta-archive/Commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(Args args);
};

// pack -o FILE --thumb THUMB.jpg [--kind 0|1] [--depth N] [--weights P,F,M,K] PHOTO.jpg...
// inspect FILE...
// demo DIR [--count N]
// measure DIR
const Command kCommands[] = {
    {"pack", RunPack},
    {"inspect", RunInspect},
    {"demo", RunDemo},
    {"measure", RunMeasure},
};

const char kUsage[] =
    "usage:\n"
    "  pelvanta-archive pack -o FILE --thumb THUMB.jpg [--kind 0|1] [--depth N]\n"
    "                        [--weights P,F,M,K] PHOTO.jpg...\n"
    "  pelvanta-archive inspect FILE...\n"
    "  pelvanta-archive demo DIR [--count N]\n"
    "  pelvanta-archive measure DIR\n"
    "  pelvanta-archive --help | --version\n";

int Run(int argc, char** argv) {
    switch (FindStandardOption(argc, argv)) {
        case StandardOption::Help:
            std::fputs(kUsage, stdout);
            return 0;
        case StandardOption::Version:
            std::puts(PELVANTA_VERSION);
            return 0;
        case StandardOption::Misused:
            std::fputs("pelvanta-archive: --help and --version take no other arguments\n", stderr);
            return 2;
        case StandardOption::None:
            break;
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "pelvanta-archive: a command is needed: pack, inspect, demo or measure\n");
        return 2;
    }
    const std::string name = argv[1];
    for (const Command& command : kCommands) {
        if (name != command.name) continue;
        try {
            return command.run(Args(argv + 2, argv + argc));
        } catch (const UsageError& error) {
            std::fprintf(stderr, "pelvanta-archive: %s\n", error.message.c_str());
            return 2;
        }
    }
    std::fprintf(stderr,
                 "pelvanta-archive: unknown command '%s' (pack, inspect, demo or measure)\n",
                 name.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Utf8Console console(argc, argv);
    return Run(console.Argc(), console.Argv());
}
