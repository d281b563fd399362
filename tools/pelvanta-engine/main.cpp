// pelvanta-engine: the rules and the engine from the command line, for users
// and for checking the engine from outside. Bad input gets one line on stderr
// and exit status 2.
#include <cstdio>
#include <string>

#include "tools/StandardOptions.h"
#include "tools/Utf8Console.h"
#include "tools/pelvanta-engine/Cli.h"

namespace {

std::vector<Command> AllCommands() {
    std::vector<Command> all = RulesCommands();
    const std::vector<Command>& engine = EngineCommands();
    all.insert(all.end(), engine.begin(), engine.end());
    return all;
}

void PrintUsage(std::FILE* out, const std::vector<Command>& commands) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : commands) std::fprintf(out, "  pelvanta-engine %s\n", c.usage);
    std::fprintf(out, "  pelvanta-engine --help | --version\n");
    std::fprintf(out,
                 "FEN: W:Wa1,c1,Kd4:Bb8,Kh2 (side to move W or B, then each side's pieces, K "
                 "marks a king), or 'start'\n");
}

int Run(int argc, char** argv) {
    const std::vector<Command> commands = AllCommands();
    switch (FindStandardOption(argc, argv)) {
        case StandardOption::Help:
            PrintUsage(stdout, commands);
            return 0;
        case StandardOption::Version:
            std::puts(PELVANTA_VERSION);
            return 0;
        case StandardOption::Misused:
            std::fputs("pelvanta-engine: --help and --version take no other arguments\n", stderr);
            return 2;
        case StandardOption::None:
            break;
    }
    if (argc < 2) {
        PrintUsage(stderr, commands);
        return 2;
    }
    const std::string name = argv[1];
    Args args(argv + 2, argv + argc);
    for (const Command& command : commands) {
        if (name != command.name) continue;
        try {
            return command.run(args);
        } catch (const UsageError& error) {
            std::fprintf(stderr, "pelvanta-engine: %s\n", error.message.c_str());
            return 2;
        }
    }
    std::fprintf(stderr, "pelvanta-engine: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr, commands);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Utf8Console console(argc, argv);
    return Run(console.Argc(), console.Argv());
}
