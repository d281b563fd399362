#pragma once

// The tools' command lines: a program of named commands, their arguments and
// options, and usage errors that end the program with one line and exit 2.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineParams.h"

// Thrown by argument parsing; the program prints the message on one line and
// exits 2.
struct UsageError {
    std::string message;
};

using Args = std::vector<std::string>;

int32_t RequireCount(const std::string& text, const char* what);  // a non-negative number
// A count from low to high.
int32_t RequireRange(const std::string& text, const char* what, int32_t low, int32_t high);
// The value after a "--name" option, or nothing when the option is absent.
std::optional<std::string> TakeOption(Args& args, const std::string& name);
bool TakeFlag(Args& args, const std::string& name);
// Refuses options left over and any other count of arguments than n.
void RequireArgCount(const Args& args, size_t n, const char* usage);
// "--weights P,F,M,K": promotion bonus, first-king bonus, man value, king value.
void TakeWeights(Args& args, EngineParams& params);

// One command: its name, its one-line usage, and its body, which answers the
// program's exit status.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(Args& args);
};

// --help and --version, then the named command; the usage lists each
// command's, then the note if any.
int RunCommands(const char* program, const std::vector<Command>& commands, int argc, char** argv,
                const char* note = nullptr);
