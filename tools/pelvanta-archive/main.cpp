// pelvanta-archive: makes and checks opponent archives, and writes the demo
// gallery. Bad usage gets one line on stderr and exit status 2.
#include "tools/Utf8Console.h"
#include "tools/pelvanta-archive/Commands.h"

int main(int argc, char** argv) {
    Utf8Console console(argc, argv);
    const std::vector<Command> commands = {
        {"pack",
         "pack -o FILE --thumb THUMB.jpg [--kind 0|1] [--depth N] [--weights P,F,M,K] PHOTO.jpg...",
         RunPack},
        {"inspect", "inspect FILE...", RunInspect},
        {"demo", "demo DIR [--count N]", RunDemo},
    };
    return RunCommands("pelvanta-archive", commands, console.Argc(), console.Argv());
}
