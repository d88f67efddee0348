#pragma once
// The one exception type of the system. It carries the message text exactly
// as the user will see it; command handlers and the entry point catch it and
// show what() unchanged.

#include <exception>
#include <string>

class CError : public std::exception {
public:
    /// printf-style: CError("Can't Open File <%s>", path).
    explicit CError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// A text taken as it stands, '%' and all.
    static CError FromText(std::string text);

    const char* what() const noexcept override { return message.c_str(); }
    const std::string& Message() const noexcept { return message; }

private:
    struct TextTag {};
    CError(TextTag, std::string text) : message(std::move(text)) {}
    std::string message;
};
