#include "tools/Cli.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "tools/StandardOptions.h"

namespace {

const char* programName = "pelvanta-engine";
// Weights beyond this could overflow a line's sum of gains.
constexpr int32_t kMaxWeight = 1000000;

void PrintUsage(std::FILE* out, const std::vector<Command>& commands, const char* note) {
    std::fprintf(out, "usage:\n");
    for (const Command& c : commands) std::fprintf(out, "  %s %s\n", programName, c.usage);
    std::fprintf(out, "  %s --help | --version\n", programName);
    if (note != nullptr) std::fprintf(out, "%s\n", note);
}

}  // namespace

int32_t RequireCount(const std::string& text, const char* what) {
    int32_t value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0)
        throw UsageError{std::string(what) + " must be a non-negative number: '" + text + "'"};
    return value;
}

int32_t RequireRange(const std::string& text, const char* what, int32_t low, int32_t high) {
    const int32_t value = RequireCount(text, what);
    if (value < low || value > high)
        throw UsageError{std::string(what) + " must lie between " + std::to_string(low) + " and " +
                         std::to_string(high) + ": '" + text + "'"};
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
    if (args.size() != n) throw UsageError{std::string("usage: ") + programName + " " + usage};
}

int RunCommands(const char* program, const std::vector<Command>& commands, int argc, char** argv,
                const char* note) {
    programName = program;
    switch (FindStandardOption(argc, argv)) {
        case StandardOption::Help:
            PrintUsage(stdout, commands, note);
            return 0;
        case StandardOption::Version:
            std::puts(PELVANTA_VERSION);
            return 0;
        case StandardOption::Misused:
            std::fprintf(stderr, "%s: --help and --version take no other arguments\n", program);
            return 2;
        case StandardOption::None:
            break;
    }
    const std::string name = argc >= 2 ? argv[1] : "";
    Args args(argv + std::min(argc, 2), argv + argc);
    for (const Command& command : commands) {
        if (name != command.name) continue;
        try {
            return command.run(args);
        } catch (const UsageError& error) {
            std::fprintf(stderr, "%s: %s\n", program, error.message.c_str());
            return 2;
        }
    }
    if (name.empty())
        std::fprintf(stderr, "%s: a command is needed (%s --help lists them)\n", program, program);
    else
        std::fprintf(stderr, "%s: unknown command '%s' (%s --help lists them)\n", program,
                     name.c_str(), program);
    return 2;
}

void TakeWeights(Args& args, EngineParams& params) {
    const std::optional<std::string> text = TakeOption(args, "--weights");
    if (!text) return;
    int32_t w[4];
    const char* p = text->data();
    const char* end = p + text->size();
    for (int i = 0; i < 4; ++i) {
        const auto [next, ec] = std::from_chars(p, end, w[i]);
        const bool last = i == 3;
        if (ec != std::errc() || (last ? next != end : (next == end || *next != ',')) ||
            w[i] < -kMaxWeight || w[i] > kMaxWeight)
            throw UsageError{
                "--weights needs four numbers P,F,M,K between -1000000 and 1000000: '" + *text +
                "'"};
        p = next + 1;
    }
    params.promotionBonus = w[0];
    params.firstKingBonus = w[1];
    params.manValue = w[2];
    params.kingValue = w[3];
}
