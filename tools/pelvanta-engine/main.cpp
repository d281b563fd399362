// pelvanta-engine: the rules and the engine from the command line, for users
// and for checking the engine from outside. Bad input gets one line on stderr
// and exit status 2.
#include "tools/Utf8Console.h"
#include "tools/pelvanta-engine/Cli.h"

int main(int argc, char** argv) {
    Utf8Console console(argc, argv);
    const std::vector<Command> commands = {
        {"moves", "moves FEN", MovesCommand},
        {"perft", "perft FEN DEPTH [--fast]", PerftCommand},
        {"divide", "divide FEN DEPTH [--fast]", DivideCommand},
        {"values", "values FEN DEPTHLIMIT [--weights P,F,M,K] [--full-width]", ValuesCommand},
        {"think", "think FEN [--depth D] [--weights P,F,M,K] [--ms T] [--full-width]",
         ThinkCommand},
#ifdef PELVANTA_MATCH
        {"match", kMatchUsage, MatchCommand},
#endif
    };
    return RunCommands("pelvanta-engine", commands, console.Argc(), console.Argv(), kFenNote);
}
