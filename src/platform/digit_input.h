// Text boxes that take digits only, typed or pasted: hexadecimal for the
// console and every box whose value travels one digit per byte, decimal for
// numbers such as levels.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbus {

class TextBox;

// One typed key: digits and A-F pass, a-f become upper case, backspace and
// Enter pass, anything else is swallowed (the key becomes 0).
void hexKeyFilter(int& keyAscii);

// The hexadecimal digits of a text, upper-cased, at most maxLength of them
// (0: no limit).
std::string hexDigitsOnly(std::string_view text, std::size_t maxLength = 0);

// Rewrites the box's text to its hexadecimal digits (limited to the box's
// maximum length) when it holds anything else, caret to the end: what a
// paste brings in is filtered like typed keys.
void keepHexDigits(TextBox& box);

// Makes a box take hexadecimal digits only, at most maxLength (0: no limit).
void acceptHexOnly(TextBox& box, int maxLength);

// Makes a box take decimal digits only, at most maxLength (0: no limit).
void acceptDecimalOnly(TextBox& box, int maxLength);

}  // namespace orbus
