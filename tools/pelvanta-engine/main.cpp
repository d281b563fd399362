// pelvanta-engine: the rules and the engine from the command line, for users
// and for checking the engine from outside. Bad input gets one line on stderr
// and exit status 2.
#include "tools/Utf8Console.h"
#include "tools/pelvanta-engine/Cli.h"

int main(int argc, char** argv) {
    Utf8Console console(argc, argv);
    std::vector<Command> commands = RulesCommands();
    const std::vector<Command>& engine = EngineCommands();
    commands.insert(commands.end(), engine.begin(), engine.end());
    return RunCommands("pelvanta-engine", commands, console.Argc(), console.Argv(), kFenNote);
}
