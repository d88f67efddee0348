#include "framework/Error.h"

#include <cstdarg>
#include <cstdio>

CError::CError(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        message.resize(static_cast<std::size_t>(length));
        std::vsnprintf(message.data(), message.size() + 1, format, arguments);
    }
    va_end(arguments);
}

CError CError::FromText(std::string text)
{
    return CError(TextTag{}, std::move(text));
}
