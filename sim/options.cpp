#include "options.h"

#include <charconv>
#include <cstdio>

namespace orbus::sim {

namespace {

std::string numberText(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.10g", v);
    return b;
}

std::string refusal(std::string_view option, std::string_view text, const char* kind, const std::string& lo,
                    const std::string& hi) {
    return std::string(option) + " takes " + kind + " from " + lo + " to " + hi + ", not \"" + std::string(text) + "\"";
}

}  // namespace

std::optional<double> numberOption(std::string_view option, std::string_view text, double lo, double hi,
                                   std::string& problem) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
    // A NaN fails both comparisons, an infinity the range.
    if (text.empty() || ec != std::errc() || ptr != end || !(v >= lo && v <= hi)) {
        problem = refusal(option, text, "a number", numberText(lo), numberText(hi));
        return std::nullopt;
    }
    return v;
}

std::optional<int> wholeOption(std::string_view option, std::string_view text, int lo, int hi, std::string& problem) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || v < lo || v > hi) {
        problem = refusal(option, text, "a whole number", std::to_string(lo), std::to_string(hi));
        return std::nullopt;
    }
    return v;
}

}  // namespace orbus::sim
