#include "dialogs/title_chars.h"

#include <vector>

namespace orbus::title {

namespace {

// UTF-8 of a Latin-1 character.
std::string latin1(unsigned char c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

struct Row {
    std::uint8_t code;
    std::string glyph, listed;
    char key;
};

std::vector<Row> rows() {
    std::vector<Row> r;
    for (int i = 0; i < 26; ++i) {
        const std::string g(1, static_cast<char>('A' + i));
        r.push_back({static_cast<std::uint8_t>(i), g, g, static_cast<char>('A' + i)});
    }
    r.push_back({0x1A, "&", "&", '&'});
    r.push_back({0x1B, " ", " ", ' '});
    r.push_back({0x1C, "?", "?", '?'});
    r.push_back({0x1D, "!", "!", '!'});
    for (int d = 1; d <= 9; ++d) {
        const std::string g(1, static_cast<char>('0' + d));
        r.push_back({static_cast<std::uint8_t>(0x1D + d), g, g, static_cast<char>('0' + d)});
    }
    r.push_back({0x27, "0", "0", '0'});
    // a to y give the accented capitals 0x28..0x40.
    const unsigned char accented[] = {0xC0, 0xC8, 0xCC, 0xD2, 0xD9, 0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xC2, 0xCA, 0xD4,
                                      0xC6, 0x00, 0xC3, 0xD5, 0xD1, 0xC7, 0xDF, 0xC4, 0xCF, 0xD6, 0xDC, 0xC5};
    for (int i = 0; i < 25; ++i) {
        const auto code = static_cast<std::uint8_t>(0x28 + i);
        const char key = static_cast<char>('a' + i);
        if (accented[i] == 0x00) {
            r.push_back({code, "\xC5\x92", "OE", key});  // the OE ligature
        } else {
            r.push_back({code, latin1(accented[i]), latin1(accented[i]), key});
        }
    }
    r.push_back({0x41, "$", "$", '$'});
    r.push_back({0x42, "\xE2\x82\xA3", "F=", 'z'});  // the franc sign
    r.push_back({0x43, latin1(0xA5), "Y=", '\\'});  // the yen sign
    r.push_back({0x44, "DM", "DM", '<'});           // the mark sign
    r.push_back({0x45, latin1(0xA3), latin1(0xA3), '>'});
    r.push_back({0x46, latin1(0xBF), latin1(0xBF), '('});
    r.push_back({0x47, latin1(0xA1), latin1(0xA1), ')'});
    r.push_back({0x48, latin1(0xD8), latin1(0xD8), '@'});
    r.push_back({0x49, "\"", "\"", '"'});
    r.push_back({0x4A, ":", ":", ':'});
    r.push_back({0x4B, "'", "'", '\''});
    r.push_back({0x4C, ".", ".", '.'});
    r.push_back({0x4D, ",", ",", ','});
    r.push_back({0x4E, "/", "/", '/'});
    r.push_back({0x4F, "-", "-", '-'});
    return r;
}

// The strings live as long as the table.
const std::vector<Row>& storedRows() {
    static const std::vector<Row> r = rows();
    return r;
}

}  // namespace

const std::array<TitleChar, 80>& titleChars() {
    static const std::array<TitleChar, 80> table = [] {
        std::array<TitleChar, 80> t{};
        for (const Row& r : storedRows()) t[r.code] = {r.code, r.glyph.c_str(), r.listed.c_str(), r.key};
        return t;
    }();
    return table;
}

int codeOfKey(char key) {
    for (const TitleChar& c : titleChars()) {
        if (c.key == key) return c.code;
    }
    return -1;
}

std::string keyList() {
    // The codes of each line, in the order the list shows them.
    static const std::vector<std::vector<int>> lines = {
        {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07},
        {0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F},
        {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17},
        {0x18, 0x19, 0x48, 0x1E, 0x1F, 0x20, 0x21, 0x22},
        {0x23, 0x24, 0x25, 0x26, 0x27, 0x1D, 0x49, 0x41},
        {0x1A, 0x4B, 0x4F, 0x4E, 0x4D, 0x4C, 0x43, 0x4A},
        {0x1C, 0x1B, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D},
        {0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35},
        {0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D},
        {0x3E, 0x3F, 0x40, 0x42, 0x46, 0x47, 0x44, 0x45},
    };
    std::string out;
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const TitleChar& c = titleChars()[static_cast<std::size_t>(line[i])];
            if (i > 0) {
                // Two blanks between entries, one after a two-letter glyph.
                const std::string prev = titleChars()[static_cast<std::size_t>(line[i - 1])].listed;
                text += prev.size() == 2 && static_cast<unsigned char>(prev[0]) < 0x80 ? " " : "  ";
            }
            text += "[" + std::string(c.listed) + "]=[" + std::string(1, c.key) + "]";
        }
        out += text + "\r\n";
    }
    return out;
}

}  // namespace orbus::title
