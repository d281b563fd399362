#include "tools/pelvanta-engine/Cli.h"

#include <charconv>

Position RequirePosition(const std::string& text) {
    std::string error;
    std::optional<Position> position = ParseFen(text, error);
    if (!position) throw UsageError{"bad position: " + error};
    return *position;
}

int32_t RequireCount(const std::string& text, const char* what) {
    int32_t value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        throw UsageError{std::string(what) + " must be a non-negative number: '" + text + "'"};
    return value;
}

std::optional<std::string> TakeOption(Args& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
        std::string value = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        return value;
    }
    return std::nullopt;
}

bool TakeFlag(Args& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        args.erase(args.begin() + i);
        return true;
    }
    return false;
}

void RequireArgCount(const Args& args, size_t n, const char* usage) {
    for (const std::string& arg : args)
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) throw UsageError{"unknown option " + arg};
    if (args.size() != n) throw UsageError{std::string("usage: pelvanta-engine ") + usage};
}
