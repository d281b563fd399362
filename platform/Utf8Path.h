#pragma once

// File names are held as UTF-8 everywhere in the program. A path made from a
// plain char string is read in the C runtime's locale, which on Windows is
// neither UTF-8 nor the system's code page: a Cyrillic folder would become a
// different, Latin-1 one. Every file operation therefore goes through these
// two, which are exact on both systems (on Linux they copy the bytes).

#include <filesystem>
#include <string>
#include <string_view>

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}
