// The camera's title character set: 80 codes 0x00..0x4F, what each shows,
// which key gives it, and how the key list writes it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orbus::title {

struct TitleChar {
    std::uint8_t code;
    const char* glyph;  // what the camera shows, UTF-8 ("DM" for the mark sign)
    const char* listed;  // as the key list writes it ("OE", "F=", "Y=", "DM", Latin-1 letters)
    char key;           // the key typed for it
};

// The 80 characters in code order.
const std::array<TitleChar, 80>& titleChars();

// The code of a typed key, or -1 when no title character has that key.
int codeOfKey(char key);

// The key list of the keyboard title dialog: ten lines, each ended by CR LF.
std::string keyList();

// Grid of the character-set picture: 16 columns of 25-pixel squares.
constexpr int kColumns = 16;
constexpr int kRows = 5;
constexpr int kSquare = 25;

}  // namespace orbus::title
