// Bounded text formatting: every formatted text of the program goes through
// here, so no label, title or message can run past the size it is kept in.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// printf-style formatting into a string of at most maxChars characters
// (UTF-8 characters, never cut inside one).
std::string formatBounded(std::size_t maxChars, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string vformatBounded(std::size_t maxChars, const char* format, std::va_list args);

// The first maxChars UTF-8 characters of text.
std::string truncateChars(std::string_view text, std::size_t maxChars);

// Replaces every line feed by a carriage return and line feed.
std::string withCrLf(std::string_view text);
