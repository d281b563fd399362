#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rules/Notation.h"

// Thrown by argument parsing; main prints the message on one line and exits 2.
struct UsageError {
    std::string message;
};

using Args = std::vector<std::string>;

Position RequirePosition(const std::string& text);
int32_t RequireCount(const std::string& text, const char* what);  // a non-negative number
// The value after a "--name" option, or nothing when the option is absent.
std::optional<std::string> TakeOption(Args& args, const std::string& name);
bool TakeFlag(Args& args, const std::string& name);
void RequireArgCount(const Args& args, size_t n, const char* usage);

// One command: its name, its one-line usage, and its body.
struct Command {
    const char* name;
    const char* usage;
    int (*run)(Args& args);
};

// Each file of commands registers its table here.
const std::vector<Command>& RulesCommands();
const std::vector<Command>& EngineCommands();
