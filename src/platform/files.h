// Whole files: written beside their place and renamed into it, so an
// interrupted save leaves the old file or none, never half of one; and read
// whole, with a limit for files that have no business being large.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orbus {

// Writes `text` to a file beside `path` and renames it into place, so an
// old file is never left half written. The reason when it failed; empty
// when it worked.
std::string writeFileWhole(const std::string& path, const std::string& text);

// Reads the whole file. A file of more than `maxBytes` is refused unread;
// so is anything that is not an ordinary file (a folder, a device). Nothing
// (and the reason in `reason`) when it cannot be read.
std::optional<std::string> readFileWhole(const std::string& path, std::uintmax_t maxBytes, std::string& reason);

}  // namespace orbus
