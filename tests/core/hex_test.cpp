// The one hexadecimal writer: upper case, bytes as two digits, padding that
// never cuts a longer value short.
#include <gtest/gtest.h>

#include "platform/hex.h"

using namespace orbus;

TEST(Hex, WritesDigitsAsThePanelShowsThem) {
    const struct {
        std::string got, want;
    } cases[] = {
        {hex2(0x00), "00"},
        {hex2(0x0A), "0A"},
        {hex2(0xFF), "FF"},
        {hexNoPad(0), "0"},
        {hexNoPad(0x3AF), "3AF"},
        {hexPadded(0xC8, 3), "0C8"},
        {hexPadded(0x1234, 3), "1234"},  // wider than asked: all of it
        {hexPadded(0, 4), "0000"},
        {hexBytes({}), ""},
        {hexBytes({0x81, 0x01, 0x04, 0x0B, 0xFF}), "81 01 04 0B FF"},
        {std::string(1, hexDigitOf(11)), "B"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}
