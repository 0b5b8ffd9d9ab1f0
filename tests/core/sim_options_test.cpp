// orbus-camsim's numeric options: a number is taken only when the whole
// text is one within what the option takes; anything else is refused with
// the option and the text named.
#include <gtest/gtest.h>

#include <cmath>

#include "options.h"

using namespace orbus::sim;

TEST(SimOptions, NumbersAreTakenWholeAndInRange) {
    const struct {
        const char* text;
        std::optional<double> seconds;  // --delay, 0 to 3600
    } numbers[] = {
        {"0", 0},         {"0.9", 0.9},      {"3600", 3600},    {"1e-3", 0.001},   {"2.", 2},
        {"abc", {}},      {"", {}},          {" 1", {}},        {"1 ", {}},        {"1s", {}},
        {"+1", {}},       {"-0.5", {}},      {"3600.5", {}},    {"nan", {}},       {"inf", {}},
        {"0x10", {}},     {"1e999", {}},     {"1,5", {}},
    };
    for (const auto& c : numbers) {
        std::string problem;
        const auto v = numberOption("--delay", c.text, 0, 3600, problem);
        EXPECT_EQ(v, c.seconds) << '"' << c.text << '"';
        EXPECT_EQ(problem, c.seconds ? "" : "--delay takes a number from 0 to 3600, not \"" + std::string(c.text) + "\"")
            << c.text;
    }

    const struct {
        const char* text;
        std::optional<int> n;  // --split, 0 to 4096
    } wholes[] = {
        {"0", 0}, {"1", 1}, {"4096", 4096}, {"4097", {}}, {"-1", {}}, {"1.5", {}}, {"2e1", {}},
        {"abc", {}}, {"", {}}, {"99999999999", {}}, {"7 ", {}},
    };
    for (const auto& c : wholes) {
        std::string problem;
        EXPECT_EQ(wholeOption("--split", c.text, 0, 4096, problem), c.n) << '"' << c.text << '"';
        EXPECT_EQ(problem, c.n ? "" : "--split takes a whole number from 0 to 4096, not \"" + std::string(c.text) + "\"")
            << c.text;
    }
}
