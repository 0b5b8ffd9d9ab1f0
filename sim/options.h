// Numbers given to orbus-camsim on its command line, read strictly: the
// whole text must be the number and within what the option takes, so that
// "--delay abc" is refused rather than taken for 0.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbus::sim {

// A decimal number ("0.25", "2", "1e-3") from `lo` to `hi`; nothing when
// the text is not one, with `problem` naming the option and the text:
// "--delay takes a number from 0 to 3600, not \"abc\"".
std::optional<double> numberOption(std::string_view option, std::string_view text, double lo, double hi,
                                   std::string& problem);
// A whole number from `lo` to `hi`, likewise.
std::optional<int> wholeOption(std::string_view option, std::string_view text, int lo, int hi, std::string& problem);

}  // namespace orbus::sim
