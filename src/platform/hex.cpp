#include "platform/hex.h"

namespace orbus {

char hexDigitOf(unsigned value) { return "0123456789ABCDEF"[value & 0xF]; }

std::string hexNoPad(unsigned value) {
    if (value == 0) return "0";
    std::string s;
    while (value) {
        s.insert(s.begin(), hexDigitOf(value));
        value >>= 4;
    }
    return s;
}

std::string hexPadded(unsigned value, int width) {
    std::string s = hexNoPad(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

std::string hex2(std::uint8_t value) { return {hexDigitOf(value >> 4u), hexDigitOf(value)}; }

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string s;
    s.reserve(bytes.size() * 3);
    for (const std::uint8_t b : bytes) {
        if (!s.empty()) s += ' ';
        s += hex2(b);
    }
    return s;
}

}  // namespace orbus
