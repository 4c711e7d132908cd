// Numbers typed by the user (command line, dialogs): any text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../../common/logic/numtext.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The rule in its plainest form: "-"? digits*, the value modulo 2^32.
int32_t Reference(const char* text)
{
    bool negative = *text == '-';
    if (negative)
        ++text;
    uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = (value * 10 + uint64_t(*text - '0')) & 0xFFFFFFFFu;
    if (negative)
        value = (0x100000000u - value) & 0xFFFFFFFFu;
    return int32_t(uint32_t(value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back(0);
    Check(ParseNumber(text.data()) == Reference(text.data()));

    // Formatting: the first bytes as a value, compared with the library's
    // conversion and parsed back.
    uint64_t raw = 0;
    std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
    const int32_t value = int32_t(uint32_t(raw));

    std::vector<char> decimal(12, 'x');
    int n = FormatDecimal(value, decimal.data());
    Check(n == int(std::strlen(decimal.data())));
    Check(std::to_string(value) == decimal.data());
    Check(ParseNumber(decimal.data()) == value);

    std::vector<char> figure(21, 'x');
    n = FormatUnsigned(raw, figure.data());
    Check(n == int(std::strlen(figure.data())));
    Check(std::to_string(raw) == figure.data());
    return 0;
}
