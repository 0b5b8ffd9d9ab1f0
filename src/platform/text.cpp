#include "platform/text.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>

namespace orbus {

long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        int d = text[i] - '0';
        if (v > (LONG_MAX - d) / 10) {
            v = LONG_MAX;
            break;
        }
        v = v * 10 + d;
    }
    return negative ? -v : v;
}

bool startsWithNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool parseNumber(std::string_view text, double& out) {
    std::string s(text);
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    const char* start = s.c_str() + b;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    out = v;
    return true;
}

bool parseBool(std::string_view text, bool& out) {
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ') t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
    if (equalsNoCase(t, "True")) {
        out = true;
        return true;
    }
    if (equalsNoCase(t, "False")) {
        out = false;
        return true;
    }
    double v;
    if (parseNumber(t, v)) {
        out = v != 0;
        return true;
    }
    return false;
}

}  // namespace orbus
