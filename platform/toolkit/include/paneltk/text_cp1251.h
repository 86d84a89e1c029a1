// Windows-1251 <-> UTF-8, for the two places where 8-bit Cyrillic text
// crosses into the programs (driver message texts in, protocol file out).
// Uses iconv from the C library. Never fails: a byte with no character
// (0x98) becomes U+FFFD on the way in, and a character that Windows-1251
// cannot hold, or a malformed UTF-8 sequence, becomes '?' on the way out.
#pragma once

#include <string>
#include <string_view>

namespace tk {

std::string fromCp1251(std::string_view cp1251);
std::string toCp1251(std::string_view utf8);

}  // namespace tk
