// Hexadecimal as the panel writes it everywhere: upper-case digits, a byte
// as exactly two, a packet as its bytes with one blank between them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbus {

// One digit of a value from 0 to 15 ("A").
char hexDigitOf(unsigned value);
// Upper-case hexadecimal without leading zeros ("3AF", "0").
std::string hexNoPad(unsigned value);
// At least `width` upper-case hexadecimal digits, zeros in front ("0C8").
std::string hexPadded(unsigned value, int width);
// Exactly two upper-case hexadecimal digits.
std::string hex2(std::uint8_t value);
// The bytes as two digits each, one blank between them: "81 01 FF".
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

}  // namespace orbus
