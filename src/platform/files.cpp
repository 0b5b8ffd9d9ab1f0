#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orbus {

namespace {

// The data on the disk before the rename makes it the file: otherwise a
// power cut soon after a save may leave the new name on an empty file.
bool flushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return ::_commit(::_fileno(f)) == 0;
#else
    return ::fsync(::fileno(f)) == 0;
#endif
}

}  // namespace

std::string writeFileWhole(const std::string& path, const std::string& text) {
    const std::string part = path + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) return std::strerror(errno);
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size() && flushToDisk(f);
    const int writeError = errno;
    const bool closed = std::fclose(f) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        std::remove(part.c_str());
        return std::strerror(!written ? (writeError ? writeError : EIO) : closeError);
    }
    std::error_code ec;
    std::filesystem::rename(part, path, ec);
    if (ec) {
        std::remove(part.c_str());
        return ec.message();
    }
    return {};
}

std::optional<std::string> readFileWhole(const std::string& path, std::uintmax_t maxBytes, std::string& reason) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        reason = std::strerror(ENOENT);
        return std::nullopt;
    }
    if (ec) {
        reason = ec.message();
        return std::nullopt;
    }
    if (fs::is_directory(st)) {
        reason = std::strerror(EISDIR);
        return std::nullopt;
    }
    // A device or a pipe may never end, or block the opening itself.
    if (!fs::is_regular_file(st)) {
        reason = "It is not an ordinary file.";
        return std::nullopt;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        reason = ec.message();
        return std::nullopt;
    }
    if (size > maxBytes) {
        reason = "The file is larger than " + std::to_string(maxBytes / 1024) + " KiB.";
        return std::nullopt;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        reason = std::strerror(errno);
        return std::nullopt;
    }
    // Read to the end, not to the size found: the file may have changed
    // since; more than the limit is still refused.
    std::string text;
    char buffer[8192];
    errno = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        text.append(buffer, n);
        if (text.size() > maxBytes) {
            std::fclose(f);
            reason = "The file is larger than " + std::to_string(maxBytes / 1024) + " KiB.";
            return std::nullopt;
        }
        if (n < sizeof buffer) break;
    }
    const bool failed = std::ferror(f) != 0;
    const int readError = errno;
    std::fclose(f);
    if (failed) {
        reason = std::strerror(readError ? readError : EIO);
        return std::nullopt;
    }
    return text;
}

}  // namespace orbus
