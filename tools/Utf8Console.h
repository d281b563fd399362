#pragma once

#include <string>
#include <vector>

// A command-line program's words in and out as UTF-8, the encoding every file
// name is held in inside the program.
//
// Windows hands a program its arguments in the system's code page, which
// cannot hold every file name (a Cyrillic folder on a Western system, or any
// name outside the code page), so there they are taken from the wide command
// line. A Windows console shows text in its own code page; while this object
// lives it shows UTF-8, and the console's code page comes back when it goes.
// On Linux the arguments are the program's own and the console is left alone.
class Utf8Console {
public:
    Utf8Console(int argc, char** argv);
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

    int Argc() const { return int(arguments_.size()); }
    char** Argv() { return pointers_.data(); }  // ends with a null, as main's does

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
    unsigned savedCodePage_ = 0;  // the console's own, 0 without a console
};
