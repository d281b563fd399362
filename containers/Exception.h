#pragma once

#include <exception>
#include <string>

// The one error the system raises: misuse of a list. The message is a short
// fixed English text that callers may compare against.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};
