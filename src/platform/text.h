// Small text helpers shared by the forms: number reading as an operator's
// text box is read, and hexadecimal formatting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hex.h"

namespace orbus {

// The longest leading decimal number of the text, leading blanks skipped and
// an optional sign allowed: "5" gives 5, "5x" gives 5, "" or "x" gives 0.
// Saturates instead of overflowing.
long leadingNumber(std::string_view text);
// True when the text begins (after blanks and an optional sign) with a decimal digit.
bool startsWithNumber(std::string_view text);


// Value of one hexadecimal digit, or -1 when the character is not one.
int hexDigit(char c);

// Case-insensitive comparison of ASCII text.
bool equalsNoCase(std::string_view a, std::string_view b);

// Parses a number written by the settings store; false when the text is not one.
bool parseNumber(std::string_view text, double& out);
// "True"/"False" (any letter case) and numbers (non-zero is true).
bool parseBool(std::string_view text, bool& out);

}  // namespace orbus
