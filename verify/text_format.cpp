#include "text_format.h"

#include <algorithm>
#include <cstdio>
#include <vector>

std::string truncateChars(std::string_view text, std::size_t maxChars) {
    std::size_t chars = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (chars == maxChars) break;
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        if (lead >= 0xF0) len = 4;
        else if (lead >= 0xE0) len = 3;
        else if (lead >= 0xC0) len = 2;
        if (i + len > text.size()) len = text.size() - i;
        i += len;
        ++chars;
    }
    return std::string(text.substr(0, i));
}

std::string vformatBounded(std::size_t maxChars, const char* format, std::va_list args) {
    if (format == nullptr) return {};
    std::va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) return {};
    // Never format more bytes than maxChars four-byte characters could take.
    const std::size_t limit = maxChars * 4;
    const std::size_t size = std::min<std::size_t>(static_cast<std::size_t>(needed), limit);
    std::vector<char> buffer(size + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return truncateChars(std::string_view(buffer.data(), size), maxChars);
}

std::string formatBounded(std::size_t maxChars, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = vformatBounded(maxChars, format, args);
    va_end(args);
    return text;
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}
