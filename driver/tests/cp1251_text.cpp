#include "cp1251_text.h"

#include <iconv.h>

#include <vector>

namespace driver_test {

std::string cp1251(const std::string& utf8)
{
    iconv_t converter = iconv_open("CP1251", "UTF-8");
    std::string input = utf8;
    std::vector<char> output(input.size() + 1);
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return std::string(output.data(), out);
}

}  // namespace driver_test
