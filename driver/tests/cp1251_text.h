// Windows-1251 bytes of a UTF-8 text, as the driver hands its messages out:
// what the driver's tests compare its texts with.
#ifndef LUMEX_TEST_CP1251_TEXT_H
#define LUMEX_TEST_CP1251_TEXT_H

#include <string>

namespace driver_test {

std::string cp1251(const std::string& utf8);

}  // namespace driver_test

#endif
